// Compares one source entry with the destination entry of the same name and reports it.
// The pair is the one in runState's path buffers.
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

enum PairKind { PAIR_OF_FILES = 0, PAIR_OF_DIRECTORIES = 1 };

// The walk's pairs pass the file filters and have the spelling of their names compared;
// the one file that the source argument names does neither.
enum PairOrigin { FROM_WALK, FROM_ARGUMENT };

// source: the source entry's record. dest: the destination's record when the caller has
// just looked it up; nullptr makes the comparison look it up itself.
PairResult compareEntry(const os::FindRecord& source, PairKind kind, PairOrigin origin,
                        const os::FindRecord* dest = nullptr);
ReportOutcome compareAndReport(const os::FindRecord& source, PairKind kind, PairOrigin origin,
                               const os::FindRecord* dest = nullptr);

const char* resultLabel(PairResult result, PairKind kind);
