// Standard output and standard error through kernel32 and the C runtime's streams.
#include <cstdio>

// Before <windows.h>: its macros carry the same names as the constants declared there.
#include "platform/platform.h"

#include <windows.h>

#include "platform/native.h"

namespace native {

namespace {

FILE* streamOf(os::StandardStream stream) { return stream == os::StandardStream::output ? stdout : stderr; }

bool consoleHandle(DWORD standardHandle) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(standardHandle), &mode) != FALSE;
}

// Asked once, before main: a console stays one for the whole run, and every line is written.
const bool outputIsConsole = consoleHandle(STD_OUTPUT_HANDLE);
const bool errorIsConsole = consoleHandle(STD_ERROR_HANDLE);

}  // namespace

bool isConsole(os::StandardStream stream) {
    return stream == os::StandardStream::output ? outputIsConsole : errorIsConsole;
}

void writeBytes(os::StandardStream stream, const char* bytes, size_t length) {
    std::fwrite(bytes, 1, length, streamOf(stream));
}

int printBytes(os::StandardStream stream, const char* format, va_list arguments) {
    return std::vfprintf(streamOf(stream), format, arguments);
}

}  // namespace native
