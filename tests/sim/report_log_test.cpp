// The end of whole runs: totals, sounds, the processing time, and the log file around them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "support/program_run.h"

namespace {

const int64_t START = 1709597107;  // 2024-03-05 09:05:07 local (Tuesday)
const std::string LOG = "C:\\work\\run.log";

class ReportLog : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetMachine();
        sim::addVolume("D:\\");
        sim::addDirectory("C:\\src");
        sim::addDirectory("D:\\dst");
    }
    void lasting(int64_t seconds) { sim::machine().calendarTimes = {START, START + seconds}; }
    void pair(const std::string& name, const std::string& source, const std::string& dest) {
        sim::addFile("C:\\src\\" + name, source);
        sim::addFile("D:\\dst\\" + name, dest);
    }
};

size_t bells(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\a'));
}

using ::testing::EndsWith;

TEST_F(ReportLog, MismatchSummaryCountsFilesBytesAndTwins) {
    pair("a.txt", std::string(2048, 'a'), std::string(2048, 'a'));
    pair("b.txt", "0123456789", "0123456780");
    sim::addFile("C:\\src\\t", "");
    sim::addDirectory("D:\\dst\\t");
    support::RunOutput run = support::runProgram({"/c", "/logC:\\work\\run.log", "C:\\src", "D:\\dst"});
    EXPECT_EQ(run.exitCode, 2);
    const std::string summary =
        "\nファイル3個（2.0K(2058)バイト）中、2個不一致（10バイト）\n"
        "  ファイル同名ディレクトリ1個存在\n"
        "ディレクトリ0個中、0個不一致\n";
    EXPECT_THAT(run.out, EndsWith(summary));
    // The log gets its own empty line before the summary, as the console does.
    EXPECT_NE(sim::contentsOf(LOG).find("\n" + summary), std::string::npos);
}

TEST_F(ReportLog, StopLineCountsOnlyTheMatchingBytes) {
    pair("a.txt", std::string(100, 'a'), std::string(100, 'a'));
    pair("b.txt", "0123456789", "0123456780");
    support::RunOutput run = support::runProgram({"/beep-1", "C:\\src", "D:\\dst"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.out, EndsWith("\n\nファイル2個（100バイト）、ディレクトリ0個にて調査を中止しました。\n"));
    EXPECT_EQ(run.err, "\a");  // the warning sound ignores the threshold
}

TEST_F(ReportLog, EndSoundAndProcessingTimeFollowTheirThresholds) {
    const struct {
        std::vector<std::string> options;
        int64_t seconds;
        size_t bells;
        const char* timeLine;  // nullptr: none
    } cases[] = {
        {{}, 100, 0, nullptr}, {{}, 150, 1, nullptr}, {{}, 400, 1, "処理時間:6分40秒\n"},
        {{"/beep-1"}, 400, 0, "処理時間:6分40秒\n"}, {{"/time0"}, 59, 0, "処理時間:59秒\n"},
        {{"/time-1"}, 3661, 1, nullptr}, {{"/v-f"}, 400, 0, nullptr},
    };
    pair("a.txt", "abc", "abc");
    for (const auto& c : cases) {
        lasting(c.seconds);
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {"C:\\src", "D:\\dst"});
        support::RunOutput run = support::runProgram(arguments);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(bells(run.err), c.bells) << c.seconds;
        if (c.timeLine != nullptr)
            EXPECT_THAT(run.out, EndsWith(c.timeLine));
        else
            EXPECT_EQ(run.out.find("処理時間"), std::string::npos) << run.out;
    }
}

TEST_F(ReportLog, Windows95GetsTheBellBehindALineEnd) {
    sim::machine().version = os::VersionInfo{true, 1, 4, 0};
    EXPECT_EQ(support::runProgram({"/beep0", "C:\\src", "D:\\dst"}).err, "\n\a");
    sim::machine().version = os::VersionInfo{true, 1, 4, 10};
    EXPECT_EQ(support::runProgram({"/beep0", "C:\\src", "D:\\dst"}).err, "\a");
}

TEST_F(ReportLog, WithoutFinishTheCacheLinesStillGoToTheLog) {
    pair("a.txt", "abc", "abc");
    sim::volumeOf("D:\\")->dismountSucceeds = false;
    lasting(3725);
    support::RunOutput run = support::runProgram({"/v-f", "/logC:\\work\\run.log", "C:\\src", "D:\\dst"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.find("全ファイル"), std::string::npos);
    EXPECT_THAT(sim::contentsOf(LOG),
                EndsWith("照合元:キャッシュ使用あり(消去あり) C:\\src\\\n"
                         "照合先:キャッシュ使用なし(消去不能) D:\\dst\\\n"
                         "\nmorvi実行終了 2024年03月05日(火) 10時07分12秒（処理時間 01時間02分05秒）\n"));
}

TEST_F(ReportLog, LogInUseStopsBeforeTheWalkAndIsLeftAlone) {
    pair("a.txt", "abc", "abc");
    sim::addFile(LOG, "other").heldOpen = true;
    support::RunOutput run = support::runProgram({"/LOGC:\\work\\run.log", "C:\\src", "D:\\dst"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "\n\a処理停止:ログ・ファイル\"C:\\work\\run.log\"がオープン中です。\n");
    EXPECT_EQ(sim::contentsOf(LOG), "other");
}

}  // namespace
