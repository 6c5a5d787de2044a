// The ANSI calls of a Japanese Windows 9x, which has no wide API. The system's code page
// is 932, and it converts on its own:
//   a path                                the same path in UTF-16; bytes that name no
//                                         character fail [ERROR_INVALID_NAME]
//   a path whose full form reaches 260 bytes  fails [ERROR_PATH_NOT_FOUND]
//   a name or path it answers             its code page 932 bytes, with "?" for each UTF-16
//                                         unit the code page cannot write
// "<U+XXXX>" means nothing to it: "<" is a character that no name holds. A "?" that a
// listing gave is a wildcard when it is looked up again. Past the conversion each call
// answers as its wide twin of files.cpp and volumes.cpp does.
#include <cstring>
#include <string>

#include "platform/native.h"
#include "platform/platform.h"
#include "platform/sim/machine.h"
#include "platform/sim/paths.h"
#include "platform/text_form.h"

namespace {

using sim::Name;

constexpr uint32_t ERROR_INVALID_NAME = 123;
constexpr size_t MAX_PATH_BYTES = 260;

std::string ansiOf(const Name& name) {
    std::string bytes;
    for (char16_t unit : name) {
        unsigned code = text::cp932CodeOf(unit);
        if (code == text::NO_CODE) {
            bytes += '?';
            continue;
        }
        if (code > 0xFF) bytes += static_cast<char>(code >> 8);
        bytes += static_cast<char>(code & 0xFF);
    }
    return bytes;
}

// The path as the system reads it; false, with the call's error, when it refuses it.
bool widePath(const char* path, Name* wide) {
    text::WideText units;
    if (!text::appendCp932(units, path, std::strlen(path))) {
        native::setLastError(ERROR_INVALID_NAME);
        return false;
    }
    *wide = Name(units.units(), units.size());
    if (!wide->empty() && ansiOf(sim::fullPathOf(*wide)).size() >= MAX_PATH_BYTES) {
        native::setLastError(os::ERROR_PATH_NOT_FOUND);
        return false;
    }
    return true;
}

void copyName(const char16_t* units, char* out, size_t capacity) {
    std::string bytes = ansiOf(units);
    std::snprintf(out, capacity, "%s", bytes.c_str());
}

void fillRecord(const native::WideFindRecord& wide, os::FindRecord* record) {
    std::memset(record, 0, sizeof *record);
    native::copyMetadata(wide, record);
    copyName(wide.name, record->name, 260);
    copyName(wide.altName, record->altName, 14);
}

// The calls that fill a buffer: the length written, or the capacity needed.
uint32_t answer(const Name& text, uint32_t capacity, char* buffer) {
    std::string bytes = ansiOf(text);
    if (bytes.size() + 1 > capacity) return static_cast<uint32_t>(bytes.size() + 1);
    std::memcpy(buffer, bytes.c_str(), bytes.size() + 1);
    return static_cast<uint32_t>(bytes.size());
}

Name wideRoot(const char* root, bool* known) {
    Name wide;
    *known = root == nullptr || widePath(root, &wide);
    return wide;
}

}  // namespace

namespace native {

os::SearchHandle findFirstFileA(const char* pattern, os::FindRecord* record) {
    Name wide;
    WideFindRecord found;
    if (!widePath(pattern, &wide)) return nullptr;
    os::SearchHandle search = findFirstFileW(wide.c_str(), &found);
    if (search != nullptr) fillRecord(found, record);
    return search;
}

bool findNextFileA(os::SearchHandle search, os::FindRecord* record) {
    WideFindRecord found;
    if (!findNextFileW(search, &found)) return false;
    fillRecord(found, record);
    return true;
}

uint32_t getFileAttributesA(const char* path) {
    Name wide;
    return widePath(path, &wide) ? getFileAttributesW(wide.c_str()) : os::INVALID_ATTRIBUTES;
}

bool fileIdentityA(const char* path, os::FileIdentity* identity) {
    Name wide;
    return widePath(path, &wide) && fileIdentityW(wide.c_str(), identity);
}

uint32_t getFullPathNameA(const char* path, uint32_t capacity, char* buffer) {
    Name wide;
    if (path[0] == '\0' || !widePath(path, &wide)) return 0;
    return answer(sim::fullPathOf(wide), capacity, buffer);
}

uint32_t getCurrentDirectoryA(uint32_t capacity, char* buffer) {
    if (sim::machine().currentDirectory.empty()) return 0;
    return answer(sim::wide(sim::machine().currentDirectory), capacity, buffer);
}

uint32_t getModuleFileNameA(char* buffer, uint32_t capacity) {
    std::string path = ansiOf(sim::wide(sim::machine().modulePath));
    if (path.empty()) return 0;
    size_t length = std::min<size_t>(path.size(), capacity - 1);
    std::memcpy(buffer, path.c_str(), length);
    buffer[length] = '\0';
    return static_cast<uint32_t>(length);
}

os::FileHandle openFileForReadingA(const char* path, uint32_t flags) {
    Name wide;
    return widePath(path, &wide) ? openFileForReadingW(wide.c_str(), flags) : nullptr;
}

FILE* openStreamA(const char* path, const char* mode) {
    Name wide;
    if (!widePath(path, &wide)) {
        sim::machine().streamOpens.nextFails();  // an open was asked for all the same
        return nullptr;
    }
    return openStreamW(wide.c_str(), mode);
}

os::ExclusiveOpen testExclusiveOpenA(const char* path) {
    Name wide;
    return widePath(path, &wide) ? testExclusiveOpenW(wide.c_str()) : os::ExclusiveOpen::failed;
}

// getenv finds a name without regard to case, as Windows does.
const char* environmentVariableA(const char* name) {
    static std::string kept;
    for (const auto& variable : sim::machine().environment) {
        if (!sim::sameName(sim::wide(variable.first), sim::wide(name))) continue;
        kept = ansiOf(sim::wide(variable.second));
        return kept.c_str();
    }
    return nullptr;
}

bool getVolumeFileSystemNameA(const char* root, char* name, uint32_t capacity) {
    bool known = false;
    Name wide = wideRoot(root, &known);
    char16_t units[261];
    if (!known || !getVolumeFileSystemNameW(root ? wide.c_str() : nullptr, units, 261)) return false;
    copyName(units, name, capacity);
    return true;
}

bool getDiskFreeSpaceA(const char* root, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector) {
    bool known = false;
    Name wide = wideRoot(root, &known);
    return known && getDiskFreeSpaceW(root ? wide.c_str() : nullptr, sectorsPerCluster, bytesPerSector);
}

bool getDiskTotalBytesA(const char* root, uint64_t* totalBytes) {
    bool known = false;
    Name wide = wideRoot(root, &known);
    return known && getDiskTotalBytesW(root ? wide.c_str() : nullptr, totalBytes);
}

uint32_t getDriveTypeA(const char* path) {
    Name wide;
    return widePath(path, &wide) ? getDriveTypeW(wide.c_str()) : 1;
}

uint32_t queryDosDeviceA(const char* deviceName, char* target, uint32_t capacity) {
    Name wide;
    char16_t units[1024];
    if (!widePath(deviceName, &wide)) return 0;
    uint32_t stored = queryDosDeviceW(wide.c_str(), units, 1024);
    if (stored == 0) return 0;
    copyName(units, target, capacity);
    return stored;
}

}  // namespace native
