// Console output: every result, notice and summary line goes through writeOutput, which
// mirrors it into the log file and pages it on a console.
#pragma once

#include <cstdarg>
#include <cstdint>

#include "output/messages.h"

extern const char* const PAGER_PROMPT;  // "(Continue,/All/Quit)"

// Formats once into the log file (when open) and once to standard output, paged.
void writeOutput(const char* format, ...) MORVI_PRINTF(1);

// Standard output, paged, not mirrored into the log file.
void consolePrint(const char* format, ...) MORVI_PRINTF(1);

// Standard error, paged by the standard-error pager, not mirrored.
void errorPrint(const char* format, ...) MORVI_PRINTF(1);

// Standard output as it is: neither paged nor mirrored. Answers the bytes written, or a
// negative number when the format could not be written.
int plainPrint(const char* format, ...) MORVI_PRINTF(1);

// The standard-output pager. The print checks answer 0 when paging is off (or was just
// turned off by the answer All), else 1; a quit answer ends the process.
int pagerInit(int enabled, int quitExitCode);  // rows of the console window, or 0
int pagerBeforePrint(int64_t characters, const char* prompt);
int pagerAfterPrint(int64_t characters, const char* prompt);

// The help pager: set up with the exit code of a quit; prompts only on a console.
int helpPagerInit(int quitExitCode);
void helpPagerPrompt(const char* prompt);

// The character of the next key event, keys typed before the call discarded.
unsigned char readPromptKey();

// Guards the prompt: at least a given time passes between a mark and the next prompt.
struct Pacer {
    bool stale = true;  // no mark taken yet
    uint32_t mark = 0;  // tick count, wrapping at 2^32
};
void resetPacer(Pacer& pacer);
void waitSince(Pacer& pacer, uint32_t milliseconds);

// Screen lines of a piece of output, counted in units of 80 characters.
int64_t linesOf(int64_t characters);

// The printed length of a format and its arguments, judged from the format alone and the
// %s, %d, %u, %c and %% conversions; a tab counts as 8 columns.
int64_t estimateLength(const char* format, va_list arguments);
