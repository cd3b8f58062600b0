# Sourced by the benchmarks that run the programs under Wine: builds what is
# missing, prepares the prefix template and a private Xvfb display, then runs
# one benchmark script of bench/ with the Wine suite's harness.
#   run_wine_bench <script.py> <argument> <file of the x86_64 build>...
run_wine_bench() {
  local script=$1 argument=$2 file
  shift 2
  cd "$(dirname "${BASH_SOURCE[0]}")/.."
  local build
  build=$(realpath -m "${NUMERABO_BUILD:-build}")
  for file in "$@"; do
    if [ ! -f "$build/x86_64/$file" ]; then
      scripts/build.sh --windows-only
      break
    fi
  done
  scripts/wine-prefix.sh "$build/native/wine/template" >/dev/null
  . scripts/xvfb.sh
  trap stop_xvfb EXIT
  start_xvfb
  NUMERABO_SOURCE_DIR="$PWD" NUMERABO_WIN64_DIR="$build/x86_64" NUMERABO_WINE_WORK="$build/native/wine" \
    PYTHONPATH="$PWD/tests/wine" PYTHONDONTWRITEBYTECODE=1 python3 "bench/$script" "$argument"
}
