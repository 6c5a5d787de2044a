#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "output/console_output.h"
#include "output/messages.h"
#include "platform/sim/machine.h"
#include "run/settings.h"
#include "support/child_run.h"

namespace {

const std::string PROMPT = "(Continue,/All/Quit)";
const std::string ERASE = "\r" + std::string(PROMPT.size(), ' ') + "\r";
const std::string SUMMARY = "全ファイル";

std::string fileName(int k) {
    char name[16];
    std::snprintf(name, sizeof name, "f%02d.txt", k);
    return name;
}

std::string resultLine(int k) {
    return "C:\\src\\" + fileName(k) + "＝D:\\dst\\" + fileName(k) + "\n";
}

int count(const std::string& text, const std::string& part) {
    int found = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++found;
    return found;
}

sim::Key key(uint8_t character) {
    sim::Key k;
    k.character = character;
    return k;
}

class Paging : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetMachine();
        sim::addVolume("D:\\");
        sim::machine().console = true;
        sim::machine().windowRows = 25;
    }
    void addPairs(int files) {
        for (int k = 0; k < files; ++k) {
            sim::addFile("C:\\src\\" + fileName(k), "same");
            sim::addFile("D:\\dst\\" + fileName(k), "same");
        }
    }
};

TEST_F(Paging, PromptsAfterTheLineThatFillsTheTwentyThirdRow) {
    addPairs(30);
    sim::machine().keys.push_back(key('c'));
    support::RunOutput run = support::runProgram({"/p", "C:\\src", "D:\\dst"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(count(run.out, PROMPT), 1);
    // One line is charged at set-up, so the 23rd result line brings the count to 24.
    size_t prompt = run.out.find(PROMPT);
    ASSERT_NE(prompt, std::string::npos);
    EXPECT_EQ(run.out.compare(prompt - resultLine(22).size(), resultLine(22).size(), resultLine(22)), 0);
    EXPECT_EQ(run.out.compare(prompt + PROMPT.size(), ERASE.size(), ERASE), 0);
    EXPECT_NE(run.out.find(resultLine(29)), std::string::npos);
    EXPECT_NE(run.out.find(SUMMARY), std::string::npos);
    EXPECT_TRUE(run.hasEvent("key 99"));
}

// The kana keys of A and Q count as well.
TEST_F(Paging, AllShowsTheRestAndQuitKeysEndWithExitCodeOne) {
    addPairs(70);
    for (uint8_t answer : {uint8_t('a'), uint8_t(0xC1), uint8_t('q'), uint8_t('Q'), uint8_t(0x1B), uint8_t(0xC0)}) {
        SCOPED_TRACE(int(answer));
        bool quits = answer != 'a' && answer != 0xC1;
        sim::machine().keys = {key(answer)};
        support::RunOutput run = support::runProgram({"/p", "C:\\src", "D:\\dst"});
        EXPECT_EQ(run.exitCode, quits ? 1 : 0);
        EXPECT_EQ(count(run.out, PROMPT), 1);
        EXPECT_EQ(run.out.find(resultLine(quits ? 23 : 69)) != std::string::npos, !quits);
        EXPECT_EQ(run.out.find(SUMMARY) != std::string::npos, !quits);
        if (quits) {
            EXPECT_EQ(run.out.substr(run.out.size() - ERASE.size()), ERASE);
            EXPECT_EQ(run.err, "");
        }
    }
}

TEST_F(Paging, RedirectedOutputNeverPrompts) {
    addPairs(70);
    sim::machine().console = false;
    support::RunOutput run = support::runProgram({"/p", "C:\\src", "D:\\dst"});  // no key given
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.find(PROMPT), std::string::npos);
    EXPECT_NE(run.out.find(SUMMARY), std::string::npos);
}

// The log is reopened after each paged message: it holds every line printed, also when
// the user quits at the prompt.
TEST_F(Paging, LogHoldsEveryLinePrinted) {
    addPairs(30);
    for (uint8_t answer : {uint8_t('c'), uint8_t('q')}) {
        sim::machine().keys = {key(answer)};
        support::RunOutput run = support::runProgram({"/p", "/logC:\\work\\run.log", "C:\\src", "D:\\dst"});
        EXPECT_EQ(run.exitCode, answer == 'q' ? 1 : 0);
        std::string log = sim::contentsOf("C:\\work\\run.log");
        EXPECT_NE(log.find(resultLine(22)), std::string::npos) << answer;
        EXPECT_EQ(log.find(resultLine(23)) != std::string::npos, answer == 'c') << answer;
        EXPECT_EQ(log.find("実行終了") != std::string::npos, answer == 'c') << answer;
    }
}

TEST_F(Paging, FatalErrorPromptsBeforeItsMessageOnlyOnAFullPage) {
    const std::string stop = "\n\a処理停止:照合元ドライブにアクセス出来ません。\n";
    const std::string before = "line 21\nエラー発生。続いてエラー情報を表示します(Continue,/All/Quit)";
    struct Case {
        bool fullPage;
        uint8_t answer;
        std::string err;
    } cases[] = {{true, 'c', stop}, {true, 'q', ""}, {false, 0, stop}};
    for (const Case& c : cases) {
        if (c.answer != 0) sim::machine().keys = {key(c.answer)};
        support::RunOutput run = support::runInChild([&] {
            settings.pauseOutput = 1;
            pagerInit(1, 1);
            if (c.fullPage)  // 22 one-line messages leave one row of the page
                for (int k = 0; k < 22; ++k) writeOutput("line %d\n", k);
            fatalError("照合元ドライブにアクセス出来ません。");
        });
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out.find(before) != std::string::npos, c.fullPage);
        EXPECT_EQ(run.out.empty(), !c.fullPage);
    }
}

class ConfigFile : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetMachine();
        sim::addVolume("D:\\");
        sim::addFile("C:\\src\\a.txt", "same");
        sim::addFile("D:\\dst\\a.txt", "same");
    }
    static void config(const std::string& bytes) { sim::addFile("C:\\tools\\morvi.cfg", bytes); }
};

// A broken file stops even a request for help, before anything is printed.
TEST_F(ConfigFile, BadFileStopsWithItsLineNamed) {
    const std::string broken = "\n\a処理停止:設定ファイル\"C:\\tools\\morvi.cfg\"が異常です。";
    const struct {
        const char* bytes;
        std::vector<std::string> arguments;
        std::string err;
    } cases[] = {
        {"/d\n/zzz\n", {"C:\\src", "D:\\dst"}, "\n\a処理停止:設定ファイル無効オプション  /zzz\n※引数なしで実行すると使用方法を表示します。\n\n"},
        {"a\n/d\nx\r\ny\n", {"C:\\src", "D:\\dst"}, broken + "3行目に異なる改行コードを検出しました。\n"},
        {"/d\x7f\n", {"/?"}, broken + "1行目にバイナリ・データを検出しました。\n"},
    };
    for (const auto& c : cases) {
        config(c.bytes);
        support::RunOutput run = support::runProgram(c.arguments);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out, "");
    }
}

// With no switch character a line that the environment empties matched it once, and the
// bytes it held before were parsed: an invalid option, /D, or a log file named "%".
TEST_F(ConfigFile, LinesEmptiedByTheEnvironmentAreSkipped) {
    config("switch=\n%UNDEFINED%\n%log%\n%D/C%\n");
    sim::addFile("C:\\src\\sub\\b.txt", "differs");
    support::RunOutput run = support::runProgram({"C:\\src", "D:\\dst"});
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "C:\\src\\a.txt＝D:\\dst\\a.txt\n\n全ファイル（1個, 4バイト）、全ディレクトリ（0個）一致\n");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(sim::find("C:\\tools\\%"), nullptr);

    EXPECT_NE(support::runProgram({"/?"}).out.find("\n・現在設定=\n"), std::string::npos);
    support::runProgram({"/logC:\\work\\run.log", "C:\\src", "D:\\dst"});
    std::string log = sim::contentsOf("C:\\work\\run.log");
    EXPECT_NE(log.find("\nC:\\tools\\morvi.exe /logC:\\work\\run.log C:\\src D:\\dst\n"), std::string::npos) << log;
}

TEST_F(ConfigFile, UnknownExecutablePathStopsForLackOfMemory) {
    sim::machine().modulePath = "C:\\tools\\gone.exe";
    support::RunOutput run = support::runProgram({"C:\\src", "D:\\dst"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "\n\a処理停止:メモリー不足\n");
}

}  // namespace
