// FILETIME and the program's 64-bit count, both ways, and the find records that carry them.
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

// The attribute word, the times and the size of a find record of either width.
template <typename FindData, typename Record>
void copyFindMetadata(const FindData& data, Record* record) {
    record->attributes = data.dwFileAttributes;
    record->creationTime = countOf(data.ftCreationTime);
    record->accessTime = countOf(data.ftLastAccessTime);
    record->writeTime = countOf(data.ftLastWriteTime);
    record->sizeHigh = data.nFileSizeHigh;
    record->sizeLow = data.nFileSizeLow;
}

}  // namespace os
