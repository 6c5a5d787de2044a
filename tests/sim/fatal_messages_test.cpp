// Every way the set-up of a run can fail ends with its own "処理停止:" line on standard
// error and exit code 1, before anything is compared.
#include <gtest/gtest.h>

#include "platform/sim/machine.h"

namespace {

struct FatalCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* message;
};

class FatalMessages : public ::testing::TestWithParam<FatalCase> {
protected:
    void SetUp() override {
        sim::resetMachine();
        sim::addVolume("D:\\");
        sim::addFile("C:\\work\\a.txt", "x");
        sim::addDirectory("D:\\save");
        sim::addVolume("N:\\").answers = false;  // a drive letter whose volume does not answer
    }
};

TEST_P(FatalMessages, StopWithTheirMessageAndExitCodeOne) {
    const FatalCase& c = GetParam();
    sim::RunOutput run = sim::runProgram(c.arguments);
    EXPECT_EQ(run.err, std::string("\n\a処理停止:") + c.message + "\n");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(run.hasEvent("open "));
}

const FatalCase CASES[] = {
    {"three paths", {"a", "b", "c"}, "引数が 3つ以上指定されています。"},
    {"source without share", {"\\\\server", "D:\\save"}, "照合元\"\\\\server\"に共有名がありません。"},
    {"destination without share", {"C:\\work", "\\\\server"}, "照合先\"\\\\server\"に共有名がありません。"},
    {"wildcard destination", {"C:\\work", "D:\\save\\*.txt"}, "照合先にはワイルドカードは使えません。"},
    {"plain name with /d", {"/d", "C:\\work\\a.txt", "D:\\save"}, "照合元パス\"C:\\work\\a.txt\"がありません。"},
    {"missing directory with /d", {"/d", "C:\\nodir\\a.txt", "D:\\save"},
     "照合元パス\"C:\\nodir\\a.txt\"がありません。"},
    {"source volume silent", {"N:\\data\\*.txt", "D:\\save"}, "照合元ドライブにアクセス出来ません。"},
    {"source drive unknown", {"Q:\\data\\*.txt", "D:\\save"}, "照合元ドライブにアクセス出来ません。"},
    {"destination drive unknown", {"C:\\work", "Q:\\save"}, "照合先ドライブにアクセス出来ません。"},
    {"source checked first", {"Q:\\data\\*.txt", "R:\\save"}, "照合元ドライブにアクセス出来ません。"},
    {"empty source", {"", "D:\\save"}, "照合元パス\"\"がありません。"},
};

INSTANTIATE_TEST_SUITE_P(Table, FatalMessages, ::testing::ValuesIn(CASES),
                         [](const ::testing::TestParamInfo<FatalCase>& info) {
                             std::string name;
                             for (char c : std::string(info.param.name))
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

TEST(FatalMessagesWithoutCurrentDirectory, DestinationOmittedAndCurrentDirectoryUnknown) {
    sim::resetMachine();
    sim::addFile("C:\\work\\a.txt", "x");
    sim::machine().currentDirectory = "";
    sim::RunOutput run = sim::runProgram({"C:\\work"});
    EXPECT_EQ(run.err, "\n\a処理停止:照合先の現在ディレクトリが不明です。\n");
    EXPECT_EQ(run.exitCode, 1);
}

TEST(EmptyDestination, MeansTheCurrentDirectoryAsWhenOmitted) {
    sim::resetMachine();
    sim::addFile("C:\\src\\a.txt", "x");
    sim::addFile("C:\\work\\a.txt", "x");
    sim::RunOutput run = sim::runProgram({"C:\\src", ""});
    EXPECT_EQ(run.out.substr(0, run.out.find('\n') + 1), "C:\\src\\a.txt＝C:\\work\\a.txt\n");
    EXPECT_EQ(run.exitCode, 0);
}

TEST(FatalMessagesIntoTheLog, LogKeepsTheMessageAndNoEndBanner) {
    sim::resetMachine();
    sim::addDirectory("C:\\logs");
    sim::RunOutput run = sim::runProgram({"/logC:\\logs\\run.log", "C:\\work", "Q:\\save"});
    EXPECT_EQ(run.exitCode, 1);
    std::string log = sim::contentsOf("C:\\logs\\run.log");
    const std::string tail = "\n処理停止:照合先ドライブにアクセス出来ません。\n";
    ASSERT_GE(log.size(), tail.size());
    EXPECT_EQ(log.substr(log.size() - tail.size()), tail);
    EXPECT_EQ(log.find("実行終了"), std::string::npos);
}

}  // namespace
