# Sourced by the scripts that run Wine: the loader, the locale that makes the
# ANSI code page 932, and quiet logging.
WINE_LOADER=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer dialogs: nothing here can download them.
export WINEDLLOVERRIDES="mscoree,mshtml="
