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

using Matcher = bool (*)(const char*, const char*);

void expectRows(Matcher matcher, const char* name, std::initializer_list<Row> rows) {
    for (const Row& row : rows)
        EXPECT_EQ(matcher(row.text, row.pattern), row.expected)
            << name << "(\"" << row.text << "\", \"" << row.pattern << "\")";
}

TEST(ForwardMatcher, Wildcard) {
    expectRows(matchWildcard, "matchWildcard",
               {{"abc", "abc", true},
                {"abc", "a?c", true}, {"abc", "a*", true}, {"abc", "*c", true}, {"abc", "a*b*c", true},
                {"abc", "a**c", true}, {"xab", "*ab", true}, {"abc", "ab", false}, {"abc", "?", false},
                {"abc", "*b", false}, {"abc", "ABC", false}, {"abbbc", "a*bc", false}, {"aaa", "a*a", false},
                {"ab", "a*?", false}, {"abc", "a*?", true}, {"xyzb", "*?b", false},
                {"C:\\dir", "C:\\dir*", true}, {"C:\\dir", "C:\\dir\\*", false},
                {"C:\\dir\\x", "C:\\dir\\*", true}, {"a\\*c", "a\\*c", true}, {"", "", false},
                {"", "?", false},
                {"", "*", true}});
    expectRows(matchWildcardNoCase, "matchWildcardNoCase",
               {{"abc", "ABC", true},
                {"C:\\dir\\file.txt", "c:\\DIR*", true}, {"abd", "ABC", false},
                {"ヂ", "ア", true}});  // second bytes are folded too
}

TEST(ForwardMatcher, Head) {
    expectRows(matchHead, "matchHead",
               {{"C:\\dir\\file.txt", "C:\\dir", true},
                {"C:\\dir\\file.txt", "C:\\d?r", true}, {"C:\\dir\\file.txt", "*\\dir", true},
                {"C:\\dir\\file.txt", "C:\\d*", true}, {"C:\\dir\\file.txt", "C:\\di", false},
                {"C:\\dir\\file.txt", "C:\\dir\\file.tx", false}, {"C:\\dir\\file.txt", "c:\\DIR", false},
                {"a\\bx\\c", "a\\b", false},
                {"ソx", std::string("ソ").substr(0, 1).c_str(), false},  // no separator inside ソ
                {"", "", false},
                {"a", "", false}});
    expectRows(matchHeadNoCase, "matchHeadNoCase", {{"C:\\dir\\file.txt", "c:\\DIR", true}});
}

TEST(ForwardMatcher, Escaped) {
    expectRows(matchEscaped, "matchEscaped",
               {{"a*c", "a\\*c", true},
                {"abc", "a\\*c", false}, {"a?c", "a\\?c", true}, {"a\\c", "a\\\\c", true},
                {"a\\c", "a\\c", true}, {"a\\b\\c", "a\\*", false}, {"ab*c", "a*\\*c", true},
                {"ab*xc", "a*\\*c", false},
                {"ソ*", "ソ*", false},  // the second byte of ソ escapes the star
                {"ソ", "ソ*", false}});
    expectRows(matchEscapedNoCase, "matchEscapedNoCase",
               {{"A*C", "a\\*c", true}, {"ABC", "a\\*c", false}});
}

TEST(TailMatcher, Examples) {
    const char* path = "C:\\dir\\file.txt";
    expectRows(matchTail, "matchTail",
               {{path, "file.txt", true},
                {path, "dir\\file.txt", true}, {path, "*.txt", true}, {path, "*\\file.txt", true},
                {path, "C:\\dir\\file.txt", true}, {path, "ile.txt", false}, {path, "ir\\file.txt", false},
                {path, "\\file.txt", false}, {path, "FILE.TXT", false}, {path, "", false},
                {"C:x.txt", "x.txt", true}, {"C:\\x.txt", "X*.txt", false}, {"C:\\a*", "*", true},
                {"C:\\ab", "*", false}, {"C:\\ab", "?", false},
                {"ソfile", "file", false},  // the second byte of ソ is no separator
                {"", "*", false}});
    expectRows(matchTailNoCase, "matchTailNoCase",
               {{"C:\\x.txt", "X*.txt", true}, {path, "FILE.TXT", true}, {path, "ILE.TXT", false}});
}

TEST(HeadTest, AncestorsAndSelf) {
    expectRows(isHeadOf, "isHeadOf",
               {{"C:\\a\\b\\c", "C:\\a", true},
                {"C:\\a\\*", "C:\\a", true}, {"C:\\a", "C:\\a", true}, {"C:\\a\\bx", "C:\\a\\b", false},
                {"C:\\a", "C:\\", false}, {"C:\\a\\b", "c:\\a", false}, {"C:\\?", "C:\\a", false},
                {"\\x", "", false}, {"", "", true},
                {"ソ", std::string("ソ").substr(0, 1).c_str(), false}});
    expectRows(isHeadOfNoCase, "isHeadOfNoCase", {{"C:\\A\\b", "c:\\a", true}});
}

os::FindRecord entry(const char* name, const char* altName) {
    os::FindRecord record{};
    std::strcpy(record.name, name);
    std::strcpy(record.altName, altName);
    return record;
}

TEST(EntryName, ChoosesTheNameAndFoldsSingleBytesOnly) {
    struct EntryRow {
        const char* name;
        const char* altName;
        const char* pattern;
        bool useAlternate;
        bool fold;
        bool expected;
    };
    const EntryRow rows[] = {
        {"ReadMe.TXT", "", "readme.txt", false, true, true},
        {"ReadMe.TXT", "", "readme.txt", false, false, false},
        {"Long name.text", "LONGNA~1.TEX", "longna~1.*", true, true, true},
        {"Long name.text", "", "Long*", true, false, true},
        {"ソ*", "", "ソ*", false, false, true},  // no escape inside ソ
        {"a*", "", "a\\*", false, false, true}, {"ab", "", "a\\*", false, false, false},
        {"ヂ", "", "ア", false, true, false},  // double-byte characters are never folded
        {"ア", "", "*a", false, true, false}, {"xア", "", "x?a", false, true, false},
        {"xア", "", "x?*a", false, true, true},  // right after a star every byte is folded
        {"abc", "", "a*bc", false, false, true}, {"abbbc", "", "a*bc", false, false, false},
    };
    for (const EntryRow& row : rows) {
        os::FindRecord record = entry(row.name, row.altName);
        EXPECT_EQ(matchEntryName(record, row.pattern, row.useAlternate, row.fold), row.expected)
            << row.name << " / " << row.altName << " against " << row.pattern;
    }
}

TEST(PathHelpers, FileNamePart) {
    const std::pair<const char*, const char*> rows[] = {
        {"C:\\dir\\file.txt", "file.txt"}, {"C:file", "file"}, {"C:\\dir\\", ""}, {"C:", ""},
        {"\\\\srv\\share\\x", "x"}, {"\\\\srv\\share", ""}, {"\\\\srv\\share\\", ""}, {"a/b\\c", "c"},
        {"C:\\dirソ", "dirソ"},
    };
    for (const auto& [path, expected] : rows) EXPECT_STREQ(fileNamePart(path), expected) << path;
}

TEST(PathHelpers, LastComponent) {
    const std::pair<const char*, const char*> rows[] = {
        {"C:\\a\\b\\", "b"}, {"C:dir\\", "dir"}, {"dir", ""}, {"C:\\", ""}, {"C:\\ソ\\", "ソ"},
        {"\\\\srv\\share\\", "share"},
    };
    for (const auto& [path, expected] : rows) {
        char copy[64];
        std::strcpy(copy, path);
        lastComponent(copy);
        EXPECT_STREQ(copy, expected) << path;
    }
}

TEST(PathHelpers, ExtensionOf) {
    EXPECT_STREQ(extensionOf("file.txt"), "txt");
    EXPECT_STREQ(extensionOf("a.b.c"), "c");
    EXPECT_STREQ(extensionOf("file."), "");
    EXPECT_EQ(extensionOf("file"), nullptr);
    EXPECT_EQ(extensionOf("dir.d\\file"), nullptr);
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
