// Files and directories through kernel32 and the C runtime.
#include <cstdio>
#include <cstring>

// Before <windows.h>: its macros carry the same names as the constants declared there.
#include "platform/platform.h"

#include <windows.h>

#include "platform/win32/file_time.h"

namespace os {

static void fillRecord(const WIN32_FIND_DATAA& data, FindRecord* record) {
    record->attributes = data.dwFileAttributes;
    record->creationTime = countOf(data.ftCreationTime);
    record->accessTime = countOf(data.ftLastAccessTime);
    record->writeTime = countOf(data.ftLastWriteTime);
    record->sizeHigh = data.nFileSizeHigh;
    record->sizeLow = data.nFileSizeLow;
    static_assert(sizeof record->name == sizeof data.cFileName, "long name size");
    static_assert(sizeof record->altName == sizeof data.cAlternateFileName, "8.3 name size");
    std::memcpy(record->name, data.cFileName, sizeof record->name);
    std::memcpy(record->altName, data.cAlternateFileName, sizeof record->altName);
}

uint32_t getLastError() { return GetLastError(); }

SearchHandle findFirstFile(const char* pattern, FindRecord* record) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern, &data);
    if (search == INVALID_HANDLE_VALUE) return nullptr;
    fillRecord(data, record);
    return search;
}

bool findNextFile(SearchHandle search, FindRecord* record) {
    WIN32_FIND_DATAA data;
    if (!FindNextFileA(search, &data)) return false;
    fillRecord(data, record);
    return true;
}

void findClose(SearchHandle search) { FindClose(search); }

uint32_t getFileAttributes(const char* path) { return GetFileAttributesA(path); }

// Both calls are in the first Windows 95's kernel32; the walk asks only about links, which
// only NT has.
bool fileIdentity(const char* path, FileIdentity* identity) {
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION information;
    BOOL answered = GetFileInformationByHandle(file, &information);
    CloseHandle(file);
    if (!answered) return false;
    identity->volumeSerial = information.dwVolumeSerialNumber;
    identity->fileIndex = (static_cast<uint64_t>(information.nFileIndexHigh) << 32) |
                          information.nFileIndexLow;
    return true;
}

uint32_t getFullPathName(const char* path, uint32_t capacity, char* buffer) {
    return GetFullPathNameA(path, capacity, buffer, nullptr);
}

uint32_t getCurrentDirectory(uint32_t capacity, char* buffer) {
    return GetCurrentDirectoryA(capacity, buffer);
}

uint32_t getModuleFileName(char* buffer, uint32_t capacity) {
    return GetModuleFileNameA(nullptr, buffer, capacity);
}

FileHandle openFileForReading(const char* path, uint32_t flags) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags,
                              nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

bool readFile(FileHandle file, void* buffer, uint32_t size, uint32_t* bytesRead) {
    DWORD count = 0;
    BOOL ok = ReadFile(file, buffer, size, &count, nullptr);
    *bytesRead = count;
    return ok != FALSE;
}

void closeHandle(FileHandle handle) { CloseHandle(handle); }

FILE* openStream(const char* path, const char* mode) { return std::fopen(path, mode); }

int writeStream(FILE* stream, const char* format, va_list arguments) {
    return std::vfprintf(stream, format, arguments);
}

int closeStream(FILE* stream) { return std::fclose(stream); }

ExclusiveOpen testExclusiveOpen(const char* path) {
    HFILE file = _lopen(path, OF_READ | OF_SHARE_EXCLUSIVE);
    if (file == HFILE_ERROR)
        return GetLastError() == ERROR_SHARING_VIOLATION ? ExclusiveOpen::sharingViolation
                                                         : ExclusiveOpen::failed;
    _lclose(file);
    return ExclusiveOpen::opened;
}

}  // namespace os
