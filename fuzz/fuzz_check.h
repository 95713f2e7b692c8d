#pragma once
// What the fuzz targets share: a property that does not hold stops the run with the input
// that broke it, as a crash does, so libFuzzer keeps the input.
#include <cstdio>
#include <cstdlib>

#define FUZZ_REQUIRE(condition)                                                               \
  do {                                                                                         \
    if (!(condition)) {                                                                        \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);   \
      std::abort();                                                                            \
    }                                                                                          \
  } while (0)
