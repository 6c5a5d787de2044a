// The log file: a copy of the results between a start banner with the command line and an
// end banner with the processing time. The open stream is logStream (output_state.h).
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>

#include "output/messages.h"

// Opens the log (new, or appended behind a separator line), writes the start banner
// and the command line: arguments 0 to leadingCount, the configuration file's option lines,
// then the rest. Null on failure; *heldOpen tells whether another process holds the file.
FILE* openLog(const char* path, int32_t mode, char switchChar, int argumentCount,
              char** arguments, int leadingCount, const char* programName,
              const char* version, bool* heldOpen);

// Writes into logStream, which must be open, through the platform; negative on failure, as
// vfprintf answers.
int writeLog(const char* format, ...) MORVI_PRINTF(1);
int writeLogV(const char* format, va_list arguments);

// Closes logStream, when open, and leaves it null; false when the close failed, which can
// lose what the log was given.
bool closeLogStream();

// Closes logStream for a while (around the clearing of volume caches); a failed close
// ends the process.
void detachLog();

// Opens settings.logPath again for appending into logStream; a failure ends the process.
void reopenLog();

// Writes the end banner and closes logStream; false when the close failed.
bool finishLog(int64_t endTime, int32_t elapsedSeconds, const char* programName,
               int32_t cacheMode);
