// Whole runs over the simulated machine that walk a source tree beside its destination.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/machine.h"

namespace {

using Lines = std::vector<std::string>;

class TreeWalk : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetMachine();
        sim::addVolume("D:\\");
    }

    // The same entry on both sides (a directory if rel ends in a backslash); rel is the path
    // below the two roots.
    static sim::Node& pair(std::string rel, const std::string& contents = "same",
                           uint32_t attributes = os::ATTR_ARCHIVE, os::FileTime written = 0) {
        const bool directory = rel.back() == '\\';
        if (directory) rel.pop_back();
        sim::Node* node = nullptr;
        for (const std::string root : {"D:\\dst\\", "C:\\src\\"}) {
            node = directory ? &sim::addDirectory(root + rel) : &sim::addFile(root + rel, contents);
            node->attributes = attributes | (directory ? os::ATTR_DIRECTORY : 0);
            if (written != 0) sim::setTimes(*node, written);
        }
        return *node;
    }

    // The result lines (those naming the source tree), in order.
    Lines walk(std::vector<std::string> options, const char* source = "C:\\src", const char* dest = "D:\\dst") {
        options.insert(options.begin(), {source, dest});
        run = sim::runProgram(options);
        Lines found;
        std::istringstream text(run.out);
        for (std::string line; std::getline(text, line);)
            if (line.find("C:\\src") != std::string::npos) found.push_back(line);
        return found;
    }

    sim::RunOutput run;
};

std::string same(const std::string& rel) { return "C:\\src\\" + rel + "＝D:\\dst\\" + rel; }
std::string differ(const std::string& label, const std::string& rel, const std::string& destRel) {
    return label + "C:\\src\\" + rel + "≠D:\\dst\\" + destRel;
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
        {{"/d", "/c"}, "(sub hidden)", {same("a.txt"), differ("DIR属性不一致 ", "sub", "sub")}, 2},
    };
    for (const auto& c : cases) {
        SetUp();
        pair("a.txt");
        sim::addFile("C:\\src\\sub\\b.txt", "b");
        const std::string entry = "D:\\dst\\" + c.destEntry;
        if (c.destEntry == "(sub hidden)") {
            sim::addFile("D:\\dst\\sub\\b.txt", "b");
            sim::find("D:\\dst\\sub")->attributes |= os::ATTR_HIDDEN;
        } else if (!c.destEntry.empty()) {
            entry.back() == '\\' ? sim::addDirectory(entry.substr(0, entry.size() - 1)) : sim::addFile(entry, "b");
        }
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

TEST_F(TreeWalk, SingleFile) {
    pair("a.txt");
    sim::addFile("D:\\dst\\longer.txt", "same!");
    // never stops early: a mismatch gives 2 without /c
    EXPECT_EQ(walk({}, "C:\\src\\a.txt", "D:\\dst\\longer.txt"),
              Lines{"サイズ不一致 C:\\src\\a.txt≠D:\\dst\\longer.txt"});
    EXPECT_EQ(run.exitCode, 2);
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
    pair("rw.txt");
    pair("bad.txt").attributesFail = true;
    EXPECT_EQ(walk({"/d", "/sar,dr"}), (Lines{same("rwd"), same("rw.txt"), same("bad.txt")}));
    EXPECT_EQ(walk({"/d", "/lar"}), (Lines{same("rod"), same("rwd"), same("ro.txt")}));
    EXPECT_EQ(walk({"/d", "/law"}), (Lines{same("rod"), same("rod\\in.txt"), same("rwd"), same("rw.txt")}));
    EXPECT_EQ(run.exitCode, 0);
}

// Local time is UTC minus the bias; the milliseconds do not count.
TEST_F(TreeWalk, FileDatesAreLocalTime) {
    const int biasHours = -sim::machine().timeZoneBiasMinutes / 60;
    ASSERT_EQ(sim::machine().timeZoneBiasMinutes % 60, 0);
    pair("in.txt", "same", os::ATTR_ARCHIVE, sim::fileTimeOf(2001, 3, 15, 12 - biasHours, 30, 45, 999));
    pair("late.txt", "same", os::ATTR_ARCHIVE, sim::fileTimeOf(2001, 3, 15, 12 - biasHours, 30, 46));
    EXPECT_EQ(walk({"/ly20010315123045"}), Lines{same("in.txt")});
    EXPECT_EQ(walk({"/ly-20010315123045"}), Lines{same("in.txt")});
    EXPECT_EQ(walk({"/ly20010315123046-"}), Lines{same("late.txt")});
    EXPECT_EQ(run.exitCode, 0);
}

// Listing and opening go through the 8.3 spellings, each side its own; lines show long names.
TEST_F(TreeWalk, AlternatePathsCarryEachSidesShortNames) {
    pair("Long Folder Name\\file.txt", "f");
    sim::find("C:\\src\\Long Folder Name")->altName = "LONGFO~1";
    sim::find("D:\\dst\\Long Folder Name")->altName = "LONGFO~2";
    EXPECT_EQ(walk({"/d", "/ff"}), Lines{same("Long Folder Name\\file.txt")});
    EXPECT_TRUE(run.hasEvent("open C:\\src\\LONGFO~1\\file.txt"));
    EXPECT_TRUE(run.hasEvent("open D:\\dst\\LONGFO~2\\file.txt"));
    EXPECT_EQ(run.exitCode, 0);
}

// Long names past the paths' first capacities, and three hundred levels.
TEST_F(TreeWalk, DeepAndLongPaths) {
    std::string rel;
    for (int level = 0; level < 25; ++level) rel += std::string(200, static_cast<char>('a' + level)) + "\\";
    pair(rel + "deep.txt");
    EXPECT_EQ(walk({"/d", "/ff"}), Lines{same(rel + "deep.txt")});
    SetUp();
    rel.clear();
    for (int level = 0; level < 300; ++level) rel += "d\\";
    pair(rel + "bottom.txt");
    const Lines found = walk({"/d"});
    ASSERT_EQ(found.size(), 301u);
    EXPECT_EQ(found.back(), same(rel + "bottom.txt"));
    EXPECT_EQ(run.exitCode, 0);
}

// A source directory that cannot be listed has vanished: a mismatch, so exit 2 with /c.
TEST_F(TreeWalk, UnreadableSourceDirectory) {
    pair("sub\\b.txt");
    pair("z.txt");
    sim::find("C:\\src\\sub")->listingFails = true;
    const std::string vanished = differ("照合元行方不明 ", "sub\\", "sub\\");
    EXPECT_EQ(walk({"/d", "/ff", "/c"}), (Lines{vanished, same("z.txt")}));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(walk({"/d", "/ff"}), Lines{vanished});
    EXPECT_EQ(run.exitCode, 1);
}

// Once the path buffers have grown to the longest path, entries (and the content buffers)
// cost no allocation.
TEST_F(TreeWalk, NoAllocationPerEntry) {
    auto allocations = [this](int directories, int filesEach) {
        SetUp();
        std::string longPath;
        for (int level = 0; level < 8; ++level) longPath += std::string(200, 'x') + "\\";
        pair(longPath + "long.txt");
        for (int d = 0; d < directories; ++d)
            for (int f = 0; f < filesEach; ++f)
                pair("dir" + std::to_string(d) + "\\file" + std::to_string(f) + ".txt",
                     std::string(static_cast<size_t>(1 + (d * filesEach + f) % 700), 'c'));
        EXPECT_EQ(walk({"/d"}).size(), static_cast<size_t>(directories * (filesEach + 1) + 9));
        EXPECT_EQ(run.exitCode, 0) << run.err;
        for (const std::string& event : run.events)
            if (event.rfind("allocations ", 0) == 0) return std::stoi(event.substr(12));
        return -1;
    };
    const int few = allocations(2, 2);
    EXPECT_GT(few, 0);
    EXPECT_EQ(allocations(100, 100), few);
}

// An empty drive has nothing to list, not even "." and "..": it is empty, not vanished.
TEST(EmptyVolumeRoot, ListsNothingAndIsNoMismatch) {
    sim::resetMachine();
    sim::addVolume("E:\\");
    sim::addVolume("F:\\");
    sim::RunOutput run = sim::runProgram({"/d", "/c", "E:\\", "F:\\"});
    EXPECT_EQ(run.out.find("照合元行方不明"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("照合対象なし"), std::string::npos) << run.out;
    EXPECT_EQ(run.exitCode, 0);

    sim::find("E:\\")->listingFails = true;  // an unreadable root is still reported
    run = sim::runProgram({"/d", "/c", "E:\\", "F:\\"});
    EXPECT_NE(run.out.find("照合元行方不明 E:\\≠F:\\"), std::string::npos) << run.out;
    EXPECT_EQ(run.exitCode, 2);
}

}  // namespace
