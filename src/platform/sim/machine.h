// The simulated Windows machine that the host build runs the program on. A test programs
// it (volumes, trees, console, clock, faults), runs the command over it and reads back what
// the program did to it.
//
// Each file imitates a part of Windows and writes down, beside the code, what the program
// may rely on there:
//   paths.cpp    how a path names a volume and its entries (drive, share, relative, "..",
//                directory links, the long form \\?\)
//   files.cpp    the wide calls of the NT family: listings, look-ups, attributes,
//                identities, full paths, file handles and streams, the environment
//   volumes.cpp  volume information, free space, drive types, DOS devices, dismounting
//   ansi_calls.cpp  the ANSI calls of Windows 9x, in its code page 932
//   standard_streams.cpp  the console's screen and the bytes of standard output and error
//   system.cpp   memory, console input, the tick clock, the environment, the exit
//   threads.cpp  threads taking turns, events, the suspend inhibitor's hidden window
//   times.cpp    file times, local time and DOS time stamps
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace sim {

// Names and paths are UTF-16, as NTFS keeps them and the wide calls take them.
using Name = std::u16string;

// The UTF-16 of the program's text (code page 932, <U+XXXX> for what it cannot write), the
// form in which tests write paths and names; a text that names no characters ends the test.
Name wide(const std::string& text);
// The program's text of a name or path.
std::string textOf(const Name& name);

// The wide calls refuse a path that has, or whose full form has, this many units or more,
// unless it is given behind \\?\ (files.cpp).
constexpr size_t MAX_PATH_UNITS = 260;

struct Node {
    Name name;     // long name
    Name altName;  // 8.3 name; empty when the long name is already 8.3
    uint32_t attributes = os::ATTR_ARCHIVE;
    os::FileTime creationTime = 0;
    os::FileTime accessTime = 0;
    os::FileTime writeTime = 0;
    std::string contents;
    int64_t listedSize = -1;  // the size a listing reports; -1: the size of contents
    std::vector<std::unique_ptr<Node>> children;
    std::string hostFile;     // written through a stream: the bytes live in this host file
    Name linkTarget;          // a directory link: the full path of the directory it leads to
    int64_t fileIndex = -1;   // what its identity reports; -1: an index of its own

    // Faults
    bool attributesFail = false;  // GetFileAttributes fails on it
    bool listingFails = false;    // a listing of this directory cannot start
    bool listsNothing = false;    // a listing finds no entry, not even "." and ".." (gone meanwhile)
    bool lookupFails = false;     // FindFirstFile of its own name fails
    bool openFails = false;       // CreateFile and fopen fail
    int readFailsAt = -1;         // this read (0 the first) of an open handle fails
    bool heldOpen = false;        // another process holds it open

    bool isDirectory() const { return (attributes & os::ATTR_DIRECTORY) != 0; }
    Node* child(const Name& name);
};

struct Volume {
    std::string root;  // "C:\" or "\\server\share\"
    Name wideRoot;     // the same in UTF-16
    bool answers = true;
    std::string fileSystem = "NTFS";
    uint32_t bytesPerSector = 512;
    uint32_t sectorsPerCluster = 8;
    bool freeSpaceAnswers = true;
    bool vwin32Answers = false;
    uint32_t vwin32BytesPerSector = 512;
    uint32_t vwin32SectorsPerCluster = 8;
    bool freeSpaceExAvailable = true;
    uint64_t totalBytes = 64ull << 30;
    uint32_t driveType = 3;         // fixed disk; 4 network
    std::string dosDevice;          // QueryDosDevice; "\??\D:\folder" for a SUBST drive
    bool opensAsDevice = true;
    bool lockSucceeds = true;
    bool dismountSucceeds = true;
    uint32_t serialNumber = 0;      // set by addVolume, one of its own for each volume
    Node top;                       // the root directory
};

// A kind of call that a test makes fail by its number in the run: the failAt-th call (1 the
// first) fails, and with onward every later one too, as memory that stays exhausted or a
// disk that stays full.
struct CallFaults {
    long made = 0;    // calls of the kind so far
    long failAt = 0;  // 0: none fails
    bool onward = false;
    bool nextFails();  // counts one call and answers whether it fails
};

struct Key {
    uint16_t eventType = os::KEY_EVENT;
    bool keyDown = true;
    uint8_t character = 0;
    bool typedEarly = false;  // typed before the prompt: discarded when input is flushed
};

struct Machine {
    os::VersionInfo version{true, 2, 5, 1};
    std::string modulePath = "C:\\tools\\morvi.exe";
    std::string currentDirectory = "C:\\work";
    int32_t timeZoneBiasMinutes = -540;  // local time = UTC - bias
    std::vector<std::unique_ptr<Volume>> volumes;
    std::vector<std::pair<std::string, std::string>> environment;

    bool console = false;       // standard output is a console
    bool errorConsole = false;  // standard error is a console
    uint32_t consoleCodePage = 932;  // how the console shows the bytes written to it
    std::u16string screen;           // what the console shows, from both streams
    CallFaults consoleWrites;        // WriteConsoleW
    int32_t windowRows = 25;
    int32_t bufferHeight = 300;
    std::deque<Key> keys;
    uint32_t ticks = 0;
    uint32_t ticksPerCall = 1;

    // calendarTimeNow answers these in turn; the last one stays.
    std::deque<int64_t> calendarTimes{1709597107};  // 2024-03-05 00:05:07 UTC

    CallFaults allocations;   // allocate, reallocate, allocatePages
    CallFaults streamOpens;   // openStream
    CallFaults streamWrites;  // writeStream: the disk is full
    CallFaults streamCloses;  // closeStream: the last buffered bytes cannot be written
    CallFaults identities;    // fileIdentity
    long searchesOpen = 0;    // listings and look-ups started and not yet closed

    // The test promises that no entry changes during a run: paths.cpp may then remember the
    // directories it found, which a walk thousands of levels deep needs.
    bool fixedTree = false;

    CallFaults threadCreations;  // CreateThread
    CallFaults eventCreations;   // CreateEventA
    bool wokenThreadRunsFirst = false;
    uint32_t processors = 1;
    long readsBeside = 0;        // ReadFile calls made on a thread other than the first
    bool registerClassFails = false;
    std::deque<os::Message> windowMessages;  // delivered by the hidden window's message loop

    std::string hostDir;  // files written through streams live below it
    std::vector<std::string> events;
};

Machine& machine();
void resetMachine();  // an empty machine with the volume C: and the module's directory
void record(const std::string& event);

Volume& addVolume(const std::string& root, const std::string& fileSystem = "NTFS");
Volume* volumeOf(const std::string& root);

// Full paths (X:\... or \\server\share\...); missing parent directories are created.
Node& addDirectory(const std::string& path);
Node& addFile(const std::string& path, const std::string& contents);
// A directory link (attributes 0x410, as Windows lists one) that leads to target, a full path.
Node& addLink(const std::string& path, const std::string& target);
Node* find(const std::string& path);  // nullptr when missing
void setTimes(Node& node, os::FileTime write, os::FileTime creation = 0, os::FileTime access = 0);

// FILETIME of a UTC calendar time.
os::FileTime fileTimeOf(int year, int month, int day, int hour = 0, int minute = 0,
                        int second = 0, int milliseconds = 0);

// The bytes of a file as the program left them (written through a stream or not).
std::string contentsOf(const std::string& path);

// The thread that the process began with; the threads started since and not yet ended.
bool onFirstThread();
int threadsRunning();

// For in-process callers only (fuzz targets): when a hook is set, exitProcess calls it
// instead of ending the process. The hook must not return (it throws or long-jumps).
using ExitHook = void (*)(int code);
void setExitHook(ExitHook hook);  // nullptr restores the real exit
ExitHook exitHook();

}  // namespace sim
