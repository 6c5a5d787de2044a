// Skip, limit and destination filter lists: parsed from option texts, prepared once all
// options are read, anchored to the two roots once the arguments are resolved.
#pragma once

#include <cstdint>

#include "run/settings.h"

// Each answers 0 taken, 1 out of memory, 2 not an option of this parser; the text starts
// at the option's first letter.
int parseSkipOption(const char* text);
int parseLimitOption(const char* text);
int parseDestOption(const char* text);

// Replaces the list with the elements of text; an empty text (or one of blanks only)
// switches it off. 0 taken, 1 out of memory.
int setFilterList(const char* text, FilterList& list);

// False when memory ran out; a text that normalises to nothing leaves the list off.
bool parseElementList(const char* text, FilterList& list);

// Writes the normalised text to out (nullptr: only measures) and answers its length,
// without the terminator, which is written too.
int32_t normalizeElements(const char* text, char* out);

// Attribute masks, then the activity flags; false when memory ran out.
bool prepareFilters();

enum class FilterSide { source, destination };

// Checks absolute path elements against the root and puts the root in front of relative
// ones; stops the run on an element outside the root or when memory runs out.
void anchorPathLists(const char* label, const char* root, FilterSide side);
