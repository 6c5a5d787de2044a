#include "run/path_buffer.h"

#include <cstring>

#include "platform/platform.h"

bool reservePath(PathBuffer& buffer, int32_t neededLength) {
    if (neededLength < buffer.capacity) return true;
    int64_t capacity = buffer.capacity;
    while (capacity <= neededLength) capacity += 1024;
    if (capacity > INT32_MAX) return false;
    void* grown = os::reallocate(buffer.text, static_cast<size_t>(capacity));
    if (grown == nullptr) return false;
    buffer.text = static_cast<char*>(grown);
    buffer.capacity = static_cast<int32_t>(capacity);
    return true;
}

bool allocatePath(PathBuffer& buffer, int32_t capacity) {
    buffer.text = static_cast<char*>(os::allocate(static_cast<size_t>(capacity)));
    if (buffer.text == nullptr) return false;
    buffer.text[0] = '\0';
    buffer.capacity = capacity;
    return true;
}

void releasePath(PathBuffer& buffer) {
    os::release(buffer.text);
    buffer.text = nullptr;
    buffer.capacity = 0;
}

bool writePathAt(PathBuffer& buffer, int32_t offset, const char* text) {
    size_t length = std::strlen(text);
    if (!reservePath(buffer, offset + static_cast<int32_t>(length))) return false;
    std::memcpy(buffer.text + offset, text, length + 1);
    return true;
}
