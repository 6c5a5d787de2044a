// Result labels and the progress name that must fit one console line.
#include <gtest/gtest.h>

#include <string>

#include "compare/compare_entry.h"
#include "compare/content_compare.h"
#include "run/settings.h"

namespace {

TEST(ResultLabels, EveryLabelEndsWithOneBlank) {
    for (int result = RESULT_SKIPPED; result <= RESULT_DEST_READ; ++result) {
        std::string label = resultLabel(result, 0);
        ASSERT_FALSE(label.empty()) << result;
        EXPECT_EQ(label.back(), ' ') << result;
        EXPECT_NE(label[label.size() - 2], ' ') << result;
    }
}

TEST(ResultLabels, FilesAndDirectoriesAreNamedApart) {
    const struct {
        int result;
        const char* file;
        const char* dir;
    } cases[] = {
        {RESULT_DEST_MISSING, "照合先なし ", "照合先DIRなし "},
        {RESULT_NAME_CASE, "ファイル名大小不一致 ", "ディレクトリ名大小不一致 "},
        {RESULT_SIZE, "サイズ不一致 ", "DIRサイズ不一致 "},
        {RESULT_ACCESS_TIME, "読出日付不一致 ", "DIR読出日付不一致 "},
        {RESULT_ATTRIBUTES, "属性不一致 ", "DIR属性不一致 "},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(resultLabel(c.result, 0), c.file);
        EXPECT_STREQ(resultLabel(c.result, 1), c.dir);
    }
}

TEST(ResultLabels, TextAgainstBinaryOnlyWhenTheClassesDiffer) {
    settings.textBinaryCheck = 1;
    const struct {
        bool sourceBinary, destBinary;
        const char* label;
    } cases[] = {
        {false, true, "テキスト対バイナリ "},
        {true, false, "バイナリ対テキスト "},
        {true, true, "内容不一致 "},
        {false, false, "内容不一致 "},
    };
    for (const auto& c : cases) {
        sourceIsBinary = c.sourceBinary;
        destIsBinary = c.destBinary;
        EXPECT_STREQ(resultLabel(RESULT_CONTENTS, 0), c.label);
    }
    settings.textBinaryCheck = 0;
    sourceIsBinary = false;
    destIsBinary = true;
    EXPECT_STREQ(resultLabel(RESULT_CONTENTS, 0), "内容不一致 ");
    destIsBinary = false;
}

std::string fitted(const std::string& path) {
    int length = 0;
    const char* start = fitPathForDisplay(path.c_str(), &length);
    return std::string(start, static_cast<size_t>(length));
}

TEST(ProgressName, ShortPathsAreShownWhole) {
    std::string path = "C:\\" + std::string(76, 'a');  // 79 bytes
    EXPECT_EQ(fitted(path), path);
}

TEST(ProgressName, LongPathsAreShownFromASeparatorWithinTheLast80Bytes) {
    std::string tail = std::string(40, 'b') + "\\" + std::string(50, 'c');
    std::string path = "C:\\" + std::string(30, 'a') + "\\" + tail;
    EXPECT_EQ(fitted(path), std::string(50, 'c'));
    EXPECT_LE(fitted(path).size(), 79u);
}

TEST(ProgressName, ASecondByteBackslashIsNoSeparator) {
    // Within the last 80 bytes only 表 (0x95 0x5C) carries a backslash byte: no separator
    // there, so the last component is shown, cut to 79 bytes.
    std::string name = std::string(20, 'b') + "\x95\x5C" + std::string(70, 'c');
    std::string path = "C:\\" + std::string(30, 'a') + "\\" + name;
    EXPECT_EQ(fitted(path), name.substr(0, 79));
}

TEST(ProgressName, WithoutSeparatorTheLastComponentIsCut) {
    std::string name(120, 'n');
    EXPECT_EQ(fitted("C:\\" + name), std::string(79, 'n'));
    EXPECT_EQ(fitted("C:" + name), std::string(79, 'n'));
}

}  // namespace
