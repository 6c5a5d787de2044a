// /log and /LOG on real trees, the log on a third drive: its exact Shift-JIS lines with
// CR LF ends, banners whose times lie within the run, a replaced and an appended run.
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

std::string dateAndTime(std::time_t when) {
    static const char* const weekdays[] = {"日", "月", "火", "水", "木", "金", "土"};
    std::tm t = *std::localtime(&when);
    char text[128];
    std::snprintf(text, sizeof text, "%d年%02d月%02d日(%s) %02d時%02d分%02d秒", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, weekdays[t.tm_wday], t.tm_hour, t.tm_min, t.tm_sec);
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

// One run's lines in the log: the banners by the times around the run, the rest exactly.
void expectRun(const std::vector<std::string>& got, const std::vector<std::string>& body, const Banners& banners) {
    ASSERT_EQ(got.size(), body.size() + 3);
    EXPECT_EQ(banners.starts.count(got.front()), 1u);
    EXPECT_EQ(std::vector<std::string>(got.begin() + 1, got.end() - 2), body);
    EXPECT_EQ(got[got.size() - 2], "");
    EXPECT_EQ(banners.ends.count(got.back()), 1u);
}

// /log replaces an old file; /LOG appends a whole run after one dash line.
TEST(LogFile, LogReplacesAnOldFileAndLOGAppendsACompleteRun) {
    const e2e::Trees trees;
    TempDir logs;
    e2e::mapDrive('l', logs.path());
    trees.source.file("a.txt", "a\n");
    trees.source.file("sub/b.txt", "b\n");
    trees.dest.file("with space/a.txt", "a\n");
    trees.dest.file("with space/sub/b.txt", "B\n");
    logs.file("run.log", "an earlier run\r\n");
    const std::vector<std::string> results = {
        "S:\\a.txt＝T:\\with space\\a.txt", "S:\\sub＝T:\\with space\\sub",
        "内容不一致 S:\\sub\\b.txt≠T:\\with space\\sub\\b.txt", "",
        "ファイル2個（4バイト）中、1個不一致（2バイト）", "ディレクトリ1個中、0個不一致"};

    std::time_t before = std::time(nullptr);
    std::vector<std::vector<std::string>> bodies;
    for (const std::string option : {"/logL:\\run.log", "/LOGL:\\run.log"}) {
        e2e::WineRun run = e2e::runMorvi({"/d", "/c", option, "S:\\", "T:\\with space"});
        EXPECT_EQ(run.out, lines(results)) << option << ": " << e2e::utf8(run.out);
        EXPECT_EQ(run.exitCode, 2) << option;
        std::vector<std::string> body = {e2e::morviExe() + " /d /c " + option + " S:\\ \"T:\\with space\"", ""};
        body.insert(body.end(), results.begin(), results.end());
        body.push_back("照合元:キャッシュ使用なし(消去不能) S:\\");
        body.push_back("照合先:キャッシュ使用なし(消去不能) T:\\with space\\");
        bodies.push_back(body);
    }
    Banners banners(before, std::time(nullptr));

    const std::string log = e2e::readFile(logs.host("run.log"));
    SCOPED_TRACE(e2e::utf8(log));
    std::vector<std::string> got = e2e::splitLines(log);
    auto separator = std::find(got.begin(), got.end(), std::string(79, '-'));
    ASSERT_NE(separator, got.end());
    EXPECT_EQ(std::count(got.begin(), got.end(), std::string(79, '-')), 1);
    expectRun(std::vector<std::string>(got.begin(), separator), bodies[0], banners);
    expectRun(std::vector<std::string>(separator + 1, got.end()), bodies[1], banners);
}

}  // namespace
