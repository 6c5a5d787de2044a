// The Windows surface that morvi uses. win32/ implements it with the real calls, one to
// one; sim/ implements it over an in-memory machine that the tests program. Nothing else
// in the program knows which of the two it runs on.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>

namespace os {

// ---- Attribute words and file times -------------------------------------------------

constexpr uint32_t INVALID_ATTRIBUTES = 0xFFFFFFFFu;
constexpr uint32_t ATTR_READONLY = 0x01;
constexpr uint32_t ATTR_HIDDEN = 0x02;
constexpr uint32_t ATTR_SYSTEM = 0x04;
constexpr uint32_t ATTR_VOLUME = 0x08;
constexpr uint32_t ATTR_DIRECTORY = 0x10;
constexpr uint32_t ATTR_ARCHIVE = 0x20;
constexpr uint32_t ATTR_NORMAL = 0x80;
constexpr uint32_t ATTR_REPARSE_POINT = 0x400;  // a link: junction, symbolic link, mount point

// A FILETIME as one 64-bit count of 100-nanosecond units since 1601-01-01.
using FileTime = uint64_t;

// Names and paths here are the program's text (text_form.h): code page 932 bytes in which
// a character the code page cannot write stands as <U+XXXX>. On the NT family the calls go
// to the wide API, long paths through \\?\; on Windows 9x to the ANSI API as they are.

// A name of up to 259 UTF-16 units, each of which may take an escape of 8 bytes.
constexpr size_t NAME_TEXT_CAPACITY = 259 * 8 + 1;
constexpr size_t ALT_NAME_TEXT_CAPACITY = 13 * 8 + 1;

// One directory entry as a listing or a look-up returns it.
struct FindRecord {
    uint32_t attributes;
    FileTime creationTime;
    FileTime accessTime;
    FileTime writeTime;
    uint32_t sizeHigh;
    uint32_t sizeLow;
    char name[NAME_TEXT_CAPACITY];        // long name
    char altName[ALT_NAME_TEXT_CAPACITY];  // 8.3 alternate name, empty when the long name is already 8.3
    // The name holds a character that a look-up takes for a wildcard, so that it cannot be
    // looked up as itself: Windows 9x's "?" for a character its code page cannot write, or
    // one that Windows forbids in names and a foreign file system allowed.
    bool nameIsPattern;
};

inline uint64_t sizeOf(const FindRecord& record) {
    return (static_cast<uint64_t>(record.sizeHigh) << 32) | record.sizeLow;
}

// ---- Files and directories ----------------------------------------------------------

using SearchHandle = void*;  // nullptr when the search could not start

SearchHandle findFirstFile(const char* pattern, FindRecord* record);

// GetLastError after a failed call; a listing of an empty volume root (it has no "." and
// "..") fails with ERROR_FILE_NOT_FOUND, a vanished directory with ERROR_PATH_NOT_FOUND.
constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;
constexpr uint32_t ERROR_PATH_NOT_FOUND = 3;
uint32_t getLastError();
bool findNextFile(SearchHandle search, FindRecord* record);
void findClose(SearchHandle search);

uint32_t getFileAttributes(const char* path);  // INVALID_ATTRIBUTES on failure

// Tells one file or directory from every other: no two on a volume share an index, and a
// link has the identity of what it leads to. A file system that keeps no index reports 0.
struct FileIdentity {
    uint32_t volumeSerial;
    uint64_t fileIndex;
};

// CreateFile for no data access with FILE_FLAG_BACKUP_SEMANTICS (which opens a directory),
// then GetFileInformationByHandle. False when either fails.
bool fileIdentity(const char* path, FileIdentity* identity);

// Both answer the length written, or the capacity needed (terminator included) when the
// buffer is too small, or 0 on failure.
uint32_t getFullPathName(const char* path, uint32_t capacity, char* buffer);
uint32_t getCurrentDirectory(uint32_t capacity, char* buffer);

// The running executable's file name: its length, or the capacity or more when it was cut
// short (on the NT family the capacity needed); 0 on failure.
uint32_t getModuleFileName(char* buffer, uint32_t capacity);

constexpr uint32_t FLAG_RANDOM_ACCESS = 0x10000000u;
constexpr uint32_t FLAG_NO_BUFFERING = 0x20000000u;

using FileHandle = void*;  // nullptr when the open failed

// GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, with the given flag word.
FileHandle openFileForReading(const char* path, uint32_t flags);
bool readFile(FileHandle file, void* buffer, uint32_t size, uint32_t* bytesRead);
void closeHandle(void* handle);  // CloseHandle: a file, a volume or an event

// The standard library's fopen for the program's own files (configuration, log, and the
// byte-wise content comparison).
FILE* openStream(const char* path, const char* mode);

// vfprintf and fclose for what the program writes (the log); they answer as those do.
int writeStream(FILE* stream, const char* format, va_list arguments);
int closeStream(FILE* stream);

// _lopen(path, OF_READ | OF_SHARE_EXCLUSIVE), closed again with _lclose when it succeeds.
enum class ExclusiveOpen { opened, sharingViolation, failed };
ExclusiveOpen testExclusiveOpen(const char* path);

// ---- Volumes and devices ------------------------------------------------------------

// GetVolumeInformationA: the file-system name of a volume root.
bool getVolumeFileSystemName(const char* root, char* name, uint32_t capacity);

// GetDiskFreeSpaceA; a null root means the current drive.
bool getDiskFreeSpace(const char* root, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector);

// GetDiskFreeSpaceExA looked up in kernel32 at run time: false when it is missing or fails.
bool getDiskTotalBytes(const char* root, uint64_t* totalBytes);

constexpr uint32_t DRIVE_REMOTE = 4;
uint32_t getDriveType(const char* path);

// QueryDosDeviceA; answers the number of characters stored, 0 on failure.
uint32_t queryDosDevice(const char* deviceName, char* target, uint32_t capacity);

// The Windows 9x request 7303h (Get Extended Free Space) through "\\.\vwin32": opened,
// sent with the carry flag set, closed. True when the call succeeded with carry clear.
bool vwin32ExtendedFreeSpace(const char* root, uint32_t* sectorsPerCluster,
                             uint32_t* bytesPerSector);

// "\\.\X:" opened for reading and writing, shared for reading and writing.
FileHandle openVolume(char driveLetter);

constexpr uint32_t FSCTL_LOCK_VOLUME = 0x00090018u;
constexpr uint32_t FSCTL_UNLOCK_VOLUME = 0x0009001Cu;
constexpr uint32_t FSCTL_DISMOUNT_VOLUME = 0x00090020u;
// DeviceIoControl without input or output.
bool deviceControl(FileHandle device, uint32_t controlCode);

struct VersionInfo {
    bool readable;
    uint32_t platformId;  // 1 Windows 9x, 2 NT
    uint32_t major;
    uint32_t minor;
};
VersionInfo getVersion();  // GetVersionExA with the 148-byte structure

// ---- Times --------------------------------------------------------------------------

struct SystemTime {
    uint16_t year, month, dayOfWeek, day, hour, minute, second, milliseconds;
};

bool fileTimeToLocalFileTime(FileTime utc, FileTime* local);
bool localFileTimeToFileTime(FileTime local, FileTime* utc);
bool fileTimeToSystemTime(FileTime time, SystemTime* out);
bool systemTimeToFileTime(const SystemTime& time, FileTime* out);
bool fileTimeToDosDateTime(FileTime time, uint16_t* dosDate, uint16_t* dosTime);
bool dosDateTimeToFileTime(uint16_t dosDate, uint16_t dosTime, FileTime* out);

// The C library's calendar time and its local broken-down form.
int64_t calendarTimeNow();
bool localCalendarTime(int64_t time, std::tm* out);

// ---- Memory -------------------------------------------------------------------------

// Every allocation of the program goes through these, so that a test can fail any one.
void* allocate(size_t size);
void* reallocate(void* block, size_t size);
void release(void* block);

// VirtualAlloc(MEM_COMMIT, PAGE_READWRITE) and VirtualFree(MEM_RELEASE): page-aligned.
void* allocatePages(size_t size);
void releasePages(void* pages);

// ---- Standard output and standard error ---------------------------------------------

enum class StandardStream { output, error };

// The one way to standard output and standard error: vfprintf's format and answer, the
// program's text. On the NT family a stream that is a console gets it as UTF-16 through
// WriteConsoleW, so that it reads right whatever the console's code page, escapes shown as
// their characters; a file or a pipe, Windows 9x, and a console that refused the wide call
// get the bytes through the C runtime's stream as they are.
int printStandardV(StandardStream stream, const char* format, va_list arguments);
int printStandard(StandardStream stream, const char* format, ...) __attribute__((format(printf, 2, 3)));

// A lead byte that ended the last console write still waits for its trail byte: written
// before the process ends.
void finishStandardStreams();

// ---- Console and clock --------------------------------------------------------------

// GetConsoleScreenBufferInfo on the standard output handle.
bool consoleScreenInfo(int* bufferHeight, int* windowRows);

constexpr uint16_t KEY_EVENT = 0x0001;
constexpr uint16_t MOUSE_EVENT = 0x0002;
constexpr uint16_t WINDOW_BUFFER_SIZE_EVENT = 0x0004;
constexpr uint16_t FOCUS_EVENT = 0x0010;

struct InputRecord {
    uint16_t eventType;
    bool keyDown;
    uint8_t character;  // the key's ASCII character
};

void flushConsoleInput();                 // FlushConsoleInputBuffer on standard input
bool readConsoleInput(InputRecord* record);  // ReadConsoleInputA, one record

uint32_t tickCount();  // GetTickCount
void sleepMilliseconds(uint32_t ms);

// ---- Environment and process --------------------------------------------------------

// Looked up without regard to case; the value stays valid until the next call.
const char* environmentVariable(const char* name);

// The command line's arguments: on the NT family taken from the wide command line, so that
// a name the ANSI code page cannot write arrives whole; elsewhere the C runtime's, kept.
void takeProgramArguments(int* count, char*** arguments);

[[noreturn]] void exitProcess(int code);  // the normal exit: streams are flushed

// ---- Threads, events and the hidden window ------------------------------------------

using ThreadHandle = void*;
using EventHandle = void*;
using InstanceHandle = void*;
using WindowHandle = void*;
using ThreadRoutine = uint32_t (*)(void* argument);
using WindowProcedure = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wParam,
                                     intptr_t lParam);

constexpr int THREAD_PRIORITY_IDLE = -15;
constexpr int THREAD_PRIORITY_NORMAL = 0;
constexpr uint32_t WAIT_FOREVER = 0xFFFFFFFF;
constexpr uint32_t WM_POWERBROADCAST = 0x0218;
constexpr uintptr_t PBT_APMQUERYSUSPEND = 0x0000;
constexpr intptr_t BROADCAST_QUERY_DENY = 0x424D5144;

// CreateThread with the default stack; nullptr when no thread can be had. The program starts
// at most two: the suspend inhibitor's and the content reader's.
ThreadHandle createThread(ThreadRoutine routine, void* argument);
bool setThreadPriority(ThreadHandle thread, int priority);
// PostThreadMessageA with WM_QUIT: fails until the thread has its message queue, and after it ended.
bool postQuitMessage(ThreadHandle thread);
// WaitForSingleObject: true once the thread has ended.
bool waitForThread(ThreadHandle thread, uint32_t milliseconds);

uint32_t processorCount();  // GetSystemInfo's dwNumberOfProcessors

// CreateEventA: unnamed, auto-reset (the wait it ends resets it), not signalled; nullptr when
// refused. Windows 9x has these but no overlapped file I/O.
EventHandle createEvent();
bool setEvent(EventHandle event);
// WaitForSingleObject: true once the event was signalled.
bool waitForEvent(EventHandle event, uint32_t milliseconds);

InstanceHandle moduleInstance();  // GetModuleHandleA(NULL)

// RegisterClassA: no style, no extra bytes, no icon, the arrow cursor, no brush, no menu.
bool registerWindowClass(const char* className, WindowProcedure procedure,
                         InstanceHandle instance);
bool unregisterWindowClass(const char* className, InstanceHandle instance);

// CreateWindowExA: no extended style, WS_POPUP, CW_USEDEFAULT position, 0 by 0, no parent.
WindowHandle createHiddenWindow(const char* className, const char* title,
                                InstanceHandle instance);

struct Message {
    WindowHandle window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    unsigned char native[64];  // the platform's own message record
};
int getMessage(Message* message);  // GetMessageA for every window and message
void dispatchMessage(const Message* message);
intptr_t defWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                       intptr_t lParam);

}  // namespace os
