#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "output/console_output.h"
#include "output/messages.h"
#include "platform/sim/machine.h"
#include "run/settings.h"

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

sim::Key key(uint8_t character, bool typedEarly = false) {
    sim::Key k;
    k.character = character;
    k.typedEarly = typedEarly;
    return k;
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Runs a piece of the program in a child, as runProgram does for the whole command.
sim::RunOutput runInChild(const std::function<void()>& body) {
    std::string out = sim::machine().hostDir + "/piece.out";
    std::string err = sim::machine().hostDir + "/piece.err";
    std::fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
        int in = open("/dev/null", O_RDONLY);
        dup2(in, 0);
        dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        body();
        std::exit(0);
    }
    sim::RunOutput result;
    int status = 0;
    waitpid(child, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = slurp(out);
    result.err = slurp(err);
    return result;
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
    sim::RunOutput run = sim::runProgram({"/p", "C:\\src", "D:\\dst"});
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

TEST_F(Paging, AllShowsTheRestWithoutPrompts) {
    addPairs(70);
    sim::machine().keys.push_back(key('a'));
    sim::RunOutput run = sim::runProgram({"/p", "C:\\src", "D:\\dst"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(count(run.out, PROMPT), 1);
    EXPECT_NE(run.out.find(resultLine(69)), std::string::npos);
    EXPECT_NE(run.out.find(SUMMARY), std::string::npos);
}

TEST_F(Paging, QuitKeysEndWithExitCodeOneAndNoSummary) {
    addPairs(30);
    for (uint8_t quit : {uint8_t('q'), uint8_t('Q'), uint8_t(0x1B), uint8_t(0xC0)}) {
        sim::machine().keys = {key(quit)};
        sim::RunOutput run = sim::runProgram({"/p", "C:\\src", "D:\\dst"});
        EXPECT_EQ(run.exitCode, 1) << int(quit);
        EXPECT_EQ(run.out.substr(run.out.size() - ERASE.size()), ERASE) << int(quit);
        EXPECT_EQ(run.out.find(resultLine(23)), std::string::npos) << int(quit);
        EXPECT_EQ(run.out.find(SUMMARY), std::string::npos) << int(quit);
        EXPECT_EQ(run.err, "") << int(quit);
    }
}

TEST_F(Paging, KanaAAnswersAll) {
    addPairs(70);
    sim::machine().keys = {key(0xC1)};
    sim::RunOutput run = sim::runProgram({"/p", "C:\\src", "D:\\dst"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(count(run.out, PROMPT), 1);
}

TEST_F(Paging, KeysTypedBeforeThePromptAreNotTaken) {
    addPairs(30);
    sim::machine().keys = {key('q', true), key('a', true), key(' ')};
    sim::RunOutput run = sim::runProgram({"/p", "C:\\src", "D:\\dst"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.hasEvent("key 32"));
    EXPECT_NE(run.out.find(SUMMARY), std::string::npos);
}

TEST_F(Paging, RedirectedOutputNeverPrompts) {
    addPairs(70);
    sim::machine().console = false;
    sim::RunOutput run = sim::runProgram({"/p", "C:\\src", "D:\\dst"});  // no key given
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.find(PROMPT), std::string::npos);
    EXPECT_NE(run.out.find(SUMMARY), std::string::npos);
}

TEST_F(Paging, WithoutTheOptionNoPrompt) {
    addPairs(70);
    sim::RunOutput run = sim::runProgram({"C:\\src", "D:\\dst"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.find(PROMPT), std::string::npos);
}

TEST_F(Paging, LogHoldsEveryLinePrintedWhenTheUserQuits) {
    addPairs(30);
    sim::machine().keys = {key('q')};
    sim::RunOutput run = sim::runProgram({"/p", "/logC:\\work\\run.log", "C:\\src", "D:\\dst"});
    EXPECT_EQ(run.exitCode, 1);
    std::string log = sim::contentsOf("C:\\work\\run.log");
    EXPECT_NE(log.find(resultLine(22)), std::string::npos);
    EXPECT_EQ(log.find(resultLine(23)), std::string::npos);
    EXPECT_EQ(log.find("実行終了"), std::string::npos);
}

TEST_F(Paging, LogIsReopenedAfterEachPagedMessage) {
    addPairs(30);
    sim::machine().keys = {key('c')};
    sim::RunOutput run = sim::runProgram({"/p", "/logC:\\work\\run.log", "C:\\src", "D:\\dst"});
    EXPECT_EQ(run.exitCode, 0);
    std::string log = sim::contentsOf("C:\\work\\run.log");
    for (int k = 0; k < 30; ++k) EXPECT_NE(log.find(resultLine(k)), std::string::npos) << k;
    EXPECT_NE(log.find("実行終了"), std::string::npos);
}

// 22 one-line messages leave one row of the page.
void fillPage() {
    settings.pauseOutput = 1;
    pagerInit(1, 1);
    for (int k = 0; k < 22; ++k) writeOutput("line %d\n", k);
}

TEST_F(Paging, AMessageOfThreeLinesThatWouldCrossThePageEndPromptsFirst) {
    sim::machine().keys = {key('c')};
    std::string longLine(200, 'x');
    sim::RunOutput run = runInChild([&] {
        fillPage();
        writeOutput("%s\n", longLine.c_str());
    });
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("line 21\n" + PROMPT + ERASE + longLine + "\n"), std::string::npos);
}

TEST_F(Paging, AOneLineMessageNeverPromptsBeforeItIsPrinted) {
    sim::machine().keys = {key('c')};
    sim::RunOutput run = runInChild([] {
        fillPage();
        writeOutput("last\n");
        writeOutput("after\n");
    });
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("line 21\nlast\nafter\n" + PROMPT + ERASE), std::string::npos);
}

TEST_F(Paging, FatalErrorOnAFullPagePromptsBeforeItsMessage) {
    sim::machine().keys = {key('c')};
    sim::RunOutput run = runInChild([] {
        fillPage();
        fatalError("照合元ドライブにアクセス出来ません。");
    });
    EXPECT_EQ(run.exitCode, 1);
    std::string before = "エラー発生。続いてエラー情報を表示します(Continue,/All/Quit)";
    EXPECT_NE(run.out.find("line 21\n" + before), std::string::npos);
    EXPECT_EQ(run.err, "\n\a処理停止:照合元ドライブにアクセス出来ません。\n");
}

TEST_F(Paging, FatalErrorQuitAtTheFirstPromptShowsNoMessage) {
    sim::machine().keys = {key('q')};
    sim::RunOutput run = runInChild([] {
        fillPage();
        fatalError("照合元ドライブにアクセス出来ません。");
    });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "");
}

TEST_F(Paging, FatalErrorOnAFreshPageNeedsNoKey) {
    sim::RunOutput run = runInChild([] {
        settings.pauseOutput = 1;
        pagerInit(1, 1);
        fatalError("照合元ドライブにアクセス出来ません。");
    });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "\n\a処理停止:照合元ドライブにアクセス出来ません。\n");
}

class ConfigFile : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetMachine();
        sim::addVolume("D:\\");
        // A mismatch in a subdirectory, followed by a matching file: only /d finds the
        // mismatch, and only /c goes on to the later file.
        sim::addFile("C:\\src\\sub\\a.txt", "one");
        sim::addFile("D:\\dst\\sub\\a.txt", "two");
        sim::addFile("C:\\src\\sub\\b.txt", "same");
        sim::addFile("D:\\dst\\sub\\b.txt", "same");
    }
    static void config(const std::string& bytes) {
        if (sim::Node* file = sim::find("C:\\tools\\morvi.cfg"))
            file->contents = bytes;
        else
            sim::addFile("C:\\tools\\morvi.cfg", bytes);
    }
    static void expectSubdirectoriesAndContinue(const sim::RunOutput& run) {
        EXPECT_EQ(run.exitCode, 2) << run.err;
        EXPECT_NE(run.out.find("D:\\dst\\sub\\b.txt"), std::string::npos);
    }
};

TEST_F(ConfigFile, OptionLineWithCommentAppliesBothOptions) {
    config("# defaults\r\n  /d/c   # comment\r\n");
    expectSubdirectoriesAndContinue(sim::runProgram({"C:\\src", "D:\\dst"}));
}

TEST_F(ConfigFile, SwitchLineMakesTheCharacterLeadOptions) {
    config("switch = -\n");
    expectSubdirectoriesAndContinue(sim::runProgram({"-d/c", "C:\\src", "D:\\dst"}));
}

TEST_F(ConfigFile, SwitchCharacterLeadsOptionLinesOfTheFile) {
    config("switch=-\n-d\n-c\n");
    expectSubdirectoriesAndContinue(sim::runProgram({"C:\\src", "D:\\dst"}));
}

TEST_F(ConfigFile, CommandLineWinsOverTheFile) {
    config("/d/c\n");
    sim::RunOutput run = sim::runProgram({"/c-", "C:\\src", "D:\\dst"});
    EXPECT_EQ(run.exitCode, 1);
}

TEST_F(ConfigFile, EnvironmentReferenceInAnOptionLine) {
    sim::machine().environment = {{"LogDir", "C:\\work"}};
    config("/log%LOGDIR%\\run.log%NOTSET%\n");
    sim::RunOutput run = sim::runProgram({"C:\\src", "D:\\dst"});
    EXPECT_NE(sim::contentsOf("C:\\work\\run.log").find("実行開始"), std::string::npos);
}

TEST_F(ConfigFile, InvalidOptionIsReportedWithTheFilePrefix) {
    config("/d\n/zzz\n");
    sim::RunOutput run = sim::runProgram({"C:\\src", "D:\\dst"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.rfind("\n\a処理停止:設定ファイル無効オプション", 0), 0u) << run.err;
    EXPECT_EQ(run.out, "");
}

TEST_F(ConfigFile, FileErrorsNameTheirLine) {
    struct Case {
        const char* bytes;
        const char* message;
    } cases[] = {
        {"/d\n\n# \x7f\n", "3行目にバイナリ・データを検出しました。"},
        {"/d\nswitch=\x01\n", "2行目にバイナリ・データを検出しました。"},
        {"/d\n/c\x1a/d\n", "2行目にバイナリ・データを検出しました。"},
        {"a\n/d\nx\r\ny\n", "3行目に異なる改行コードを検出しました。"},
        {"a\r\n\r\nb\rc\r\n", "3行目に異なる改行コードを検出しました。"},
    };
    for (const Case& c : cases) {
        config(c.bytes);
        sim::RunOutput run = sim::runProgram({"C:\\src", "D:\\dst"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, std::string("\n\a処理停止:設定ファイル\"C:\\tools\\morvi.cfg\"が異常です。") +
                               c.message + "\n");
    }
}

TEST_F(ConfigFile, BrokenFileStopsBeforeTheHelp) {
    config("/d\x7f\n");
    sim::RunOutput run = sim::runProgram({"/?"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("1行目にバイナリ・データ"), std::string::npos);
}

TEST_F(ConfigFile, CrLfFileWithoutFinalLineEndAndCtrlZIsRead) {
    config("/d\r\n/c\x1a");
    expectSubdirectoriesAndContinue(sim::runProgram({"C:\\src", "D:\\dst"}));
}

TEST_F(ConfigFile, UnknownExecutablePathStopsForLackOfMemory) {
    sim::machine().modulePath = "C:\\tools\\gone.exe";
    sim::RunOutput run = sim::runProgram({"C:\\src", "D:\\dst"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "\n\a処理停止:メモリー不足\n");
}

}  // namespace
