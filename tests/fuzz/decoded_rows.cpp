#include "tests/fuzz/decoded_rows_check.h"
#include "tests/fuzz/target.h"

NUMERABO_FUZZ_TARGET(numerabo::fuzz::CheckDecodedRows)
