// How the simulated machine reads a Windows path: which volume, which entries.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/machine.h"

namespace sim {

struct Resolved {
    Volume* volume = nullptr;
    bool atRoot = false;                  // no name below the volume root ("." and ".." applied)
    std::string last;                     // the last name below the root
    Node* parent = nullptr;               // the directory holding the last component
    Node* node = nullptr;                 // the entry itself, nullptr when missing
    Volume* holder = nullptr;             // the volume of parent: behind a link, perhaps another
    bool trailingSeparator = false;
};

// ASCII letters without regard to case, every other byte exact.
bool sameName(const std::string& a, const std::string& b);

// Windows' own wildcard match of a name (case ignored).
bool wildcardMatches(const char* pattern, const char* name);

// The full path the way GetFullPathNameA would write it.
std::string fullPathOf(const std::string& path);

Resolved resolvePath(std::string_view path);

// The names below the volume root, "." and ".." applied.
std::vector<std::string> namesBelowRoot(const std::string& path);

// Drops the directories remembered under Machine::fixedTree.
void forgetDirectories();

// The directory that a directory link leads to, through further links; the node itself when
// it is no link; nullptr when a link leads nowhere. *holder becomes the volume it is on.
Node* followLinks(Node* node, Volume** holder);

// Where a file written through a stream keeps its bytes on the host.
std::string hostPathOf(const std::string& path);

}  // namespace sim
