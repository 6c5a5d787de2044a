// Reads a source file and its destination block by block and compares the bytes.
#pragma once

// The paths through which the two files are opened. Answers a PairResult: 0, 5, 11, 12,
// 13, 14 or 15.
int compareContentsOf(const char* sourcePath, const char* destPath);

// Set by the comparison when the text-against-binary check is on.
extern bool sourceIsBinary;
extern bool destIsBinary;
