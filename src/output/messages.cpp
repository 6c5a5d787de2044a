#include "output/messages.h"

#include <cstdarg>
#include <cstdio>

#include "output/output_state.h"
#include "platform/platform.h"
#include "run/settings.h"

void stopWithMessage(const char* format, ...) {
    std::fputs("\n\a処理停止:", stderr);
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stderr, format, arguments);
    va_end(arguments);
    std::fputs("\n", stderr);
    os::exitProcess(1);
}

void fatalError(const char* format, ...) {
    if (progressShown) {
        progressShown = false;
        std::fputs("\r", stdout);
    }
    va_list arguments;
    if (logStream != nullptr) {
        std::fputs("\n処理停止:", logStream);
        va_start(arguments, format);
        std::vfprintf(logStream, format, arguments);
        va_end(arguments);
        std::fputs("\n", logStream);
        if (settings.cacheMode != 0) std::fflush(nullptr);
    }
    std::fputs("\n\a処理停止:", stderr);
    va_start(arguments, format);
    std::vfprintf(stderr, format, arguments);
    va_end(arguments);
    std::fputs("\n", stderr);
    os::exitProcess(1);
}
