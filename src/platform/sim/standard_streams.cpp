// Standard output and standard error of the simulated machine.
//   GetConsoleMode  succeeds on a stream that the test made a console (console, errorConsole)
//   WriteConsoleW   fails as the consoleWrites fault says, writing nothing; else its units
//                   reach the screen, whatever the console's code page
//   the C runtime's streams  write the bytes as they are; on a console the screen shows
//                   them in its code page: 932 by Windows' table, any other with every byte
//                   above 0x7F as U+FFFD (the machine knows no other table)
// What reaches a console is also written to the captured stream, as the program's text, so
// that a test reads a run's lines in one place however they were written.
#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/native.h"
#include "platform/platform.h"
#include "platform/sim/machine.h"
#include "platform/text_form.h"

namespace native {

namespace {

FILE* streamOf(os::StandardStream stream) { return stream == os::StandardStream::output ? stdout : stderr; }

void showBytes(const char* bytes, size_t length) {
    sim::Machine& m = sim::machine();
    for (size_t k = 0; k < length;) {
        const unsigned char byte = static_cast<unsigned char>(bytes[k]);
        if (byte < 0x80) {
            m.screen += static_cast<char16_t>(byte);
            ++k;
            continue;
        }
        text::WideText shown;
        size_t take = 1;
        if (m.consoleCodePage == 932) {
            take = (byte >= 0x81 && byte <= 0x9F) || byte >= 0xE0 ? 2 : 1;
            if (k + take > length || !text::appendCp932(shown, bytes + k, take)) take = 1;
        }
        m.screen += shown.size() == 1 ? shown.units()[0] : u'\uFFFD';
        k += take;
    }
}

}  // namespace

bool isConsole(os::StandardStream stream) {
    const sim::Machine& m = sim::machine();
    return stream == os::StandardStream::output ? m.console : m.errorConsole;
}

bool writeConsoleW(os::StandardStream stream, const char16_t* units, size_t count) {
    sim::Machine& m = sim::machine();
    if (!isConsole(stream) || m.consoleWrites.nextFails()) return false;
    m.screen.append(units, count);
    std::string text(text::textLength(units, count) + 1, '\0');
    text::writeText(units, count, &text[0]);
    std::fwrite(text.data(), 1, text.size() - 1, streamOf(stream));
    return true;
}

void writeBytes(os::StandardStream stream, const char* bytes, size_t length) {
    std::fwrite(bytes, 1, length, streamOf(stream));
    if (isConsole(stream)) showBytes(bytes, length);
}

int printBytes(os::StandardStream stream, const char* format, va_list arguments) {
    if (!isConsole(stream)) return std::vfprintf(streamOf(stream), format, arguments);
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length < 0) return length;
    std::string bytes(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(&bytes[0], bytes.size(), format, arguments);
    writeBytes(stream, bytes.data(), static_cast<size_t>(length));
    return length;
}

}  // namespace native
