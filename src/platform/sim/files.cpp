// Files and directories of the simulated machine, through the wide calls of the NT family.
//
// Every call that takes a path refuses it when it, or its full form, has MAX_PATH_UNITS
// (260) units or more, as Windows does without the long form:
//   path                                           answer
//   C:\...  below 260 units, as its full form      as below
//   C:\...  of 260 units or more                   fails [ERROR_PATH_NOT_FOUND]
//   C:\a\..\b  of 260 units, its full form shorter  fails [ERROR_PATH_NOT_FOUND]
//   a relative path whose full form reaches 260    fails [ERROR_PATH_NOT_FOUND]
//   \\?\C:\...  \\?\UNC\server\share\...           as below at any length, nothing normalized
//   \\?\ followed by anything else                 fails [ERROR_PATH_NOT_FOUND]
// GetFullPathNameW and GetCurrentDirectoryW answer at any length.
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/native.h"
#include "platform/platform.h"
#include "platform/sim/handles.h"
#include "platform/sim/machine.h"
#include "platform/sim/paths.h"

namespace {

using sim::Name;
using sim::Node;

uint32_t lastError = 0;

std::string hostBytes(const std::string& hostFile) {
    std::string bytes;
    if (FILE* in = std::fopen(hostFile.c_str(), "rb")) {
        char block[4096];
        for (size_t got; (got = std::fread(block, 1, sizeof block, in)) > 0;) bytes.append(block, got);
        std::fclose(in);
    }
    return bytes;
}

void fillRecord(const Node& node, const Name& name, native::WideFindRecord* record) {
    std::memset(record, 0, sizeof *record);
    record->attributes = node.attributes;
    record->creationTime = node.creationTime;
    record->accessTime = node.accessTime;
    record->writeTime = node.writeTime;
    uint64_t size = 0;
    if (!node.isDirectory()) {
        if (node.listedSize >= 0)
            size = static_cast<uint64_t>(node.listedSize);
        else if (!node.hostFile.empty())
            size = hostBytes(node.hostFile).size();
        else
            size = node.contents.size();
    }
    record->sizeHigh = static_cast<uint32_t>(size >> 32);
    record->sizeLow = static_cast<uint32_t>(size);
    name.copy(record->name, 259);
    node.altName.copy(record->altName, 13);
}

struct Search {
    std::vector<std::pair<const Node*, Name>> entries;
    size_t next = 0;
};

bool hasWildcard(const Name& text) { return text.find_first_of(u"*?") != Name::npos; }

// A path refused for its length; answers whether it was.
bool refused(const char16_t* path) {
    if (!sim::beyondMaxPath(path)) return false;
    lastError = os::ERROR_PATH_NOT_FOUND;
    return true;
}

// Answers the way the calls that fill a buffer do: the length written, or the capacity
// needed (terminator included) when it does not fit.
uint32_t answer(const Name& text, uint32_t capacity, char16_t* buffer) {
    if (text.size() + 1 > capacity) return static_cast<uint32_t>(text.size() + 1);
    text.copy(buffer, text.size());
    buffer[text.size()] = 0;
    return static_cast<uint32_t>(text.size());
}

// Streams whose write failed: their data is lost, so their close fails as well, as a full
// disk makes the last flush fail.
std::set<FILE*> failedStreams;

}  // namespace

namespace native {

bool wideCalls() {
    const os::VersionInfo& version = sim::machine().version;
    return version.readable && version.platformId == 2;
}

void setLastError(uint32_t error) { lastError = error; }

// FindFirstFileW as the program meets it; the last error in brackets when it fails.
//   pattern                             answer
//   C:\dir\*      (dir not a root)      ".", "..", then every entry of dir
//   C:\*          (a volume root)       every entry; a root has no "." and ".."
//   C:\*          (an empty root)       fails [ERROR_FILE_NOT_FOUND]
//   C:\dir\*.x    (nothing matches)     fails [ERROR_FILE_NOT_FOUND]
//   C:\dir\name                         that one entry, spelled as the directory keeps it
//   C:\dir\name   (missing)             fails [ERROR_FILE_NOT_FOUND]
//   C:\gone\name  (missing on the way)  fails [ERROR_PATH_NOT_FOUND]
//   C:\dir\  C:\  (nothing to match)    fails [ERROR_PATH_NOT_FOUND]
//   on a volume that does not answer    fails [ERROR_PATH_NOT_FOUND]
//   listingFails on the directory       fails [ERROR_ACCESS_DENIED]
//   listsNothing on the directory       fails [ERROR_FILE_NOT_FOUND], as if gone meanwhile
//   C:\dir\link\*                        the entries of the directory the link leads to
//   C:\dir\link                          the link itself: its own name, times and 0x410
// A wildcard matches long and 8.3 names alike and ignores the case of ASCII letters; a name
// is found by its 8.3 name too; "*.*" matches every name, dotted or not.
os::SearchHandle findFirstFileW(const char16_t* pattern, WideFindRecord* record) {
    if (refused(pattern)) return nullptr;
    sim::Resolved at = sim::resolvePath(pattern);
    lastError = os::ERROR_PATH_NOT_FOUND;
    if (at.volume == nullptr || !at.volume->answers || at.trailingSeparator ||
        at.atRoot || at.parent == nullptr)
        return nullptr;
    lastError = os::ERROR_FILE_NOT_FOUND;
    const Name& last = at.last;
    auto* search = new Search();
    if (!hasWildcard(last)) {
        if (at.node == nullptr || at.node->lookupFails) {
            delete search;
            return nullptr;
        }
        search->entries.emplace_back(at.node, at.node->name);
    } else {
        if (at.parent->listingFails) {
            lastError = 5;  // access denied
            delete search;
            return nullptr;
        }
        bool isRoot = at.parent == &at.holder->top;  // a link to a root lists no "." either
        if (!isRoot && sim::wildcardMatches(last.c_str(), u".")) {
            search->entries.emplace_back(at.parent, u".");
            search->entries.emplace_back(at.parent, u"..");
        }
        for (const auto& child : at.parent->children)
            if (sim::wildcardMatches(last.c_str(), child->name.c_str()) ||
                (!child->altName.empty() && sim::wildcardMatches(last.c_str(), child->altName.c_str())))
                search->entries.emplace_back(child.get(), child->name);
        if (at.parent->listsNothing) search->entries.clear();
    }
    if (search->entries.empty()) {
        delete search;
        return nullptr;
    }
    fillRecord(*search->entries[0].first, search->entries[0].second, record);
    search->next = 1;
    ++sim::machine().searchesOpen;
    return search;
}

bool findNextFileW(os::SearchHandle handle, WideFindRecord* record) {
    auto* search = static_cast<Search*>(handle);
    if (search->next >= search->entries.size()) return false;
    const auto& entry = search->entries[search->next++];
    fillRecord(*entry.first, entry.second, record);
    return true;
}

// GetFileAttributesW:
//   path                                answer
//   C:\  (a volume root)                FILE_ATTRIBUTE_DIRECTORY
//   \\server\share                      FILE_ATTRIBUTE_DIRECTORY
//   \\server\share\                     fails
//   an entry                            its attribute word as the test set it, 0 included
//   a file named with a trailing "\"    fails
//   missing, attributesFail, or on a volume that does not answer: fails
uint32_t getFileAttributesW(const char16_t* path) {
    if (refused(path)) return os::INVALID_ATTRIBUTES;
    sim::Resolved at = sim::resolvePath(path);
    if (at.volume == nullptr || !at.volume->answers) return os::INVALID_ATTRIBUTES;
    bool share = at.volume->root[0] == '\\';
    if (at.atRoot) {
        if (share && at.trailingSeparator) return os::INVALID_ATTRIBUTES;
        return os::ATTR_DIRECTORY;
    }
    if (at.node == nullptr || at.node->attributesFail) return os::INVALID_ATTRIBUTES;
    if (at.trailingSeparator && !at.node->isDirectory()) return os::INVALID_ATTRIBUTES;
    return at.node->attributes;
}

// CreateFileW(path, 0, ..., FILE_FLAG_BACKUP_SEMANTICS) and GetFileInformationByHandle:
//   path                                answer
//   a file, a directory (a trailing "\" allowed for it), a volume root
//                                       its volume's serial number and its fileIndex, or an
//                                       index of its own when that is -1
//   a link                              the identity of the directory it leads to
//   missing, a link that leads nowhere, a volume that does not answer: fails
// The identities fault fails the call by its number.
bool fileIdentityW(const char16_t* path, os::FileIdentity* identity) {
    if (sim::machine().identities.nextFails() || refused(path)) return false;
    sim::Resolved at = sim::resolvePath(path);
    if (at.volume == nullptr || !at.volume->answers) return false;
    sim::Volume* holder = at.holder;
    Node* node = at.atRoot ? &at.volume->top : sim::followLinks(at.node, &holder);
    if (node == nullptr || (at.trailingSeparator && !node->isDirectory())) return false;
    identity->volumeSerial = holder->serialNumber;
    identity->fileIndex = node->fileIndex >= 0 ? static_cast<uint64_t>(node->fileIndex)
                                               : static_cast<uint64_t>(reinterpret_cast<uintptr_t>(node));
    return true;
}

// GetFullPathNameW and GetCurrentDirectoryW: the length written, or the capacity needed
// (terminator included) when it does not fit; 0 for an empty path or an unknowable current
// directory. Full paths are read as paths.cpp reads them and keep a trailing separator.
uint32_t getFullPathNameW(const char16_t* path, uint32_t capacity, char16_t* buffer) {
    if (path[0] == 0) return 0;
    return answer(sim::fullPathOf(path), capacity, buffer);
}

uint32_t getCurrentDirectoryW(uint32_t capacity, char16_t* buffer) {
    if (sim::machine().currentDirectory.empty()) return 0;  // a test made it unknowable
    return answer(sim::wide(sim::machine().currentDirectory), capacity, buffer);
}

// GetModuleFileNameW: cut short to the capacity, which it then answers.
uint32_t getModuleFileNameW(char16_t* buffer, uint32_t capacity) {
    const Name path = sim::wide(sim::machine().modulePath);
    if (path.empty()) return 0;
    size_t length = std::min<size_t>(path.size(), capacity - 1);
    path.copy(buffer, length);
    buffer[length] = 0;
    return path.size() >= capacity ? capacity : static_cast<uint32_t>(length);
}

// CreateFileW for reading: fails on a directory, a missing file, openFails and a volume that
// does not answer. ReadFile fails at the read readFailsAt counts to, and, on a handle opened
// with FILE_FLAG_NO_BUFFERING, for a size or buffer address that is no whole number of
// sectors.
os::FileHandle openFileForReadingW(const char16_t* path, uint32_t flags) {
    if (refused(path)) return nullptr;
    sim::Resolved at = sim::resolvePath(path);
    if (at.node == nullptr || at.node->isDirectory() || at.node->openFails || !at.volume->answers)
        return nullptr;
    sim::record("open " + sim::textOf(path) + ((flags & os::FLAG_NO_BUFFERING) ? " unbuffered" : ""));
    auto* file = new sim::OpenFile();
    file->node = at.node;
    file->bytes = at.node->hostFile.empty() ? at.node->contents : hostBytes(at.node->hostFile);
    file->flags = flags;
    file->sectorSize = at.volume->bytesPerSector;
    return file;
}

// _wfopen:
//   mode                 entry                       answer
//   "r", "rb"            a file                      a stream over a copy of its bytes
//   "r", "rb"            missing                     null
//   "w", "a", "w+"       missing, parent a directory  the file, created empty
//   "r+"                 missing                     null
//   writing              heldOpen                    null (another process has it)
//   any                  a directory, or openFails   null
// The streamOpens fault fails any of them. What is written lands in a host file below
// hostDir, which contentsOf reads back.
FILE* openStreamW(const char16_t* path, const char* mode) {
    if (sim::machine().streamOpens.nextFails() || refused(path)) return nullptr;
    sim::Resolved at = sim::resolvePath(path);
    if (at.volume == nullptr || at.parent == nullptr || !at.parent->isDirectory()) return nullptr;
    bool writing = std::strpbrk(mode, "wa+") != nullptr;
    Node* node = at.node;
    if (node != nullptr && (node->isDirectory() || node->openFails)) return nullptr;
    if (node != nullptr && writing && node->heldOpen) return nullptr;
    if (!writing) {
        if (node == nullptr) return nullptr;
        if (!node->hostFile.empty()) return std::fopen(node->hostFile.c_str(), mode);
        FILE* copy = std::tmpfile();
        if (copy == nullptr) return nullptr;
        std::fwrite(node->contents.data(), 1, node->contents.size(), copy);
        std::rewind(copy);
        return copy;
    }
    if (node == nullptr) {
        if (mode[0] == 'r') return nullptr;
        node = &sim::addFile(sim::textOf(sim::fullPathOf(path)), "");
    }
    if (node->hostFile.empty()) {
        node->hostFile = sim::hostPathOf(path);
        FILE* seed = std::fopen(node->hostFile.c_str(), "wb");
        if (seed == nullptr) return nullptr;
        std::fwrite(node->contents.data(), 1, node->contents.size(), seed);
        std::fclose(seed);
    }
    return std::fopen(node->hostFile.c_str(), mode);
}

// CreateFileW without sharing, as _lopen with OF_SHARE_EXCLUSIVE: a sharing violation for a
// file heldOpen; fails on a directory or a missing file.
os::ExclusiveOpen testExclusiveOpenW(const char16_t* path) {
    if (refused(path)) return os::ExclusiveOpen::failed;
    Node* node = sim::resolvePath(path).node;
    if (node == nullptr || node->isDirectory()) return os::ExclusiveOpen::failed;
    return node->heldOpen ? os::ExclusiveOpen::sharingViolation : os::ExclusiveOpen::opened;
}

// GetEnvironmentVariableW finds a name without regard to case, as Windows does.
uint32_t getEnvironmentVariableW(const char16_t* name, char16_t* buffer, uint32_t capacity) {
    for (const auto& variable : sim::machine().environment) {
        if (!sim::sameName(sim::wide(variable.first), name)) continue;
        uint32_t length = answer(sim::wide(variable.second), capacity, buffer);
        if (length == 0) lastError = 0;
        return length;
    }
    lastError = 203;  // ERROR_ENVVAR_NOT_FOUND
    return 0;
}

// Tests give main's arguments in the program's text already.
bool commandLineW(int*, char16_t***) { return false; }

}  // namespace native

namespace os {

uint32_t getLastError() { return lastError; }

void findClose(SearchHandle handle) {
    --sim::machine().searchesOpen;
    delete static_cast<Search*>(handle);
}

bool readFile(FileHandle handle, void* buffer, uint32_t size, uint32_t* bytesRead) {
    auto* file = static_cast<sim::OpenFile*>(handle);
    if (!sim::onFirstThread()) ++sim::machine().readsBeside;
    *bytesRead = 0;
    if (file->reads++ == file->node->readFailsAt) return false;
    if ((file->flags & FLAG_NO_BUFFERING) != 0 &&
        (size % file->sectorSize != 0 || reinterpret_cast<uintptr_t>(buffer) % file->sectorSize != 0))
        return false;  // unbuffered reads take whole sectors into aligned memory
    size_t count = std::min<size_t>(size, file->bytes.size() - file->position);
    std::memcpy(buffer, file->bytes.data() + file->position, count);
    file->position += count;
    *bytesRead = static_cast<uint32_t>(count);
    return true;
}

void closeHandle(void* handle) {
    if (handle == nullptr) return;
    switch (*static_cast<sim::HandleKind*>(handle)) {
    case sim::HandleKind::file: delete static_cast<sim::OpenFile*>(handle); break;
    case sim::HandleKind::volume: delete static_cast<sim::OpenVolume*>(handle); break;
    case sim::HandleKind::event: delete static_cast<sim::Event*>(handle); break;
    }
}

int writeStream(FILE* stream, const char* format, va_list arguments) {
    if (sim::machine().streamWrites.nextFails()) {
        failedStreams.insert(stream);
        return -1;
    }
    return std::vfprintf(stream, format, arguments);
}

int closeStream(FILE* stream) {
    bool failed = failedStreams.erase(stream) > 0;
    if (sim::machine().streamCloses.nextFails()) failed = true;
    int result = std::fclose(stream);
    return failed ? EOF : result;
}

}  // namespace os
