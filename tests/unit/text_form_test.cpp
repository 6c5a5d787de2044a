// The program's text and UTF-16: code page 932 as Windows maps it, both ways, and the
// <U+XXXX> form of what it cannot write, which must give every UTF-16 name one spelling.
#include <gtest/gtest.h>

#include <string>

#include "platform/text_form.h"

namespace {

// NOTHING when the bytes name no character.
const std::u16string NOTHING = u"\uFFFF";  // a noncharacter, which no code page maps

std::u16string utf16Of(const std::string& text) {
    text::WideText wide;
    if (!text::appendUtf16(wide, text.data(), text.size())) return NOTHING;
    return std::u16string(wide.units(), wide.size());
}

std::string textOf(const std::u16string& units) {
    std::string text(text::textLength(units.data(), units.size()), '?');
    text::writeText(units.data(), units.size(), &text[0]);
    return text;
}

bool isLead(unsigned byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

TEST(Cp932, EveryMappedCodeRoundTripsAndSharedCharactersTakeWindowsChoice) {
    int mapped = 0, oneWay = 0;
    for (unsigned code = 0; code <= 0xFCFC; ++code) {
        const bool pair = code > 0xFF;
        if (pair ? !isLead(code >> 8) || (code & 0xFF) < 0x40 : isLead(code)) continue;
        std::string bytes = pair ? std::string{static_cast<char>(code >> 8), static_cast<char>(code)}
                                 : std::string(1, static_cast<char>(code));
        std::u16string unit = utf16Of(bytes);
        if (unit == NOTHING || code == '<') continue;
        ASSERT_EQ(unit.size(), 1u) << std::hex << code;
        ++mapped;
        const unsigned back = text::cp932CodeOf(unit[0]);
        if (back != code) {
            ++oneWay;  // the character has another code: only the extension rows share
            const unsigned row = code >> 8;
            EXPECT_TRUE(row == 0x87 || row == 0xED || row == 0xEE || (row >= 0xFA && row <= 0xFC)) << std::hex << code;
        }
        EXPECT_EQ(utf16Of(textOf(unit)), unit) << std::hex << code;
    }
    EXPECT_EQ(mapped, 9799);  // every code Windows maps, "<" set aside
    EXPECT_EQ(oneWay, 398);
    // NEC row 13 over the IBM rows, row 2 over both, the IBM rows over the NEC-selected ones.
    const struct {
        char16_t unit;
        unsigned code;
    } choices[] = {{u'Ⅰ', 0x8754}, {u'≒', 0x81E0}, {u'∵', 0x81E6}, {u'\uFFE2', 0x81CA}, {u'纊', 0xFA5C}, {u'髙', 0xFBFC}};
    for (const auto& choice : choices) EXPECT_EQ(text::cp932CodeOf(choice.unit), choice.code) << std::hex << choice.code;
}

TEST(Cp932, EveryCharacterThatEncodesDecodesToItself) {
    for (unsigned unit = 1; unit <= 0xFFFF; ++unit) {
        if (text::cp932CodeOf(static_cast<char16_t>(unit)) == text::NO_CODE || unit == '<') continue;
        const std::u16string one(1, static_cast<char16_t>(unit));
        ASSERT_EQ(utf16Of(textOf(one)), one) << std::hex << unit;
    }
}

TEST(TextForm, BytesThatMapToNothingNameNothing) {
    for (const char* bytes : {"\x81", "a\x81", "\x81\x20", "\x81\x7F", "\x85\x40", "\xEF\x40", "\xFC\xFC"}) {
        text::WideText wide;
        ASSERT_TRUE(wide.append(u"kept", 4));
        EXPECT_FALSE(text::appendUtf16(wide, bytes)) << bytes;
        EXPECT_EQ(std::u16string(wide.units(), wide.size()), u"kept");  // nothing half added
    }
}

TEST(TextForm, WhatTheCodePageCannotWriteStandsAsItsCodePoint) {
    const struct {
        std::u16string units;
        std::string text;
    } rows[] = {
        {u"abc\\~", "abc\\~"},
        {u"表示", "\x95\x5C\x8E\xA6"},
        {u"ｱ", "\xB1"},
        {u"café", "caf<U+00E9>"},
        {u"𠮷野家", "<U+20BB7>\x96\xEC\x89\xC6"},
        {u"\U0010FFFF", "<U+10FFFF>"},
        {u"\U00010000", "<U+10000>"},
        {std::u16string(1, u'\xD83D') + u"x", "<U+D83D>x"},       // a surrogate without its partner
        {std::u16string(1, u'\xDE00'), "<U+DE00>"},
        {std::u16string{u'\xDE00', u'\xD83D'}, "<U+DE00><U+D83D>"},  // the wrong order pairs nothing
        {u"a<b", "a<U+003C>b"},  // no name holds "<" that a listing could confuse
        {u"<U+00E9>", "<U+003C>U+00E9>"},
        {u"", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(textOf(row.units), row.text);
        EXPECT_EQ(utf16Of(row.text), row.units) << row.text;
    }
}

TEST(TextForm, OnlyTheOneSpellingIsAnEscape) {
    const struct {
        std::string text;
        std::u16string units;
    } rows[] = {
        {"<U+00e9>", u"<U+00e9>"},    // lower-case digits
        {"<U+0E9>", u"<U+0E9>"},      // too few digits
        {"<U+0000E9>", u"<U+0000E9>"},  // more digits than it needs
        {"<U+110000>", u"<U+110000>"},  // past Unicode
        {"<U+3042>", u"<U+3042>"},    // あ, which the code page writes itself
        {"<U+00E9", u"<U+00E9"},
        {"<U+>", u"<U+>"},
        {"<U+00E9>>", u"é>"},
        {"<<U+00E9>", u"<é"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(utf16Of(row.text), row.units) << row.text;
        char32_t codePoint = 0;
        EXPECT_EQ(text::escapeAt(row.text.data(), row.text.size(), &codePoint), row.units[0] == u'<' ? 0u : 8u) << row.text;
    }
}

}  // namespace
