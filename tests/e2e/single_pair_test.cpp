// The real program under Wine on real files: exact Shift-JIS bytes and exit codes.
#include <gtest/gtest.h>

#include <cstdlib>

#include <tuple>

#include "support/wine_run.h"

using e2e::lines;
using e2e::mapDrive;
using e2e::runMorvi;
using e2e::TempDir;

namespace {

class SinglePair : public ::testing::Test {
protected:
    void SetUp() override {
        mapDrive('s', source.path());
        mapDrive('t', dest.path());
    }
    TempDir source, dest;
};

std::string firstLine(const std::string& out) { return out.substr(0, out.find("\r\n") + 2); }

TEST_F(SinglePair, EqualFilesMatchAndOtherSizesDifferUnderOtherNames) {
    source.file("a.txt", "same bytes\n");
    for (const auto& [contents, line, exitCode] :
         {std::tuple<const char*, const char*, int>{"same bytes\n", "S:\\a.txt＝T:\\b.txt", 0},
          {"longer bytes\n", "サイズ不一致 S:\\a.txt≠T:\\b.txt", 2}}) {
        dest.file("b.txt", contents);
        e2e::WineRun run = runMorvi({"S:\\a.txt", "T:\\b.txt"});
        EXPECT_EQ(firstLine(run.out), lines({line})) << e2e::utf8(run.out);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.exitCode, exitCode);
    }
}

TEST_F(SinglePair, OneDifferingByteAtTheEndOfFiveMebibytes) {
    std::string bytes(5 << 20, 'x');
    source.file("big.bin", bytes);
    dest.file("big.bin", bytes);
    e2e::WineRun same = runMorvi({"S:\\big.bin", "T:\\"});
    EXPECT_EQ(firstLine(same.out), lines({"S:\\big.bin＝T:\\big.bin"})) << e2e::utf8(same.out);
    EXPECT_EQ(same.exitCode, 0);

    bytes.back() = 'y';
    dest.file("big.bin", bytes);
    e2e::WineRun differs = runMorvi({"S:\\big.bin", "T:\\"});
    EXPECT_EQ(firstLine(differs.out), lines({"内容不一致 S:\\big.bin≠T:\\big.bin"}))
        << e2e::utf8(differs.out);
    EXPECT_EQ(differs.exitCode, 2);
}

}  // namespace

namespace {

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
