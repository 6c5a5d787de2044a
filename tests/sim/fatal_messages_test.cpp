// Every way the set-up of a run can fail ends with its own "処理停止:" line on standard
// error and exit code 1, before anything is compared.
#include <gtest/gtest.h>

#include "platform/sim/machine.h"
#include "support/program_run.h"

namespace {

TEST(FatalMessages, StopWithTheirMessageAndExitCodeOne) {
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{"a", "b", "c"}, "引数が 3つ以上指定されています。"},
        {{"C:\\work", "D:\\save\\*.txt"}, "照合先にはワイルドカードは使えません。"},
        {{"N:\\data\\*.txt", "D:\\save"}, "照合元ドライブにアクセス出来ません。"},  // a silent volume
        {{"C:\\work", "Q:\\save"}, "照合先ドライブにアクセス出来ません。"},
        {{"Q:\\data\\*.txt", "R:\\save"}, "照合元ドライブにアクセス出来ません。"},  // the source first
        {{"", "D:\\save"}, "照合元パス\"\"がありません。"},
        {{"C:\\work"}, "照合先の現在ディレクトリが不明です。"},
        {{"\\\\server", "D:\\save"}, "照合元\"\\\\server\"に共有名がありません。"},
        {{"/d", "C:\\nodir\\a.txt", "D:\\save"}, "照合元パス\"C:\\nodir\\a.txt\"がありません。"},
        {{"/d", "/dlhC:\\work", "C:\\work", "D:\\save"},
         "オプション /dlhC:\\work のパスは照合先 D:\\save\\ 以下ではありません。"},
    };
    for (const auto& c : cases) {
        sim::resetMachine();
        sim::addVolume("D:\\");
        sim::addFile("C:\\work\\a.txt", "x");
        sim::addDirectory("D:\\save");
        sim::addVolume("N:\\").answers = false;
        if (c.arguments.size() == 1) sim::machine().currentDirectory = "";  // destination omitted
        support::RunOutput run = support::runProgram(c.arguments);
        SCOPED_TRACE(c.message);
        EXPECT_EQ(run.err, std::string("\n\a処理停止:") + c.message + "\n");
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(run.hasEvent("open "));
    }
}

// The log keeps the message, and no end banner.
TEST(FatalMessages, IntoTheLog) {
    sim::resetMachine();
    sim::addDirectory("C:\\logs");
    EXPECT_EQ(support::runProgram({"/logC:\\logs\\run.log", "C:\\work", "Q:\\save"}).exitCode, 1);
    const std::string log = sim::contentsOf("C:\\logs\\run.log");
    const std::string tail = "\n処理停止:照合先ドライブにアクセス出来ません。\n";
    ASSERT_GE(log.size(), tail.size());
    EXPECT_EQ(log.substr(log.size() - tail.size()), tail);
    EXPECT_EQ(log.find("実行終了"), std::string::npos);
}

}  // namespace
