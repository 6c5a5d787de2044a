// Files and directories of the simulated machine.
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/handles.h"
#include "platform/sim/machine.h"
#include "platform/sim/paths.h"

namespace os {

using sim::Node;

static void fillRecord(const Node& node, const std::string& name, FindRecord* record) {
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
            size = sim::contentsOf(node.hostFile).size();
        else
            size = node.contents.size();
    }
    record->sizeHigh = static_cast<uint32_t>(size >> 32);
    record->sizeLow = static_cast<uint32_t>(size);
    std::snprintf(record->name, sizeof record->name, "%s", name.c_str());
    std::snprintf(record->altName, sizeof record->altName, "%s", node.altName.c_str());
}

namespace {
struct Search {
    std::vector<std::pair<const Node*, std::string>> entries;
    size_t next = 0;
};
}  // namespace

static bool hasWildcard(const std::string& text) {
    return text.find_first_of("*?") != std::string::npos;
}

static uint32_t lastError = 0;

uint32_t getLastError() { return lastError; }

// FindFirstFileA as the program meets it; the last error in brackets when it fails.
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
SearchHandle findFirstFile(const char* pattern, FindRecord* record) {
    sim::Resolved at = sim::resolvePath(pattern);
    lastError = ERROR_PATH_NOT_FOUND;
    if (at.volume == nullptr || !at.volume->answers || at.trailingSeparator ||
        at.atRoot || at.parent == nullptr)
        return nullptr;
    lastError = ERROR_FILE_NOT_FOUND;
    const std::string& last = at.last;
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
        if (!isRoot && sim::wildcardMatches(last.c_str(), ".")) {
            search->entries.emplace_back(at.parent, ".");
            search->entries.emplace_back(at.parent, "..");
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

bool findNextFile(SearchHandle handle, FindRecord* record) {
    auto* search = static_cast<Search*>(handle);
    if (search->next >= search->entries.size()) return false;
    const auto& entry = search->entries[search->next++];
    fillRecord(*entry.first, entry.second, record);
    return true;
}

void findClose(SearchHandle handle) {
    --sim::machine().searchesOpen;
    delete static_cast<Search*>(handle);
}

// GetFileAttributesA:
//   path                                answer
//   C:\  (a volume root)                FILE_ATTRIBUTE_DIRECTORY
//   \\server\share                      FILE_ATTRIBUTE_DIRECTORY
//   \\server\share\                     fails
//   an entry                            its attribute word as the test set it, 0 included
//   a file named with a trailing "\"    fails
//   missing, attributesFail, or on a volume that does not answer: fails
uint32_t getFileAttributes(const char* path) {
    sim::Resolved at = sim::resolvePath(path);
    if (at.volume == nullptr || !at.volume->answers) return INVALID_ATTRIBUTES;
    bool share = at.volume->root[0] == '\\';
    if (at.atRoot) {
        if (share && at.trailingSeparator) return INVALID_ATTRIBUTES;
        return ATTR_DIRECTORY;
    }
    if (at.node == nullptr || at.node->attributesFail) return INVALID_ATTRIBUTES;
    if (at.trailingSeparator && !at.node->isDirectory()) return INVALID_ATTRIBUTES;
    return at.node->attributes;
}

// CreateFileA(path, 0, ..., FILE_FLAG_BACKUP_SEMANTICS) and GetFileInformationByHandle:
//   path                                answer
//   a file, a directory (a trailing "\" allowed for it), a volume root
//                                       its volume's serial number and its fileIndex, or an
//                                       index of its own when that is -1
//   a link                              the identity of the directory it leads to
//   missing, a link that leads nowhere, a volume that does not answer: fails
// The identities fault fails the call by its number.
bool fileIdentity(const char* path, FileIdentity* identity) {
    if (sim::machine().identities.nextFails()) return false;
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

// GetFullPathNameA and GetCurrentDirectoryA: the length written, or the capacity needed
// (terminator included) when it does not fit; 0 for an empty path or an unknowable current
// directory. Full paths are read as paths.cpp reads them and keep a trailing separator.
static uint32_t answer(const std::string& text, uint32_t capacity, char* buffer) {
    if (text.size() + 1 > capacity) return static_cast<uint32_t>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<uint32_t>(text.size());
}

uint32_t getFullPathName(const char* path, uint32_t capacity, char* buffer) {
    if (path[0] == '\0') return 0;
    return answer(sim::fullPathOf(path), capacity, buffer);
}

uint32_t getCurrentDirectory(uint32_t capacity, char* buffer) {
    if (sim::machine().currentDirectory.empty()) return 0;  // a test made it unknowable
    return answer(sim::machine().currentDirectory, capacity, buffer);
}

uint32_t getModuleFileName(char* buffer, uint32_t capacity) {
    const std::string& path = sim::machine().modulePath;
    if (path.empty()) return 0;
    size_t length = std::min<size_t>(path.size(), capacity - 1);
    std::memcpy(buffer, path.c_str(), length);
    buffer[length] = '\0';
    return static_cast<uint32_t>(length);
}

// CreateFileA for reading: fails on a directory, a missing file, openFails and a volume that
// does not answer. ReadFile fails at the read readFailsAt counts to, and, on a handle opened
// with FILE_FLAG_NO_BUFFERING, for a size or buffer address that is no whole number of
// sectors.
FileHandle openFileForReading(const char* path, uint32_t flags) {
    sim::Resolved at = sim::resolvePath(path);
    if (at.node == nullptr || at.node->isDirectory() || at.node->openFails || !at.volume->answers)
        return nullptr;
    sim::record("open " + std::string(path) + ((flags & FLAG_NO_BUFFERING) ? " unbuffered" : ""));
    auto* file = new sim::OpenFile();
    file->node = at.node;
    file->bytes = at.node->hostFile.empty() ? at.node->contents : sim::contentsOf(path);
    file->flags = flags;
    file->sectorSize = at.volume->bytesPerSector;
    return file;
}

bool readFile(FileHandle handle, void* buffer, uint32_t size, uint32_t* bytesRead) {
    auto* file = static_cast<sim::OpenFile*>(handle);
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

void closeHandle(FileHandle handle) {
    if (handle == nullptr) return;
    if (*static_cast<sim::HandleKind*>(handle) == sim::HandleKind::volume)
        delete static_cast<sim::OpenVolume*>(handle);
    else
        delete static_cast<sim::OpenFile*>(handle);
}

// fopen:
//   mode                 entry                       answer
//   "r", "rb"            a file                      a stream over a copy of its bytes
//   "r", "rb"            missing                     null
//   "w", "a", "w+"       missing, parent a directory  the file, created empty
//   "r+"                 missing                     null
//   writing              heldOpen                    null (another process has it)
//   any                  a directory, or openFails   null
// The streamOpens fault fails any of them. What is written lands in a host file below
// hostDir, which contentsOf reads back.
FILE* openStream(const char* path, const char* mode) {
    if (sim::machine().streamOpens.nextFails()) return nullptr;
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
        node = &sim::addFile(path, "");
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

// Streams whose write failed: their data is lost, so their close fails as well, as a full
// disk makes the last flush fail.
static std::set<FILE*> failedStreams;

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

// _lopen with OF_SHARE_EXCLUSIVE: a sharing violation for a file heldOpen; fails on a
// directory or a missing file.
ExclusiveOpen testExclusiveOpen(const char* path) {
    Node* node = sim::find(path);
    if (node == nullptr || node->isDirectory()) return ExclusiveOpen::failed;
    return node->heldOpen ? ExclusiveOpen::sharingViolation : ExclusiveOpen::opened;
}

}  // namespace os
