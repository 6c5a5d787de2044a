// Runs that stop before a comparison: the exact message on standard error, nothing on
// standard output, exit code 1.
#include <gtest/gtest.h>

#include "support/wine_run.h"

namespace {

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

}  // namespace
