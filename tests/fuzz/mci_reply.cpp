#include "tests/fuzz/mci_reply_check.h"
#include "tests/fuzz/target.h"

NUMERABO_FUZZ_TARGET(numerabo::fuzz::CheckMciReply)
