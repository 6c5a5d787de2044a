// The option language: one option argument (or configuration line) split at "/" into
// options, each recognised by its first letter and applied to settings.
#pragma once

#include <cstdint>

// Applies every option of the text, which starts with its leading character. Does not
// return when an option is invalid or memory runs out.
void applyOptionGroup(const char* text, bool fromConfigFile);

// The option text (ending at "/" or at the end) equals the word, case ignored.
bool matchOptionWord(const char* text, const char* word);

// The text begins with the word, case ignored; an empty word matches only an empty text.
bool hasPrefixNoCase(const char* text, const char* word);

// The byte count of <n>[.<fraction>][k|m|g], in unsigned 32-bit arithmetic.
uint32_t parseBlockSize(const char* text);
