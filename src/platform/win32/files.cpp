// Files and directories through kernel32's ANSI calls and the C runtime.
#include <cstdio>
#include <cstdlib>
#include <cstring>

// Before <windows.h>: its macros carry the same names as the constants declared there.
#include "platform/platform.h"

#include <windows.h>

#include "platform/native.h"
#include "platform/win32/file_identity.h"
#include "platform/win32/file_time.h"

namespace native {

static void fillRecord(const WIN32_FIND_DATAA& data, os::FindRecord* record) {
    os::copyFindMetadata(data, record);
    static_assert(sizeof record->name >= sizeof data.cFileName, "long name size");
    static_assert(sizeof record->altName >= sizeof data.cAlternateFileName, "8.3 name size");
    std::memcpy(record->name, data.cFileName, sizeof data.cFileName);
    std::memcpy(record->altName, data.cAlternateFileName, sizeof data.cAlternateFileName);
}

void setLastError(uint32_t error) { SetLastError(error); }

os::SearchHandle findFirstFileA(const char* pattern, os::FindRecord* record) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern, &data);
    if (search == INVALID_HANDLE_VALUE) return nullptr;
    fillRecord(data, record);
    return search;
}

bool findNextFileA(os::SearchHandle search, os::FindRecord* record) {
    WIN32_FIND_DATAA data;
    if (!FindNextFileA(search, &data)) return false;
    fillRecord(data, record);
    return true;
}

uint32_t getFileAttributesA(const char* path) { return GetFileAttributesA(path); }

// Both calls are in the first Windows 95's kernel32; the walk asks only about links, which
// only NT has.
bool fileIdentityA(const char* path, os::FileIdentity* identity) {
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    return os::identityOf(file, identity);
}

uint32_t getFullPathNameA(const char* path, uint32_t capacity, char* buffer) {
    return GetFullPathNameA(path, capacity, buffer, nullptr);
}

uint32_t getCurrentDirectoryA(uint32_t capacity, char* buffer) {
    return GetCurrentDirectoryA(capacity, buffer);
}

uint32_t getModuleFileNameA(char* buffer, uint32_t capacity) {
    return GetModuleFileNameA(nullptr, buffer, capacity);
}

os::FileHandle openFileForReadingA(const char* path, uint32_t flags) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags,
                              nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

FILE* openStreamA(const char* path, const char* mode) { return std::fopen(path, mode); }

os::ExclusiveOpen testExclusiveOpenA(const char* path) {
    HFILE file = _lopen(path, OF_READ | OF_SHARE_EXCLUSIVE);
    if (file == HFILE_ERROR)
        return GetLastError() == ERROR_SHARING_VIOLATION ? os::ExclusiveOpen::sharingViolation
                                                         : os::ExclusiveOpen::failed;
    _lclose(file);
    return os::ExclusiveOpen::opened;
}

const char* environmentVariableA(const char* name) { return std::getenv(name); }

}  // namespace native

namespace os {

uint32_t getLastError() { return GetLastError(); }

void findClose(SearchHandle search) { FindClose(search); }

bool readFile(FileHandle file, void* buffer, uint32_t size, uint32_t* bytesRead) {
    DWORD count = 0;
    BOOL ok = ReadFile(file, buffer, size, &count, nullptr);
    *bytesRead = count;
    return ok != FALSE;
}

void closeHandle(void* handle) { CloseHandle(handle); }

int writeStream(FILE* stream, const char* format, va_list arguments) {
    return std::vfprintf(stream, format, arguments);
}

int closeStream(FILE* stream) { return std::fclose(stream); }

}  // namespace os
