// What the run driver settles before the walk and the comparison reads: the totals, the
// facts about the two sides, and the buffers that live for the whole run.
#pragma once

#include <cstdint>

#include "run/path_buffer.h"

struct RunTotals {
    uint32_t filesCompared = 0;
    uint64_t bytesCompared = 0;
    uint32_t filesMismatched = 0;
    uint64_t bytesMismatched = 0;
    uint32_t dirsCompared = 0;
    uint32_t dirsMismatched = 0;
    uint32_t fileHasDirTwin = 0;
    uint32_t dirHasFileTwin = 0;
    uint32_t sourceVanished = 0;
};

// What the run knows of one side, source or destination.
struct Side {
    PathBuffer path;       // the entry being compared, in long names
    int32_t length = 0;    // where the walk's first names go in path
    PathBuffer altPath;    // the same entry in 8.3 names, while altAccess is on
    int32_t altLength = 0;
    int32_t altAccess = 0;  // entries are looked up and opened through altPath
    PathBuffer root;        // SourceRoot, DestRoot: a full path, always ending in a backslash
    char* volumeRoot = nullptr;
    char fsName[261] = {};
    int32_t cacheCleared = 0;
    unsigned char* buffer = nullptr;  // the contents are read into it, blockSize bytes at a time
    bool isBinary = false;  // the last content comparison that classified found a binary byte
};

// The path through which the side's entries are looked up and opened.
inline const char* accessPath(const Side& side) {
    return side.altAccess ? side.altPath.text : side.path.text;
}

struct RunState {
    int32_t windowsNtVersion = -1;
    Side source;
    Side dest;
    char* sourceTail = nullptr;  // the file name or pattern of the source argument
    int32_t tailIsAlias = 0;
    int32_t walkMode = 0;
    int32_t sameVolume = 0;
    int32_t fatTimeMode = 0;
    int32_t cdTimeMode = 0;
    int32_t runAborted = 0;
};

extern RunTotals runTotals;
extern RunState runState;
