// One run per filter family on real trees: each tree plants mismatches only in the entries
// its filter must leave out, so a filter that lets one through ends the run with exit 1.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "support/wine_run.h"

using e2e::lines;
using e2e::TempDir;

namespace {

namespace fs = std::filesystem;

struct FileSpec {
    std::string name, source;
    std::string dest = "";  // empty: the same as the source
    std::time_t time = e2e::FIXED_WRITE_TIME;
    bool readOnly = false;
};

struct FilterCase {
    const char* family;
    std::vector<std::string> options;
    std::vector<FileSpec> files;
    std::vector<std::string> out;
};

// Mid-June noon, far from any time zone's year end.
constexpr std::time_t JUNE_2000 = 961070400, JUNE_2001 = 992606400, JUNE_2002 = 1024142400,
                      JUNE_2003 = 1055678400;

TEST(FilterOptions, EachFamilyLeavesOutExactlyItsEntries) {
    const FilterCase cases[] = {
        {"skip by directory name and extension, shown with /v+k",
         {"/d", "/sdbak", "/seobj", "/v+k"},
         {{"a.txt", "a\n"},
          {"bak/x.txt", "x\n", "X\n"},
          {"sub/bak/y.txt", "y\n", "Y\n"},
          {"sub/c.obj", "c\n", "C\n"},
          {"sub/c.txt", "cc\n"}},
         {"S:\\a.txt＝T:\\a.txt", "DIR対象外 T:\\bak", "S:\\sub＝T:\\sub", "DIR対象外 T:\\sub\\bak",
          "対象外 S:\\sub\\c.obj≠T:\\sub\\c.obj", "S:\\sub\\c.txt＝T:\\sub\\c.txt", "",
          "全ファイル（2個, 5バイト）、全ディレクトリ（1個）一致"}},
        {"limit by a relative path head",
         {"/d", "/lhkeep"},
         {{"keep/a.txt", "a\n"},
          {"keep/deep/b.txt", "b\n"},
          {"other/c.txt", "c\n", "C\n"},
          {"top.txt", "t\n", "T\n"}},
         {"S:\\keep＝T:\\keep", "S:\\keep\\a.txt＝T:\\keep\\a.txt", "S:\\keep\\deep＝T:\\keep\\deep",
          "S:\\keep\\deep\\b.txt＝T:\\keep\\deep\\b.txt", "",
          "全ファイル（2個, 4バイト）、全ディレクトリ（2個）一致"}},
        {"destination skip by path head",
         {"/d", "/dshT:\\old"},
         {{"a.txt", "a\n"}, {"new/y.txt", "y\n"}, {"old/x.txt", "x\n", "X\n"}},
         {"S:\\a.txt＝T:\\a.txt", "S:\\new＝T:\\new", "S:\\new\\y.txt＝T:\\new\\y.txt", "",
          "全ファイル（2個, 4バイト）、全ディレクトリ（1個）一致"}},
        {"size from 1 KiB up, files only",
         {"/d", "/ls1K-"},
         {{"a.txt", std::string(2000, 'a')},
          {"b.txt", std::string(1024, 'b')},
          {"small.txt", "s\n", "S\n"},
          {"sub/tiny.txt", "t\n", "T\n"}},
         {"S:\\a.txt＝T:\\a.txt", "S:\\b.txt＝T:\\b.txt", "S:\\sub＝T:\\sub", "",
          "全ファイル（2個, 2.9K(3024)バイト）、全ディレクトリ（1個）一致"}},
        {"write date in 2001 or 2002",
         {"/ly2001-2002"},
         {{"y2000.txt", "2000\n", "2OOO\n", JUNE_2000},
          {"y2001.txt", "2001\n", "", JUNE_2001},
          {"y2002.txt", "2002\n", "", JUNE_2002},
          {"y2003.txt", "2003\n", "2OO3\n", JUNE_2003}},
         {"S:\\y2001.txt＝T:\\y2001.txt", "S:\\y2002.txt＝T:\\y2002.txt", "",
          "全ファイル（2個, 10バイト）、全ディレクトリ（0個）一致"}},
        {"read-only files skipped",
         {"/sar"},
         {{"ro.txt", "r\n", "R\n", e2e::FIXED_WRITE_TIME, true}, {"rw.txt", "w\n"}},
         {"S:\\rw.txt＝T:\\rw.txt", "", "全ファイル（1個, 2バイト）、全ディレクトリ（0個）一致"}},
    };
    for (const FilterCase& c : cases) {
        TempDir source, dest;
        for (const FileSpec& file : c.files) {
            source.file(file.name, file.source);
            dest.file(file.name, file.dest.empty() ? file.source : file.dest);
            source.setWriteTime(file.name, file.time);
            dest.setWriteTime(file.name, file.time);
            if (file.readOnly) {
                fs::permissions(source.host(file.name),
                                fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                                fs::perm_options::remove);
            }
        }
        e2e::mapDrive('s', source.path());
        e2e::mapDrive('t', dest.path());
        std::vector<std::string> arguments = c.options;
        arguments.push_back("S:\\");
        arguments.push_back("T:\\");
        e2e::WineRun run = e2e::runMorvi(arguments);
        EXPECT_EQ(run.out, lines(c.out)) << c.family << ":\n" << e2e::utf8(run.out);
        EXPECT_EQ(run.err, "") << c.family << ": " << e2e::utf8(run.err);
        EXPECT_EQ(run.exitCode, 0) << c.family;
    }
}

TEST(FilterOptions, APathFilterOutsideItsRootStopsTheRun) {
    TempDir source, dest;
    source.file("a.txt", "a\n");
    dest.file("a.txt", "a\n");
    e2e::mapDrive('s', source.path());
    e2e::mapDrive('t', dest.path());
    const std::pair<const char*, std::string> cases[] = {
        {"/shC:\\elsewhere", "オプション /shC:\\elsewhere のパスは照合元 S:\\ 以下ではありません。"},
        {"/dlhS:\\a.txt", "オプション /dlhS:\\a.txt のパスは照合先 T:\\ 以下ではありません。"},
    };
    for (const auto& [option, message] : cases) {
        e2e::WineRun run = e2e::runMorvi({"/d", option, "S:\\", "T:\\"});
        EXPECT_EQ(run.err, "\r\n\a処理停止:" + message + "\r\n") << option << ": " << e2e::utf8(run.err);
        EXPECT_EQ(run.out, "") << option;
        EXPECT_EQ(run.exitCode, 1) << option;
    }
}

}  // namespace
