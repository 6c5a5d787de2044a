// Volume answers of the simulated machine, each as the test set it up.
//   GetVolumeInformationW, GetDiskFreeSpaceW, GetDiskFreeSpaceExW
//                         take a root (C:\ or \\server\share\); a path below a root is
//                         refused, a null root is the current directory's volume, and a
//                         volume that does not answer answers none of them
//   GetDriveTypeW         the volume's type; DRIVE_NO_ROOT_DIR (1) off every volume
//   QueryDosDeviceW("D:") "\??\C:\folder" for a SUBST drive, else a device name; the
//                         characters stored with both terminators, 0 for an unknown drive
//   VWIN32 7303h          answers on Windows 9x only, and only where vwin32Answers
//   "\\.\D:"              opens where opensAsDevice; a lock and a dismount succeed as the
//                         test says, an unlock only after a lock
#include <cstring>
#include <string>

#include "platform/native.h"
#include "platform/platform.h"
#include "platform/sim/handles.h"
#include "platform/sim/machine.h"
#include "platform/sim/paths.h"

namespace {

// A null root, like Windows, means the volume of the current directory.
sim::Volume* volumeAt(const char16_t* root) {
    sim::Name path = root ? sim::Name(root) : sim::wide(sim::machine().currentDirectory);
    sim::Resolved at = sim::resolvePath(path);
    if (root != nullptr && at.volume != nullptr && !at.atRoot) return nullptr;
    return at.volume;
}

}  // namespace

namespace native {

bool getVolumeFileSystemNameW(const char16_t* root, char16_t* name, uint32_t capacity) {
    sim::Volume* volume = volumeAt(root);
    if (volume == nullptr || !volume->answers) return false;
    sim::Name fileSystem = sim::wide(volume->fileSystem).substr(0, capacity - 1);
    fileSystem.copy(name, fileSystem.size());
    name[fileSystem.size()] = 0;
    return true;
}

bool getDiskFreeSpaceW(const char16_t* root, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector) {
    sim::Volume* volume = volumeAt(root);
    if (volume == nullptr || !volume->answers || !volume->freeSpaceAnswers) return false;
    *sectorsPerCluster = volume->sectorsPerCluster;
    *bytesPerSector = volume->bytesPerSector;
    return true;
}

bool getDiskTotalBytesW(const char16_t* root, uint64_t* totalBytes) {
    sim::Volume* volume = volumeAt(root);
    if (volume == nullptr || !volume->answers || !volume->freeSpaceExAvailable) return false;
    *totalBytes = volume->totalBytes;
    return true;
}

uint32_t getDriveTypeW(const char16_t* path) {
    sim::Resolved at = sim::resolvePath(path);
    if (at.volume == nullptr) return 1;  // no root directory
    return at.volume->driveType;
}

uint32_t queryDosDeviceW(const char16_t* deviceName, char16_t* target, uint32_t capacity) {
    sim::Volume* volume = sim::volumeOf(sim::textOf(deviceName) + "\\");
    if (volume == nullptr) return 0;
    sim::Name answer = sim::wide(volume->dosDevice.empty() ? "\\Device\\HarddiskVolume1" : volume->dosDevice);
    if (answer.size() + 2 > capacity) return 0;
    answer.copy(target, answer.size());
    target[answer.size()] = 0;
    target[answer.size() + 1] = 0;
    return static_cast<uint32_t>(answer.size() + 2);
}

}  // namespace native

namespace os {

bool vwin32ExtendedFreeSpace(const char* root, uint32_t* sectorsPerCluster,
                             uint32_t* bytesPerSector) {
    const VersionInfo& version = sim::machine().version;
    sim::Volume* volume = volumeAt(root != nullptr ? sim::wide(root).c_str() : nullptr);
    bool ok = version.readable && version.platformId == 1 && volume != nullptr && volume->vwin32Answers;
    sim::record(std::string("vwin32 7303h ") + root + (ok ? " ok" : " failed"));
    if (!ok) return false;
    *sectorsPerCluster = volume->vwin32SectorsPerCluster;
    *bytesPerSector = volume->vwin32BytesPerSector;
    return true;
}

FileHandle openVolume(char driveLetter) {
    sim::Volume* volume = sim::volumeOf(std::string(1, driveLetter) + ":\\");
    if (volume == nullptr || !volume->opensAsDevice) return nullptr;
    auto* handle = new sim::OpenVolume();
    handle->volume = volume;
    return handle;
}

bool deviceControl(FileHandle device, uint32_t controlCode) {
    auto* handle = static_cast<sim::OpenVolume*>(device);
    sim::Volume* volume = handle->volume;
    bool ok = false;
    const char* what = "control";
    if (controlCode == FSCTL_LOCK_VOLUME) {
        what = "lock";
        ok = handle->locked = volume->lockSucceeds;
    } else if (controlCode == FSCTL_UNLOCK_VOLUME) {
        what = "unlock";
        ok = handle->locked;
        handle->locked = false;
    } else if (controlCode == FSCTL_DISMOUNT_VOLUME) {
        what = "dismount";
        ok = volume->dismountSucceeds;
    }
    sim::record(std::string(what) + " " + volume->root + (ok ? " ok" : " failed"));
    return ok;
}

}  // namespace os
