// Reads a source file and its destination block by block and compares the bytes.
#pragma once

#include <cstdint>

#include "compare/compare_entry.h"

// The paths through which the two files are opened, and their sizes as listed (they only
// decide whether the two sides are read at the same time). Answers RESULT_MATCH, RESULT_SIZE,
// RESULT_CONTENTS, or the open or read failure of a side. With textBinaryCheck on, it
// leaves each side's class in runState's isBinary.
PairResult compareContentsOf(const char* sourcePath, const char* destPath, uint64_t sourceSize,
                             uint64_t destSize);
