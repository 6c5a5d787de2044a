// Whole runs over the simulated machine that walk a source tree beside its destination.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "support/program_run.h"

namespace {

using Lines = std::vector<std::string>;

class TreeWalk : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetMachine();
        sim::addVolume("D:\\");
    }

    // A directory if path ends in a backslash, else a file.
    static sim::Node& add(const std::string& path, const std::string& contents = "b") {
        return path.back() == '\\' ? sim::addDirectory(path) : sim::addFile(path, contents);
    }
    // The same entry below both roots; the source's node.
    static sim::Node& pair(const std::string& rel, const std::string& contents = "same",
                           uint32_t attributes = os::ATTR_ARCHIVE, os::FileTime written = 0) {
        sim::Node* node = nullptr;
        for (const std::string root : {"D:\\dst\\", "C:\\src\\"}) {
            node = &add(root + rel, contents);
            node->attributes = attributes | (node->attributes & os::ATTR_DIRECTORY);
            if (written != 0) sim::setTimes(*node, written);
        }
        return *node;
    }

    // The result lines (those naming the source tree), in order.
    Lines walk(std::vector<std::string> options, const char* source = "C:\\src", const char* dest = "D:\\dst") {
        options.insert(options.begin(), {source, dest});
        run = support::runProgram(options);
        Lines found;
        std::istringstream text(run.out);
        for (std::string line; std::getline(text, line);)
            if (line.find("C:\\src") != std::string::npos) found.push_back(line);
        return found;
    }

    support::RunOutput run;
};

std::string same(const std::string& rel) { return "C:\\src\\" + rel + "＝D:\\dst\\" + rel; }
std::string differ(const std::string& label, const std::string& rel, const std::string& destRel) {
    return label + "C:\\src\\" + rel + "≠D:\\dst\\" + destRel;
}
// count levels of directories, each named width times one letter.
std::string levels(int count, size_t width) {
    std::string rel;
    for (int level = 0; level < count; ++level) rel += std::string(width, static_cast<char>('a' + level % 26)) + "\\";
    return rel;
}

// Beside a.txt and sub\b.txt, the destination lacks sub or has another kind or spelling of
// an entry: its label, the walk going on with /c (exit 2) or stopping without (exit 1).
TEST_F(TreeWalk, MismatchingKindsAndMissingDestinations) {
    const std::string DIR_MISSING = "照合先DIRなし ";
    const struct {
        std::vector<std::string> options;
        std::string destEntry;  // a directory if it ends in a backslash
        Lines lines;
        int exitCode;
        bool hiddenSub = false;
    } cases[] = {
        // directories not compared themselves: the walker's own line, its subtree skipped
        {{"/d", "/ff", "/c"}, "", {same("a.txt"), differ(DIR_MISSING, "sub\\", "sub\\")}, 2},
        // compared: the entry comparison reports it with the same label
        {{"/d", "/c"}, "", {same("a.txt"), differ(DIR_MISSING, "sub", "sub")}, 2},
        {{"/d", "/ff", "/c"}, "sub", {same("a.txt"), differ("DIR同名ファイル存在 ", "sub\\", "sub\\")}, 2},
        {{"/d", "/ff"}, "sub\\b.txt\\", {same("a.txt"), differ("ファイル同名DIR存在 ", "sub\\b.txt", "sub\\b.txt")}, 1},
        // the destination path takes the destination's own spelling of the name
        {{"/d", "/ff", "/c"}, "sub\\B.TXT", {same("a.txt"), differ("ファイル名大小不一致 ", "sub\\b.txt", "sub\\B.TXT")}, 2},
        // a mismatching directory is not descended into, with /c too
        {{"/d", "/c"}, "sub\\b.txt", {same("a.txt"), differ("DIR属性不一致 ", "sub", "sub")}, 2, true},
    };
    for (const auto& c : cases) {
        SetUp();
        pair("a.txt");
        sim::addFile("C:\\src\\sub\\b.txt", "b");
        if (!c.destEntry.empty()) add("D:\\dst\\" + c.destEntry);
        if (c.hiddenSub) sim::find("D:\\dst\\sub")->attributes |= os::ATTR_HIDDEN;
        const Lines found = walk(c.options);
        SCOPED_TRACE(run.out);
        EXPECT_EQ(found, c.lines);
        EXPECT_EQ(run.exitCode, c.exitCode);
    }
    SetUp();
    pair("a.txt");
    EXPECT_EQ(walk({}, "C:\\src", "D:\\nothing"), Lines{"照合先DIRなし C:\\src\\≠D:\\nothing\\"});
    EXPECT_EQ(run.exitCode, 1);
}

// A single file never stops early: a mismatch gives 2 without /c.
TEST_F(TreeWalk, SingleFile) {
    pair("a.txt");
    EXPECT_EQ(walk({}, "C:\\src\\gone.txt"), Lines{"照合元なし C:\\src\\gone.txt≠D:\\dst"});
    EXPECT_EQ(run.exitCode, 2);
    // the name as given differs in case: compared with folding, silently passed over without
    EXPECT_EQ(walk({}, "C:\\src\\A.TXT"), Lines{same("a.txt")});
    EXPECT_EQ(walk({"/case"}, "C:\\src\\A.TXT"), Lines{});
    EXPECT_EQ(run.exitCode, 0);
}

// An unreadable attribute word passes skips and fails limits; with no directory mask
// directories pass.
TEST_F(TreeWalk, AttributeMasksAndUnreadableWords) {
    pair("rod\\", "", os::ATTR_READONLY);
    pair("rod\\in.txt");
    pair("rwd\\", "", 0);
    pair("ro.txt", "same", os::ATTR_READONLY | os::ATTR_ARCHIVE);
    pair("bad.txt").attributesFail = true;
    EXPECT_EQ(walk({"/d", "/sar,dr"}), (Lines{same("rwd"), same("bad.txt")}));
    EXPECT_EQ(walk({"/d", "/lar"}), (Lines{same("rod"), same("rwd"), same("ro.txt")}));
    EXPECT_EQ(run.exitCode, 0);
}

// Local time is UTC minus the bias; the milliseconds do not count.
TEST_F(TreeWalk, FileDatesAreLocalTime) {
    const int64_t bias = sim::machine().timeZoneBiasMinutes * int64_t{600000000};  // UTC = local + bias
    pair("in.txt", "same", os::ATTR_ARCHIVE, sim::fileTimeOf(2001, 3, 15, 12, 30, 45, 999) + bias);
    pair("late.txt", "same", os::ATTR_ARCHIVE, sim::fileTimeOf(2001, 3, 15, 12, 30, 46) + bias);
    EXPECT_EQ(walk({"/ly-20010315123045"}), Lines{same("in.txt")});
    EXPECT_EQ(walk({"/ly20010315123046-"}), Lines{same("late.txt")});
    EXPECT_EQ(run.exitCode, 0);
}

// Listing and opening go through the 8.3 spellings, each side its own; lines show long names.
TEST_F(TreeWalk, AlternatePathsCarryEachSidesShortNames) {
    pair("Long Folder Name\\file.txt", "f");
    sim::find("C:\\src\\Long Folder Name")->altName = sim::wide("LONGFO~1");
    sim::find("D:\\dst\\Long Folder Name")->altName = sim::wide("LONGFO~2");
    EXPECT_EQ(walk({"/d", "/ff"}), Lines{same("Long Folder Name\\file.txt")});
    EXPECT_TRUE(run.hasEvent("open C:\\src\\LONGFO~1\\file.txt"));
    EXPECT_TRUE(run.hasEvent("open D:\\dst\\LONGFO~2\\file.txt"));
    EXPECT_EQ(run.exitCode, 0);
}

// Long names past the paths' first capacities and three hundred levels; once the path
// buffers have grown to the longest path, entries (and the content buffers) cost no allocation.
TEST_F(TreeWalk, DeepAndLongPathsAndNoAllocationPerEntry) {
    const std::string longest = levels(25, 200) + "long.txt", deepest = levels(300, 1) + "deep.txt";
    auto allocations = [&](int count) {  // count directories of count files each
        SetUp();
        pair(longest);
        pair(deepest);
        for (int k = 0; k < count * count; ++k)
            pair("dir" + std::to_string(k / count) + "\\file" + std::to_string(k % count) + ".txt",
                 std::string(static_cast<size_t>(1 + k % 700), 'c'));
        const Lines found = walk({"/d"});
        EXPECT_EQ(found.size(), static_cast<size_t>(count * (count + 1) + 25 + 300 + 2));
        EXPECT_NE(std::find(found.begin(), found.end(), same(longest)), found.end());
        EXPECT_NE(std::find(found.begin(), found.end(), same(deepest)), found.end());
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return std::stoi(run.events.back().substr(sizeof "allocations"));  // the last event
    };
    const int few = allocations(2);
    EXPECT_GT(few, 0);
    EXPECT_EQ(allocations(100), few);
}

// An empty drive has nothing to list, not even "." and "..": it is empty, not vanished. Any
// other directory that cannot be listed, or lists nothing at all, has vanished.
TEST(SourceListing, OnlyAnEmptyVolumeRootListsNothing) {
    const struct {
        const char* source;
        const char* failing;  // the source directory whose listing fails
        bool nothing;         // it lists nothing (ERROR_FILE_NOT_FOUND) rather than failing
        const char* line;     // nullptr: no mismatch at all
    } cases[] = {
        {"E:\\", "E:\\", true, nullptr},
        {"E:\\", "E:\\", false, "照合元行方不明 E:\\≠F:\\"},
        {"E:\\", "E:\\d\\sub", true, "照合元行方不明 E:\\d\\sub\\≠F:\\d\\sub\\"},
        {"E:\\d", "E:\\d", true, "照合元行方不明 E:\\d\\≠F:\\"},
    };
    for (const auto& c : cases) {
        sim::resetMachine();
        sim::addVolume("E:\\");
        sim::addVolume("F:\\");
        if (std::string(c.source) != "E:\\" || std::string(c.failing) != "E:\\") {
            sim::addDirectory("E:\\d\\sub");
            sim::addDirectory("F:\\d\\sub");
        }
        sim::Node* failing = sim::find(c.failing);
        (c.nothing ? failing->listsNothing : failing->listingFails) = true;
        const support::RunOutput run = support::runProgram({"/d", "/c", "/ff", c.source, "F:\\"});
        const std::string expected = c.line ? std::string(c.line) + "\n" : "照合対象なし\n";
        EXPECT_NE(run.out.find(expected), std::string::npos) << c.failing << "\n" << run.out;
        EXPECT_EQ(run.exitCode, c.line ? 2 : 0) << c.failing;
    }
}

}  // namespace
