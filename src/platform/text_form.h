// The program's text and UTF-16, both ways. The program works on code page 932 bytes; a
// character that the code page cannot write stands in them as <U+XXXX>: its code point in
// upper-case hex, four digits or as many as it needs (a surrogate pair is one code point, a
// surrogate without its partner stands as its own unit). "<", which no Windows name holds,
// is written <U+003C> when it comes from UTF-16, so that no two UTF-16 texts share a
// spelling. The tables are Windows' own for code page 932: the conversion never depends on
// the system's code page.
#pragma once

#include <cstddef>
#include <cstdint>

namespace text {

// A UTF-16 string, terminated, that keeps paths of ordinary length off the heap.
class WideText {
public:
    static constexpr size_t INLINE_UNITS = 512;

    WideText() { inline_[0] = 0; }
    ~WideText();
    WideText(const WideText&) = delete;
    WideText& operator=(const WideText&) = delete;

    // False when memory ran out; the text is then unchanged.
    bool append(const char16_t* units, size_t count);
    bool append(char16_t unit) { return append(&unit, 1); }
    // Room for count units behind the text, for a call to write into; resize then keeps
    // what it wrote. nullptr when memory ran out.
    char16_t* room(size_t count);
    // The first removed units give way to count others; false when memory ran out.
    bool replaceFront(size_t removed, const char16_t* units, size_t count);
    void resize(size_t size);  // within what room last made
    void clear() { resize(0); }

    const char16_t* units() const { return data_; }
    size_t size() const { return size_; }

private:
    char16_t inline_[INLINE_UNITS];
    char16_t* data_ = inline_;
    size_t size_ = 0;
    size_t capacity_ = INLINE_UNITS;  // terminator included
};

// Fills out (from empty) by a call that writes at most capacity units, terminator included,
// and answers the length written, or the capacity it needs (or the capacity itself when it
// cut the text short), or 0 on failure. False on failure.
template <typename Call>
bool fillBy(WideText& out, Call call) {
    size_t capacity = WideText::INLINE_UNITS;
    for (;;) {
        out.clear();
        char16_t* room = out.room(capacity);
        if (room == nullptr) return false;
        size_t length = call(room, static_cast<uint32_t>(capacity));
        if (length == 0) return false;
        if (length < capacity) {
            out.resize(length);
            return true;
        }
        if (capacity > 0x10000) return false;  // no name of the system is this long
        capacity = length > capacity ? length : capacity * 2;
    }
}

// Appends the UTF-16 of the program's text. False, with nothing appended, at bytes that
// stand for no character (a lead byte without its trail byte, a pair the code page leaves
// empty) and when memory ran out.
bool appendUtf16(WideText& out, const char* text, size_t length);
bool appendUtf16(WideText& out, const char* text);  // up to its terminator

// The same for plain code page 932, without escapes: what the ANSI calls of a Japanese
// Windows 9x make of a path.
bool appendCp932(WideText& out, const char* text, size_t length);

// The escape that begins text, if any: its length in bytes (0 for none) and its code point.
// An escape is one that fromUtf16 writes; anything else is plain text.
size_t escapeAt(const char* text, size_t length, char32_t* codePoint);

// The program's text of count UTF-16 units: its length in bytes (terminator not counted)...
size_t textLength(const char16_t* units, size_t count);
// ...and the text itself, terminated, in out, which holds textLength + 1 bytes.
void writeText(const char16_t* units, size_t count, char* out);

// The code page 932 bytes of one UTF-16 unit (first byte in the high half for a double-byte
// character), or NO_CODE when the code page cannot write it.
constexpr unsigned NO_CODE = 0xFFFF;
unsigned cp932CodeOf(char16_t unit);

}  // namespace text
