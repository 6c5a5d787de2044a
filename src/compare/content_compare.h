// Reads a source file and its destination block by block and compares the bytes.
#pragma once

#include "compare/compare_entry.h"

// The paths through which the two files are opened. Answers RESULT_MATCH, RESULT_SIZE,
// RESULT_CONTENTS, or the open or read failure of a side. With textBinaryCheck on, it
// leaves each side's class in runState's isBinary.
PairResult compareContentsOf(const char* sourcePath, const char* destPath);
