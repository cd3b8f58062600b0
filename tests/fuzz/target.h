// The libFuzzer entry of one fuzz target: runs its check on every input and
// stops the run on the first property that fails, so that libFuzzer keeps
// the input as a finding. Crashes and sanitizer reports stop it by
// themselves.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#define NUMERABO_FUZZ_TARGET(check)                                          \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {  \
    const std::string failed = check(data, size);                            \
    if (!failed.empty()) {                                                   \
      std::fprintf(stderr, "property failed: %s\n", failed.c_str());         \
      std::abort();                                                          \
    }                                                                        \
    return 0;                                                                \
  }
