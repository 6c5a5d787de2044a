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
        EXPECT_EQ(run.err, "") << c.name;
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

// FAT keeps 2-second write times and only the date of the last access; CDFS whole seconds.
TEST_F(EntryCompare, TimesAreComparedAtTheCoarserFileSystemsStep) {
    const struct {
        const char* fileSystem;
        os::FileTime write, creation, access, writeTooFar;
    } cases[] = {
        {"FAT32", NOON + SECOND, NOON, NOON + 86400 * SECOND, NOON + 2 * SECOND},
        {"CDFS", NOON + SECOND / 2, NOON + SECOND / 3, NOON + SECOND - 1, NOON + SECOND},
    };
    for (const auto& c : cases) {
        SetUp();
        sim::volumeOf("D:\\")->fileSystem = c.fileSystem;
        settings.compareTime = 2;
        dest->writeTime = c.write;
        dest->creationTime = c.creation;
        dest->accessTime = c.access;
        EXPECT_EQ(firstLine(), MATCH) << c.fileSystem;
        dest->writeTime = c.writeTooFar;
        EXPECT_EQ(firstLine(), mismatch("書込日時不一致 ")) << c.fileSystem;
        TearDown();
    }
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
