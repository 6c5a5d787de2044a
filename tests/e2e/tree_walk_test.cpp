// Whole trees on two Wine drives: every entry's line, the planted mismatches, the stop
// without /c, source patterns and a source named by the 8.3 name Wine generates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "support/wine_run.h"

using e2e::TempDir;

namespace {

using e2e::joined;
using e2e::splitLines;

std::string windows(const std::string& relative) {
    std::string path = relative;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

struct Entry {
    std::string relative;  // '/' separated, Shift-JIS
    bool isDir;
    size_t size;
};

class TreeWalk : public ::testing::Test {
protected:
    void SetUp() override {
        // 10 directories of 20 files, a subdirectory with two more each and two long names:
        // 252 entries. 表 and ソ end in a byte 0x5C.
        const char* const dirs[] = {"d00", "d01", "d02", "d03", "d04", "d05", "d06", "d07", "日本語", "表"};
        for (const char* dir : dirs) {
            addDir(dir);
            for (int k = 0; k < 20; ++k) {
                char name[32];
                std::snprintf(name, sizeof name, k < 15 ? "/f%02d.txt" : "/g%02d.dat", k);
                addFile(dir + std::string(name), std::string(k * 7 + 1, 'a' + k));
            }
            addDir(dir + std::string("/sub"));
            addFile(dir + std::string("/sub/ソ.txt"), "so\n");
            addFile(dir + std::string("/sub/x.dat"), "x\n");
        }
        addFile("Long File Name.txt", "long one\n");
        addFile("d01/Long File Name.txt", "long two\n");
        e2e::mapDrive('s', source.path());
        e2e::mapDrive('t', dest.path());
    }

    void addDir(const std::string& relative) {
        source.dir(relative);
        dest.dir(relative);
        entries.push_back({relative, true, 0});
    }
    void addFile(const std::string& relative, const std::string& contents) {
        source.file(relative, contents);
        dest.file(relative, contents);
        entries.push_back({relative, false, contents.size()});
    }

    // Three differences: equal size, other size, missing in the destination.
    void plantDifferences() {
        dest.file("d03/f07.txt", std::string(50, 'X'));
        dest.file("表/sub/ソ.txt", "so so\n");
        std::remove(dest.host("日本語/g17.dat").c_str());
    }
    std::vector<std::string> plantedLines() const {
        return {"内容不一致 S:\\d03\\f07.txt≠T:\\d03\\f07.txt",
                "サイズ不一致 S:\\表\\sub\\ソ.txt≠T:\\表\\sub\\ソ.txt",
                "照合先なし S:\\日本語\\g17.dat≠T:\\日本語\\g17.dat"};
    }
    static std::string matchLine(const std::string& relative) {
        return "S:\\" + windows(relative) + "＝T:\\" + windows(relative);
    }

    TempDir source, dest;
    std::vector<Entry> entries;
};

TEST_F(TreeWalk, WithContinueEveryEntryHasItsLineAndOnlyThePlantedOnesDiffer) {
    ASSERT_GE(entries.size(), 200u);
    plantDifferences();
    e2e::WineRun run = e2e::runMorvi({"/d", "/c", "S:\\", "T:\\"});

    std::vector<std::string> expected = plantedLines();
    for (const Entry& entry : entries) {
        if (entry.relative != "d03/f07.txt" && entry.relative != "表/sub/ソ.txt" &&
            entry.relative != "日本語/g17.dat")
            expected.push_back(matchLine(entry.relative));
    }
    std::vector<std::string> got = splitLines(run.out);
    ASSERT_EQ(got.size(), expected.size() + 3) << e2e::utf8(run.out);
    std::vector<std::string> summary(got.end() - 3, got.end());
    got.resize(expected.size());
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(got, expected) << joined(got);
    // 222 files of 13568 bytes in 20 directories; the three planted ones hold 50 + 3 + 120.
    EXPECT_EQ(summary, (std::vector<std::string>{"", "ファイル222個（13.2K(13568)バイト）中、3個不一致（173バイト）",
                                                 "ディレクトリ20個中、0個不一致"}))
        << joined(summary);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.exitCode, 2);
}

TEST_F(TreeWalk, WithoutContinueTheFirstMismatchStopsTheWalk) {
    plantDifferences();
    e2e::WineRun run = e2e::runMorvi({"/d", "S:\\", "T:\\"});
    std::vector<std::string> got = splitLines(run.out);
    ASSERT_GE(got.size(), 3u) << e2e::utf8(run.out);
    std::vector<std::string> walked(got.begin(), got.end() - 2);
    ASSERT_FALSE(walked.empty());
    std::vector<std::string> planted = plantedLines();
    EXPECT_NE(std::find(planted.begin(), planted.end(), walked.back()), planted.end()) << joined(walked);

    // The stop line counts what was walked up to and including the mismatch; its bytes
    // leave out the mismatching file.
    unsigned files = 0, dirs = 0;
    uint64_t bytes = 0;
    for (size_t k = 0; k + 1 < walked.size(); ++k) {
        auto match = std::find_if(entries.begin(), entries.end(),
                                  [&](const Entry& entry) { return matchLine(entry.relative) == walked[k]; });
        ASSERT_NE(match, entries.end()) << "not a match line: " << e2e::utf8(walked[k]);
        (match->isDir ? dirs : files)++;
        bytes += match->size;
    }
    ++files;
    EXPECT_EQ(got[got.size() - 2], "");
    EXPECT_EQ(got.back(), "ファイル" + std::to_string(files) + "個（" + std::to_string(bytes) +
                              "バイト）、ディレクトリ" + std::to_string(dirs) + "個にて調査を中止しました。")
        << e2e::utf8(got.back());
    EXPECT_EQ(run.err, "\a");
    EXPECT_EQ(run.exitCode, 1);
}

TEST_F(TreeWalk, APatternSelectsMatchingFilesInEveryDirectoryAndNoDirectories) {
    plantDifferences();
    e2e::WineRun run = e2e::runMorvi({"/d", "/c", "S:\\*.txt", "T:\\"});
    std::vector<std::string> expected;
    for (const Entry& entry : entries) {
        if (entry.isDir || entry.relative.find(".txt") == std::string::npos) continue;
        if (entry.relative == "d03/f07.txt" || entry.relative == "表/sub/ソ.txt") continue;
        expected.push_back(matchLine(entry.relative));
    }
    expected.push_back(plantedLines()[0]);
    expected.push_back(plantedLines()[1]);
    std::vector<std::string> got = splitLines(run.out);
    ASSERT_EQ(got.size(), expected.size() + 3) << e2e::utf8(run.out);
    got.resize(expected.size());
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(got, expected) << joined(got);
    EXPECT_EQ(run.exitCode, 2);
}

TEST_F(TreeWalk, ASourceNamedByItsShortNameMatchesTheLongNamedFile) {
    std::string shortName = e2e::wineShortName("S:\\", "Long File Name.txt");
    ASSERT_FALSE(shortName.empty()) << "Wine gave no 8.3 name";
    ASSERT_NE(shortName.find('~'), std::string::npos) << shortName;

    // One file: found by its short name, reported and compared under its long name.
    e2e::WineRun single = e2e::runMorvi({"S:\\" + shortName, "T:\\"});
    EXPECT_EQ(single.out, e2e::lines({"S:\\Long File Name.txt＝T:\\Long File Name.txt", "",
                                      "全ファイル（1個, 9バイト）、全ディレクトリ（0個）一致"}))
        << shortName << ": " << e2e::utf8(single.out);
    EXPECT_EQ(single.exitCode, 0);

    // Through the tree: the short name is matched against every file's 8.3 name.
    e2e::WineRun walked = e2e::runMorvi({"/d", "/f", "S:\\" + shortName, "T:\\"});
    std::vector<std::string> got = splitLines(walked.out);
    ASSERT_EQ(got.size(), 4u) << e2e::utf8(walked.out);
    got.resize(2);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (std::vector<std::string>{"S:\\Long File Name.txt＝T:\\Long File Name.txt",
                                             "S:\\d01\\Long File Name.txt＝T:\\d01\\Long File Name.txt"}))
        << joined(got);
    EXPECT_EQ(walked.exitCode, 0);
}

}  // namespace
