// The configuration file beside the executable (its name with the extension .cfg): a switch
// line and option lines, read in two passes before the command line's options.
#pragma once

#include <cstdint>

#include "run/config_lines.h"

// The running executable's full path, its file name spelled as the directory entry spells
// it; an owned string, or nullptr when the module name cannot be read or looked up.
char* findExecutablePath();

enum ConfigScan { CONFIG_MISSING, CONFIG_READ, CONFIG_BINARY_DATA, CONFIG_MIXED_LINE_ENDS };

struct ConfigScanResult {
    ConfigScan outcome;
    unsigned long lineNumber;  // the line that holds the error
};

// Reads the file at configPath with the configuration rules (line ends of one kind, no
// binary bytes) and hands every non-empty line, environment references expanded with
// names below nameLimit bytes, to visit. Stops with "メモリー不足" when its buffers cannot
// be had; any error of the file itself is answered, for the caller to report.
ConfigScanResult scanConfigFile(const char* configPath, int32_t nameLimit,
                                void (*visit)(const char* line, void* context), void* context);

// Stops the program with the message of a scan's error; returns when there was none.
void stopOnConfigError(const char* configPath, const ConfigScanResult& result);

// The first pass: sets settings.switchChar from the file's switch lines.
void loadSwitchChar(const char* executablePath);

// The second pass: applies every line that begins with "/" or switchChar as an option group.
void applyConfigFile(const char* executablePath, char switchChar);
