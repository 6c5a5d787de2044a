// The wide calls of the NT family, found by name when the program starts: none of them is
// imported, so that the program still loads on Windows 95, whose kernel32 lacks some and
// stubs others, and whose C runtime may lack the wide ones.
#include <cstdio>
#include <cstring>

// Before <windows.h>: its macros carry the same names as the constants declared there.
#include "platform/platform.h"

#include <windows.h>

#include "platform/native.h"
#include "platform/win32/file_identity.h"
#include "platform/win32/file_time.h"

namespace native {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 units");

const wchar_t* wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
wchar_t* wide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }

struct WideApi {
    HANDLE(WINAPI* findFirstFile)(LPCWSTR, LPWIN32_FIND_DATAW);
    BOOL(WINAPI* findNextFile)(HANDLE, LPWIN32_FIND_DATAW);
    DWORD(WINAPI* getFileAttributes)(LPCWSTR);
    DWORD(WINAPI* getFullPathName)(LPCWSTR, DWORD, LPWSTR, LPWSTR*);
    DWORD(WINAPI* getCurrentDirectory)(DWORD, LPWSTR);
    DWORD(WINAPI* getModuleFileName)(HMODULE, LPWSTR, DWORD);
    HANDLE(WINAPI* createFile)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
    DWORD(WINAPI* getEnvironmentVariable)(LPCWSTR, LPWSTR, DWORD);
    BOOL(WINAPI* getVolumeInformation)(LPCWSTR, LPWSTR, DWORD, LPDWORD, LPDWORD, LPDWORD, LPWSTR, DWORD);
    BOOL(WINAPI* getDiskFreeSpace)(LPCWSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD);
    UINT(WINAPI* getDriveType)(LPCWSTR);
    DWORD(WINAPI* queryDosDevice)(LPCWSTR, LPWSTR, DWORD);
    FILE*(__cdecl* openStream)(const wchar_t*, const wchar_t*);  // _wfopen
    // __wgetmainargs: the C runtime's split of the wide command line, as main's.
    int(__cdecl* mainArguments)(int*, wchar_t***, wchar_t***, int, int*);
    // Absent before NT 4.0, as its ANSI twin is from the first 9x releases.
    BOOL(WINAPI* getDiskFreeSpaceEx)(LPCWSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    // Windows 95 exports a stub that fails; a missing one fails the same way.
    BOOL(WINAPI* writeConsole)(HANDLE, const VOID*, DWORD, LPDWORD, LPVOID);
    bool complete = false;
};

template <typename Function>
bool find(HMODULE module, const char* name, Function* function) {
    FARPROC found = module != nullptr ? GetProcAddress(module, name) : nullptr;
    // Through the generic function type, which converts to any other without a warning.
    *function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
    return found != nullptr;
}

WideApi load() {
    WideApi api;
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    HMODULE runtime = GetModuleHandleA("msvcrt.dll");
    api.complete = find(kernel, "FindFirstFileW", &api.findFirstFile) &&
                   find(kernel, "FindNextFileW", &api.findNextFile) &&
                   find(kernel, "GetFileAttributesW", &api.getFileAttributes) &&
                   find(kernel, "GetFullPathNameW", &api.getFullPathName) &&
                   find(kernel, "GetCurrentDirectoryW", &api.getCurrentDirectory) &&
                   find(kernel, "GetModuleFileNameW", &api.getModuleFileName) &&
                   find(kernel, "CreateFileW", &api.createFile) &&
                   find(kernel, "GetEnvironmentVariableW", &api.getEnvironmentVariable) &&
                   find(kernel, "GetVolumeInformationW", &api.getVolumeInformation) &&
                   find(kernel, "GetDiskFreeSpaceW", &api.getDiskFreeSpace) &&
                   find(kernel, "GetDriveTypeW", &api.getDriveType) &&
                   find(kernel, "QueryDosDeviceW", &api.queryDosDevice) &&
                   find(runtime, "_wfopen", &api.openStream) &&
                   find(runtime, "__wgetmainargs", &api.mainArguments);
    find(kernel, "GetDiskFreeSpaceExW", &api.getDiskFreeSpaceEx);
    find(kernel, "WriteConsoleW", &api.writeConsole);
    return api;
}

// Found before main, while the process has one thread.
const WideApi api = load();

void fillRecord(const WIN32_FIND_DATAW& data, WideFindRecord* record) {
    os::copyFindMetadata(data, record);
    static_assert(sizeof record->name == sizeof data.cFileName, "long name size");
    static_assert(sizeof record->altName == sizeof data.cAlternateFileName, "8.3 name size");
    std::memcpy(record->name, data.cFileName, sizeof record->name);
    std::memcpy(record->altName, data.cAlternateFileName, sizeof record->altName);
}

// The NT family, told as the run driver tells it.
bool ntFamily() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    bool readable = GetVersionExA(&info) != FALSE;
#pragma GCC diagnostic pop
    return readable && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

const bool wideCallsMade = ntFamily() && api.complete;

}  // namespace

bool wideCalls() { return wideCallsMade; }

os::SearchHandle findFirstFileW(const char16_t* pattern, WideFindRecord* record) {
    WIN32_FIND_DATAW data;
    HANDLE search = api.findFirstFile(wide(pattern), &data);
    if (search == INVALID_HANDLE_VALUE) return nullptr;
    fillRecord(data, record);
    return search;
}

bool findNextFileW(os::SearchHandle search, WideFindRecord* record) {
    WIN32_FIND_DATAW data;
    if (!api.findNextFile(search, &data)) return false;
    fillRecord(data, record);
    return true;
}

uint32_t getFileAttributesW(const char16_t* path) { return api.getFileAttributes(wide(path)); }

bool fileIdentityW(const char16_t* path, os::FileIdentity* identity) {
    HANDLE file = api.createFile(wide(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    return os::identityOf(file, identity);
}

uint32_t getFullPathNameW(const char16_t* path, uint32_t capacity, char16_t* buffer) {
    return api.getFullPathName(wide(path), capacity, wide(buffer), nullptr);
}

uint32_t getCurrentDirectoryW(uint32_t capacity, char16_t* buffer) {
    return api.getCurrentDirectory(capacity, wide(buffer));
}

uint32_t getModuleFileNameW(char16_t* buffer, uint32_t capacity) {
    return api.getModuleFileName(nullptr, wide(buffer), capacity);
}

os::FileHandle openFileForReadingW(const char16_t* path, uint32_t flags) {
    HANDLE file = api.createFile(wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, flags, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

FILE* openStreamW(const char16_t* path, const char* mode) {
    wchar_t wideMode[8] = {};
    for (size_t k = 0; k + 1 < sizeof wideMode / sizeof *wideMode && mode[k] != '\0'; ++k)
        wideMode[k] = static_cast<wchar_t>(mode[k]);
    return api.openStream(wide(path), wideMode);
}

// What _lopen(OF_READ | OF_SHARE_EXCLUSIVE) asks of the system.
os::ExclusiveOpen testExclusiveOpenW(const char16_t* path) {
    HANDLE file = api.createFile(wide(path), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION ? os::ExclusiveOpen::sharingViolation
                                                         : os::ExclusiveOpen::failed;
    CloseHandle(file);
    return os::ExclusiveOpen::opened;
}

uint32_t getEnvironmentVariableW(const char16_t* name, char16_t* buffer, uint32_t capacity) {
    return api.getEnvironmentVariable(wide(name), wide(buffer), capacity);
}

bool commandLineW(int* count, char16_t*** arguments) {
    int argumentCount = 0;
    wchar_t** values = nullptr;
    wchar_t** environment = nullptr;
    int newMode = 0;
    api.mainArguments(&argumentCount, &values, &environment, 0, &newMode);
    if (values == nullptr) return false;
    *count = argumentCount;
    *arguments = reinterpret_cast<char16_t**>(values);
    return true;
}

bool getVolumeFileSystemNameW(const char16_t* root, char16_t* name, uint32_t capacity) {
    return api.getVolumeInformation(wide(root), nullptr, 0, nullptr, nullptr, nullptr,
                                      wide(name), capacity) != FALSE;
}

bool getDiskFreeSpaceW(const char16_t* root, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector) {
    DWORD perCluster = 0, perSector = 0, freeClusters = 0, totalClusters = 0;
    if (!api.getDiskFreeSpace(wide(root), &perCluster, &perSector, &freeClusters, &totalClusters))
        return false;
    *sectorsPerCluster = perCluster;
    *bytesPerSector = perSector;
    return true;
}

bool getDiskTotalBytesW(const char16_t* root, uint64_t* totalBytes) {
    ULARGE_INTEGER available, total, free;
    if (api.getDiskFreeSpaceEx == nullptr || !api.getDiskFreeSpaceEx(wide(root), &available, &total, &free))
        return false;
    *totalBytes = total.QuadPart;
    return true;
}

uint32_t getDriveTypeW(const char16_t* path) { return api.getDriveType(wide(path)); }

uint32_t queryDosDeviceW(const char16_t* deviceName, char16_t* target, uint32_t capacity) {
    return api.queryDosDevice(wide(deviceName), wide(target), capacity);
}

// In pieces that old consoles accept, never between the two units of a surrogate pair.
bool writeConsoleW(os::StandardStream stream, const char16_t* units, size_t count) {
    if (api.writeConsole == nullptr) return false;
    HANDLE console = GetStdHandle(stream == os::StandardStream::output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    constexpr size_t PIECE = 8192;
    while (count > 0) {
        size_t piece = count < PIECE ? count : PIECE;
        if (piece < count && units[piece - 1] >= 0xD800 && units[piece - 1] <= 0xDBFF) --piece;
        DWORD written = 0;
        if (!api.writeConsole(console, units, static_cast<DWORD>(piece), &written, nullptr) || written == 0)
            return false;
        units += written;
        count -= written;
    }
    return true;
}

}  // namespace native
