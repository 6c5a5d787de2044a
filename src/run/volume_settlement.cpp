#include "run/volume_settlement.h"

#include <cstdint>
#include <cstring>

#include "compare/volume_probe.h"
#include "output/messages.h"
#include "platform/platform.h"
#include "run/path_buffer.h"
#include "run/path_tools.h"
#include "run/run_state.h"
#include "run/settings.h"

namespace {

const uint32_t FS_NAME_CAPACITY = 260;
const int32_t FALLBACK_BLOCK_SIZE = 1048576;

char* volumeRootCopy(const char* fullPath) {
    size_t length = std::strlen(fullPath);
    char* copy = static_cast<char*>(os::allocate(length + 2));
    if (copy == nullptr) fatalError("メモリー不足");
    std::memcpy(copy, fullPath, length + 1);
    volumeRootOf(copy);
    return copy;
}

// SourceRoot or DestRoot in 8.3 form, in a buffer no shorter than the walk expects.
int32_t takeAltRoot(PathBuffer& alt, const PathBuffer& root) {
    int32_t needed = static_cast<int32_t>(std::strlen(root.text)) + 1;
    if (!allocatePath(alt, needed > 1024 ? needed : 1024)) fatalError("メモリー不足");
    toAltPath(root.text, alt.text);
    return static_cast<int32_t>(std::strlen(alt.text));
}

bool isCdName(const char* name) { return hasPrefix(name, "UDF") || hasPrefix(name, "CDFS"); }

bool altNamesUsable(const char* name) {
    return hasPrefix(name, "FAT") || std::strcmp(name, "NTFS") == 0;
}

// One size both sides can read in whole units: the larger rounded up to the smaller.
int64_t roundUp(int64_t size, int64_t unit) {
    return size % unit == 0 ? size : size + unit - size % unit;
}

int64_t commonUnit(uint32_t a, uint32_t b) {
    return a > b ? roundUp(a, b) : roundUp(b, a);
}

void fallBackToBufferedMegabyte() {
    settings.blockSize = FALLBACK_BLOCK_SIZE;
    if (settings.sourceOpenFlags & os::FLAG_NO_BUFFERING)
        settings.sourceOpenFlags = os::FLAG_RANDOM_ACCESS;
    if (settings.destOpenFlags & os::FLAG_NO_BUFFERING)
        settings.destOpenFlags = os::FLAG_RANDOM_ACCESS;
}

const char* driveOrCurrent(const char* path) {
    return path[0] != '\0' && path[1] == ':' ? path : nullptr;
}

}  // namespace

void settleVolumes() {
    runState.sourceVolumeRoot = volumeRootCopy(runState.sourceRoot.text);
    runState.destVolumeRoot = volumeRootCopy(runState.destRoot.text);
    runState.sameVolume = std::strcmp(runState.sourceVolumeRoot, runState.destVolumeRoot) == 0;

    if (!os::getVolumeFileSystemName(runState.sourceVolumeRoot, runState.sourceFsName,
                                     FS_NAME_CAPACITY))
        fatalError("照合元ドライブにアクセス出来ません。");
    if (!os::getVolumeFileSystemName(runState.destVolumeRoot, runState.destFsName,
                                     FS_NAME_CAPACITY))
        fatalError("照合先ドライブにアクセス出来ません。");

    applyFileSystemRules();

    if (runState.sourceAltAccess)
        runState.sourceAltLength = takeAltRoot(runState.sourceAltPath, runState.sourceRoot);
    if (runState.destAltAccess)
        runState.destAltLength = takeAltRoot(runState.destAltPath, runState.destRoot);
}

void applyFileSystemRules() {
    const char* source = runState.sourceFsName;
    const char* dest = runState.destFsName;
    runState.fatTimeMode = hasPrefix(source, "FAT") != hasPrefix(dest, "FAT");
    runState.cdTimeMode = !runState.fatTimeMode &&
                          ((std::strcmp(source, "NTFS") == 0 && isCdName(dest)) ||
                           (std::strcmp(dest, "NTFS") == 0 && isCdName(source)));
    if (settings.compareAttributes == 3)
        settings.compareAttributes = hasPrefix(source, "CDFS") || hasPrefix(dest, "CDFS") ? 0 : 1;
    if (settings.accessAlt == 2) {
        runState.sourceAltAccess = altNamesUsable(source);
        runState.destAltAccess = altNamesUsable(dest);
    } else {
        runState.sourceAltAccess = settings.accessAlt == 1;
        runState.destAltAccess = settings.accessAlt == 1;
    }
}

void clearRunCaches() {
    if (settings.cacheMode == 0) return;
    runState.sourceCacheCleared = clearVolumeCache(runState.sourceVolumeRoot);
    runState.destCacheCleared = runState.sameVolume ? runState.sourceCacheCleared
                                                    : clearVolumeCache(runState.destVolumeRoot);
}

void settleReading() {
    // A cache that could not be dropped would answer from memory: read around it.
    if (settings.cacheMode == 2) {
        if (!runState.sourceCacheCleared) settings.sourceOpenFlags = os::FLAG_NO_BUFFERING;
        if (!runState.destCacheCleared) settings.destOpenFlags = os::FLAG_NO_BUFFERING;
    }
    negotiateBlockSize();
}

void negotiateBlockSize() {
    const char* sourcePath = runState.sourcePath.text;
    const char* destPath = runState.destPath.text;
    if (settings.blockSize == -2) {
        uint32_t sourceCluster = clusterSize(sourcePath);
        uint32_t destCluster = clusterSize(destPath);
        if (sourceCluster == 0 || destCluster == 0)
            fallBackToBufferedMegabyte();
        else
            settings.blockSize = static_cast<int32_t>(commonUnit(sourceCluster, destCluster));
        return;
    }
    bool unbuffered = (settings.sourceOpenFlags & os::FLAG_NO_BUFFERING) != 0 ||
                      (settings.destOpenFlags & os::FLAG_NO_BUFFERING) != 0;
    if (settings.blockSize != -1 && !unbuffered) return;
    uint32_t sourceSector = sectorSize(driveOrCurrent(sourcePath));
    uint32_t destSector = sectorSize(driveOrCurrent(destPath));
    if (sourceSector == 0 || destSector == 0) {
        fallBackToBufferedMegabyte();
        return;
    }
    int64_t unit = commonUnit(sourceSector, destSector);
    int64_t size = settings.blockSize == -1 ? unit : roundUp(settings.blockSize, unit);
    // Rounding up past the largest count would wrap; the unit below it is as whole.
    if (size > INT32_MAX) size -= unit;
    settings.blockSize = static_cast<int32_t>(size);
}

void clearRunCachesAgain() {
    if (settings.cacheMode == 0) return;
    if (runState.sourceCacheCleared) clearVolumeCache(runState.sourceRoot.text);
    if (runState.destCacheCleared && !runState.sameVolume) clearVolumeCache(runState.destRoot.text);
}
