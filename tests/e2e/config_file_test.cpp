// The configuration file beside a copy of morvi.exe, read by the program under Wine.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/wine_run.h"

using e2e::TempDir;

namespace {

// With no switch character, a line that the environment replacement empties is skipped like
// an empty line; what the line held before is never parsed.
TEST(ConfigFile, LinesEmptiedByTheEnvironmentAreSkipped) {
    TempDir program;
    std::filesystem::copy_file(e2e::morviHostPath(), program.host("morvi.exe"));
    const e2e::Trees trees;
    trees.both("a.txt", "same");
    for (const char* line : {"%UNDEFINED%", "%log%", "%D/C%"}) {
        program.file("morvi.cfg", std::string("switch=\r\n") + line + "\r\n");
        e2e::WineRun run = e2e::runWindowsProgram(program.host("morvi.exe"), {"S:\\", "T:\\"});
        EXPECT_EQ(run.out, e2e::lines({"S:\\a.txt＝T:\\a.txt", "", "全ファイル（1個, 4バイト）、全ディレクトリ（0個）一致"}))
            << line << "\n" << e2e::utf8(run.out) << e2e::utf8(run.err);
        EXPECT_EQ(run.err, "") << line;
        EXPECT_EQ(run.exitCode, 0) << line;
        // /log% would write a log named "%" in the current directory.
        EXPECT_FALSE(std::filesystem::exists("%")) << line;
        std::filesystem::remove("%");
    }
}

}  // namespace
