// Runs that stop before a comparison (the usage pages written to a file, a stop's message), and
// the suspend inhibitor's window seen from outside.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/wine_run.h"

namespace {

TEST(Help, RedirectedItWritesTheWholeTextWithoutPromptsAndExitsOne) {
    e2e::WineRun help = e2e::runMorvi({"/?"});
    EXPECT_EQ(help.exitCode, 1);
    EXPECT_EQ(help.err, "");
    ASSERT_GT(help.out.size(), 10000u) << e2e::utf8(help.out);

    EXPECT_EQ(help.out.find("morvi ［△ オプション群］□ 照合元［□ 照合先］\r\n"),
              help.out.find("\r\n\r\n") + 4)
        << "the usage line follows the banner";
    // No prompt and no erased prompt: every carriage return ends a line.
    for (size_t at = help.out.find('\r'); at != std::string::npos; at = help.out.find('\r', at + 1)) {
        ASSERT_EQ(help.out[at + 1], '\n') << "a bare carriage return at byte " << at;
    }
}

// A stop writes its message to standard error in CR LF lines, and exits with 1.
TEST(FatalMessages, GoToStandardErrorInCrLfLines) {
    const e2e::WineRun run = e2e::runMorvi({"/d/x/c", "C:\\", "C:\\"});
    EXPECT_EQ(run.err, "\r\n\a処理停止:無効オプション  /x/c\r\n※オプション群 /d/x/c の一部が無効です。\r\n"
                       "※引数なしで実行すると使用方法を表示します。\r\n\r\n")
        << e2e::utf8(run.err);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.exitCode, 1);
}

// A run whose output waits in a pipe that nobody reads yet: the probe finds its hidden window
// meanwhile, puts the suspend query and a resume notice to it, then reads the output and
// looks again once the run has ended. Three hundred long names fill the pipe and the output
// buffer several times over, so the run is still there when the window is looked for.
TEST(SuspendInhibitor, ItsWindowRefusesTheSuspendQueryAndGoesWithTheRun) {
    const e2e::Trees trees;
    for (int k = 0; k < 300; ++k) {
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "%03d", k);
        const std::string name = prefix + std::string(237, 'n');
        trees.both(name, "same");
    }
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
