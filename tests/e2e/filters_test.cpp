// Filters on real trees under Wine, where the 32-bit program computes: the first and last
// seconds of date ranges, sizes past 63 bits, patterns of thousands of bytes, and option
// texts with double-byte characters whose second byte is a marker's.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <string>
#include <vector>

#include "support/wine_run.h"

namespace {

std::time_t localTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm fields{};
    fields.tm_year = year - 1900, fields.tm_mon = month - 1, fields.tm_mday = day;
    fields.tm_hour = hour, fields.tm_min = minute, fields.tm_sec = second;
    fields.tm_isdst = -1;
    return std::mktime(&fields);
}

// The result lines of a run, one per compared file: "内容不一致 S:\<name>≠T:\<name>".
std::vector<std::string> differing(const std::vector<std::string>& names) {
    std::vector<std::string> lines;
    for (const auto& name : names) lines.push_back("内容不一致 S:\\" + name + "≠T:\\" + name);
    return lines;
}

std::vector<std::string> resultLines(const e2e::WineRun& run) {
    std::vector<std::string> lines;
    for (const auto& line : e2e::splitLines(run.out))
        if (line.find("S:\\") != std::string::npos) lines.push_back(line);
    return lines;
}

// Each file is written at the second its name tells, with other contents on each side: a
// range that takes a file in shows it as differing.
TEST(DateRanges, TakeTheirFirstAndLastSecondsIn) {
    const e2e::Trees trees;
    const int seconds[][6] = {
        {2000, 12, 31, 23, 59, 59}, {2001, 1, 1, 0, 0, 0},       {2001, 2, 28, 23, 59, 59},
        {2001, 3, 1, 0, 0, 0},      {2001, 3, 15, 12, 30, 45},   {2001, 3, 15, 12, 30, 46},
        {2002, 12, 31, 0, 0, 0},    {2002, 12, 31, 23, 59, 59},  {2003, 1, 1, 0, 0, 0},
        {2005, 6, 30, 18, 45, 16},  {2005, 6, 30, 18, 45, 17},
    };
    std::vector<std::string> names;
    for (const auto& s : seconds) {
        char name[32];
        std::snprintf(name, sizeof name, "%04d%02d%02d%02d%02d%02d.txt", s[0], s[1], s[2], s[3], s[4], s[5]);
        names.push_back(name);
        const std::time_t written = localTime(s[0], s[1], s[2], s[3], s[4], s[5]);
        trees.both(name, "source", "destin", written);
    }
    const std::vector<std::string> years2001And2002(names.begin() + 1, names.begin() + 8);
    const struct {
        const char* range;
        std::vector<std::string> passing;
    } cases[] = {
        {"/ly2001-2002", years2001And2002},
        {"/ly2001-20021231235959", years2001And2002},
        {"/ly20021231-20021231", {"20021231000000.txt", "20021231235959.txt"}},
        {"/ly20010201-20010228", {"20010228235959.txt"}},
        {"/ly20050630184517-2006", {"20050630184517.txt"}},
        {"/ly20010315123045-20010315123045", {"20010315123045.txt"}},
    };
    for (const auto& c : cases) {
        e2e::WineRun run = e2e::runMorvi({"/d", "/c", "/f", c.range, "S:\\", "T:\\"});
        std::vector<std::string> got = resultLines(run);
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, differing(c.passing)) << c.range;
        EXPECT_EQ(run.exitCode, 2) << c.range;
    }
}

// A size that does not fit the 63 bits of a size is the largest size: it neither wraps to
// 0 nor turns into "no bound". The empty file differs in its time.
TEST(SizeRanges, SizesPast63BitsPassNoFile) {
    const e2e::Trees trees;
    trees.source.file("empty.txt", "");
    trees.dest.file("empty.txt", "", e2e::FIXED_WRITE_TIME - 3600);
    trees.both("five.txt", "12345", "54321");
    for (const char* range : {"/ls9223372036854775808-", "/ls18446744073709551616", "/ls99999999999999999999K-"}) {
        e2e::WineRun run = e2e::runMorvi({"/c", range, "S:\\", "T:\\"});
        EXPECT_EQ(run.out, e2e::lines({"照合対象なし"})) << range << "\n" << e2e::utf8(run.out);
        EXPECT_EQ(run.exitCode, 0) << range;
    }
}

// Eight stars and 4,400 more bytes against a 240-byte name: as a file name skip, as a tail
// skip written from the right, and as the source's pattern.
TEST(LongPatterns, AnswerWithinSeconds) {
    std::string name;  // every star stands on an "a" and searches every "b" after it
    for (int k = 0; k < 120; ++k) name += "ab";
    const e2e::Trees trees;
    trees.both(name, "source", "destin");
    std::string pattern;
    for (int k = 0; k < 8; ++k) pattern += "*b";
    pattern += std::string(4400, 'c');
    const std::string reversed(pattern.rbegin(), pattern.rend());
    const std::string compared = "内容不一致 S:\\" + name + "≠T:\\" + name;
    const struct {
        std::vector<std::string> arguments;
        std::string line;
        int exitCode;
    } cases[] = {
        {{"/c", "/sf" + pattern, "S:\\", "T:\\"}, compared, 2},
        {{"/c", "/st" + reversed, "S:\\", "T:\\"}, compared, 2},
        {{"/c", "S:\\" + pattern, "T:\\"}, "照合対象なし", 0},
    };
    for (const auto& c : cases) {
        const std::string what = c.arguments[1].substr(0, 3);
        const auto start = std::chrono::steady_clock::now();
        e2e::WineRun run = e2e::runMorvi(c.arguments, 30);  // killed after 30 s: exit code 124
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        EXPECT_LT(took.count(), 15.0) << what;
        EXPECT_EQ(run.out.substr(0, run.out.find("\r\n")), c.line) << what;
        EXPECT_EQ(run.exitCode, c.exitCode) << what;
    }
}

// 表 ends in 0x5C: in a~.表xx it is no separator, so the name has a 4-byte extension and
// is no 8.3 name; it is matched against long names and the differing file is compared.
// ゥ and ヅ end in D and d: as attribute elements they name no directory.
TEST(DoubleByteOptionTexts, SecondBytesAreNoMarkers) {
    const e2e::Trees trees;
    trees.both("al/a~.表xx", "source", "destin");
    e2e::WineRun alias = e2e::runMorvi({"/d", "/ff", "S:\\al\\a~.表xx", "T:\\al"});
    EXPECT_EQ(alias.out.substr(0, alias.out.find("\r\n")), "内容不一致 S:\\al\\a~.表xx≠T:\\al\\a~.表xx")
        << e2e::utf8(alias.out);
    EXPECT_EQ(alias.exitCode, 1);
    for (const char* element : {"/saゥ", "/saヅ"}) {
        e2e::WineRun run = e2e::runMorvi({"/d", "/c", "/ff", element, "S:\\", "T:\\"});
        EXPECT_EQ(resultLines(run), differing({"al\\a~.表xx"})) << e2e::utf8(element) << "\n" << e2e::utf8(run.out);
        EXPECT_EQ(run.exitCode, 2) << e2e::utf8(element);
    }
}

}  // namespace
