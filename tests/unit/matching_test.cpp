#include "filter/matching.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

// ソ is 0x83 0x5C, ア 0x83 0x41 and ヂ 0x83 0x61 in code page 932: a second byte that is a
// backslash, an upper-case and a lower-case letter.

namespace {

struct Row {
    const char* text;
    const char* pattern;
    bool expected;
};

void expectRows(bool (*matcher)(const char*, const char*), const char* name, std::initializer_list<Row> rows) {
    for (const Row& row : rows)
        EXPECT_EQ(matcher(row.text, row.pattern), row.expected)
            << name << "(\"" << row.text << "\", \"" << row.pattern << "\")";
}

TEST(Matchers, StarsSeparatorsAndDoubleByteCharacters) {
    const std::string so = std::string("ソ").substr(0, 1);  // a lead byte alone
    const char* path = "C:\\dir\\file.txt";
    expectRows(matchWildcard, "wildcard",
               {{"abbbc", "a*bc", false}, {"ab", "a*?", false}, {"C:\\dir", "C:\\dir\\*", false}, {"", "*", true}});
    expectRows(matchWildcardNoCase, "wildcardNoCase", {{"ヂ", "ア", true}});  // second bytes fold too
    expectRows(matchHead, "head",
               {{path, "*\\dir", true}, {path, "C:\\di", false}, {"ソx", so.c_str(), false}, {"a", "", false}});
    // The second byte of ソ escapes nothing: the star after it stays a wildcard.
    expectRows(matchEscaped, "escaped",
               {{"a*c", "a\\*c", true}, {"abc", "a\\*c", false}, {"a\\c", "a\\c", true}, {"ソ*", "ソ*", true},
                {"ソx", "ソ*", true}, {"ソ*", "ソ\\*", true}, {"ソx", "ソ\\*", false}, {"ソ?", "ソ?", true}});
    expectRows(matchEscapedNoCase, "escapedNoCase", {{"A*C", "a\\*c", true}});
    expectRows(matchTail, "tail",
               {{path, "dir\\file.txt", true}, {path, "ile.txt", false}, {path, "\\file.txt", false},
                {"C:x.txt", "x.txt", true}, {"ソfile", "file", false}});
    expectRows(matchTailNoCase, "tailNoCase", {{"C:\\x.txt", "X*.txt", true}});
    expectRows(isHeadOf, "isHeadOf",
               {{"C:\\a\\*", "C:\\a", true}, {"C:\\a\\bx", "C:\\a\\b", false}, {"C:\\a", "C:\\", false},
                {"ソ", so.c_str(), false}});
    expectRows(isHeadOfNoCase, "isHeadOfNoCase", {{"C:\\A\\b", "c:\\a", true}});
}

TEST(EntryName, ChoosesTheNameAndFoldsSingleBytesOnly) {
    const struct {
        const char* name;
        const char* altName;
        const char* pattern;
        bool useAlternate, fold, expected;
    } rows[] = {
        {"Long name.text", "LONGNA~1.TEX", "longna~1.*", true, true, true},
        {"Long name.text", "", "Long*", true, false, true},
        {"ソ*", "", "ソ*", false, false, true},  // no escape inside ソ
        {"ヂ", "", "ア", false, true, false},     // double-byte characters are never folded
        {"xア", "", "x?*a", false, true, true},  // right after a star every byte is folded
    };
    for (const auto& row : rows) {
        os::FindRecord record{};
        std::strcpy(record.name, row.name);
        std::strcpy(record.altName, row.altName);
        EXPECT_EQ(matchEntryName(record, row.pattern, row.useAlternate, row.fold), row.expected)
            << row.name << " / " << row.altName << " against " << row.pattern;
    }
}

TEST(PathHelpers, DoubleByteAndShareNames) {
    EXPECT_STREQ(fileNamePart("C:\\dirソ"), "dirソ");
    // The extension: 表 and ソ end in 0x5C, ポ in 0x7C, ア in the letter A.
    const std::pair<const char*, const char*> extensions[] = {
        {"C:\\d\\a.表", "表"}, {"C:\\d\\a.ソ", "ソ"}, {"C:\\d\\a.ポ", "ポ"}, {"C:\\d\\a.ア", "ア"},
        {"C:\\表.d\\a", nullptr}, {"C:\\d\\file.", ""}, {"", nullptr},
    };
    for (const auto& [path, extension] : extensions) {
        const char* got = extensionOf(path);
        EXPECT_EQ(got == nullptr, extension == nullptr) << path;
        if (got != nullptr && extension != nullptr) {
            EXPECT_STREQ(got, extension) << path;
        }
    }
    EXPECT_STREQ(fileNamePart("\\\\srv\\share"), "");
    for (const auto& [path, expected] : {std::pair{"C:\\ソ\\", "ソ"}, std::pair{"\\\\srv\\share\\", "share"}}) {
        char copy[64];
        std::strcpy(copy, path);
        lastComponent(copy);
        EXPECT_STREQ(copy, expected) << path;
    }
}

// Outer stars retry the same suffixes; without remembering the failed ones, forty stars
// against a long name would not finish before the test's time limit.
TEST(Matchers, ManyStarsAnswerInPolynomialTime) {
    std::string pattern;
    for (int k = 0; k < 40; ++k) pattern += "*a";
    const std::string name(219, 'a');
    EXPECT_FALSE(matchWildcard(name.c_str(), (pattern + "b").c_str()));
    EXPECT_FALSE(matchEscapedNoCase(name.c_str(), (pattern + "b").c_str()));
    EXPECT_FALSE(matchTail(name.c_str(), ("b" + pattern).c_str()));
}

}  // namespace
