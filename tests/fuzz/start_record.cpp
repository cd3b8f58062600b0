#include "tests/fuzz/start_record_check.h"
#include "tests/fuzz/target.h"

NUMERABO_FUZZ_TARGET(numerabo::fuzz::CheckStartRecord)
