// The calls that take or give names. On the NT family they go to the wide API: the
// program's text is converted here, with Windows' own tables for code page 932, and long
// paths take the \\?\ form. Windows 9x has no wide API: its ANSI calls get the text as it
// stands.
#include <cstdlib>
#include <cstring>

#include "platform/long_paths.h"
#include "platform/native.h"
#include "platform/platform.h"
#include "platform/text_form.h"

namespace os {

namespace {

constexpr uint32_t ERROR_INVALID_NAME = 123;

// Bytes that name no character reach no file: the call fails as on a name Windows refuses.
bool widePath(const char* path, text::WideText& wide, bool mayBeLong) {
    bool converted = mayBeLong ? longpath::nativePathOf(path, wide) : text::appendUtf16(wide, path);
    if (!converted) native::setLastError(ERROR_INVALID_NAME);
    return converted;
}

const char16_t* wideOrNull(const char* root, text::WideText& wide, bool* converted) {
    *converted = root == nullptr || widePath(root, wide, false);
    return root == nullptr ? nullptr : wide.units();
}

// The text of a wide answer in the caller's buffer: the length written, or, when it does
// not fit, the capacity it needs.
uint32_t answerText(const text::WideText& wide, char* buffer, uint32_t capacity) {
    size_t length = text::textLength(wide.units(), wide.size());
    if (length + 1 > capacity) return static_cast<uint32_t>(length + 1);
    text::writeText(wide.units(), wide.size(), buffer);
    return static_cast<uint32_t>(length);
}

size_t unitsBefore(const char16_t* units, size_t limit) {
    size_t count = 0;
    while (count < limit && units[count] != 0) ++count;
    return count;
}

// What FindFirstFileW takes for a wildcard, the DOS ones included.
bool holdsWideWildcard(const char16_t* name) {
    for (; *name != 0; ++name)
        if (*name == u'*' || *name == u'?' || *name == u'<' || *name == u'>' || *name == u'"') return true;
    return false;
}

// Neither can be the second byte of a double-byte character.
bool holdsAnsiWildcard(const char* name) { return std::strpbrk(name, "*?") != nullptr; }

void fillRecord(const native::WideFindRecord& wide, FindRecord* record) {
    native::copyMetadata(wide, record);
    // Capacities are set for the longest names these arrays hold.
    text::writeText(wide.name, unitsBefore(wide.name, 259), record->name);
    text::writeText(wide.altName, unitsBefore(wide.altName, 13), record->altName);
    record->nameIsPattern = holdsWideWildcard(wide.name);
}

// A text of the process's own that lives until the next call for it.
char* keptText(char** kept, const text::WideText& wide) {
    size_t length = text::textLength(wide.units(), wide.size());
    char* grown = static_cast<char*>(std::realloc(*kept, length + 1));
    if (grown == nullptr) return nullptr;
    *kept = grown;
    text::writeText(wide.units(), wide.size(), grown);
    return grown;
}

}  // namespace

SearchHandle findFirstFile(const char* pattern, FindRecord* record) {
    if (!native::wideCalls()) {
        SearchHandle search = native::findFirstFileA(pattern, record);
        if (search != nullptr) record->nameIsPattern = holdsAnsiWildcard(record->name);
        return search;
    }
    text::WideText path;
    if (!widePath(pattern, path, true)) return nullptr;
    native::WideFindRecord found;
    SearchHandle search = native::findFirstFileW(path.units(), &found);
    if (search != nullptr) fillRecord(found, record);
    return search;
}

bool findNextFile(SearchHandle search, FindRecord* record) {
    if (!native::wideCalls()) {
        if (!native::findNextFileA(search, record)) return false;
        record->nameIsPattern = holdsAnsiWildcard(record->name);
        return true;
    }
    native::WideFindRecord found;
    if (!native::findNextFileW(search, &found)) return false;
    fillRecord(found, record);
    return true;
}

uint32_t getFileAttributes(const char* path) {
    if (!native::wideCalls()) return native::getFileAttributesA(path);
    text::WideText wide;
    return widePath(path, wide, true) ? native::getFileAttributesW(wide.units()) : INVALID_ATTRIBUTES;
}

bool fileIdentity(const char* path, FileIdentity* identity) {
    if (!native::wideCalls()) return native::fileIdentityA(path, identity);
    text::WideText wide;
    return widePath(path, wide, true) && native::fileIdentityW(wide.units(), identity);
}

uint32_t getFullPathName(const char* path, uint32_t capacity, char* buffer) {
    if (!native::wideCalls()) return native::getFullPathNameA(path, capacity, buffer);
    text::WideText wide, full;
    if (!widePath(path, wide, false)) return 0;
    bool made = text::fillBy(full, [&](char16_t* room, uint32_t units) {
        return native::getFullPathNameW(wide.units(), units, room);
    });
    return made ? answerText(full, buffer, capacity) : 0;
}

uint32_t getCurrentDirectory(uint32_t capacity, char* buffer) {
    if (!native::wideCalls()) return native::getCurrentDirectoryA(capacity, buffer);
    text::WideText current;
    bool made = text::fillBy(current, [](char16_t* room, uint32_t units) {
        return native::getCurrentDirectoryW(units, room);
    });
    return made ? answerText(current, buffer, capacity) : 0;
}

uint32_t getModuleFileName(char* buffer, uint32_t capacity) {
    if (!native::wideCalls()) return native::getModuleFileNameA(buffer, capacity);
    text::WideText module;
    bool made = text::fillBy(module, [](char16_t* room, uint32_t units) {
        return native::getModuleFileNameW(room, units);
    });
    return made ? answerText(module, buffer, capacity) : 0;
}

FileHandle openFileForReading(const char* path, uint32_t flags) {
    if (!native::wideCalls()) return native::openFileForReadingA(path, flags);
    text::WideText wide;
    return widePath(path, wide, true) ? native::openFileForReadingW(wide.units(), flags) : nullptr;
}

FILE* openStream(const char* path, const char* mode) {
    if (!native::wideCalls()) return native::openStreamA(path, mode);
    text::WideText wide;
    return widePath(path, wide, true) ? native::openStreamW(wide.units(), mode) : nullptr;
}

ExclusiveOpen testExclusiveOpen(const char* path) {
    if (!native::wideCalls()) return native::testExclusiveOpenA(path);
    text::WideText wide;
    return widePath(path, wide, true) ? native::testExclusiveOpenW(wide.units()) : ExclusiveOpen::failed;
}

const char* environmentVariable(const char* name) {
    if (!native::wideCalls()) return native::environmentVariableA(name);
    static char* kept = nullptr;
    text::WideText wide, value;
    if (!text::appendUtf16(wide, name)) return nullptr;
    native::setLastError(0);
    bool made = text::fillBy(value, [&](char16_t* room, uint32_t units) {
        return native::getEnvironmentVariableW(wide.units(), room, units);
    });
    if (!made && getLastError() != 0) return nullptr;  // an empty value answers 0 as well
    if (!made) value.clear();
    return keptText(&kept, value);
}

void takeProgramArguments(int* count, char*** arguments) {
    int wideCount = 0;
    char16_t** wide = nullptr;
    if (!native::wideCalls() || !native::commandLineW(&wideCount, &wide)) return;
    char** texts = static_cast<char**>(std::calloc(static_cast<size_t>(wideCount) + 1, sizeof(char*)));
    if (texts == nullptr) return;
    for (int k = 0; k < wideCount; ++k) {
        text::WideText argument;
        if (!argument.append(wide[k], unitsBefore(wide[k], 0x8000)) || !keptText(&texts[k], argument))
            return;  // the C runtime's arguments stay
    }
    *count = wideCount;
    *arguments = texts;
}

bool getVolumeFileSystemName(const char* root, char* name, uint32_t capacity) {
    if (!native::wideCalls()) return native::getVolumeFileSystemNameA(root, name, capacity);
    text::WideText wide, fileSystem;
    bool converted = false;
    const char16_t* wideRoot = wideOrNull(root, wide, &converted);
    constexpr uint32_t LONGEST = 261;  // MAX_PATH + 1, the most the call writes
    char16_t* room = fileSystem.room(LONGEST);
    if (!converted || room == nullptr || !native::getVolumeFileSystemNameW(wideRoot, room, LONGEST))
        return false;
    fileSystem.resize(unitsBefore(room, LONGEST));
    return answerText(fileSystem, name, capacity) < capacity;
}

bool getDiskFreeSpace(const char* root, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector) {
    if (!native::wideCalls()) return native::getDiskFreeSpaceA(root, sectorsPerCluster, bytesPerSector);
    text::WideText wide;
    bool converted = false;
    const char16_t* wideRoot = wideOrNull(root, wide, &converted);
    return converted && native::getDiskFreeSpaceW(wideRoot, sectorsPerCluster, bytesPerSector);
}

bool getDiskTotalBytes(const char* root, uint64_t* totalBytes) {
    if (!native::wideCalls()) return native::getDiskTotalBytesA(root, totalBytes);
    text::WideText wide;
    bool converted = false;
    const char16_t* wideRoot = wideOrNull(root, wide, &converted);
    return converted && native::getDiskTotalBytesW(wideRoot, totalBytes);
}

uint32_t getDriveType(const char* path) {
    if (!native::wideCalls()) return native::getDriveTypeA(path);
    constexpr uint32_t DRIVE_NO_ROOT_DIR = 1;
    text::WideText wide;
    return widePath(path, wide, false) ? native::getDriveTypeW(wide.units()) : DRIVE_NO_ROOT_DIR;
}

// Only the first name of the answer is converted; the count covers its two terminators.
uint32_t queryDosDevice(const char* deviceName, char* target, uint32_t capacity) {
    if (!native::wideCalls()) return native::queryDosDeviceA(deviceName, target, capacity);
    text::WideText wide, answer;
    if (!widePath(deviceName, wide, false)) return 0;
    char16_t* room = answer.room(text::WideText::INLINE_UNITS - 1);
    uint32_t stored = native::queryDosDeviceW(wide.units(), room, text::WideText::INLINE_UNITS - 1);
    if (stored == 0) return 0;
    answer.resize(unitsBefore(room, stored));
    uint32_t length = answerText(answer, target, capacity);
    if (length + 1 >= capacity) return 0;
    target[length + 1] = '\0';
    return length + 2;
}

}  // namespace os
