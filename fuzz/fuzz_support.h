// What every fuzz target shares: inputs as terminated byte strings, fresh settings for
// each input, and exits of the program turned into an exception the target catches.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "run/settings.h"

// Each target is one translation unit. Settings are reset without releasing what the
// previous input left in them, so leaks are not checked (as in the sanitized tests).
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

namespace fuzz {

// Thrown where the program would have ended the process.
struct ProcessExit {
    int code;
};

[[noreturn]] inline void throwExit(int code) { throw ProcessExit{code}; }

// Installs the exit hook once; the settings start from their defaults for every input.
inline void beginInput() {
    static bool hooked = false;
    if (!hooked) {
        sim::setExitHook(throwExit);
        hooked = true;
    }
    settings = Settings();
}

// The input's bytes up to its first NUL, as a program argument would arrive.
inline std::string textOf(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    return text.substr(0, text.find('\0'));
}

// The input cut at its first NUL byte into up to `parts` texts; missing ones are empty.
inline std::vector<std::string> splitInput(const uint8_t* data, size_t size, size_t parts) {
    std::vector<std::string> texts;
    std::string current;
    for (size_t k = 0; k < size; ++k) {
        if (data[k] == 0 && texts.size() + 1 < parts) {
            texts.push_back(current);
            current.clear();
        } else if (data[k] != 0) {
            current.push_back(static_cast<char>(data[k]));
        }
    }
    texts.push_back(current);
    texts.resize(parts);
    return texts;
}

// A heap copy of exactly the string's bytes and its terminator, so that the address
// sanitizer sees any read or write past the end.
struct ExactCopy {
    char* text;
    explicit ExactCopy(const std::string& from, size_t spare = 0) {
        text = static_cast<char*>(std::malloc(from.size() + 1 + spare));
        from.copy(text, from.size());
        text[from.size()] = '\0';
    }
    ~ExactCopy() { std::free(text); }
    ExactCopy(const ExactCopy&) = delete;
    ExactCopy& operator=(const ExactCopy&) = delete;
};

// A broken property: reported as a crash so that the fuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                          \
    do {                                                                               \
        if (!(condition)) {                                                            \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, \
                         __LINE__);                                                    \
            std::abort();                                                              \
        }                                                                              \
    } while (0)

}  // namespace fuzz
