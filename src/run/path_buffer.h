// The growing byte strings that hold the paths of a run.
#pragma once

#include <cstdint>

// A byte string that only grows; capacity counts the terminator's byte too.
struct PathBuffer {
    char* text = nullptr;
    int32_t capacity = 0;
};

// Makes room for a string of neededLength bytes plus its terminator, raising the capacity
// in steps of 1024 and keeping the contents. False when memory ran out.
bool reservePath(PathBuffer& buffer, int32_t neededLength);

// Allocates a fresh buffer of the given capacity; false when memory ran out.
bool allocatePath(PathBuffer& buffer, int32_t capacity);

void releasePath(PathBuffer& buffer);

// Copies text into the buffer at offset, growing it first; false when memory ran out.
bool writePathAt(PathBuffer& buffer, int32_t offset, const char* text);
