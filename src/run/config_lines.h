// The configuration file beside the executable, seen as lines: its path, the line reader
// with its rules for line ends, comments and binary bytes, and the environment references.
// The option passes, the usage pages and the log's command line all read it this way.
#pragma once

#include <cstdint>
#include <cstdio>

constexpr int32_t CONFIG_LINE_LIMIT = 10240;  // content bytes kept; buffers hold one more
constexpr int32_t CONFIG_NAME_LIMIT = 1023;   // an environment name this long is not expanded

// The executable's path with its extension replaced by "cfg" (".cfg" appended when it has
// none); an owned string, or nullptr when memory ran out.
char* configFilePath(const char* executablePath);

// Blank, tab, vertical tab and form feed: what a line loses at its ends.
bool isWhiteSpace(int byte);

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
