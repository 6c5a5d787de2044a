// Whole runs over the simulated machine for the suspend inhibitor (standby queries refused,
// when it is stopped) and for the usage pages (when they appear, the configuration file
// and switch character they describe, the program name, and how they are paged).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/sim/machine.h"

namespace {

// The prompt as the pager leaves it; the explanation page quotes its text as well.
const std::string PROMPT = "(Continue,/All/Quit)";
const std::string ERASED_PROMPT = PROMPT + "\r" + std::string(PROMPT.size(), ' ') + "\r";
const std::string BANNER_TITLE = "morvi  ファイル照合コマンド\n";
const std::string EXIT_CODES =
    "【終了コード】\n"
    "0:エラーなし、照合成功\n"
    "1:エラー発生、照合中断\n"
    "2:エラー発生、照合継続\n";
const std::string LAST_LINE = "morvi /? …… 使用方法説明\n";

const os::Message QUERY_SUSPEND{nullptr, os::WM_POWERBROADCAST, os::PBT_APMQUERYSUSPEND, 0, {}};

int count(const std::string& text, const std::string& part) {
    int found = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++found;
    return found;
}

// Position of the first event that begins with the prefix; -1 when there is none.
int eventIndex(const sim::RunOutput& run, const std::string& prefix) {
    for (size_t k = 0; k < run.events.size(); ++k)
        if (run.events[k].compare(0, prefix.size(), prefix) == 0) return static_cast<int>(k);
    return -1;
}

void queueKeys(const std::string& characters) {
    for (char character : characters) {
        sim::Key key;
        key.character = static_cast<uint8_t>(character);
        sim::machine().keys.push_back(key);
    }
}

void buildPair(const std::string& destContents = "abc") {
    sim::resetMachine();
    sim::addVolume("D:\\");
    sim::addFile("C:\\src\\a.txt", "abc");
    sim::addFile("D:\\dst\\a.txt", destContents);
}

void writeConfig(const std::string& contents) { sim::addFile("C:\\tools\\morvi.cfg", contents); }

sim::RunOutput showHelpRedirected(const std::vector<std::string>& arguments = {"/?"}) {
    sim::RunOutput run = sim::runProgram(arguments);
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
        {"resume notice", {}, false, {nullptr, os::WM_POWERBROADCAST, 0x7, 0, {}},
         {"default procedure 0x218 0x7", "message 0x218 0x7 -> 0x0"}, {}},
        {"no power broadcast", {}, false, {nullptr, 0x0010, 0x0, 0, {}},
         {"default procedure 0x10 0x0", "message 0x10 0x0 -> 0x0"}, {}},
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
        sim::RunOutput run = sim::runProgram(arguments);
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
        queueKeys("cccccccc");
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {"C:\\src", "D:\\dst"});
        sim::RunOutput run = sim::runProgram(arguments);
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

// ---- When the help appears ---------------------------------------------------------

TEST(HelpRequest, IsShownWithExitCode1) {
    const std::vector<std::vector<std::string>> cases = {
        {}, {"/?"}, {"/Help/d"}, {"/d", "/c"}, {"C:\\src", "/?", "D:\\dst"}, {"/d", "/?x", "C:\\src"},
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(::testing::PrintToString(arguments));
        buildPair();
        sim::RunOutput run = showHelpRedirected(arguments);
        EXPECT_EQ(run.out.compare(0, BANNER_TITLE.size(), BANNER_TITLE), 0);
        EXPECT_NE(run.out.find(EXIT_CODES), std::string::npos);
        EXPECT_FALSE(run.hasEvent("thread created"));  // nothing of a run was started
    }
}

TEST(HelpRequest, IsNotAWordPrefixNorLaterThanAThirdPath) {
    buildPair();
    sim::RunOutput run = sim::runProgram({"/helpx", "C:\\src", "D:\\dst"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out.find("【終了コード】"), std::string::npos);
    EXPECT_NE(run.err.find("無効オプション  /helpx"), std::string::npos);

    run = sim::runProgram({"a", "b", "c", "/?"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("引数が 3つ以上指定されています。"), std::string::npos);
}

TEST(HelpRequest, IsShownDespiteBadConfigurationOptionsAndWithTheConfiguredSwitch) {
    buildPair();
    writeConfig("/nonsense\n");
    EXPECT_NE(showHelpRedirected().out.find(EXIT_CODES), std::string::npos);
    sim::find("C:\\tools\\morvi.cfg")->contents = "switch=-\n";
    EXPECT_NE(showHelpRedirected({"-?", "C:\\src", "D:\\dst"}).out.find(EXIT_CODES), std::string::npos);
}

// ---- What the pages say ------------------------------------------------------------

TEST(HelpPages, HoldEverySectionInOrder) {
    buildPair();
    sim::RunOutput run = showHelpRedirected();
    const std::vector<std::string> lines = {
        "morvi ［△ オプション群］□ 照合元［□ 照合先］\n",
        "/d  ;[ON ]  サブディレクトリ処理モード  subDirectory\n",
        "/?, /help ;使用方法説明（設定ファイルに登録不可） HELP\n",
        EXIT_CODES, "【解説】\n", "【注意】\n", "【ファイルとディレクトリの指定方法】\n",
        "【代替形式ファイル参照】\n", "【キャッシュ】\n", "【設定ファイル】\n",
        "【使用例】 ※f1, f2 はファイル、d1, d2, d3 はディレクトリ\n",
    };
    size_t from = 0;
    for (const std::string& line : lines) {
        SCOPED_TRACE(line);
        size_t at = run.out.find("\n" + line, from);
        ASSERT_NE(at, std::string::npos);
        from = at + 1;
    }
    EXPECT_GE(run.out.size(), LAST_LINE.size());
    EXPECT_EQ(run.out.substr(run.out.size() - LAST_LINE.size()), LAST_LINE);
    EXPECT_EQ(run.out.find(ERASED_PROMPT), std::string::npos);  // redirected: no prompt
    // The decided rules are explained: a vanished source, locking first, a cache not cleared.
    for (const char* rule : {"照合元行方不明", "ロック", "(消去不能)"}) EXPECT_NE(run.out.find(rule), std::string::npos);

    // The build date follows the version, as year-month-day.
    const std::string version = "  バージョン 1.62  作成日 ";
    size_t at = run.out.find(version);
    ASSERT_NE(at, std::string::npos);
    std::string date = run.out.substr(at + version.size(), 11);
    for (char& digit : date) digit = isdigit(static_cast<unsigned char>(digit)) ? '9' : digit;
    EXPECT_EQ(date, "9999-99-99\n");
}

TEST(HelpPages, ShowTheConfigurationFile) {
    struct Case {
        const char* name;
        const char* contents;  // nullptr: no file
        std::string expected;
    };
    const Case cases[] = {
        {"no file", nullptr,
         "・設定ファイル=C:\\tools\\morvi.cfg\n"
         "・現在設定=設定ファイルが存在しません。\n"
         "・スイッチ文字= / のみが使用可能。\n"},
        {"options, one with a blank, comments and other lines",
         "  /d/c   # both\r\n/shc:\\Program Files\r\nnot an option\r\n; /x\r\n/v=%MODE%",
         "・現在設定=/d/c \"/shc:\\Program Files\" /v=e\n"},
        {"switch character", "switch = -\n-d\n/c\n",
         "・現在設定=-d /c\n"
         "・スイッチ文字= / 及び - が使用可能。\n"
         "  /p と -p は意味が同じになります。\n"
         "  /f/p と -f -p は意味が同じになります。\n"
         "  -スイッチではオプションの区切に空白が必須です。\n"},
        {"switch line without a character", "switch=\n/d\n",
         "・現在設定=/d\n・スイッチ文字= / のみが使用可能。\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        buildPair();
        sim::machine().environment.push_back({"MODE", "e"});
        if (c.contents != nullptr) writeConfig(c.contents);
        sim::RunOutput run = showHelpRedirected();
        EXPECT_NE(run.out.find("\n" + c.expected), std::string::npos);
    }
}

// The last character's second byte is a backslash: no separator.
TEST(HelpPages, NameTheProgramAfterTheExecutable) {
    buildPair();
    sim::machine().modulePath = "C:\\tools\\表.exe";
    sim::addFile("C:\\tools\\表.exe", "");
    sim::RunOutput run = showHelpRedirected();
    EXPECT_EQ(run.out.rfind("表  ", 0), 0u);
    EXPECT_NE(run.out.find("\n表 /d d1 d2 …… "), std::string::npos);
    EXPECT_NE(run.out.find("・設定ファイル=C:\\tools\\表.cfg\n"), std::string::npos);
    const std::string last = "表 /? …… 使用方法説明\n";
    EXPECT_EQ(run.out.substr(run.out.size() - last.size()), last);
}

// ---- Paging ------------------------------------------------------------------------

TEST(HelpPaging, PromptsBetweenPagesThatFitTheWindow) {
    buildPair();
    sim::machine().console = true;
    sim::machine().windowRows = 25;
    queueKeys(std::string(40, 'c'));
    sim::RunOutput run = showHelpRedirected();
    EXPECT_EQ(run.out.substr(run.out.size() - LAST_LINE.size()), LAST_LINE);

    // Split at the prompts; each page must fit the 25-row window beside its prompt and
    // no line may wrap at 80 columns.
    std::vector<std::string> pages;
    size_t from = 0;
    for (size_t at; (at = run.out.find(ERASED_PROMPT, from)) != std::string::npos;
         from = at + ERASED_PROMPT.size())
        pages.push_back(run.out.substr(from, at - from));
    pages.push_back(run.out.substr(from));
    EXPECT_EQ(pages.size(), 27u);
    for (size_t k = 0; k < pages.size(); ++k) {
        SCOPED_TRACE("page " + std::to_string(k + 1));
        EXPECT_LE(count(pages[k], "\n"), 23);
        size_t start = 0;
        for (size_t end; (end = pages[k].find('\n', start)) != std::string::npos; start = end + 1)
            EXPECT_LE(end - start, 79u) << pages[k].substr(start, end - start);
    }
}

TEST(HelpPaging, QuitEndsAtOnceAndAllRunsThrough) {
    buildPair();
    sim::machine().console = true;
    queueKeys("cq");
    sim::RunOutput run = showHelpRedirected();
    EXPECT_EQ(count(run.out, ERASED_PROMPT), 2);
    EXPECT_EQ(run.out.find("【終了コード】"), std::string::npos);

    buildPair();
    sim::machine().console = true;
    queueKeys("a");
    run = showHelpRedirected();
    EXPECT_EQ(count(run.out, ERASED_PROMPT), 1);
    EXPECT_EQ(run.out.substr(run.out.size() - LAST_LINE.size()), LAST_LINE);
}

}  // namespace
