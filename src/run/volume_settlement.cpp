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

void takeVolumeRoot(Side& side) {
    size_t length = std::strlen(side.root.text);
    side.volumeRoot = static_cast<char*>(os::allocate(length + 2));
    if (side.volumeRoot == nullptr) fatalError("メモリー不足");
    std::memcpy(side.volumeRoot, side.root.text, length + 1);
    volumeRootOf(side.volumeRoot);
}

bool readFileSystemName(Side& side) {
    return os::getVolumeFileSystemName(side.volumeRoot, side.fsName, FS_NAME_CAPACITY);
}

// The root in 8.3 form, in a buffer no shorter than the walk expects.
void takeAltRoot(Side& side) {
    if (!side.altAccess) return;
    int32_t needed = static_cast<int32_t>(std::strlen(side.root.text)) + 1;
    if (!allocatePath(side.altPath, needed > 1024 ? needed : 1024)) fatalError("メモリー不足");
    toAltPath(side.root.text, side.altPath.text);
    side.altLength = static_cast<int32_t>(std::strlen(side.altPath.text));
}

bool isCdName(const char* name) { return hasPrefix(name, "UDF") || hasPrefix(name, "CDFS"); }

bool altAccessOn(const char* fsName) {
    if (settings.accessAlt != ALT_ACCESS_AUTO) return settings.accessAlt == ALT_ACCESS_ON;
    return hasPrefix(fsName, "FAT") || std::strcmp(fsName, "NTFS") == 0;
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
    return isDrivePath(path) ? path : nullptr;
}

}  // namespace

void settleVolumes() {
    takeVolumeRoot(runState.source);
    takeVolumeRoot(runState.dest);
    runState.sameVolume = std::strcmp(runState.source.volumeRoot, runState.dest.volumeRoot) == 0;
    if (!readFileSystemName(runState.source)) fatalError("照合元ドライブにアクセス出来ません。");
    if (!readFileSystemName(runState.dest)) fatalError("照合先ドライブにアクセス出来ません。");
    applyFileSystemRules();
    takeAltRoot(runState.source);
    takeAltRoot(runState.dest);
}

void applyFileSystemRules() {
    const char* source = runState.source.fsName;
    const char* dest = runState.dest.fsName;
    runState.fatTimeMode = hasPrefix(source, "FAT") != hasPrefix(dest, "FAT");
    runState.cdTimeMode = !runState.fatTimeMode &&
                          ((std::strcmp(source, "NTFS") == 0 && isCdName(dest)) ||
                           (std::strcmp(dest, "NTFS") == 0 && isCdName(source)));
    if (settings.compareAttributes == ATTRIBUTES_AUTO)
        settings.compareAttributes = hasPrefix(source, "CDFS") || hasPrefix(dest, "CDFS")
                                         ? ATTRIBUTES_OFF
                                         : ATTRIBUTES_LOW_BITS;
    runState.source.altAccess = altAccessOn(source);
    runState.dest.altAccess = altAccessOn(dest);
}

void clearRunCaches() {
    if (settings.cacheMode == CACHE_USE) return;
    Side& source = runState.source;
    Side& dest = runState.dest;
    source.cacheCleared = clearVolumeCache(source.volumeRoot);
    dest.cacheCleared = runState.sameVolume ? source.cacheCleared : clearVolumeCache(dest.volumeRoot);
}

void settleReading() {
    // A cache that could not be dropped would answer from memory: read around it.
    if (settings.cacheMode == CACHE_AUTO) {
        if (!runState.source.cacheCleared) settings.sourceOpenFlags = os::FLAG_NO_BUFFERING;
        if (!runState.dest.cacheCleared) settings.destOpenFlags = os::FLAG_NO_BUFFERING;
    }
    negotiateBlockSize();
}

void negotiateBlockSize() {
    const char* sourcePath = runState.source.path.text;
    const char* destPath = runState.dest.path.text;
    if (settings.blockSize == BLOCK_CLUSTER_SIZE) {
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
    if (settings.blockSize != BLOCK_SECTOR_SIZE && !unbuffered) return;
    uint32_t sourceSector = sectorSize(driveOrCurrent(sourcePath));
    uint32_t destSector = sectorSize(driveOrCurrent(destPath));
    if (sourceSector == 0 || destSector == 0) {
        fallBackToBufferedMegabyte();
        return;
    }
    int64_t unit = commonUnit(sourceSector, destSector);
    int64_t size =
        settings.blockSize == BLOCK_SECTOR_SIZE ? unit : roundUp(settings.blockSize, unit);
    // Rounding up past the largest count would wrap; the unit below it is as whole.
    if (size > INT32_MAX) size -= unit;
    settings.blockSize = static_cast<int32_t>(size);
}

void clearRunCachesAgain() {
    if (settings.cacheMode == CACHE_USE) return;
    if (runState.source.cacheCleared) clearVolumeCache(runState.source.root.text);
    if (runState.dest.cacheCleared && !runState.sameVolume) clearVolumeCache(runState.dest.root.text);
}
