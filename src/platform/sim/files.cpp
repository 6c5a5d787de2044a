// Files and directories of the simulated machine.
#include <cstring>
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

SearchHandle findFirstFile(const char* pattern, FindRecord* record) {
    sim::Resolved at = sim::resolvePath(pattern);
    lastError = ERROR_PATH_NOT_FOUND;
    if (at.volume == nullptr || !at.volume->answers || at.trailingSeparator ||
        at.components.empty() || at.parent == nullptr)
        return nullptr;
    lastError = ERROR_FILE_NOT_FOUND;
    const std::string& last = at.components.back();
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
        bool isRoot = at.parent == &at.volume->top;
        if (!isRoot && sim::wildcardMatches(last.c_str(), ".")) {
            search->entries.emplace_back(at.parent, ".");
            search->entries.emplace_back(at.parent, "..");
        }
        for (const auto& child : at.parent->children)
            if (sim::wildcardMatches(last.c_str(), child->name.c_str()) ||
                (!child->altName.empty() && sim::wildcardMatches(last.c_str(), child->altName.c_str())))
                search->entries.emplace_back(child.get(), child->name);
    }
    if (search->entries.empty()) {
        delete search;
        return nullptr;
    }
    fillRecord(*search->entries[0].first, search->entries[0].second, record);
    search->next = 1;
    return search;
}

bool findNextFile(SearchHandle handle, FindRecord* record) {
    auto* search = static_cast<Search*>(handle);
    if (search->next >= search->entries.size()) return false;
    const auto& entry = search->entries[search->next++];
    fillRecord(*entry.first, entry.second, record);
    return true;
}

void findClose(SearchHandle handle) { delete static_cast<Search*>(handle); }

uint32_t getFileAttributes(const char* path) {
    sim::Resolved at = sim::resolvePath(path);
    if (at.volume == nullptr || !at.volume->answers) return INVALID_ATTRIBUTES;
    bool share = at.volume->root[0] == '\\';
    if (at.components.empty()) {
        if (share && at.trailingSeparator) return INVALID_ATTRIBUTES;
        return ATTR_DIRECTORY;
    }
    if (at.node == nullptr || at.node->attributesFail) return INVALID_ATTRIBUTES;
    if (at.trailingSeparator && !at.node->isDirectory()) return INVALID_ATTRIBUTES;
    return at.node->attributes;
}

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

FILE* openStream(const char* path, const char* mode) {
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

ExclusiveOpen testExclusiveOpen(const char* path) {
    Node* node = sim::find(path);
    if (node == nullptr || node->isDirectory()) return ExclusiveOpen::failed;
    return node->heldOpen ? ExclusiveOpen::sharingViolation : ExclusiveOpen::opened;
}

}  // namespace os
