#include "compare/walk_levels.h"

#include "output/messages.h"
#include "run/run_state.h"

namespace {

constexpr int32_t FIRST_CAPACITY = 32;

void growLevels(WalkLevels& stack) {
    int64_t capacity = stack.capacity == 0 ? FIRST_CAPACITY : int64_t{stack.capacity} * 2;
    void* grown = nullptr;
    if (capacity <= INT32_MAX && static_cast<uint64_t>(capacity) <= SIZE_MAX / sizeof(WalkLevel))
        grown = os::reallocate(stack.levels, static_cast<size_t>(capacity) * sizeof(WalkLevel));
    if (grown == nullptr) fatalError("メモリー不足で照合できません。");
    stack.levels = static_cast<WalkLevel*>(grown);
    stack.capacity = static_cast<int32_t>(capacity);
}

// The first level is the source root, whose full path names it wherever the walk started;
// the others, the source path up to their separator.
bool findIdentity(WalkLevels& stack, int32_t index, os::FileIdentity* identity) {
    if (index == 0) return os::fileIdentity(runState.source.root.text, identity);
    const WalkLevel& level = stack.levels[index];
    PathBuffer& path = runState.source.altAccess ? runState.source.altPath : runState.source.path;
    const int32_t end = runState.source.altAccess ? level.sourceAlt : level.source;
    const char deeper = path.text[end];
    path.text[end] = '\0';
    const bool found = os::fileIdentity(path.text, identity);
    path.text[end] = deeper;
    return found;
}

bool knowIdentity(WalkLevels& stack, int32_t index) {
    WalkLevel& level = stack.levels[index];
    if (level.identityState == IDENTITY_UNKNOWN) {
        // A file system that keeps no index reports 0 for everything: no identity to go by.
        const bool known = findIdentity(stack, index, &level.identity) && level.identity.fileIndex != 0;
        level.identityState = known ? IDENTITY_KNOWN : IDENTITY_UNAVAILABLE;
    }
    return level.identityState == IDENTITY_KNOWN;
}

}  // namespace

WalkLevel& pushLevel(WalkLevels& stack, int32_t source, int32_t dest, int32_t sourceAlt,
                     int32_t destAlt, bool throughLink) {
    if (stack.depth == stack.capacity) growLevels(stack);
    WalkLevel& level = stack.levels[stack.depth++];
    level = WalkLevel{source, dest, sourceAlt, destAlt, nullptr, throughLink, IDENTITY_UNKNOWN, {}};
    return level;
}

void popLevel(WalkLevels& stack) {
    WalkLevel& level = topLevel(stack);
    if (level.listing != nullptr) os::findClose(level.listing);
    --stack.depth;
}

void releaseLevels(WalkLevels& stack) {
    while (stack.depth > 0) popLevel(stack);
    os::release(stack.levels);
    stack = WalkLevels{};
}

bool leadsBackToAncestor(WalkLevels& stack) {
    const int32_t innermost = stack.depth - 1;
    if (!knowIdentity(stack, innermost)) return false;
    const os::FileIdentity& entered = stack.levels[innermost].identity;
    for (int32_t index = innermost - 1; index >= 0; --index) {
        if (!knowIdentity(stack, index)) continue;
        const os::FileIdentity& around = stack.levels[index].identity;
        if (around.volumeSerial == entered.volumeSerial && around.fileIndex == entered.fileIndex)
            return true;
    }
    return false;
}
