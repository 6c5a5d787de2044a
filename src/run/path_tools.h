// Shift-JIS byte classes and the path tools every scan over a path rests on. A backslash
// that is the second byte of a double-byte character is never a separator.
#pragma once

#include <cstdint>

#include "run/path_buffer.h"

bool isLeadByte(unsigned char byte);
bool isTrailByte(unsigned char byte);

// 0 single byte, 1 first byte, 2 second byte of a double-byte character; 0 past the end.
int byteKindAt(const char* text, int32_t index);

bool endsWithSeparator(const char* text);

// Positions outside double-byte characters; -1 for none.
int32_t findByte(const char* text, char byte);
int32_t findLastByte(const char* text, char byte);

bool hasPrefix(const char* text, const char* prefix);

// The attribute word, 0x80 for a word of 0, -1 (all bits) when the path cannot be found;
// a share root (\\server\share\) counts as a directory.
uint32_t attributesOf(const char* path);

// 0 missing, 1 directory (or volume label), 2 file, 3 the volume cannot be queried.
int pathKind(const char* path);

// Cuts a full path in place to its volume root: X:\ or \\server\share\ (the string must
// have room for one more byte when it names a bare share).
void volumeRootOf(char* path);

bool hasAliasShape(const char* name);

// Splits the source argument into the directory to walk (written to sourcePath, grown as
// needed) and an optional file name or pattern. Answers sourceDirLength, or -1 out of
// memory, -2 network path without a share name, -3 source path not found.
int32_t resolveSource(const char* argument, PathBuffer& sourcePath, char** sourceTail,
                      int32_t* tailIsAlias, bool subDirectory, bool dirsToo, bool filesToo);
