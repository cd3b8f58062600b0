#include "tests/fuzz/target.h"
#include "tests/fuzz/wallpaper_check.h"

NUMERABO_FUZZ_TARGET(numerabo::fuzz::CheckWallpaper)
