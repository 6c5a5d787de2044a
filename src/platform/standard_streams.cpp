// Standard output and standard error. A console of the NT family is written in UTF-16, which
// it shows right whatever its code page; everything else gets the program's bytes, which
// scripts and stored output rely on.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "platform/native.h"
#include "platform/platform.h"
#include "platform/text_form.h"

namespace {

bool isLead(char byte) {
    const unsigned char b = static_cast<unsigned char>(byte);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isTrail(char byte) {
    const unsigned char b = static_cast<unsigned char>(byte);
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

struct ConsoleStream {
    bool wideRefused = false;  // WriteConsoleW failed: bytes for the rest of the run
    bool leadCarried = false;  // the last write ended in the first byte of a character
    char lead = 0;
};

ConsoleStream streams[2];

ConsoleStream& consoleOf(os::StandardStream stream) {
    return streams[stream == os::StandardStream::output ? 0 : 1];
}

bool writesWide(os::StandardStream stream) {
    return native::wideCalls() && !consoleOf(stream).wideRefused && native::isConsole(stream);
}

// Both grow to the longest text so far and stay: no allocation for each line.
char firstFormatted[2048];
char* formatted = firstFormatted;
size_t formattedCapacity = sizeof firstFormatted;
text::WideText shown;

bool growFormatted(size_t capacity) {
    char* grown = static_cast<char*>(std::malloc(capacity));
    if (grown == nullptr) return false;
    if (formatted != firstFormatted) std::free(formatted);
    formatted = grown;
    formattedCapacity = capacity;
    return true;
}

// What a console shows for the program's text. Bytes that stand for no character show as
// U+FFFD, a lone lead byte as one, so that the character behind it is not swallowed.
bool appendShown(text::WideText& out, const char* bytes, size_t length) {
    if (text::appendUtf16(out, bytes, length)) return true;
    for (size_t k = 0; k < length;) {
        char32_t codePoint = 0;
        size_t take = text::escapeAt(bytes + k, length - k, &codePoint);
        if (take == 0) take = isLead(bytes[k]) && k + 1 < length && isTrail(bytes[k + 1]) ? 2 : 1;
        if (!text::appendUtf16(out, bytes + k, take) && !out.append(u'\uFFFD')) return false;
        k += take;
    }
    return true;
}

// The text ends in a lead byte whose trail byte the next write brings.
bool endsInLead(const char* bytes, size_t length) {
    for (size_t k = 0; k < length;) {
        if (!isLead(bytes[k])) {
            ++k;
        } else if (k + 1 == length) {
            return true;
        } else {
            k += isTrail(bytes[k + 1]) ? 2 : 1;
        }
    }
    return false;
}

void writeBytesInstead(os::StandardStream stream, const char* bytes, size_t length) {
    ConsoleStream& console = consoleOf(stream);
    if (console.leadCarried) native::writeBytes(stream, &console.lead, 1);
    console.leadCarried = false;
    if (length > 0) native::writeBytes(stream, bytes, length);
}

void writeShown(os::StandardStream stream, const char* bytes, size_t length) {
    ConsoleStream& console = consoleOf(stream);
    if (length == 0) return;
    shown.clear();
    bool converted = true;
    size_t from = 0;
    if (console.leadCarried) {
        const char pair[2] = {console.lead, bytes[0]};
        from = isTrail(bytes[0]) ? 1 : 0;
        converted = appendShown(shown, pair, from + 1);
    }
    const bool carry = endsInLead(bytes + from, length - from);
    const size_t end = carry ? length - 1 : length;
    converted = converted && appendShown(shown, bytes + from, end - from);
    if (converted && (shown.size() == 0 || native::writeConsoleW(stream, shown.units(), shown.size()))) {
        console.leadCarried = carry;
        console.lead = bytes[length - 1];
        return;
    }
    // Out of memory leaves the console as it was; a refused call would be refused again.
    if (converted) console.wideRefused = true;
    writeBytesInstead(stream, bytes, length);
}

}  // namespace

namespace os {

int printStandardV(StandardStream stream, const char* format, va_list arguments) {
    if (!writesWide(stream)) return native::printBytes(stream, format, arguments);
    va_list copy;
    va_copy(copy, arguments);
    int length = std::vsnprintf(formatted, formattedCapacity, format, copy);
    va_end(copy);
    if (length >= 0 && static_cast<size_t>(length) >= formattedCapacity &&
        growFormatted(static_cast<size_t>(length) + 1)) {
        va_copy(copy, arguments);
        length = std::vsnprintf(formatted, formattedCapacity, format, copy);
        va_end(copy);
    }
    if (length < 0 || static_cast<size_t>(length) >= formattedCapacity) {
        writeBytesInstead(stream, nullptr, 0);
        return native::printBytes(stream, format, arguments);
    }
    writeShown(stream, formatted, static_cast<size_t>(length));
    return length;
}

int printStandard(StandardStream stream, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int written = printStandardV(stream, format, arguments);
    va_end(arguments);
    return written;
}

void finishStandardStreams() {
    for (StandardStream stream : {StandardStream::output, StandardStream::error}) {
        ConsoleStream& console = consoleOf(stream);
        if (!console.leadCarried) continue;
        console.leadCarried = false;
        const char16_t lone = u'\uFFFD';
        if (!native::writeConsoleW(stream, &lone, 1)) native::writeBytes(stream, &console.lead, 1);
    }
}

}  // namespace os
