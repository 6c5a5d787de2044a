// Volumes and devices through kernel32.
// Before <windows.h>: its macros carry the same names as the constants declared there.
#include "platform/platform.h"

#include <windows.h>

#include "platform/native.h"

namespace native {

bool getVolumeFileSystemNameA(const char* root, char* name, uint32_t capacity) {
    return GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, nullptr, name, capacity) !=
           FALSE;
}

bool getDiskFreeSpaceA(const char* root, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector) {
    DWORD perCluster = 0, perSector = 0, freeClusters = 0, totalClusters = 0;
    if (!GetDiskFreeSpaceA(root, &perCluster, &perSector, &freeClusters, &totalClusters))
        return false;
    *sectorsPerCluster = perCluster;
    *bytesPerSector = perSector;
    return true;
}

bool getDiskTotalBytesA(const char* root, uint64_t* totalBytes) {
    // Absent from the first 9x releases, so it cannot be an import.
    using FreeSpaceEx = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) return false;
    FARPROC found = GetProcAddress(kernel, "GetDiskFreeSpaceExA");
    if (found == nullptr) return false;
    // Through the generic function type, which converts to any other without a warning.
    auto freeSpaceEx = reinterpret_cast<FreeSpaceEx>(reinterpret_cast<void (*)()>(found));
    ULARGE_INTEGER available, total, free;
    if (!freeSpaceEx(root, &available, &total, &free)) return false;
    *totalBytes = total.QuadPart;
    return true;
}

uint32_t getDriveTypeA(const char* path) { return GetDriveTypeA(path); }

uint32_t queryDosDeviceA(const char* deviceName, char* target, uint32_t capacity) {
    return QueryDosDeviceA(deviceName, target, capacity);
}

}  // namespace native

namespace os {

namespace {

// The register block that VWIN32 exchanges with a DOS call.
struct DiocRegisters {
    uint32_t ebx, edx, ecx, eax, edi, esi, flags;
};
static_assert(sizeof(DiocRegisters) == 28, "register block layout");

// The answer of request 7303h.
struct ExtendedFreeSpace {
    uint16_t size;
    uint16_t level;
    uint32_t sectorsPerCluster;
    uint32_t bytesPerSector;
    uint32_t availableClusters;
    uint32_t totalClusters;
    uint32_t availablePhysicalSectors;
    uint32_t totalPhysicalSectors;
    uint32_t availableAllocationUnits;
    uint32_t totalAllocationUnits;
    uint8_t reserved[8];
};
static_assert(sizeof(ExtendedFreeSpace) == 44, "extended free space layout");

constexpr DWORD VWIN32_DIOC_DOS_DRIVEINFO = 6;
constexpr uint32_t CARRY_FLAG = 1;

// Registers are 32 bits wide; this request exists only on the 32-bit 9x platform.
uint32_t registerOf(const void* address) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(address));
}

}  // namespace

bool vwin32ExtendedFreeSpace(const char* root, uint32_t* sectorsPerCluster,
                             uint32_t* bytesPerSector) {
    HANDLE device = CreateFileA("\\\\.\\vwin32", 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE,
                                nullptr);
    if (device == INVALID_HANDLE_VALUE) return false;
    ExtendedFreeSpace answer = {};
    DiocRegisters registers = {};
    registers.eax = 0x7303;
    registers.edx = registerOf(root);
    registers.ecx = sizeof answer;
    registers.edi = registerOf(&answer);
    registers.flags = CARRY_FLAG;  // a driver that ignores the request leaves it set
    DWORD returned = 0;
    BOOL sent = DeviceIoControl(device, VWIN32_DIOC_DOS_DRIVEINFO, &registers, sizeof registers,
                                &registers, sizeof registers, &returned, nullptr);
    CloseHandle(device);
    if (!sent || (registers.flags & CARRY_FLAG) != 0) return false;
    *sectorsPerCluster = answer.sectorsPerCluster;
    *bytesPerSector = answer.bytesPerSector;
    return true;
}

FileHandle openVolume(char driveLetter) {
    char name[] = "\\\\.\\X:";
    name[4] = driveLetter;
    HANDLE volume = CreateFileA(name, GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    return volume == INVALID_HANDLE_VALUE ? nullptr : volume;
}

bool deviceControl(FileHandle device, uint32_t controlCode) {
    DWORD returned = 0;  // NT faults on a null count when the call is synchronous
    return DeviceIoControl(device, controlCode, nullptr, 0, nullptr, 0, &returned, nullptr) !=
           FALSE;
}

}  // namespace os
