// What the fuzz targets share: a broken property stops the run where it
// broke, so that libFuzzer keeps the input that broke it.
#pragma once

#include <cstdio>

#define FUZZ_MUST(condition)                                                              \
    do {                                                                                  \
        if (!(condition)) {                                                               \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition); \
            __builtin_trap();                                                             \
        }                                                                                 \
    } while (false)
