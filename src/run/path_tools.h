// Shift-JIS byte classes and the path tools every scan over a path rests on. A backslash
// that is the second byte of a double-byte character is never a separator.
#pragma once

#include <cstdint>

#include "run/path_buffer.h"

bool isLeadByte(unsigned char byte);
bool isTrailByte(unsigned char byte);

enum ByteKind { SINGLE_BYTE = 0, FIRST_BYTE = 1, SECOND_BYTE = 2 };

// The kind of the byte at index, found by scanning from the start; SINGLE_BYTE past the end.
ByteKind byteKindAt(const char* text, int32_t index);

// A backslash at index that is no second byte.
bool isSeparatorAt(const char* text, int32_t index);

// The kind of a byte after a byte of the given kind, for scans that classify as they go.
ByteKind nextByteKind(ByteKind previous, unsigned char byte);

// 2 at the first byte of a double-byte character (a lead byte and a trail byte), else 1.
int characterWidth(const char* text);

bool endsWithSeparator(const char* text);

// Ends in a separator or in a drive's ":": a name can follow it directly.
bool endsWithSeparatorOrColon(const char* text);

// Positions outside double-byte characters; -1 for none.
int32_t findByte(const char* text, char byte);
int32_t findLastByte(const char* text, char byte);

bool hasPrefix(const char* text, const char* prefix);

// Begins with \\ (a share), or with a drive letter and ":".
bool isNetworkPath(const char* path);
bool isDrivePath(const char* path);

// Holds a * or a ?, neither of which can be the second byte of a double-byte character.
bool hasWildcard(const char* text);

// The attribute word, 0x80 for a word of 0, -1 (all bits) when the path cannot be found;
// a share root (\\server\share\) counts as a directory.
uint32_t attributesOf(const char* path);

enum PathKind { PATH_MISSING = 0, PATH_DIRECTORY = 1, PATH_FILE = 2, PATH_UNREACHABLE = 3 };

// A volume label counts as a directory; unreachable when the volume cannot be queried.
PathKind pathKind(const char* path);

// Cuts a full path in place to its volume root: X:\ or \\server\share\ (the string must
// have room for one more byte when it names a bare share).
void volumeRootOf(char* path);

bool hasAliasShape(const char* name);

// What resolveSource answers instead of a length.
enum SourceFailure : int32_t {
    SOURCE_OUT_OF_MEMORY = -1,
    SOURCE_WITHOUT_SHARE = -2,  // a network path without a share name
    SOURCE_NOT_FOUND = -3,
};

// Splits the source argument into the directory to walk (written to sourcePath, grown as
// needed) and an optional file name or pattern. Answers the directory's length, or a
// SourceFailure.
int32_t resolveSource(const char* argument, PathBuffer& sourcePath, char** sourceTail,
                      int32_t* tailIsAlias, bool subDirectory, bool dirsToo, bool filesToo);
