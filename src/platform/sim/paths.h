// How the simulated machine reads a Windows path: which volume, which entries.
#pragma once

#include <string>
#include <vector>

#include "platform/sim/machine.h"

namespace sim {

struct Resolved {
    Volume* volume = nullptr;
    std::vector<std::string> components;  // below the volume root, "." and ".." applied
    Node* parent = nullptr;               // the directory holding the last component
    Node* node = nullptr;                 // the entry itself, nullptr when missing
    bool trailingSeparator = false;
};

// ASCII letters without regard to case, every other byte exact.
bool sameName(const std::string& a, const std::string& b);

// Windows' own wildcard match of a name (case ignored).
bool wildcardMatches(const char* pattern, const char* name);

// The full path the way GetFullPathNameA would write it.
std::string fullPathOf(const std::string& path);

Resolved resolvePath(const std::string& path);

// Where a file written through a stream keeps its bytes on the host.
std::string hostPathOf(const std::string& path);

}  // namespace sim
