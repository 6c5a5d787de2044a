// Directory links under Wine, which lists a Linux symbolic link to a directory as a directory
// with the reparse-point attribute: a link back to a directory the walk is inside is compared
// but not entered; a link elsewhere is walked and what lies behind it verified.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/wine_run.h"

namespace {

namespace fs = std::filesystem;

const std::string LINK_BACK = "循環リンクのため省略 S:\\a\\loop";

// The listing order is the host's: the lines sorted, and the notice right after its link's line.
std::vector<std::string> sortedLines(const e2e::WineRun& run) {
    std::vector<std::string> lines = e2e::splitLines(run.out);
    const auto notice = std::find(lines.begin(), lines.end(), LINK_BACK);
    if (notice != lines.end()) EXPECT_EQ(*(notice - 1), "S:\\a\\loop＝T:\\a\\loop") << e2e::utf8(run.out);
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST(Links, ALinkBackIsWalkedOnceAndALinkElsewhereIsVerified) {
    const struct {
        const char* what;
        // Builds the trees below S:, T: and a third directory; the second is the copy.
        std::function<void(const e2e::TempDir&, const e2e::TempDir&, const e2e::TempDir&)> build;
        std::vector<std::string> lines;  // in any order
        int exitCode;
    } cases[] = {
        {"a loop in both trees",
         [](const e2e::TempDir& s, const e2e::TempDir& t, const e2e::TempDir&) {
             fs::create_directory_symlink(s.path(), s.host("a/loop"));
             fs::create_directory_symlink(t.path(), t.host("a/loop"));
         },
         {"S:\\a＝T:\\a", "S:\\a\\f.txt＝T:\\a\\f.txt", "S:\\a\\loop＝T:\\a\\loop", LINK_BACK, "",
          "全ファイル（1個, 2バイト）、全ディレクトリ（2個）一致"},
         0},
        {"a link to a tree beside it, one file changed in the copy",
         [](const e2e::TempDir& s, const e2e::TempDir& t, const e2e::TempDir& beside) {
             beside.file("x.txt", "one\n");
             fs::create_directory_symlink(beside.path(), s.host("a/other"));
             t.file("a/other/x.txt", "two\n");
         },
         {"S:\\a＝T:\\a", "S:\\a\\f.txt＝T:\\a\\f.txt", "S:\\a\\other＝T:\\a\\other",
          "内容不一致 S:\\a\\other\\x.txt≠T:\\a\\other\\x.txt", "", "ファイル2個（6バイト）中、1個不一致（4バイト）",
          "ディレクトリ2個中、0個不一致"},
         2},
    };
    for (const auto& c : cases) {
        const e2e::Trees trees;
        const e2e::TempDir beside;
        trees.both("a/f.txt", "f\n");
        c.build(trees.source, trees.dest, beside);
        const e2e::WineRun run = e2e::runMorvi({"/d", "/c", "S:\\", "T:\\"});
        SCOPED_TRACE(std::string(c.what) + "\n" + e2e::utf8(run.out));
        std::vector<std::string> expected = c.lines;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(sortedLines(run), expected);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.exitCode, c.exitCode);
    }
}

}  // namespace
