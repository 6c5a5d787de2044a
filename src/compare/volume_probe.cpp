#include "compare/volume_probe.h"

#include <cstring>

#include "platform/platform.h"
#include "run/path_tools.h"
#include "run/run_state.h"

namespace {

const uint32_t NAME_CAPACITY = 260;

bool isNt3() { return runState.windowsNtVersion >= 1 && runState.windowsNtVersion <= 399; }

// The root the size questions are put to, and its file-system name; nullptr when either is
// unknown. A path without a drive or share stands for the current drive, which the sector
// question finds through the current directory and the cluster question through "\".
char* volumeRootWithName(const char* path, bool forCluster, char* fsName) {
    size_t length = path != nullptr ? std::strlen(path) : 0;
    size_t capacity = length + 2 > NAME_CAPACITY + 1 ? length + 2 : NAME_CAPACITY + 1;
    char* root = static_cast<char*>(os::allocate(capacity));
    if (root == nullptr) return nullptr;
    bool known = true;
    if (path != nullptr && (isNetworkPath(path) || isDrivePath(path))) {
        std::memcpy(root, path, length + 1);
        if (isNetworkPath(path)) known = findByte(path + 2, '\\') >= 0;
        if (known) volumeRootOf(root);
    } else {
        uint32_t got = forCluster ? os::getFullPathName("\\", NAME_CAPACITY, root)
                                  : os::getCurrentDirectory(NAME_CAPACITY, root);
        known = got != 0 && got < NAME_CAPACITY;
        if (known) std::memcpy(root + 1, ":\\", 3);
    }
    if (known) known = os::getVolumeFileSystemName(root, fsName, NAME_CAPACITY);
    if (!known) {
        os::release(root);
        return nullptr;
    }
    return root;
}

bool freeSpaceOf(const char* root, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector) {
    return os::getDiskFreeSpace(root, sectorsPerCluster, bytesPerSector) ||
           os::getDiskFreeSpace(nullptr, sectorsPerCluster, bytesPerSector);
}

// The cluster size a FAT32 format picks for a volume of this size.
uint32_t estimatedClusterSize(const char* root) {
    uint64_t totalBytes = 0;
    if (!os::getDiskTotalBytes(root, &totalBytes)) return 0;
    uint32_t mebibytes = static_cast<uint32_t>(totalBytes / 1024 / 1024);
    if (mebibytes <= 8191) return 4096;
    if (mebibytes <= 16383) return 8192;
    if (mebibytes <= 32767) return 16384;
    return 32768;
}

char foldLetter(char byte) {
    return (byte >= 'a' && byte <= 'z') ? static_cast<char>(byte - 32) : byte;
}

// The first length bytes of component against a whole name; only single-byte letters fold,
// so two double-byte characters that differ in a trail byte's case stay different.
bool sameComponent(const char* component, size_t length, const char* name) {
    if (std::strlen(name) != length) return false;
    for (size_t k = 0; k < length; ++k) {
        if (isLeadByte(static_cast<unsigned char>(component[k])) && k + 1 < length) {
            if (component[k] != name[k] || component[k + 1] != name[k + 1]) return false;
            ++k;
        } else if (foldLetter(component[k]) != foldLetter(name[k])) {
            return false;
        }
    }
    return true;
}

// Replaces the component at [start, start + length) of output by its listed spelling:
// the 8.3 name when it is shorter, else the long name. False when it cannot be listed.
bool convertComponent(char* output, int32_t start, int32_t length) {
    // The listing pattern is the output up to the component and "*", written in place.
    char saved[2] = {output[start], output[start + 1]};
    output[start] = '*';
    output[start + 1] = '\0';
    os::FindRecord record;
    os::SearchHandle search = os::findFirstFile(output, &record);
    output[start] = saved[0];
    output[start + 1] = saved[1];
    if (search == nullptr) return false;
    bool found = false;
    do {
        found = sameComponent(output + start, static_cast<size_t>(length), record.name);
    } while (!found && os::findNextFile(search, &record));
    os::findClose(search);
    if (!found) return false;

    const char* replacement = record.name;
    size_t altLength = std::strlen(record.altName);
    if (altLength != 0 && altLength < static_cast<size_t>(length)) replacement = record.altName;
    size_t replacementLength = std::strlen(replacement);
    char* rest = output + start + length;
    std::memmove(output + start + replacementLength, rest, std::strlen(rest) + 1);
    std::memcpy(output + start, replacement, replacementLength);
    return true;
}

// Where the components begin behind the root of a full path; -1 when nothing follows it.
int32_t firstComponent(const char* path) {
    int32_t start = 0;
    if (isNetworkPath(path)) {
        int32_t server = findByte(path + 2, '\\');
        if (server < 0) return -1;
        int32_t shareStart = 2 + server + 1;
        int32_t share = findByte(path + shareStart, '\\');
        if (share < 0) return -1;
        start = shareStart + share + 1;
    } else if (isDrivePath(path)) {
        start = path[2] == '\\' ? 3 : 2;
    } else if (path[0] == '\\') {
        start = 1;
    }
    if (std::strspn(path + start, ".\\") == std::strlen(path + start)) return -1;
    return start;
}

}  // namespace

uint32_t sectorSize(const char* path) {
    char fsName[NAME_CAPACITY];
    char* root = volumeRootWithName(path, false, fsName);
    if (root == nullptr) return 0;
    uint32_t sectorsPerCluster = 0;
    uint32_t bytesPerSector = 0;
    bool plainQuestion = std::strcmp(fsName, "FAT") == 0 || isNt3();
    if (plainQuestion || !os::vwin32ExtendedFreeSpace(root, &sectorsPerCluster, &bytesPerSector)) {
        if (!freeSpaceOf(root, &sectorsPerCluster, &bytesPerSector)) bytesPerSector = 0;
    }
    os::release(root);
    return bytesPerSector;
}

uint32_t clusterSize(const char* path) {
    char fsName[NAME_CAPACITY];
    char* root = volumeRootWithName(path, true, fsName);
    if (root == nullptr) return 0;
    bool network = path != nullptr && os::getDriveType(path) == os::DRIVE_REMOTE;
    bool cdfs = std::strcmp(fsName, "CDFS") == 0;
    uint32_t sectorsPerCluster = 0;
    uint32_t bytesPerSector = 0;
    uint32_t size = 0;
    if (std::strcmp(fsName, "FAT") == 0 || (cdfs && !network) || runState.windowsNtVersion > 0) {
        if (freeSpaceOf(root, &sectorsPerCluster, &bytesPerSector))
            size = sectorsPerCluster * bytesPerSector;
    } else {
        bool answered = os::vwin32ExtendedFreeSpace(root, &sectorsPerCluster, &bytesPerSector);
        size = answered ? sectorsPerCluster * bytesPerSector : 0;
        // Network redirectors report large clusters they do not have.
        if (!answered || (network && size > 4096 && !cdfs)) size = estimatedClusterSize(root);
    }
    os::release(root);
    return size;
}

bool clearVolumeCache(const char* path) {
    if (path == nullptr || !isDrivePath(path) || runState.windowsNtVersion <= 0) return false;
    char device[3] = {path[0], ':', '\0'};
    char target[NAME_CAPACITY + 1] = {};
    char letter = path[0];
    // A SUBST drive is a folder of another drive, whose volume is the one to drop.
    if (os::queryDosDevice(device, target, NAME_CAPACITY) != 0 && hasPrefix(target, "\\??\\") &&
        target[5] == ':')
        letter = target[4];
    os::FileHandle volume = os::openVolume(letter);
    if (volume == nullptr) return false;
    bool cleared = false;
    // Dismounting under another program's open handles would cost it its work: only a volume
    // nobody else holds is dismounted.
    if (os::deviceControl(volume, os::FSCTL_LOCK_VOLUME)) {
        cleared = os::deviceControl(volume, os::FSCTL_DISMOUNT_VOLUME);
        os::deviceControl(volume, os::FSCTL_UNLOCK_VOLUME);
    }
    os::closeHandle(volume);
    return cleared;
}

void toAltPath(const char* path, char* output) {
    if (output == nullptr) return;
    if (path == nullptr) {
        output[0] = '\0';
        return;
    }
    std::memmove(output, path, std::strlen(path) + 1);
    int32_t start = firstComponent(output);
    if (start < 0) return;
    while (output[start] != '\0') {
        int32_t separator = findByte(output + start, '\\');
        int32_t length =
            separator >= 0 ? separator : static_cast<int32_t>(std::strlen(output + start));
        if (std::strspn(output + start, ".") < static_cast<size_t>(length)) {
            if (!convertComponent(output, start, length)) return;
            separator = findByte(output + start, '\\');
        }
        if (separator < 0) return;
        start += separator + 1;
    }
}
