#pragma once

#include <cstdint>

#include "run/run_state.h"

// Makes room for a string of neededLength bytes plus its terminator, raising the capacity
// in steps of 1024 and keeping the contents. False when memory ran out.
bool reservePath(PathBuffer& buffer, int32_t neededLength);

// Allocates a fresh buffer of the given capacity; false when memory ran out.
bool allocatePath(PathBuffer& buffer, int32_t capacity);

void releasePath(PathBuffer& buffer);

// Copies text into the buffer at offset, growing it first; false when memory ran out.
bool writePathAt(PathBuffer& buffer, int32_t offset, const char* text);
