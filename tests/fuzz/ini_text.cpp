#include "tests/fuzz/ini_text_check.h"
#include "tests/fuzz/target.h"

NUMERABO_FUZZ_TARGET(numerabo::fuzz::CheckIniText)
