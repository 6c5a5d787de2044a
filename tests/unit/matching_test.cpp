#include "filter/matching.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

#ifndef _WIN32
#include "platform/sim/machine.h"
#include "support/child_run.h"
#endif

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
    // A star on a byte equal to the character after it takes the shortest choice for good; a
    // star followed by ? takes a byte first and, when the next does not fit, falls back on a
    // "*" byte of the text.
    expectRows(matchWildcard, "wildcard",
               {{"abbbc", "a*bc", false}, {"abcbc", "a*bc", false}, {"aaa", "a*a", false}, {"ab", "a*?", false},
                {"C:\\dir", "C:\\dir*", true}, {"C:\\dir", "C:\\dir\\*", false}, {"", "*", true},
                {"aca**b", "*?b", true}, {"acazzb", "*?b", false}, {"aabb*cc", "??*?c", true}});
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
    expectRows(matchTailNoCase, "tailNoCase", {{"C:\\x.txt", "X*.txt", true}, {"b**aca", "B?*", true}, {"bzzaca", "B?*", false}});
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

// Every pattern an argument or a configuration line can carry answers in time polynomial in
// the lengths: eight stars and 4,400 more bytes against a 240-byte name ran for minutes when
// a search retried the same suffixes; so did a thousand stars.
TEST(Matchers, LongPatternsAnswerInPolynomialTime) {
    std::string issue, thousand;
    for (int k = 0; k < 8; ++k) issue += "*b";
    issue += std::string(4400, 'c');
    for (int k = 0; k < 1000; ++k) thousand += "*a";
    std::string name;  // every star stands on an "a" and searches every "b" after it
    for (int k = 0; k < 120; ++k) name += "ab";
    const std::string path = "S:\\" + name, as(1000, 'a');
    const auto reversed = [](const std::string& text) { return std::string(text.rbegin(), text.rend()); };
    os::FindRecord entry{};
    std::strcpy(entry.name, name.c_str());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(matchWildcardNoCase(name.c_str(), issue.c_str()));
    EXPECT_FALSE(matchEscaped(name.c_str(), issue.c_str()));
    EXPECT_FALSE(matchHead(path.c_str(), issue.c_str()));
    EXPECT_FALSE(matchEntryName(entry, issue.c_str(), false, true));
    EXPECT_FALSE(matchTailNoCase(path.c_str(), reversed(issue).c_str()));
    EXPECT_FALSE(matchWildcard(as.c_str(), (thousand + "b").c_str()));
    EXPECT_TRUE(matchWildcard((as + "b").c_str(), (thousand + "?").c_str()));
    EXPECT_FALSE(matchTail(as.c_str(), ("b" + thousand).c_str()));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

#ifndef _WIN32  // the simulated machine: host builds only
// A text longer than any before grows the matchers' space; without memory the run stops.
TEST(Matchers, WithoutMemoryTheRunStops) {
    const std::string text(200000, 'a');
    support::RunOutput stopped = support::runInChild([&] {
        sim::machine().allocations.failAt = sim::machine().allocations.made + 1;
        matchWildcard(text.c_str(), "*b");
    });
    EXPECT_EQ(stopped.exitCode, 1);
    EXPECT_EQ(stopped.err, "\n\a処理停止:メモリー不足\n");
}
#endif

}  // namespace
