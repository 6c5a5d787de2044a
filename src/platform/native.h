// The system's own calls that take or give names, below the surface of platform.h: the
// wide calls of the NT family, which take UTF-16, and the ANSI calls of Windows 9x, which
// take the system's code page. win32/ makes them, one to one; sim/ answers them from its
// model. The shared code above (path_calls.cpp) picks one family and converts the
// program's text for it.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "platform/platform.h"

namespace native {

// The NT family: the wide calls exist and are the ones made.
bool wideCalls();

void setLastError(uint32_t error);

// WIN32_FIND_DATAW.
struct WideFindRecord {
    uint32_t attributes;
    os::FileTime creationTime;
    os::FileTime accessTime;
    os::FileTime writeTime;
    uint32_t sizeHigh;
    uint32_t sizeLow;
    char16_t name[260];
    char16_t altName[14];
};

// The attribute word, the times and the size, which both records keep alike.
template <typename From, typename To>
void copyMetadata(const From& from, To* to) {
    to->attributes = from.attributes;
    to->creationTime = from.creationTime;
    to->accessTime = from.accessTime;
    to->writeTime = from.writeTime;
    to->sizeHigh = from.sizeHigh;
    to->sizeLow = from.sizeLow;
}

// ---- The wide calls ------------------------------------------------------------------

os::SearchHandle findFirstFileW(const char16_t* pattern, WideFindRecord* record);
bool findNextFileW(os::SearchHandle search, WideFindRecord* record);
uint32_t getFileAttributesW(const char16_t* path);
bool fileIdentityW(const char16_t* path, os::FileIdentity* identity);
// As their ANSI counterparts: the length written, or the capacity needed, or 0.
uint32_t getFullPathNameW(const char16_t* path, uint32_t capacity, char16_t* buffer);
uint32_t getCurrentDirectoryW(uint32_t capacity, char16_t* buffer);
// The length written; the capacity itself when the name was cut short; 0 on failure.
uint32_t getModuleFileNameW(char16_t* buffer, uint32_t capacity);
os::FileHandle openFileForReadingW(const char16_t* path, uint32_t flags);
FILE* openStreamW(const char16_t* path, const char* mode);  // _wfopen
os::ExclusiveOpen testExclusiveOpenW(const char16_t* path);
// GetEnvironmentVariableW: the length written, or the capacity needed; 0 for an empty
// value, and 0 with a last error for a missing variable.
uint32_t getEnvironmentVariableW(const char16_t* name, char16_t* buffer, uint32_t capacity);
// The arguments as the C runtime splits the wide command line; false when it cannot.
bool commandLineW(int* count, char16_t*** arguments);
bool getVolumeFileSystemNameW(const char16_t* root, char16_t* name, uint32_t capacity);
bool getDiskFreeSpaceW(const char16_t* root, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector);
bool getDiskTotalBytesW(const char16_t* root, uint64_t* totalBytes);
uint32_t getDriveTypeW(const char16_t* path);
uint32_t queryDosDeviceW(const char16_t* deviceName, char16_t* target, uint32_t capacity);

// ---- Standard output and standard error ----------------------------------------------

// GetConsoleMode on the stream's standard handle succeeds.
bool isConsole(os::StandardStream stream);
// WriteConsoleW of every unit; false when it is missing or fails.
bool writeConsoleW(os::StandardStream stream, const char16_t* units, size_t count);
// The C runtime's stream, as the program wrote before it knew the wide call: fwrite, vfprintf.
void writeBytes(os::StandardStream stream, const char* bytes, size_t length);
int printBytes(os::StandardStream stream, const char* format, va_list arguments);

// ---- The ANSI calls, as platform.h describes their counterparts ---------------------

os::SearchHandle findFirstFileA(const char* pattern, os::FindRecord* record);
bool findNextFileA(os::SearchHandle search, os::FindRecord* record);
uint32_t getFileAttributesA(const char* path);
bool fileIdentityA(const char* path, os::FileIdentity* identity);
uint32_t getFullPathNameA(const char* path, uint32_t capacity, char* buffer);
uint32_t getCurrentDirectoryA(uint32_t capacity, char* buffer);
uint32_t getModuleFileNameA(char* buffer, uint32_t capacity);
os::FileHandle openFileForReadingA(const char* path, uint32_t flags);
FILE* openStreamA(const char* path, const char* mode);
os::ExclusiveOpen testExclusiveOpenA(const char* path);
const char* environmentVariableA(const char* name);
bool getVolumeFileSystemNameA(const char* root, char* name, uint32_t capacity);
bool getDiskFreeSpaceA(const char* root, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector);
bool getDiskTotalBytesA(const char* root, uint64_t* totalBytes);
uint32_t getDriveTypeA(const char* path);
uint32_t queryDosDeviceA(const char* deviceName, char* target, uint32_t capacity);

}  // namespace native
