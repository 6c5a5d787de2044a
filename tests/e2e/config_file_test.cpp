// A configuration file beside a copy of morvi.exe: its options change the run, the command
// line wins, %NAME% takes the environment's value, and its errors stop the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "support/wine_run.h"

using e2e::lines;
using e2e::TempDir;

namespace {

namespace fs = std::filesystem;

class ConfigFile : public ::testing::Test {
protected:
    void SetUp() override {
        source.file("a.txt", "top\n");
        dest.file("a.txt", "top\n");
        source.file("sub/b.txt", "old\n");
        dest.file("sub/b.txt", "new\n");
        e2e::mapDrive('s', source.path());
        e2e::mapDrive('t', dest.path());
        exe = program.host("morvi.exe");
        fs::copy_file(e2e::morviExe(), exe);
    }
    void TearDown() override { unsetenv("MORVI_E2E_SKIP"); }

    void config(const std::string& text) const { program.file("morvi.cfg", text); }

    TempDir source, dest, program;
    std::string exe;
};

const char* const TOP_ONLY = "全ファイル（1個, 4バイト）、全ディレクトリ（0個）一致";

TEST_F(ConfigFile, ItsOptionsApplyAndTheCommandLineWins) {
    config("# defaults for every run\r\n  /d/c   ; descend, go on\r\n");
    e2e::WineRun configured = e2e::runExe(exe, {"S:\\", "T:\\"});
    EXPECT_EQ(configured.out,
              lines({"S:\\a.txt＝T:\\a.txt", "S:\\sub＝T:\\sub", "内容不一致 S:\\sub\\b.txt≠T:\\sub\\b.txt",
                     "", "ファイル2個（8バイト）中、1個不一致（4バイト）", "ディレクトリ1個中、0個不一致"}))
        << e2e::utf8(configured.out);
    EXPECT_EQ(configured.exitCode, 2);

    e2e::WineRun overridden = e2e::runExe(exe, {"/d-", "S:\\", "T:\\"});
    EXPECT_EQ(overridden.out, lines({"S:\\a.txt＝T:\\a.txt", "", TOP_ONLY})) << e2e::utf8(overridden.out);
    EXPECT_EQ(overridden.exitCode, 0);
}

TEST_F(ConfigFile, EnvironmentReferencesAreReplacedOrRemoved) {
    config("/d\n/v+k/sf%MORVI_E2E_SKIP%\n");
    setenv("MORVI_E2E_SKIP", "b.txt", 1);
    e2e::WineRun skipped = e2e::runExe(exe, {"S:\\", "T:\\"});
    EXPECT_EQ(skipped.out,
              lines({"S:\\a.txt＝T:\\a.txt", "S:\\sub＝T:\\sub", "対象外 S:\\sub\\b.txt≠T:\\sub\\b.txt", "",
                     "全ファイル（1個, 4バイト）、全ディレクトリ（1個）一致"}))
        << e2e::utf8(skipped.out);
    EXPECT_EQ(skipped.exitCode, 0);

    // Without the variable the option is /sf alone, which skips nothing.
    unsetenv("MORVI_E2E_SKIP");
    e2e::WineRun compared = e2e::runExe(exe, {"S:\\", "T:\\"});
    EXPECT_NE(compared.out.find("内容不一致 S:\\sub\\b.txt≠T:\\sub\\b.txt\r\n"), std::string::npos)
        << e2e::utf8(compared.out);
    EXPECT_EQ(compared.exitCode, 1);
}

}  // namespace
