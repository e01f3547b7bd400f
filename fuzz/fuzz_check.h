// fuzz_check.h - the failure report of the text fuzz targets.
#ifndef FUZZ_FUZZ_CHECK_H
#define FUZZ_FUZZ_CHECK_H

#include <cstdio>
#include <cstdlib>

// Ends the run with a message when a promise of the function under test is
// broken: libFuzzer keeps the input as a crash.
#define FUZZ_CHECK(condition)                                                   \
  do {                                                                          \
    if (!(condition)) {                                                         \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                             \
    }                                                                           \
  } while (0)

#endif  // FUZZ_FUZZ_CHECK_H
