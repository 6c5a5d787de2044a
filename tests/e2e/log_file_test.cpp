// /log and /LOG on real trees, the log on a third drive: its exact Shift-JIS lines with
// CR LF ends, banners whose times lie within the run, appended runs, a log that cannot open.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <set>
#include <string>
#include <vector>

#include "support/wine_run.h"

using e2e::lines;
using e2e::TempDir;

namespace {

const char* const WEEKDAYS[] = {"日", "月", "火", "水", "木", "金", "土"};

std::string dateAndTime(std::time_t when) {
    std::tm local = *std::localtime(&when);
    char text[128];
    std::snprintf(text, sizeof text, "%d年%02d月%02d日(%s) %02d時%02d分%02d秒", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, WEEKDAYS[local.tm_wday], local.tm_hour, local.tm_min,
                  local.tm_sec);
    return text;
}

// Every start and end banner a run between the two moments may write.
struct Banners {
    std::set<std::string> starts, ends;
    Banners(std::time_t before, std::time_t after) {
        for (std::time_t start = before; start <= after; ++start) {
            starts.insert("morvi実行開始 " + dateAndTime(start) + " ［morvi 第1.62版］");
            for (std::time_t end = start; end <= after; ++end) {
                char elapsed[64];
                long seconds = static_cast<long>(end - start);
                std::snprintf(elapsed, sizeof elapsed, "（処理時間 %02ld時間%02ld分%02ld秒）", seconds / 3600,
                              seconds / 60 % 60, seconds % 60);
                ends.insert("morvi実行終了 " + dateAndTime(end) + elapsed);
            }
        }
    }
};

using e2e::joined;
using e2e::splitLines;

// The Windows spelling of the executable that scripts/morvi runs.
std::string morviExe() { return e2e::windowsPath(e2e::morviExe()); }

class LogFile : public ::testing::Test {
protected:
    void SetUp() override {
        e2e::mapDrive('s', source.path());
        e2e::mapDrive('t', dest.path());
        e2e::mapDrive('l', logs.path());
    }

    // Checks one run's lines in the log: the banners by the times around the run, the rest exactly.
    static void expectRun(const std::vector<std::string>& got, const std::vector<std::string>& body,
                          const Banners& banners) {
        ASSERT_EQ(got.size(), body.size() + 3) << joined(got);
        EXPECT_EQ(banners.starts.count(got.front()), 1u) << e2e::utf8(got.front());
        EXPECT_EQ(std::vector<std::string>(got.begin() + 1, got.end() - 2), body) << joined(got);
        EXPECT_EQ(got[got.size() - 2], "");
        EXPECT_EQ(banners.ends.count(got.back()), 1u) << e2e::utf8(got.back());
    }

    TempDir source, dest, logs;
};

TEST_F(LogFile, ANewLogHoldsTheWholeRunAndReplacesAnOldOne) {
    source.file("a.txt", "a\n");
    source.file("sub/b.txt", "b\n");
    dest.file("with space/a.txt", "a\n");
    dest.file("with space/sub/b.txt", "b\n");
    logs.file("run.log", "an earlier run\r\n");

    std::time_t before = std::time(nullptr);
    e2e::WineRun run = e2e::runMorvi({"/d", "/logL:\\run.log", "S:\\", "T:\\with space"});
    Banners banners(before, std::time(nullptr));

    std::vector<std::string> results = {"S:\\a.txt＝T:\\with space\\a.txt", "S:\\sub＝T:\\with space\\sub",
                                        "S:\\sub\\b.txt＝T:\\with space\\sub\\b.txt", "",
                                        "全ファイル（2個, 4バイト）、全ディレクトリ（1個）一致"};
    EXPECT_EQ(run.out, lines(results)) << e2e::utf8(run.out);
    EXPECT_EQ(run.exitCode, 0);

    std::vector<std::string> body = {morviExe() + " /d /logL:\\run.log S:\\ \"T:\\with space\"", ""};
    body.insert(body.end(), results.begin(), results.end());
    body.push_back("照合元:キャッシュ使用なし(消去不能) S:\\");
    body.push_back("照合先:キャッシュ使用なし(消去不能) T:\\with space\\");
    expectRun(splitLines(e2e::readFile(logs.host("run.log"))), body, banners);
}

TEST_F(LogFile, AppendedRunsAreSeparatedByTheDashLineAndEachIsComplete) {
    source.file("a.txt", "a\n");
    dest.file("a.txt", "a\n");
    source.file("sub/b.txt", "b\n");
    dest.file("sub/b.txt", "B\n");
    const std::vector<std::string> arguments = {"/d", "/c", "/cache", "/LOGL:\\runs.log", "S:\\", "T:\\"};
    const std::vector<std::string> results = {"S:\\a.txt＝T:\\a.txt", "S:\\sub＝T:\\sub",
                                              "内容不一致 S:\\sub\\b.txt≠T:\\sub\\b.txt"};
    const std::vector<std::string> summary = {"ファイル2個（4バイト）中、1個不一致（2バイト）",
                                              "ディレクトリ1個中、0個不一致"};
    std::vector<std::string> console = results;
    console.push_back("");
    console.insert(console.end(), summary.begin(), summary.end());
    std::vector<std::string> body = {morviExe() + " /d /c /cache /LOGL:\\runs.log S:\\ T:\\", ""};
    body.insert(body.end(), results.begin(), results.end());
    body.push_back("");
    body.insert(body.end(), summary.begin(), summary.end());
    body.push_back("照合元:キャッシュ使用あり(消去なし) S:\\");
    body.push_back("照合先:キャッシュ使用あり(消去なし) T:\\");

    std::time_t before = std::time(nullptr);
    for (int run = 0; run < 2; ++run) {
        e2e::WineRun result = e2e::runMorvi(arguments);
        EXPECT_EQ(result.out, lines(console)) << e2e::utf8(result.out);
        EXPECT_EQ(result.exitCode, 2);
    }
    Banners banners(before, std::time(nullptr));

    std::vector<std::string> got = splitLines(e2e::readFile(logs.host("runs.log")));
    auto separator = std::find(got.begin(), got.end(), std::string(79, '-'));
    ASSERT_NE(separator, got.end()) << joined(got);
    EXPECT_EQ(std::count(got.begin(), got.end(), std::string(79, '-')), 1) << joined(got);
    expectRun(std::vector<std::string>(got.begin(), separator), body, banners);
    expectRun(std::vector<std::string>(separator + 1, got.end()), body, banners);
}

}  // namespace
