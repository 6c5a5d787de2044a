// The content label that depends on the text/binary classes, and the progress name that
// must fit one console line.
#include <gtest/gtest.h>

#include <string>

#include "compare/compare_entry.h"
#include "compare/content_compare.h"
#include "output/result_line.h"
#include "run/run_state.h"
#include "run/settings.h"

namespace {

TEST(ResultLabels, TextAgainstBinaryOnlyWhenCheckedAndTheClassesDiffer) {
    const struct {
        int check;
        bool sourceBinary, destBinary;
        const char* label;
    } cases[] = {
        {1, false, true, "テキスト対バイナリ "}, {1, true, false, "バイナリ対テキスト "},
        {1, true, true, "内容不一致 "},          {0, false, true, "内容不一致 "},
    };
    for (const auto& c : cases) {
        settings.textBinaryCheck = c.check;
        runState.source.isBinary = c.sourceBinary;
        runState.dest.isBinary = c.destBinary;
        EXPECT_STREQ(resultLabel(RESULT_CONTENTS, PAIR_OF_FILES), c.label);
    }
    settings.textBinaryCheck = 0;
    runState.source.isBinary = runState.dest.isBinary = false;
}

TEST(ProgressName, FitsSeventyNineBytesFromASeparator) {
    const std::string a30 = "C:\\" + std::string(30, 'a') + "\\";
    // Within the last 80 bytes only 表 (0x95 0x5C) carries a backslash byte: no separator
    // there, so the last component is shown, cut.
    const std::string hyou = std::string(20, 'b') + "\x95\x5C" + std::string(70, 'c');
    const struct {
        std::string path, shown;
    } cases[] = {
        {a30 + std::string(40, 'b') + "\\" + std::string(50, 'c'), std::string(50, 'c')},
        {a30 + hyou, hyou.substr(0, 79)},
        {"C:" + std::string(120, 'n'), std::string(79, 'n')},
        // never half a character: 表 would begin at the 79th byte
        {"C:" + std::string(78, 'n') + "\x95\x5C" + "zz", std::string(78, 'n')},
        {"C:" + std::string(77, 'n') + "\x95\x5C" + "zz", std::string(77, 'n') + "\x95\x5C"},
    };
    for (const auto& c : cases) {
        int length = 0;
        const char* start = fitPathForDisplay(c.path.c_str(), &length);
        EXPECT_EQ(std::string(start, static_cast<size_t>(length)), c.shown) << c.path;
    }
}

}  // namespace
