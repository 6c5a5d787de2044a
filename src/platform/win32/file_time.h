// FILETIME and the program's 64-bit count, both ways.
#pragma once

// Before <windows.h>: its macros carry the same names as the constants declared there.
#include "platform/platform.h"

#include <windows.h>

namespace os {

inline FileTime countOf(const FILETIME& time) {
    return static_cast<FileTime>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

inline FILETIME fileTimeOf(FileTime count) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(count);
    time.dwHighDateTime = static_cast<DWORD>(count >> 32);
    return time;
}

}  // namespace os
