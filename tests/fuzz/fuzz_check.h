#pragma once
// What a fuzz target does when the code under test breaks a promise: name
// the promise and abort, so the input is kept as a crash.
#include <cstdio>
#include <cstdlib>

#define LEKTA_FUZZ_CHECK(cond, ...)                                                                \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);          \
            std::fprintf(stderr, "  " __VA_ARGS__);                                                \
            std::fprintf(stderr, "\n");                                                            \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)
