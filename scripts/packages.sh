# Sourced by the setup scripts and bench/setup_sizes.sh: the Debian 12 packages
# the project needs, each named once.

# Libraries Wine's X11 driver opens at run time (OpenGL through Mesa's
# software renderer, the X extensions): Wine only recommends them, and the
# setup installs without recommendations. The 32-bit platform needs their
# i386 builds.
WINE_X_PACKAGES=(
  libgl1 libglx-mesa0 libgl1-mesa-dri
  libxrender1 libxrandr2 libxi6 libxcursor1 libxinerama1 libxcomposite1 libxxf86vm1 libxfixes3
)
# What Wine plays music through: ALSA's file device and GStreamer's MP3 decoder.
WINE_SOUND_PACKAGES=(
  libasound2-plugins gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly
)

# scripts/run.sh: build the x86_64 host and renderer, run them under 64-bit
# Wine on Xvfb, drive and photograph the windows with the X tools and
# ImageMagick, in the Japanese locale with a Japanese font.
RUN_PACKAGES=(
  cmake make g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine64 "${WINE_X_PACKAGES[@]}"
  xvfb xdotool x11-utils imagemagick locales fonts-ipafont-gothic
)
# scripts/run.sh --arch i686 builds the i686 programs instead, and needs the
# 32-bit platform as well (I386_PACKAGES, through scripts/setup-i686.sh).
I686_BUILD_PACKAGES=(g++-mingw-w64-i686 binutils-mingw-w64-i686)

# scripts/test.sh: all of the above, the native unit tests, the fuzz targets
# (clang with its libFuzzer runtime, which clang-14 only recommends), the Wine
# suite's tools (music, sound capture and analysis, cjpeg for very large test
# pictures), NSIS for the setup program.
TEST_PACKAGES=(
  "${RUN_PACKAGES[@]}" "${I686_BUILD_PACKAGES[@]}"
  g++ libgtest-dev python3
  clang-14 libclang-rt-14-dev
  wine fonts-wine libglu1-mesa
  "${WINE_SOUND_PACKAGES[@]}" alsa-utils sox lame
  libjpeg-turbo-progs
  nsis
)

# The 32-bit platform (scripts/setup-i686.sh), installed as :i386.
I386_PACKAGES=(wine32 libglu1-mesa "${WINE_X_PACKAGES[@]}" "${WINE_SOUND_PACKAGES[@]}")

# missing_packages <package>...: prints, one a line, those that dpkg does not
# have installed (an ":i386" suffix asks for that architecture's).
missing_packages() {
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      echo "$p"
    fi
  done
}
