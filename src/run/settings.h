// The one process-wide record of every option value. It holds its defaults from process
// start; the configuration file and then the command line overwrite fields, the run
// driver derives a few, and from the walk on it is read-only (but for pauseOutput).
#pragma once

#include <cstdint>

struct FilterList {
    char** elements = nullptr;  // positions in one shared text buffer (elements[0] is its start)
    int32_t count = 0;          // 0: the option is off
    int32_t textLength = 0;     // kept for the anchored path lists, whose buffer grows
};

struct AttributeFilter {
    FilterList texts;  // as written; released once the masks are built
    uint32_t* fileMasks = nullptr;
    int32_t fileMaskCount = 0;
    uint32_t* dirMasks = nullptr;
    int32_t dirMaskCount = 0;
};

// Byte counts; -1 not given, -2 open.
struct SizeRange {
    int64_t from = -1;
    int64_t to = -1;
};

// Local calendar fields; -1 not given, a year of -2 open.
struct DateFields {
    int32_t year = -1, month = -1, day = -1, hour = -1, minute = -1, second = -1;
};

struct DateRange {
    DateFields start;
    DateFields end;
};

struct EntryKind {
    int32_t files = 1;
    int32_t dirs = 1;
};

struct VerboseFlags {
    int32_t beginning = 1;    // b
    int32_t complete = 1;     // c
    int32_t notExist = 1;     // n
    int32_t error = 1;        // e
    int32_t skip = 0;         // k
    int32_t source = 1;       // s
    int32_t destination = 1;  // d
    int32_t finish = 1;       // f
};

// The values of the enumerated fields, which stay 32-bit integers.
enum SameTimeOnly : int32_t { SAME_TIME_OFF = 0, SAME_TIME_WRITE = 1, SAME_TIME_ALL = 2 };
enum TimeComparison : int32_t { TIME_OFF = 0, TIME_WRITE = 1, TIME_ALL = 2 };
enum AttributeComparison : int32_t {
    ATTRIBUTES_OFF = 0,
    ATTRIBUTES_LOW_BITS = 1,  // read-only, hidden, system, volume label, directory
    ATTRIBUTES_ALL = 2,
    ATTRIBUTES_AUTO = 3,  // off when a CD file system takes part, else the low bits
};
enum BlockSizeRule : int32_t { BLOCK_SECTOR_SIZE = -1, BLOCK_CLUSTER_SIZE = -2 };
enum CacheMode : int32_t { CACHE_USE = 0, CACHE_BYPASS = 1, CACHE_AUTO = 2 };
enum AlternateAccess : int32_t { ALT_ACCESS_OFF = 0, ALT_ACCESS_ON = 1, ALT_ACCESS_AUTO = 2 };
enum LogMode : int32_t { LOG_OFF = 0, LOG_NEW = 1, LOG_APPEND = 2 };

struct Settings {
    // Comparison selection
    int32_t subDirectory = 0;
    int32_t continueOnMismatch = 0;
    EntryKind entryKind;
    int32_t sameTimeOnly = SAME_TIME_OFF;
    int32_t differentTimeOnly = 0;
    int32_t sameSizeOnly = 0;

    // Comparison elements
    int32_t compareContents = 1;
    int32_t textBinaryCheck = 0;
    int32_t compareSize = 1;
    int32_t compareTime = TIME_WRITE;
    int32_t compareDirTime = TIME_OFF;
    int32_t compareAttributes = ATTRIBUTES_AUTO;
    int32_t compareNameCase = 1;
    int32_t compareAltName = 0;
    int32_t compareDirSize = 0;
    int32_t foldCase = 1;

    // Reading of contents
    int32_t blockSize = 1048576;  // or a BlockSizeRule
    int32_t cacheMode = CACHE_AUTO;
    uint32_t sourceOpenFlags = 0x10000000u;
    uint32_t destOpenFlags = 0x10000000u;
    int32_t accessAlt = ALT_ACCESS_AUTO;

    // Display, log and run
    VerboseFlags verbose;
    int32_t timeThreshold = 300;
    int32_t beepThreshold = 120;
    char* logPath = nullptr;
    int32_t logMode = LOG_OFF;
    int32_t testMode = 0;
    int32_t inhibitSuspend = 1;
    int32_t pauseOutput = 0;
    char switchChar = '/';

    // Skip filters
    FilterList skipHead, skipHeadCase, skipTail, skipTailCase, skipPath, skipPathCase;
    FilterList skipDir, skipDirCase, skipFile, skipFileCase, skipExt, skipExtCase;
    AttributeFilter skipAttr, skipAttrExact;

    // Limit filters
    FilterList limitHead, limitHeadCase, limitHeadForDirs, limitHeadForDirsCase;
    FilterList limitTail, limitTailCase, limitPath, limitPathCase;
    FilterList limitDir, limitDirCase, limitFile, limitFileCase, limitExt, limitExtCase;
    AttributeFilter limitAttr, limitAttrExact;
    SizeRange sizeRange;
    DateRange dateWrite, dateCreate, dateAccess;
    DateRange dirDateWrite, dirDateCreate, dirDateAccess;

    // Destination filters
    FilterList destSkipHead, destSkipHeadCase, destSkipPath, destSkipPathCase;
    FilterList destLimitHead, destLimitHeadCase, destLimitPath, destLimitPathCase;
};

extern Settings settings;
