// The two questions the walk asks of the filters.
#pragma once

#include <cstdint>

// "Writable": set in an entry's attribute word whenever read-only is clear.
constexpr uint32_t ATTR_WRITABLE = 0x80;

// Which filter groups take part in this run; a limit group with none of its lists in use
// would leave every entry out, so it is asked only when its flag is on.
struct FilterActivity {
    bool sourceDirSkip = false;
    bool sourceFileSkip = false;
    bool sourceDirLimit = false;
    bool sourceFileLimit = false;
    bool sizeLimit = false;
    bool fileDateLimit = false;
    bool dirDateLimit = false;
    bool destDirSkip = false;
    bool destFileSkip = false;
    bool destDirLimit = false;
    bool destFileLimit = false;
};

extern FilterActivity filterActivity;

// From the lists and ranges in settings, once the attribute masks are built.
void setFilterActivity();

// The alternate path is the source path spelled with 8.3 names, or nullptr.
bool isDirExcluded(const char* sourcePath, const char* destPath, const char* sourceAltPath);
bool isFileExcluded(const char* sourcePath, const char* destPath, const char* sourceAltPath);
