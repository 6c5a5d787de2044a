// The real program under Wine, its two outputs sharing one file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/wine_run.h"

namespace {

// Redirected standard output goes out in blocks; what goes to standard error must still
// stand after the lines printed before it when both share one file.
TEST(SinglePair, StandardErrorKeepsItsPlaceInACombinedFile) {
    const e2e::Trees trees;
    const e2e::TempDir scratch;
    trees.both("a.txt", "same");
    trees.both("b.txt", "short", "longer");
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
