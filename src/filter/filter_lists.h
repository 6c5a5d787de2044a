// Skip, limit and destination filter lists: parsed from option texts, prepared once all
// options are read, anchored to the two roots once the arguments are resolved.
#pragma once

#include <cstdint>

#include "run/settings.h"

// What a filter option's parser answers.
enum FilterParse { FILTER_TAKEN = 0, FILTER_OUT_OF_MEMORY = 1, FILTER_NOT_ITS_OPTION = 2 };

// The text starts at the option's first letter.
FilterParse parseSkipOption(const char* text);
FilterParse parseLimitOption(const char* text);
FilterParse parseDestOption(const char* text);

// Replaces the list with the elements of text; an empty text (or one of blanks only)
// switches it off. Taken, or out of memory.
FilterParse setFilterList(const char* text, FilterList& list);

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
