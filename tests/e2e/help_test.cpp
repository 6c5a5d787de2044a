// The usage pages written to a file, and clean runs with the suspend inhibitor's thread.
#include <gtest/gtest.h>

#include <string>

#include "support/wine_run.h"

using e2e::lines;
using e2e::TempDir;

namespace {

TEST(Help, RedirectedItWritesTheWholeTextWithoutPromptsAndExitsOne) {
    e2e::WineRun help = e2e::runMorvi({"/?"});
    EXPECT_EQ(help.exitCode, 1);
    EXPECT_EQ(help.err, "");
    ASSERT_GT(help.out.size(), 10000u) << e2e::utf8(help.out);

    EXPECT_EQ(help.out.find("morvi ［△ オプション群］□ 照合元［□ 照合先］\r\n"),
              help.out.find("\r\n\r\n") + 4)
        << "the usage line follows the banner";
    EXPECT_NE(help.out.find(lines({"【終了コード】", "0:エラーなし、照合成功", "1:エラー発生、照合中断",
                                   "2:エラー発生、照合継続"})),
              std::string::npos);

    std::string tail = "morvi /? …… 使用方法説明\r\n";
    EXPECT_EQ(help.out.compare(help.out.size() - tail.size(), tail.size(), tail), 0)
        << "the last example ends it";
    // No prompt and no erased prompt: every carriage return ends a line.
    for (size_t at = help.out.find('\r'); at != std::string::npos; at = help.out.find('\r', at + 1)) {
        ASSERT_EQ(help.out[at + 1], '\n') << "a bare carriage return at byte " << at;
    }

    e2e::WineRun bare = e2e::runMorvi({});
    EXPECT_EQ(bare.out, help.out);
    EXPECT_EQ(bare.exitCode, 1);
}

TEST(SuspendInhibitor, AnEqualPairEndsCleanlyWithTheInhibitorRunningOrStopped) {
    TempDir source, dest;
    source.file("a.txt", "same\n");
    dest.file("a.txt", "same\n");
    e2e::mapDrive('s', source.path());
    e2e::mapDrive('t', dest.path());
    // Default: the thread runs to the process exit; /p without a log stops it first; /suspend never starts
    // it.
    for (const char* option : {"/suspend-", "/p", "/suspend"}) {
        e2e::WineRun run = e2e::runMorvi({option, "S:\\", "T:\\"});
        EXPECT_EQ(run.out, lines({"S:\\a.txt＝T:\\a.txt", "",
                                  "全ファイル（1個, 5バイト）、全ディレクトリ（0個）一致"}))
            << option << ": " << e2e::utf8(run.out);
        EXPECT_EQ(run.err, "") << option;
        EXPECT_EQ(run.exitCode, 0) << option;
    }
}

}  // namespace
