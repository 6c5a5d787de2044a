// Whole runs for the suspend inhibitor (standby queries refused, when it is stopped) and for
// the usage pages (when they appear, the switch character, the program name).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "support/program_run.h"

namespace {

const std::string EXIT_CODES = "【終了コード】\n0:エラーなし、照合成功\n1:エラー発生、照合中断\n2:エラー発生、照合継続\n";

const os::Message QUERY_SUSPEND{nullptr, os::WM_POWERBROADCAST, os::PBT_APMQUERYSUSPEND, 0, {}};

// Position of the first event that begins with the prefix; -1 when there is none.
int eventIndex(const support::RunOutput& run, const std::string& prefix) {
    for (size_t k = 0; k < run.events.size(); ++k)
        if (run.events[k].compare(0, prefix.size(), prefix) == 0) return static_cast<int>(k);
    return -1;
}

void buildPair(const std::string& destContents = "abc") {
    sim::resetMachine();
    sim::addVolume("D:\\");
    sim::addFile("C:\\src\\a.txt", "abc");
    sim::addFile("D:\\dst\\a.txt", destContents);
}

support::RunOutput showHelpRedirected(const std::vector<std::string>& arguments = {"/?"}) {
    support::RunOutput run = support::runProgram(arguments);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "");
    return run;
}

// ---- Suspend inhibitor -------------------------------------------------------------

TEST(SuspendInhibitor, RefusesAStandbyQueryAndPassesEveryOtherMessageOn) {
    struct Case {
        const char* name;
        std::vector<std::string> options;
        bool registerClassFails;
        os::Message message;
        std::vector<std::string> present, absent;
    };
    const Case cases[] = {
        {"standby query refused", {}, false, QUERY_SUSPEND,
         {"class registered suspend_deny", "window created suspend_deny []", "message 0x218 0x0 -> 0x424D5144",
          "thread priority -15", "thread waited 4294967295"},
         {"class unregistered"}},  // without /p the thread is only ended at the process exit
        {"/suspend starts nothing", {"/suspend"}, false, QUERY_SUSPEND, {},
         {"thread", "class registered", "message"}},
        {"refused class registration ends the thread, not the run", {}, true, QUERY_SUSPEND,
         {"thread routine ended 1"}, {"window created", "message"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        buildPair();
        sim::machine().registerClassFails = c.registerClassFails;
        sim::machine().windowMessages.push_back(c.message);
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {"C:\\src", "D:\\dst"});
        support::RunOutput run = support::runProgram(arguments);
        EXPECT_EQ(run.exitCode, 0);
        for (const std::string& event : c.present) EXPECT_TRUE(run.hasEvent(event)) << event;
        for (const std::string& event : c.absent) EXPECT_FALSE(run.hasEvent(event)) << event;
    }
}

// Stopped at the end only with /p and no log file, in a finished and in a stopped walk; a
// small console makes the totals prompt, so the key event shows where the totals stand.
TEST(SuspendInhibitor, StopsBeforeTheTotalsOnlyWithPagingAndNoLogFile) {
    struct Case {
        const char* name;
        std::vector<std::string> options;
        std::string destContents;
        int exitCode;
        bool stopped;
    };
    const Case cases[] = {
        {"paged", {"/suspend-", "/p"}, "abc", 0, true},
        {"paged, walk stopped at a mismatch", {"/p"}, "abd", 1, true},
        {"paged with a log file", {"/p", "/logC:\\work\\run.log"}, "abc", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        buildPair(c.destContents);
        sim::machine().console = true;
        sim::machine().windowRows = 4;
        sim::machine().keys.assign(8, sim::Key{os::KEY_EVENT, true, 'c'});
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {"C:\\src", "D:\\dst"});
        support::RunOutput run = support::runProgram(arguments);
        EXPECT_EQ(run.exitCode, c.exitCode);
        int unregistered = eventIndex(run, "class unregistered suspend_deny");
        if (!c.stopped) {
            EXPECT_EQ(unregistered, -1);
            continue;
        }
        // Raised from idle, asked to quit, waited for to the end, and only then the class goes.
        int raised = eventIndex(run, "thread priority 0");
        int asked = eventIndex(run, "thread quit");
        int ended = eventIndex(run, "thread waited 4294967295");
        ASSERT_GE(raised, 0);
        EXPECT_LT(raised, asked);
        EXPECT_LT(asked, ended);
        EXPECT_LT(ended, unregistered);
        int totalsPrompt = eventIndex(run, "key");
        ASSERT_GE(totalsPrompt, 0);
        EXPECT_LT(unregistered, totalsPrompt);
    }
}

// ---- The usage pages ---------------------------------------------------------------

// Help comes before any run starts, with or without paths, also despite bad file options.
TEST(HelpRequest, IsShownWithExitCode1) {
    const std::vector<std::vector<std::string>> cases = {
        {}, {"/Help/d"}, {"/d", "/c"}, {"C:\\src", "/?", "D:\\dst"}, {"/d", "/?x", "C:\\src"},
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(::testing::PrintToString(arguments));
        buildPair();
        sim::addFile("C:\\tools\\morvi.cfg", "/nonsense\n");
        support::RunOutput run = showHelpRedirected(arguments);
        EXPECT_EQ(run.out.rfind("morvi  ファイル照合コマンド\n", 0), 0u);
        EXPECT_NE(run.out.find(EXIT_CODES), std::string::npos);
        EXPECT_FALSE(run.hasEvent("thread created"));  // nothing of a run was started
    }
}

// A configured switch character is taken on the command line and described in the pages.
TEST(HelpPages, ShowTheConfiguredSwitchCharacter) {
    buildPair();
    sim::addFile("C:\\tools\\morvi.cfg", "switch = -\n-d\n/c\n");
    support::RunOutput run = showHelpRedirected({"-?", "C:\\src", "D:\\dst"});
    EXPECT_NE(run.out.find("\n・現在設定=-d /c\n"
                           "・スイッチ文字= / 及び - が使用可能。\n"
                           "  /p と -p は意味が同じになります。\n"
                           "  /f/p と -f -p は意味が同じになります。\n"
                           "  -スイッチではオプションの区切に空白が必須です。\n"),
              std::string::npos);
}

// The last character's second byte is a backslash: no separator.
TEST(HelpPages, NameTheProgramAfterTheExecutable) {
    buildPair();
    sim::machine().modulePath = "C:\\tools\\表.exe";
    sim::addFile("C:\\tools\\表.exe", "");
    support::RunOutput run = showHelpRedirected();
    EXPECT_EQ(run.out.rfind("表  ", 0), 0u);
    EXPECT_NE(run.out.find("\n表 /d d1 d2 …… "), std::string::npos);
    EXPECT_NE(run.out.find("・設定ファイル=C:\\tools\\表.cfg\n"), std::string::npos);
    EXPECT_THAT(run.out, ::testing::EndsWith("表 /? …… 使用方法説明\n"));
}

}  // namespace
