// Whole runs over the simulated machine that walk a source tree beside its destination.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/machine.h"

namespace {

const char* const SOURCE = "C:\\src";
const char* const DEST = "D:\\dst";

class TreeWalk : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetMachine();
        sim::addVolume("D:\\");
    }

    // The same file on both sides; rel is the path below the two roots.
    static void pair(const std::string& rel, const std::string& contents = "same") {
        sim::addFile(std::string(SOURCE) + "\\" + rel, contents);
        sim::addFile(std::string(DEST) + "\\" + rel, contents);
    }
    static void pairDir(const std::string& rel) {
        sim::addDirectory(std::string(SOURCE) + "\\" + rel);
        sim::addDirectory(std::string(DEST) + "\\" + rel);
    }

    void walk(std::vector<std::string> options, const char* source = SOURCE, const char* dest = DEST) {
        options.insert(options.begin(), dest);
        options.insert(options.begin(), source);
        run = sim::runProgram(options);
    }

    // The result lines (those naming the source tree), in order.
    std::vector<std::string> lines() const {
        std::vector<std::string> found;
        std::istringstream text(run.out);
        for (std::string line; std::getline(text, line);)
            if (line.find("C:\\src") != std::string::npos) found.push_back(line);
        return found;
    }
    bool printed(const std::string& line) const {
        return run.out.find(line + "\n") != std::string::npos;
    }

    sim::RunOutput run;
};

std::string same(const std::string& rel) {
    return "C:\\src\\" + rel + "＝D:\\dst\\" + rel;
}
std::string differ(const std::string& label, const std::string& rel, const std::string& destRel) {
    return label + "C:\\src\\" + rel + "≠D:\\dst\\" + destRel;
}

TEST_F(TreeWalk, NestedDirectoriesDepthFirstInListingOrder) {
    pair("a.txt");
    pair("sub\\b.txt");
    pair("sub\\deeper\\c.txt");
    pair("z.txt");
    walk({"/d"});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(lines(), (std::vector<std::string>{same("a.txt"), same("sub"), same("sub\\b.txt"),
                                                 same("sub\\deeper"), same("sub\\deeper\\c.txt"),
                                                 same("z.txt")}));
    walk({});
    EXPECT_EQ(lines(), (std::vector<std::string>{same("a.txt"), same("z.txt")}));
    walk({"/d", "/fd"});
    EXPECT_EQ(lines(), (std::vector<std::string>{same("sub"), same("sub\\deeper")}));
    walk({"/d", "/ff"});
    EXPECT_EQ(lines(), (std::vector<std::string>{same("a.txt"), same("sub\\b.txt"),
                                                 same("sub\\deeper\\c.txt"), same("z.txt")}));
}

TEST_F(TreeWalk, MissingDestinationDirectory) {
    pair("a.txt");
    sim::addFile("C:\\src\\sub\\b.txt", "b");
    sim::addDirectory("D:\\dst");
    // directories not compared themselves: the walker's own line, its subtree skipped
    walk({"/d", "/ff", "/c"});
    EXPECT_EQ(lines(), (std::vector<std::string>{same("a.txt"),
                                                 differ("照合先DIRなし ", "sub\\", "sub\\")}));
    EXPECT_EQ(run.exitCode, 2);
    walk({"/d", "/ff"});
    EXPECT_EQ(run.exitCode, 1);
    walk({"/d", "/ff", "/c", "/v=ceksdf"});  // no n: counted, not shown
    EXPECT_EQ(lines(), std::vector<std::string>{same("a.txt")});
    EXPECT_EQ(run.exitCode, 2);
    // compared: the entry comparison reports it with the same label
    walk({"/d", "/c"});
    EXPECT_EQ(lines(), (std::vector<std::string>{same("a.txt"), differ("照合先DIRなし ", "sub", "sub")}));
    EXPECT_EQ(run.exitCode, 2);
}

TEST_F(TreeWalk, MissingDestinationRoot) {
    pair("a.txt");
    walk({}, SOURCE, "D:\\nothing");
    EXPECT_TRUE(printed("照合先DIRなし C:\\src\\≠D:\\nothing\\")) << run.out;
    EXPECT_EQ(run.exitCode, 1);
}

TEST_F(TreeWalk, DestinationFileWhereSourceHasDirectory) {
    pair("a.txt");
    sim::addFile("C:\\src\\sub\\b.txt", "b");
    sim::addFile("D:\\dst\\sub", "a file");
    walk({"/d", "/ff", "/c"});
    EXPECT_EQ(lines(), (std::vector<std::string>{same("a.txt"),
                                                 differ("DIR同名ファイル存在 ", "sub\\", "sub\\")}));
    EXPECT_TRUE(printed("  ディレクトリ同名ファイル1個存在")) << run.out;
    EXPECT_EQ(run.exitCode, 2);
    walk({"/d", "/ff"});
    EXPECT_EQ(run.exitCode, 1);
}

TEST_F(TreeWalk, SourceFileWhereDestinationHasDirectory) {
    sim::addFile("C:\\src\\a.txt", "a");
    sim::addDirectory("D:\\dst\\a.txt");
    walk({});
    EXPECT_EQ(lines(), std::vector<std::string>{differ("ファイル同名DIR存在 ", "a.txt", "a.txt")});
    EXPECT_EQ(run.exitCode, 1);
}

// The destination path takes the destination's own spelling of the name.
TEST_F(TreeWalk, DestinationDifferingInLetterCase) {
    sim::addFile("C:\\src\\a.txt", "a");
    sim::addFile("D:\\dst\\A.TXT", "a");
    walk({"/c"});
    EXPECT_EQ(lines(), std::vector<std::string>{differ("ファイル名大小不一致 ", "a.txt", "A.TXT")});
    EXPECT_EQ(run.exitCode, 2);
}

TEST_F(TreeWalk, FirstMismatchStopsTheWalkFromAnyDepth) {
    pair("a.txt", "aaaa");
    sim::addFile("C:\\src\\sub\\deeper\\c.txt", "xyz");
    sim::addFile("D:\\dst\\sub\\deeper\\c.txt", "xyZ");
    pair("sub\\deeper\\d.txt");
    pair("z.txt");
    walk({"/d", "/ff"});
    EXPECT_EQ(lines(), (std::vector<std::string>{same("a.txt"),
                                                 differ("内容不一致 ", "sub\\deeper\\c.txt", "sub\\deeper\\c.txt")}));
    // the totals include the pair that stopped the walk (bytes shown: those that matched)
    EXPECT_TRUE(printed("ファイル2個（4バイト）、ディレクトリ0個にて調査を中止しました。")) << run.out;
    EXPECT_EQ(run.exitCode, 1);

    walk({"/d", "/ff", "/c"});
    EXPECT_EQ(lines(), (std::vector<std::string>{same("a.txt"),
                                                 differ("内容不一致 ", "sub\\deeper\\c.txt", "sub\\deeper\\c.txt"),
                                                 same("sub\\deeper\\d.txt"), same("z.txt")}));
    EXPECT_TRUE(printed("ファイル4個（15バイト）中、1個不一致（3バイト）")) << run.out;
    EXPECT_EQ(run.exitCode, 2);
}

// A mismatching directory is not descended into, with /c too.
TEST_F(TreeWalk, MismatchingDirectoryIsNotWalked) {
    pair("sub\\b.txt");
    sim::find("D:\\dst\\sub")->attributes |= os::ATTR_HIDDEN;
    walk({"/d", "/c"});
    EXPECT_EQ(lines(), std::vector<std::string>{differ("DIR属性不一致 ", "sub", "sub")});
    EXPECT_EQ(run.exitCode, 2);
}

// A pattern or a plain file name is looked for in every directory.
TEST_F(TreeWalk, PatternAndNamedFileApplyToFilesOfEveryDirectory) {
    pair("a.txt");
    pair("a.doc");
    pair("sub\\a.txt");
    pair("sub\\a.doc");
    walk({"/d"}, "C:\\src\\*.txt");
    EXPECT_EQ(lines(), (std::vector<std::string>{same("a.txt"), same("sub\\a.txt")}));
    EXPECT_EQ(run.exitCode, 0);
    walk({"/d", "/ff"}, "C:\\src\\a.doc");
    EXPECT_EQ(lines(), (std::vector<std::string>{same("a.doc"), same("sub\\a.doc")}));
}

TEST_F(TreeWalk, SingleFile) {
    pair("a.txt");
    sim::addFile("D:\\dst\\other.txt", "same");
    sim::addFile("D:\\dst\\longer.txt", "same!");
    walk({}, "C:\\src\\a.txt");
    EXPECT_EQ(lines(), std::vector<std::string>{same("a.txt")});
    walk({}, "C:\\src\\a.txt", "D:\\dst\\other.txt");
    EXPECT_EQ(lines(), std::vector<std::string>{"C:\\src\\a.txt＝D:\\dst\\other.txt"});
    // never stops early: a mismatch gives 2 without /c
    walk({}, "C:\\src\\a.txt", "D:\\dst\\longer.txt");
    EXPECT_EQ(lines(), std::vector<std::string>{"サイズ不一致 C:\\src\\a.txt≠D:\\dst\\longer.txt"});
    EXPECT_EQ(run.exitCode, 2);
    walk({}, "C:\\src\\gone.txt");
    EXPECT_EQ(lines(), std::vector<std::string>{"照合元なし C:\\src\\gone.txt≠D:\\dst"});
    EXPECT_EQ(run.exitCode, 2);
    // the name as given differs in case: compared with folding, silently passed over without
    walk({}, "C:\\src\\A.TXT");
    EXPECT_EQ(lines(), std::vector<std::string>{same("a.txt")});
    walk({"/case"}, "C:\\src\\A.TXT");
    EXPECT_EQ(lines(), std::vector<std::string>{});
    EXPECT_EQ(run.exitCode, 0);
}

// Listing and opening go through the 8.3 spellings, each side its own; lines show long names.
TEST_F(TreeWalk, AlternatePathsCarryEachSidesShortNames) {
    sim::addFile("C:\\src\\Long Folder Name\\file.txt", "f");
    sim::addFile("D:\\dst\\Long Folder Name\\file.txt", "f");
    sim::find("C:\\src\\Long Folder Name")->altName = "LONGFO~1";
    sim::find("D:\\dst\\Long Folder Name")->altName = "LONGFO~2";
    walk({"/d", "/ff"});
    EXPECT_EQ(lines(), std::vector<std::string>{same("Long Folder Name\\file.txt")});
    EXPECT_TRUE(run.hasEvent("open C:\\src\\LONGFO~1\\file.txt"));
    EXPECT_TRUE(run.hasEvent("open D:\\dst\\LONGFO~2\\file.txt"));
    EXPECT_EQ(run.exitCode, 0);
}

// Long names past the paths' first capacities, and three hundred levels.
TEST_F(TreeWalk, DeepAndLongPaths) {
    std::string rel;
    for (int level = 0; level < 25; ++level) rel += std::string(200, static_cast<char>('a' + level)) + "\\";
    pair(rel + "deep.txt");
    walk({"/d", "/ff"});
    EXPECT_EQ(lines(), std::vector<std::string>{same(rel + "deep.txt")});
    SetUp();
    rel.clear();
    for (int level = 0; level < 300; ++level) rel += "d\\";
    pair(rel + "bottom.txt");
    walk({"/d"});
    std::vector<std::string> found = lines();
    ASSERT_EQ(found.size(), 301u);
    EXPECT_EQ(found.back(), same(rel + "bottom.txt"));
    EXPECT_EQ(run.exitCode, 0);
}

TEST_F(TreeWalk, UnreadableSourceDirectory) {
    pair("sub\\b.txt");
    pair("z.txt");
    sim::find("C:\\src\\sub")->listingFails = true;
    walk({"/d", "/ff", "/c"});
    EXPECT_EQ(lines(), (std::vector<std::string>{differ("照合元行方不明 ", "sub\\", "sub\\"), same("z.txt")}));
    EXPECT_EQ(run.exitCode, 2);
    walk({"/d", "/ff"});
    EXPECT_EQ(lines(), std::vector<std::string>{differ("照合元行方不明 ", "sub\\", "sub\\")});
    EXPECT_EQ(run.exitCode, 1);
}

int allocationsOf(const sim::RunOutput& run) {
    for (const std::string& event : run.events)
        if (event.rfind("allocations ", 0) == 0) return std::stoi(event.substr(12));
    return -1;
}

// Once the path buffers have grown to the longest path, entries cost no allocation.
TEST_F(TreeWalk, NoAllocationPerEntry) {
    auto tree = [](int directories, int filesEach) {
        sim::resetMachine();
        sim::addVolume("D:\\");
        std::string longPath;
        for (int level = 0; level < 8; ++level) longPath += std::string(200, 'x') + "\\";
        pair(longPath + "long.txt");
        for (int d = 0; d < directories; ++d)
            for (int f = 0; f < filesEach; ++f)
                pair("dir" + std::to_string(d) + "\\file" + std::to_string(f) + ".txt", "c");
    };
    tree(2, 2);
    walk({"/d"});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    int few = allocationsOf(run);
    tree(100, 100);
    walk({"/d"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(lines().size(), 10000u + 100u + 9u);
    EXPECT_EQ(allocationsOf(run), few);
}

}  // namespace

namespace {

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
