#include "tests/fuzz/numbers_check.h"
#include "tests/fuzz/target.h"

NUMERABO_FUZZ_TARGET(numerabo::fuzz::CheckNumbers)
