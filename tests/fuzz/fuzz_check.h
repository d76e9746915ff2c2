#pragma once
// A failed check ends the fuzz run as a crash, with the reason printed, so
// that libFuzzer saves the input that caused it.
#include <cstdio>
#include <cstdlib>
#include <string>

[[noreturn]] inline void fuzzFail(const std::string& what)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

#define FUZZ_CHECK(cond, what)                                                   \
    do {                                                                         \
        if (!(cond)) fuzzFail(std::string(#cond) + ": " + std::string(what));    \
    } while (0)
