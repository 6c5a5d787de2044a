// Console output: every result, notice and summary line goes through writeOutput, which
// mirrors it into the log file and pages it on a console.
#pragma once

#include <cstdint>

#include "output/messages.h"

// Formats once into the log file (when open) and once to standard output, paged.
void writeOutput(const char* format, ...) MORVI_PRINTF(1);

// Standard output, paged, not mirrored into the log file.
void consolePrint(const char* format, ...) MORVI_PRINTF(1);

// Standard error, paged by the standard-error pager, not mirrored.
void errorPrint(const char* format, ...) MORVI_PRINTF(1);

// The standard-output pager.
int pagerInit(int enabled, int quitExitCode);  // rows of the console window, or 0
int pagerBeforePrint(int64_t characters, const char* prompt);
int pagerAfterPrint(int64_t characters, const char* prompt);

// The help pager: set up with the exit code of a quit; prompts only on a console.
int helpPagerInit(int quitExitCode);
void helpPagerPrompt(const char* prompt);
