// The browser's C++ library has no std::from_chars for double: answers are
// read another way there, and must be read exactly as on the desktop.
#include "game/form1.h"

#include <cmath>
#include <cstdio>

int main()
{
    struct Row {
        const char* caption;
        double value;  // NaN: not a number, so never a right answer
    };
    const double no = std::nan("");
    const Row rows[] = {
        {"0", 0},     {"7", 7},      {"60", 60},   {"109", 109}, {"-3", -3},   {"2.5", 2.5},  {".5", 0.5},
        {"5.", 5},    {"1e2", 100},  {"1E-1", 0.1}, {"", no},     {" 3", no},   {"3 ", no},    {"+3", no},
        {"3x", no},   {"1 0", no},   {"0x1A", no},  {"abc", no},  {"-", no},    {".", no},     {"1e", no},
        {"1e+", no},  {"--1", no},   {"答え１", no}, {"Label5", no},
    };
    int passed = 0, failed = 0;
    for (const Row& row : rows) {
        const double got = game::captionValue(row.caption);
        const bool ok = std::isnan(row.value) ? std::isnan(got) : got == row.value;
        if (!ok)
            std::printf("captionValue(\"%s\") gave %g, not %g\n", row.caption, got, row.value);
        ++(ok ? passed : failed);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
