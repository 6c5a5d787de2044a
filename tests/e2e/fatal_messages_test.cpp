// Runs that stop before or instead of a comparison: the exact message on standard error,
// nothing on standard output, and the exit code.
#include <gtest/gtest.h>

#include "support/wine_run.h"

using e2e::lines;
using e2e::runMorvi;
using e2e::TempDir;

namespace {

class FatalMessages : public ::testing::Test {
protected:
    void SetUp() override {
        source.file("a.txt", "same\n");
        dest.file("a.txt", "same\n");
        e2e::mapDrive('s', source.path());
        e2e::mapDrive('t', dest.path());
    }
    TempDir source, dest;
};

struct StopCase {
    const char* what;
    std::vector<std::string> arguments;
    std::string err;  // everything after the leading line end and bell
};

TEST_F(FatalMessages, EachStopWritesItsMessageToStandardErrorAndExitsOne) {
    const StopCase cases[] = {
        {"network source without a share",
         {"\\\\server", "T:\\"},
         "処理停止:照合元\"\\\\server\"に共有名がありません。\r\n"},
        {"/d with a plain name in a missing directory",
         {"/d", "S:\\nodir\\a.txt", "T:\\"},
         "処理停止:照合元パス\"S:\\nodir\\a.txt\"がありません。\r\n"},
        {"invalid option inside a group",
         {"S:\\", "/d/x/c", "T:\\"},
         "処理停止:無効オプション  /x/c\r\n※オプション群 /d/x/c の一部が無効です。\r\n"
         "※引数なしで実行すると使用方法を表示します。\r\n\r\n"},
    };
    for (const StopCase& c : cases) {
        e2e::WineRun run = runMorvi(c.arguments);
        EXPECT_EQ(run.err, "\r\n\a" + c.err) << c.what << ":\n"
                                             << e2e::utf8(run.err) << "expected:\n"
                                             << e2e::utf8(c.err);
        EXPECT_EQ(run.out, "") << c.what << ": " << e2e::utf8(run.out);
        EXPECT_EQ(run.exitCode, 1) << c.what;
    }
}

// 表 is 0x95 0x5C: its second byte must neither end the directory name nor count as its
// separator, on either side.
TEST_F(FatalMessages, ADirectoryEndingInADoubleByteBackslashIsResolvedAndCompared) {
    source.file("表/b.txt", "inside\n");
    dest.file("表/b.txt", "inside\n");
    for (const char* sourceArgument : {"S:\\表", "S:\\表\\"}) {
        e2e::WineRun run = runMorvi({sourceArgument, "T:\\表"});
        EXPECT_EQ(run.out, lines({"S:\\表\\b.txt＝T:\\表\\b.txt", "",
                                  "全ファイル（1個, 7バイト）、全ディレクトリ（0個）一致"}))
            << sourceArgument << ": " << e2e::utf8(run.out);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.exitCode, 0);
    }
    dest.file("表/b.txt", "INSIDE\n");
    e2e::WineRun differs = runMorvi({"S:\\表", "T:\\表"});
    EXPECT_EQ(differs.out.substr(0, differs.out.find("\r\n") + 2),
              lines({"内容不一致 S:\\表\\b.txt≠T:\\表\\b.txt"}))
        << e2e::utf8(differs.out);
    EXPECT_EQ(differs.exitCode, 1);
}

}  // namespace
