// The two ways the program stops with "処理停止:" and exit code 1.
#pragma once

#define MORVI_PRINTF(formatIndex) __attribute__((format(printf, formatIndex, formatIndex + 1)))

// Errors of the set-up (options, configuration file, filters, log file): standard error only.
[[noreturn]] void stopWithMessage(const char* format, ...) MORVI_PRINTF(1);

// Failures of the run itself: also into the log file, and on a paged console behind a prompt.
[[noreturn]] void fatalError(const char* format, ...) MORVI_PRINTF(1);
