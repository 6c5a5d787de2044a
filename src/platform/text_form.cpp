#include "platform/text_form.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "platform/cp932_table.h"

namespace text {

namespace {

bool isLead(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

int leadIndex(unsigned char lead) { return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 0x1F; }

char16_t decodePair(unsigned char lead, unsigned char trail) {
    if (trail < 0x40 || trail > 0xFC) return cp932::NONE;
    return cp932::doubleByte[leadIndex(lead)][trail - 0x40];
}

// The reverse of the table. Several codes share a character in the extension rows; Windows
// writes the first in code order, except that the NEC-selected rows 0xED and 0xEE give way
// to the IBM rows 0xFA-0xFC: so they are entered last.
struct Encoder {
    unsigned short code[0x10000];

    Encoder() {
        for (unsigned short& entry : code) entry = NO_CODE;
        for (unsigned byte = 0; byte < 0x100; ++byte)
            enter(cp932::singleByte[byte], static_cast<unsigned short>(byte));
        for (bool necSelected : {false, true})
            for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
                if (!isLead(static_cast<unsigned char>(lead)) || (lead == 0xED || lead == 0xEE) != necSelected)
                    continue;
                for (unsigned trail = 0x40; trail <= 0xFC; ++trail)
                    enter(decodePair(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)),
                          static_cast<unsigned short>(lead << 8 | trail));
            }
    }

    void enter(char16_t unit, unsigned short bytes) {
        if (unit != cp932::NONE && code[unit] == NO_CODE) code[unit] = bytes;
    }
};

// Built before main, while the process has one thread: no guard is needed on its use.
const Encoder encoder;

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// What a code point is written as, in bytes: its code page 932 bytes, or the escape.
bool needsEscape(char32_t codePoint) {
    return codePoint == '<' || codePoint > 0xFFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF) ||
           cp932CodeOf(static_cast<char16_t>(codePoint)) == NO_CODE;
}

size_t hexDigits(char32_t codePoint) {
    size_t digits = 4;
    while (digits < 6 && (codePoint >> (4 * digits)) != 0) ++digits;
    return digits;
}

int hexValue(char digit) {
    if (digit >= '0' && digit <= '9') return digit - '0';
    if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
    return -1;
}

// The code point starting at units[k] and the number of units it takes.
char32_t codePointAt(const char16_t* units, size_t count, size_t k, size_t* taken) {
    *taken = 1;
    if (isHighSurrogate(units[k]) && k + 1 < count && isLowSurrogate(units[k + 1])) {
        *taken = 2;
        return 0x10000 + ((static_cast<char32_t>(units[k]) - 0xD800) << 10) + (units[k + 1] - 0xDC00);
    }
    return units[k];
}

}  // namespace

WideText::~WideText() {
    if (data_ != inline_) std::free(data_);
}

char16_t* WideText::room(size_t count) {
    if (size_ + count + 1 > capacity_) {
        size_t capacity = capacity_;
        while (size_ + count + 1 > capacity) capacity *= 2;
        char16_t* grown = static_cast<char16_t*>(std::malloc(capacity * sizeof(char16_t)));
        if (grown == nullptr) return nullptr;
        std::memcpy(grown, data_, (size_ + 1) * sizeof(char16_t));
        if (data_ != inline_) std::free(data_);
        data_ = grown;
        capacity_ = capacity;
    }
    return data_ + size_;
}

bool WideText::append(const char16_t* units, size_t count) {
    char16_t* end = room(count);
    if (end == nullptr) return false;
    std::memcpy(end, units, count * sizeof(char16_t));
    resize(size_ + count);
    return true;
}

bool WideText::replaceFront(size_t removed, const char16_t* units, size_t count) {
    if (removed > size_ || room(count) == nullptr) return false;
    std::memmove(data_ + count, data_ + removed, (size_ - removed) * sizeof(char16_t));
    std::memcpy(data_, units, count * sizeof(char16_t));
    resize(size_ - removed + count);
    return true;
}

void WideText::resize(size_t size) {
    if (size >= capacity_) return;
    size_ = size;
    data_[size_] = 0;
}

unsigned cp932CodeOf(char16_t unit) { return encoder.code[unit]; }

size_t escapeAt(const char* text, size_t length, char32_t* codePoint) {
    if (length < 8 || std::memcmp(text, "<U+", 3) != 0) return 0;
    char32_t value = 0;
    size_t digits = 0;
    for (; digits < 6 && 3 + digits < length && hexValue(text[3 + digits]) >= 0; ++digits)
        value = value << 4 | static_cast<char32_t>(hexValue(text[3 + digits]));
    // Only the one spelling that writeText gives: no extra leading zero, no letter case.
    if (digits < 4 || 3 + digits >= length || text[3 + digits] != '>' || value > 0x10FFFF ||
        digits != hexDigits(value) || !needsEscape(value))
        return 0;
    *codePoint = value;
    return 3 + digits + 1;
}

namespace {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "a text's first byte is a word's lowest");

// None above 0x7F, none "<": no byte of it has its high bit, none is 0x3C.
bool isPlainAscii(uint64_t eight) {
    constexpr uint64_t ONES = 0x0101010101010101u, HIGHS = 0x8080808080808080u;
    const uint64_t lessThan = eight ^ (ONES * '<');  // a byte 0x3C becomes 0
    return ((eight | ((lessThan - ONES) & ~lessThan)) & HIGHS) == 0;
}

// Four bytes, each widened to a unit of its own.
uint64_t widened(uint64_t four) {
    return (four & 0xFF) | (four & 0xFF00) << 8 | (four & 0xFF0000) << 16 | (four & 0xFF000000) << 24;
}

// Written straight into room for the most units the text can give: one per byte.
bool appendText(WideText& out, const char* text, size_t length, bool escapes) {
    const size_t start = out.size();
    char16_t* const room = out.room(length);
    if (room == nullptr) return false;
    char16_t* next = room;
    for (size_t k = 0; k < length;) {
        const unsigned char byte = static_cast<unsigned char>(text[k]);
        char32_t codePoint = 0;
        if (byte < 0x80 && byte != '<') {
            // The code page's ASCII half is ASCII: a run of it is widened eight bytes a turn.
            for (uint64_t eight; k + 8 <= length && isPlainAscii((std::memcpy(&eight, text + k, 8), eight)); k += 8) {
                const uint64_t units[2] = {widened(eight & 0xFFFFFFFF), widened(eight >> 32)};
                std::memcpy(next, units, sizeof units);
                next += 8;
            }
            for (; k < length && static_cast<unsigned char>(text[k]) < 0x80 && text[k] != '<'; ++k)
                *next++ = static_cast<unsigned char>(text[k]);
        } else if (size_t escape = escapes && byte == '<' ? escapeAt(text + k, length - k, &codePoint) : 0) {
            k += escape;
            if (codePoint > 0xFFFF) {
                *next++ = static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
                *next++ = static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
            } else {
                *next++ = static_cast<char16_t>(codePoint);
            }
        } else {
            char16_t unit = cp932::NONE;
            if (isLead(byte)) {
                if (k + 1 < length) unit = decodePair(byte, static_cast<unsigned char>(text[k + 1]));
                k += 2;
            } else {
                unit = cp932::singleByte[byte];
                k += 1;
            }
            if (unit == cp932::NONE) {
                out.resize(start);
                return false;
            }
            *next++ = unit;
        }
    }
    out.resize(start + static_cast<size_t>(next - room));
    return true;
}

}  // namespace

bool appendUtf16(WideText& out, const char* text, size_t length) {
    return appendText(out, text, length, true);
}

bool appendUtf16(WideText& out, const char* text) { return appendText(out, text, std::strlen(text), true); }

bool appendCp932(WideText& out, const char* text, size_t length) {
    return appendText(out, text, length, false);
}

size_t textLength(const char16_t* units, size_t count) {
    size_t length = 0;
    for (size_t k = 0, taken = 0; k < count; k += taken) {
        char32_t codePoint = codePointAt(units, count, k, &taken);
        if (needsEscape(codePoint))
            length += 4 + hexDigits(codePoint);
        else
            length += cp932CodeOf(static_cast<char16_t>(codePoint)) > 0xFF ? 2 : 1;
    }
    return length;
}

void writeText(const char16_t* units, size_t count, char* out) {
    static const char HEX[] = "0123456789ABCDEF";
    for (size_t k = 0, taken = 0; k < count; k += taken) {
        char32_t codePoint = codePointAt(units, count, k, &taken);
        if (needsEscape(codePoint)) {
            *out++ = '<';
            *out++ = 'U';
            *out++ = '+';
            for (size_t digit = hexDigits(codePoint); digit-- > 0;) *out++ = HEX[(codePoint >> (4 * digit)) & 0xF];
            *out++ = '>';
            continue;
        }
        unsigned code = cp932CodeOf(static_cast<char16_t>(codePoint));
        if (code > 0xFF) *out++ = static_cast<char>(code >> 8);
        *out++ = static_cast<char>(code & 0xFF);
    }
    *out = '\0';
}

}  // namespace text
