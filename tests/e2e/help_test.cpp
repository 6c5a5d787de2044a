// Runs that stop before a comparison (the usage pages written to a file; fatal messages on
// standard error, exit code 1), and clean runs with the suspend inhibitor's thread.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

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

TEST(FatalMessages, EachStopWritesItsMessageToStandardErrorAndExitsOne) {
    e2e::TempDir source, dest;
    source.file("a.txt", "same\n");
    dest.file("a.txt", "same\n");
    e2e::mapDrive('s', source.path());
    e2e::mapDrive('t', dest.path());
    struct StopCase {
        const char* what;
        std::vector<std::string> arguments;
        std::string err;  // everything after the leading line end and bell
    };
    const StopCase cases[] = {
        {"network source without a share", {"\\\\server", "T:\\"}, "処理停止:照合元\"\\\\server\"に共有名がありません。\r\n"},
        {"/d with a plain name in a missing directory",
         {"/d", "S:\\nodir\\a.txt", "T:\\"},
         "処理停止:照合元パス\"S:\\nodir\\a.txt\"がありません。\r\n"},
        {"invalid option inside a group",
         {"S:\\", "/d/x/c", "T:\\"},
         "処理停止:無効オプション  /x/c\r\n※オプション群 /d/x/c の一部が無効です。\r\n"
         "※引数なしで実行すると使用方法を表示します。\r\n\r\n"},
        {"a path filter outside its root",
         {"/d", "/dlhS:\\a.txt", "S:\\", "T:\\"},
         "処理停止:オプション /dlhS:\\a.txt のパスは照合先 T:\\ 以下ではありません。\r\n"},
    };
    for (const StopCase& c : cases) {
        e2e::WineRun run = e2e::runMorvi(c.arguments);
        EXPECT_EQ(run.err, "\r\n\a" + c.err) << c.what << ":\n" << e2e::utf8(run.err);
        EXPECT_EQ(run.out, "") << c.what << ": " << e2e::utf8(run.out);
        EXPECT_EQ(run.exitCode, 1) << c.what;
    }
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

// A run whose output waits in a pipe that nobody reads yet: the probe finds its hidden window
// meanwhile, puts the suspend query and a resume notice to it, then reads the output and
// looks again once the run has ended. Three hundred long names fill the pipe and the output
// buffer several times over, so the run is still there when the window is looked for.
TEST(SuspendInhibitor, ItsWindowRefusesTheSuspendQueryAndGoesWithTheRun) {
    TempDir source, dest;
    for (int k = 0; k < 300; ++k) {
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "%03d", k);
        const std::string name = prefix + std::string(237, 'n');
        source.file(name, "same");
        dest.file(name, "same");
    }
    e2e::mapDrive('s', source.path());
    e2e::mapDrive('t', dest.path());
    const std::string probe = e2e::morviHostPath().substr(0, e2e::morviHostPath().rfind('/')) + "/suspend_probe.exe";
    // The thread runs to the process exit; /p without a log stops it before the totals.
    for (const char* option : {"/c", "/p"}) {
        e2e::WineRun run = e2e::runWindowsProgram(probe, {e2e::morviExe(), option, "S:\\", "T:\\"}, 120);
        const std::vector<std::string> found = e2e::splitLines(run.out);
        ASSERT_EQ(found.size(), 5u) << option << "\n" << run.out << run.err;
        EXPECT_EQ(found[0], "window found") << option;
        EXPECT_EQ(found[1], "suspend query 0x424D5144") << option;
        EXPECT_NE(found[2], "resume notice 0x424D5144") << option;
        EXPECT_EQ(found[3], "exit 0") << option;
        EXPECT_EQ(found[4], "window gone") << option;
    }
}

}  // namespace
