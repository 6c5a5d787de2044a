#include "output/console_output.h"

#include <cstdarg>
#include <cstdio>

#include "output/output_state.h"

void writeOutput(const char* format, ...) {
    if (progressShown) {
        progressShown = false;
        std::fputs("\r", stdout);
    }
    va_list arguments;
    if (logStream != nullptr) {
        va_start(arguments, format);
        std::vfprintf(logStream, format, arguments);
        va_end(arguments);
    }
    va_start(arguments, format);
    std::vfprintf(stdout, format, arguments);
    va_end(arguments);
}

void consolePrint(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stdout, format, arguments);
    va_end(arguments);
}

void errorPrint(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stderr, format, arguments);
    va_end(arguments);
}

int pagerInit(int, int) { return 0; }
int pagerBeforePrint(int64_t, const char*) { return 0; }
int pagerAfterPrint(int64_t, const char*) { return 0; }
int helpPagerInit(int) { return 0; }
void helpPagerPrompt(const char*) {}
