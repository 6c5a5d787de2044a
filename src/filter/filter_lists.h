// Skip, limit and destination filter lists: parsed from option texts, prepared once all
// options are read, anchored to the two roots once the arguments are resolved.
#pragma once

// Each answers 0 taken, 1 out of memory, 2 not an option of this parser; the text starts
// at the option's first letter.
int parseSkipOption(const char* text);
int parseLimitOption(const char* text);
int parseDestOption(const char* text);
