// The directories the walk is inside, from the root down, kept on a stack of their own so
// that no depth a path can reach exhausts the program's stack; and the test that tells a
// link back to one of them.
#pragma once

#include <cstdint>

#include "platform/platform.h"

enum IdentityState : uint8_t { IDENTITY_UNKNOWN, IDENTITY_KNOWN, IDENTITY_UNAVAILABLE };

struct WalkLevel {
    int32_t source, dest, sourceAlt, destAlt;  // where this level's names go in the four paths
    os::SearchHandle listing;                  // nullptr while the level is not listed
    bool throughLink;                          // entered by an entry with the reparse-point attribute
    IdentityState identityState;               // found once, when a link below first needs it
    os::FileIdentity identity;
};

struct WalkLevels {
    WalkLevel* levels = nullptr;
    int32_t depth = 0;
    int32_t capacity = 0;
};

inline WalkLevel& topLevel(WalkLevels& stack) { return stack.levels[stack.depth - 1]; }

// A new innermost level, not yet listed and of unknown identity; a full stack doubles.
// Fatal when memory runs out.
WalkLevel& pushLevel(WalkLevels& stack, int32_t source, int32_t dest, int32_t sourceAlt,
                     int32_t destAlt, bool throughLink);

// Closes the innermost level's listing and leaves it.
void popLevel(WalkLevels& stack);

// Closes every listing still open, innermost first, and frees the stack.
void releaseLevels(WalkLevels& stack);

// The innermost level is the same directory as one of the levels around it. A directory
// whose identity cannot be found is never the same as another: walking it once more is
// better than skipping what it holds.
bool leadsBackToAncestor(WalkLevels& stack);
