// Whole runs over the simulated machine: one source file against its destination, each
// metadata test of the entry comparison in turn.
#include <gtest/gtest.h>

#include "platform/sim/machine.h"
#include "run/settings.h"

namespace {

const os::FileTime NOON = sim::fileTimeOf(2024, 3, 5, 12, 0, 0);
const os::FileTime SECOND = 10000000;

class EntryCompare : public ::testing::Test {
protected:
    void SetUp() override {
        saved = settings;
        sim::resetMachine();
        sim::addVolume("D:\\");
        source = &sim::addFile("C:\\src\\a.txt", "contents");
        dest = &sim::addFile("D:\\dst\\a.txt", "contents");
        sim::setTimes(*source, NOON);
        sim::setTimes(*dest, NOON);
    }
    void TearDown() override { settings = saved; }

    // The first output line of a run comparing the two files.
    std::string firstLine() {
        run = sim::runProgram({"C:\\src\\a.txt", "D:\\dst\\a.txt"});
        return run.out.substr(0, run.out.find('\n') + 1);
    }

    Settings saved;
    sim::Node* source = nullptr;
    sim::Node* dest = nullptr;
    sim::RunOutput run;
};

const std::string MATCH = "C:\\src\\a.txt＝D:\\dst\\a.txt\n";
std::string mismatch(const std::string& label) { return label + "C:\\src\\a.txt≠D:\\dst\\a.txt\n"; }

TEST_F(EntryCompare, EqualPairMatchesWithExitZero) {
    EXPECT_EQ(firstLine(), MATCH);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
}

TEST_F(EntryCompare, EachMetadataDifferenceHasItsLabel) {
    struct Case {
        const char* name;
        void (*change)(sim::Node& dest);
        int compareTime;
        const char* label;
    };
    const Case cases[] = {
        {"size", [](sim::Node& d) { d.contents += "!"; }, 1, "サイズ不一致 "},
        {"write", [](sim::Node& d) { d.writeTime += SECOND; }, 1, "書込日時不一致 "},
        {"creation ignored", [](sim::Node& d) { d.creationTime += SECOND; }, 1, nullptr},
        {"creation", [](sim::Node& d) { d.creationTime += SECOND; }, 2, "生成日時不一致 "},
        {"access", [](sim::Node& d) { d.accessTime += SECOND; }, 2, "読出日付不一致 "},
        {"times off", [](sim::Node& d) { d.writeTime += SECOND; }, 0, nullptr},
    };
    for (const Case& c : cases) {
        SetUp();
        settings.compareTime = c.compareTime;
        c.change(*dest);
        std::string line = firstLine();
        EXPECT_EQ(line, c.label ? mismatch(c.label) : MATCH) << c.name;
        EXPECT_EQ(run.exitCode, c.label ? 2 : 0) << c.name;
        TearDown();
    }
}

TEST_F(EntryCompare, ArchiveBitCountsOnlyForTheWholeAttributeWord) {
    dest->attributes = 0;  // the source has the archive bit
    settings.compareAttributes = 1;
    EXPECT_EQ(firstLine(), MATCH);
    settings.compareAttributes = 2;
    EXPECT_EQ(firstLine(), mismatch("属性不一致 "));
    dest->attributes = os::ATTR_ARCHIVE | os::ATTR_READONLY;
    settings.compareAttributes = 1;
    EXPECT_EQ(firstLine(), mismatch("属性不一致 "));
}

TEST_F(EntryCompare, FatAgainstNtfsComparesInTwoSecondSteps) {
    sim::volumeOf("D:\\")->fileSystem = "FAT32";
    settings.compareTime = 2;
    dest->writeTime = NOON + SECOND;       // the same 2-second step
    dest->accessTime = NOON + 86400 * SECOND;  // FAT keeps only the date: never compared
    EXPECT_EQ(firstLine(), MATCH);
    dest->writeTime = NOON + 2 * SECOND;
    EXPECT_EQ(firstLine(), mismatch("書込日時不一致 "));
}

TEST_F(EntryCompare, NtfsAgainstCdfsComparesWholeSeconds) {
    sim::volumeOf("D:\\")->fileSystem = "CDFS";
    settings.compareTime = 2;
    dest->writeTime = NOON + SECOND / 2;
    dest->creationTime = NOON + SECOND / 3;
    dest->accessTime = NOON + SECOND - 1;
    EXPECT_EQ(firstLine(), MATCH);
    dest->writeTime = NOON + SECOND;
    EXPECT_EQ(firstLine(), mismatch("書込日時不一致 "));
}

TEST_F(EntryCompare, FileWhoseDestinationIsADirectory) {
    sim::addDirectory("D:\\twin\\a.txt");
    run = sim::runProgram({"C:\\src\\a.txt", "D:\\twin"});
    EXPECT_EQ(run.out.substr(0, run.out.find('\n') + 1),
              "ファイル同名DIR存在 C:\\src\\a.txt≠D:\\twin\\a.txt\n");
    EXPECT_EQ(run.exitCode, 2);
}

TEST_F(EntryCompare, SelectionsSkipInsteadOfReportingAMissingDestination) {
    sim::find("D:\\dst")->children.clear();
    EXPECT_EQ(firstLine(), mismatch("照合先なし "));
    settings.sameTimeOnly = 1;
    EXPECT_EQ(firstLine().find("照合先なし"), std::string::npos);
    EXPECT_EQ(run.exitCode, 0);
}

TEST_F(EntryCompare, TestModeReportsAMatchWithoutReading) {
    settings.testMode = 1;
    dest->contents = "CONTENTS";  // same size, other bytes
    EXPECT_EQ(firstLine(), MATCH);
    EXPECT_FALSE(run.hasEvent("open "));
}

}  // namespace
