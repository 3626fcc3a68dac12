#pragma once
// A fuzzer's own invariants: a broken one ends the run as a crash would,
// saying which, so libFuzzer keeps the input that broke it.

#include <cstdio>
#include <cstdlib>

inline void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}
