// Compares one source entry with the destination entry of the same name and reports it.
#pragma once

#include "platform/platform.h"

enum PairResult {
    RESULT_MATCH = 0,
    RESULT_SKIPPED = 1,
    RESULT_DEST_MISSING = 2,
    RESULT_NAME_CASE = 3,
    RESULT_ALT_NAME = 4,
    RESULT_SIZE = 5,
    RESULT_WRITE_TIME = 6,
    RESULT_CREATION_TIME = 7,
    RESULT_ACCESS_TIME = 8,
    RESULT_ATTRIBUTES = 9,
    RESULT_FILE_HAS_DIR_TWIN = 10,
    RESULT_SOURCE_OPEN = 11,
    RESULT_DEST_OPEN = 12,
    RESULT_CONTENTS = 13,
    RESULT_SOURCE_READ = 14,
    RESULT_DEST_READ = 15,
};

// What compareAndReport tells the walker.
enum ReportOutcome { OUTCOME_MATCHED = 0, OUTCOME_MISMATCHED = 1, OUTCOME_SKIPPED = 101 };

struct EntryPaths {
    const char* source;
    const char* dest;
    const char* sourceAlt;  // meaningful while the side's alternate access is on
    const char* destAlt;
};

// dest: the destination's record when the caller has just looked it up; nullptr makes the
// comparison look it up itself.
int compareEntry(const os::FindRecord& source, const EntryPaths& paths, int isDirectory,
                 int fromWalk, int checkNames, const os::FindRecord* dest = nullptr);
int compareAndReport(const os::FindRecord& source, const EntryPaths& paths, int isDirectory,
                     int fromWalk, int checkNames, const os::FindRecord* dest = nullptr);

const char* resultLabel(int result, int isDirectory);
