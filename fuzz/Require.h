#pragma once
// A promise a fuzz target checks: when it is broken the run stops like a
// crash, so libFuzzer keeps the input that broke it.

#include <cstdio>
#include <cstdlib>

namespace quotamin::fuzzing {

inline void Require(bool kept, const char* promise) {
    if (!kept) {
        std::fprintf(stderr, "broken promise: %s\n", promise);
        std::abort();
    }
}

}  // namespace quotamin::fuzzing
