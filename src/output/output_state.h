// The output facts every writer shares: the open log stream and the progress name that
// may stand on the console line.
#pragma once

#include <cstdio>

extern FILE* logStream;     // the open log file, nullptr while none is open
extern bool progressShown;  // a progress name stands on the console line without a line end

// Ends a progress name by returning to the start of its line, for the next output to
// write over it.
void rewindProgressLine();

// Redirected standard output is buffered in large blocks, standard error not at all:
// whatever goes to standard error first lets standard output catch up, so that the two
// keep their order when both go to one file.
void beforeStandardError();
