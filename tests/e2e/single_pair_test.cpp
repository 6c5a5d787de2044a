// The real program under Wine on real files: exact Shift-JIS bytes and exit codes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/wine_run.h"

using e2e::lines;
using e2e::runMorvi;
using e2e::TempDir;

namespace {

class SinglePair : public ::testing::Test {
protected:
    void SetUp() override {
        e2e::mapDrive('s', source.path());
        e2e::mapDrive('t', dest.path());
    }
    TempDir source, dest;
};

TEST_F(SinglePair, EqualFilesMatchAndALastByteDifferenceIsReported) {
    std::string big(5 << 20, 'x'), lastByte = big;
    lastByte.back() = 'y';
    source.file("a.txt", "same bytes\n");
    source.file("big.bin", big);
    struct Case {
        std::string sourcePath, destPath, destName, contents, firstLine;
        int exitCode;
    };
    const Case cases[] = {
        {"S:\\a.txt", "T:\\b.txt", "b.txt", "same bytes\n", "S:\\a.txt＝T:\\b.txt", 0},
        {"S:\\big.bin", "T:\\", "big.bin", big, "S:\\big.bin＝T:\\big.bin", 0},
        {"S:\\big.bin", "T:\\", "big.bin", lastByte, "内容不一致 S:\\big.bin≠T:\\big.bin", 2},
    };
    for (const Case& c : cases) {
        dest.file(c.destName, c.contents);
        e2e::WineRun run = runMorvi({c.sourcePath, c.destPath});
        EXPECT_EQ(run.out.substr(0, run.out.find("\r\n") + 2), lines({c.firstLine})) << e2e::utf8(run.out);
        EXPECT_EQ(run.err, "") << e2e::utf8(c.firstLine);
        EXPECT_EQ(run.exitCode, c.exitCode) << e2e::utf8(c.firstLine);
    }
}

// Redirected standard output goes out in blocks; what goes to standard error must still
// stand after the lines printed before it when both share one file.
TEST_F(SinglePair, StandardErrorKeepsItsPlaceInACombinedFile) {
    source.file("a.txt", "same");
    dest.file("a.txt", "same");
    source.file("b.txt", "short");
    dest.file("b.txt", "longer");
    TempDir scratch;
    const std::string combined = scratch.host("combined");
    const std::string command = std::string(MORVI_SOURCE_DIR) + "/scripts/morvi 'S:\\' 'T:\\' >" +
                                combined + " 2>&1 </dev/null";
    EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 1);
    const std::string out = e2e::readFile(combined);
    const size_t mismatch = out.find("サイズ不一致 S:\\b.txt≠T:\\b.txt\r\n");
    const size_t bell = out.find('\a');
    const size_t stopLine = out.find("にて調査を中止しました。");
    ASSERT_NE(mismatch, std::string::npos) << e2e::utf8(out);
    EXPECT_GT(bell, mismatch) << e2e::utf8(out);
    EXPECT_GT(stopLine, bell) << e2e::utf8(out);
}

}  // namespace
