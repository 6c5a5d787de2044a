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

struct RunState {
    int32_t windowsNtVersion = -1;

    PathBuffer sourcePath;
    PathBuffer destPath;
    char* sourceTail = nullptr;
    int32_t tailIsAlias = 0;
    int32_t sourceDirLength = 0;
    int32_t destLength = 0;
    int32_t walkMode = 0;

    PathBuffer sourceRoot;  // SourceRoot: full path, always ending in a backslash
    PathBuffer destRoot;    // DestRoot
    char* sourceVolumeRoot = nullptr;
    char* destVolumeRoot = nullptr;
    int32_t sameVolume = 0;
    char sourceFsName[261] = {};
    char destFsName[261] = {};

    int32_t fatTimeMode = 0;
    int32_t cdTimeMode = 0;
    int32_t sourceAltAccess = 0;
    int32_t destAltAccess = 0;
    PathBuffer sourceAltPath;
    PathBuffer destAltPath;
    int32_t sourceAltLength = 0;
    int32_t destAltLength = 0;

    int32_t sourceCacheCleared = 0;
    int32_t destCacheCleared = 0;

    unsigned char* sourceBuffer = nullptr;
    unsigned char* destBuffer = nullptr;

    int32_t runAborted = 0;
};

extern RunTotals runTotals;
extern RunState runState;
