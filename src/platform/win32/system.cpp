// Memory, console, clock, environment, process and version through kernel32 and the C runtime.
#include <cstdlib>

// Before <windows.h>: its macros carry the same names as the constants declared there.
#include "platform/platform.h"

#include <windows.h>

namespace os {

// A zero size still gets a block: the runtime's realloc would free and answer null, which
// the caller could not tell from a failure.
void* allocate(size_t size) { return std::malloc(size ? size : 1); }

void* reallocate(void* block, size_t size) { return std::realloc(block, size ? size : 1); }

void release(void* block) { std::free(block); }

void* allocatePages(size_t size) {
    return VirtualAlloc(nullptr, size, MEM_COMMIT, PAGE_READWRITE);
}

void releasePages(void* pages) {
    if (pages != nullptr) VirtualFree(pages, 0, MEM_RELEASE);
}

bool consoleScreenInfo(int* bufferHeight, int* windowRows) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) return false;
    *bufferHeight = info.dwSize.Y;
    *windowRows = info.srWindow.Bottom - info.srWindow.Top + 1;
    return true;
}

void flushConsoleInput() { FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE)); }

bool readConsoleInput(InputRecord* record) {
    INPUT_RECORD input;
    DWORD count = 0;
    if (!ReadConsoleInputA(GetStdHandle(STD_INPUT_HANDLE), &input, 1, &count) || count == 0)
        return false;
    record->eventType = input.EventType;
    const bool key = input.EventType == KEY_EVENT;  // the other events leave these unset
    record->keyDown = key && input.Event.KeyEvent.bKeyDown != FALSE;
    record->character = key ? static_cast<uint8_t>(input.Event.KeyEvent.uChar.AsciiChar) : 0;
    return true;
}

uint32_t tickCount() { return GetTickCount(); }

void sleepMilliseconds(uint32_t ms) { Sleep(ms); }

void exitProcess(int code) {
    finishStandardStreams();
    std::exit(code);
}

VersionInfo getVersion() {
    OSVERSIONINFOA info = {};
    static_assert(sizeof info == 148, "the version record the oldest systems accept");
    info.dwOSVersionInfoSize = sizeof info;
    VersionInfo version = {};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    version.readable = GetVersionExA(&info) != FALSE;
#pragma GCC diagnostic pop
    if (version.readable) {
        version.platformId = info.dwPlatformId;
        version.major = info.dwMajorVersion;
        version.minor = info.dwMinorVersion;
    }
    return version;
}

}  // namespace os
