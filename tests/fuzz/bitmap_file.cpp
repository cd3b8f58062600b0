#include "tests/fuzz/bitmap_file_check.h"
#include "tests/fuzz/target.h"

NUMERABO_FUZZ_TARGET(numerabo::fuzz::CheckBitmapFile)
