// Wildcard matchers over code page 932 byte strings, the literal head test and the small
// helpers that cut a path into name and extension. The wildcard matchers share one scratch
// space that grows with the longest text and pattern met (out of memory stops the run):
// they must not run on two threads at once.
#pragma once

#include "platform/platform.h"

// Maps a-z to A-Z and leaves every other byte alone; no locale.
inline unsigned char foldByte(unsigned char byte) {
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

// The whole text against the pattern (* and ?).
bool matchWildcard(const char* text, const char* pattern);
bool matchWildcardNoCase(const char* text, const char* pattern);

// The pattern up to the end of the path or up to a separator in it.
bool matchHead(const char* path, const char* pattern);
bool matchHeadNoCase(const char* path, const char* pattern);

// The whole name, where \*, \? and \\ stand for the literal second character.
bool matchEscaped(const char* name, const char* pattern);
bool matchEscapedNoCase(const char* name, const char* pattern);

// The pattern against the path from its start, a separator or a drive colon to its end.
bool matchTail(const char* path, const char* pattern);
bool matchTailNoCase(const char* path, const char* pattern);

// True when the path equals the element or is one of its ancestor directories; no wildcards.
bool isHeadOf(const char* element, const char* path);
bool isHeadOfNoCase(const char* element, const char* path);

// The entry's 8.3 name (when useAlternate and it has one) or its long name against the
// wildcard of the source argument; fold ignores the case of single-byte letters.
bool matchEntryName(const os::FindRecord& entry, const char* pattern, bool useAlternate, bool fold);

// Where the last component of the path starts; the end for a server or share root.
const char* fileNamePart(const char* path);

// Rewrites a copy of a directory path whose name part is empty to its last component,
// or to the empty string when it has no separator.
void lastComponent(char* copy);

// The text after the extension dot, or nullptr when the path has no extension.
const char* extensionOf(const char* path);
