#include "platform/sim/machine.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/sim/paths.h"
#include "platform/text_form.h"

namespace sim {

static Machine* theMachine = nullptr;

Machine& machine() {
    if (theMachine == nullptr) resetMachine();
    return *theMachine;
}

void resetMachine() {
    delete theMachine;
    forgetDirectories();
    theMachine = new Machine();
    char pattern[] = "/tmp/morvi-sim-XXXXXX";
    const char* dir = mkdtemp(pattern);
    theMachine->hostDir = dir ? dir : "/tmp";
    addVolume("C:\\");
    addFile(theMachine->modulePath, "");  // the running executable can be looked up
    addDirectory("C:\\work");
}

void record(const std::string& event) { machine().events.push_back(event); }

Name wide(const std::string& text) {
    text::WideText units;
    if (!text::appendUtf16(units, text.data(), text.size())) {
        std::fprintf(stderr, "sim: no characters in %s\n", text.c_str());
        std::abort();
    }
    return Name(units.units(), units.size());
}

std::string textOf(const Name& name) {
    std::string out(text::textLength(name.data(), name.size()), '\0');
    text::writeText(name.data(), name.size(), &out[0]);
    return out;
}

bool CallFaults::nextFails() {
    ++made;
    return failAt != 0 && (made == failAt || (onward && made > failAt));
}

Node* Node::child(const Name& wanted) {
    for (auto& entry : children)
        if (sameName(entry->name, wanted) || (!entry->altName.empty() && sameName(entry->altName, wanted)))
            return entry.get();
    return nullptr;
}

Volume& addVolume(const std::string& root, const std::string& fileSystem) {
    auto volume = std::make_unique<Volume>();
    volume->root = root;
    volume->wideRoot = wide(root);
    volume->fileSystem = fileSystem;
    volume->top.attributes = os::ATTR_DIRECTORY;
    volume->serialNumber = 0x5E000000u + static_cast<uint32_t>(machine().volumes.size());
    if (root.size() > 2 && root[0] == '\\') volume->driveType = os::DRIVE_REMOTE;
    machine().volumes.push_back(std::move(volume));
    return *machine().volumes.back();
}

Volume* volumeOf(const std::string& root) {
    for (auto& volume : machine().volumes)
        if (sameName(volume->wideRoot, wide(root))) return volume.get();
    return nullptr;
}

static Node& addNode(const std::string& path, bool directory) {
    Resolved at = resolvePath(wide(path));
    if (at.volume == nullptr) {
        std::fprintf(stderr, "sim: no volume for %s\n", path.c_str());
        std::abort();
    }
    const std::vector<Name> names = namesBelowRoot(wide(path));
    Node* node = &at.volume->top;
    for (size_t k = 0; k < names.size(); ++k) {
        Node* next = node->child(names[k]);
        if (next == nullptr) {
            auto created = std::make_unique<Node>();
            created->name = names[k];
            bool last = k + 1 == names.size();
            created->attributes = (!last || directory) ? os::ATTR_DIRECTORY : os::ATTR_ARCHIVE;
            next = created.get();
            node->children.push_back(std::move(created));
        }
        node = next;
    }
    return *node;
}

Node& addDirectory(const std::string& path) { return addNode(path, true); }

Node& addFile(const std::string& path, const std::string& contents) {
    Node& node = addNode(path, false);
    node.contents = contents;
    return node;
}

Node& addLink(const std::string& path, const std::string& target) {
    Node& link = addNode(path, true);
    link.attributes = os::ATTR_DIRECTORY | os::ATTR_REPARSE_POINT;
    link.linkTarget = wide(target);
    return link;
}

Node* find(const std::string& path) { return resolvePath(wide(path)).node; }

void setTimes(Node& node, os::FileTime write, os::FileTime creation, os::FileTime access) {
    node.writeTime = write;
    node.creationTime = creation ? creation : write;
    node.accessTime = access ? access : write;
}

std::string contentsOf(const std::string& path) {
    Node* node = find(path);
    std::string host = hostPathOf(wide(path));
    std::ifstream in(host, std::ios::binary);
    if (in) {
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    return node ? node->contents : std::string();
}

}  // namespace sim
