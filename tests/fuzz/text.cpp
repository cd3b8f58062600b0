#include "tests/fuzz/target.h"
#include "tests/fuzz/text_check.h"

NUMERABO_FUZZ_TARGET(numerabo::fuzz::CheckText)
