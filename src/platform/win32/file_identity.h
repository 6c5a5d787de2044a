// A file's identity from a handle opened for it, of either width.
#pragma once

// Before <windows.h>: its macros carry the same names as the constants declared there.
#include "platform/platform.h"

#include <windows.h>

namespace os {

// GetFileInformationByHandle; the handle is closed. False when it could not be opened or
// the call fails.
inline bool identityOf(HANDLE file, FileIdentity* identity) {
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION information;
    BOOL answered = GetFileInformationByHandle(file, &information);
    CloseHandle(file);
    if (!answered) return false;
    identity->volumeSerial = information.dwVolumeSerialNumber;
    identity->fileIndex = (static_cast<uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    return true;
}

}  // namespace os
