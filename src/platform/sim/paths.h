// How the simulated machine reads a Windows path: which volume, which entries. Paths and
// names are UTF-16, as the wide calls take them; tests write them in the program's text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/machine.h"

namespace sim {

struct Resolved {
    Volume* volume = nullptr;
    bool atRoot = false;      // no name below the volume root ("." and ".." applied)
    Name last;                // the last name below the root
    Node* parent = nullptr;   // the directory holding the last component
    Node* node = nullptr;     // the entry itself, nullptr when missing
    Volume* holder = nullptr;  // the volume of parent: behind a link, perhaps another
    bool trailingSeparator = false;
};

// ASCII letters without regard to case, every other unit exact.
bool sameName(const Name& a, const Name& b);

// Windows' own wildcard match of a name (case ignored).
bool wildcardMatches(const char16_t* pattern, const char16_t* name);

// The full path the way GetFullPathNameW would write it.
Name fullPathOf(const Name& path);

Resolved resolvePath(std::u16string_view path);

// The names below the volume root, "." and ".." applied.
std::vector<Name> namesBelowRoot(const Name& path);

// Drops the directories remembered under Machine::fixedTree.
void forgetDirectories();

// The directory that a directory link leads to, through further links; the node itself when
// it is no link; nullptr when a link leads nowhere. *holder becomes the volume it is on.
Node* followLinks(Node* node, Volume** holder);

// A path that a call refuses for its length: see files.cpp.
bool beyondMaxPath(const char16_t* path);

// Where a file written through a stream keeps its bytes on the host.
std::string hostPathOf(const Name& path);

}  // namespace sim
