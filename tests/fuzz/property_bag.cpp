#include "tests/fuzz/property_bag_check.h"
#include "tests/fuzz/target.h"

NUMERABO_FUZZ_TARGET(numerabo::fuzz::CheckPropertyBag)
