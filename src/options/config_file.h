// The configuration file beside the executable (its name with the extension .cfg): a switch
// line and option lines, read in binary and split into lines here.
#pragma once

#include <cstdint>
#include <cstdio>

constexpr int32_t CONFIG_LINE_LIMIT = 10240;  // content bytes kept; buffers hold one more
constexpr int32_t CONFIG_NAME_LIMIT = 1023;   // an environment name this long is not expanded

// The running executable's full path, its file name spelled as the directory entry spells
// it; an owned string, or nullptr when the module name cannot be read or looked up.
char* findExecutablePath();

// The executable's path with its extension replaced by "cfg" (".cfg" appended when it has
// none); an owned string, or nullptr when memory ran out.
char* configFilePath(const char* executablePath);

enum LineEnd { LINE_END_NONE = 0, LINE_END_LF, LINE_END_CRLF, LINE_END_CR };
enum ConfigRead { CONFIG_LINE, CONFIG_END, CONFIG_BINARY };

// Reads the next line's content (leading white space and comments dropped, trailing white
// space removed, or only trailing blanks with blanksOnly) into a buffer of
// CONFIG_LINE_LIMIT + 1 bytes. *lineEnd is the line's terminator, LINE_END_NONE for a last
// line without one. A read error counts as the end; on binary data the buffer is empty.
ConfigRead readConfigLine(char* line, FILE* file, LineEnd* lineEnd, bool blanksOnly = false);

// Replaces every %NAME% in the line (a buffer of CONFIG_LINE_LIMIT + 1 bytes) by the
// variable's value, or removes it when there is none; inserted values are not expanded
// again. Names of nameLimit bytes or more stop the expansion; nameBuffer holds nameLimit
// bytes. A line that would grow past the buffer is cut at CONFIG_LINE_LIMIT bytes.
void expandEnvironmentRefs(char* line, char* nameBuffer, int32_t nameLimit = CONFIG_NAME_LIMIT);

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
