// Whole runs with skip, limit and destination filters over the simulated machine.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/machine.h"

namespace {

using Lines = std::vector<std::string>;

class FilterRun : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetMachine();
        sim::addVolume("D:\\");
    }

    // The same entry on both sides, with the same attributes and times.
    static sim::Node& pair(const std::string& rel, uint32_t attributes = os::ATTR_ARCHIVE,
                           os::FileTime written = 0) {
        sim::Node& dest = sim::addFile("D:\\dst\\" + rel, "same");
        sim::Node& source = sim::addFile("C:\\src\\" + rel, "same");
        dest.attributes = source.attributes = attributes;
        sim::setTimes(dest, written);
        sim::setTimes(source, written);
        return source;
    }
    static sim::Node& pairDir(const std::string& rel, uint32_t attributes = os::ATTR_DIRECTORY,
                              os::FileTime written = 0) {
        sim::Node& dest = sim::addDirectory("D:\\dst\\" + rel);
        sim::Node& source = sim::addDirectory("C:\\src\\" + rel);
        dest.attributes = source.attributes = attributes;
        sim::setTimes(dest, written);
        sim::setTimes(source, written);
        return source;
    }

    // The compared entries, as paths below the source root, in walk order.
    Lines compared(std::vector<std::string> options) {
        options.insert(options.begin(), {"C:\\src", "D:\\dst", "/d"});
        run = sim::runProgram(options);
        EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
        Lines found;
        std::istringstream text(run.out);
        const std::string head = "C:\\src\\";
        for (std::string line; std::getline(text, line);) {
            size_t at = line.find("＝D:\\dst\\");
            if (line.compare(0, head.size(), head) == 0 && at != std::string::npos)
                found.push_back(line.substr(head.size(), at - head.size()));
        }
        return found;
    }

    sim::RunOutput run;
};

TEST_F(FilterRun, TailSkipActsOnDirectoriesAndFiles) {
    pair("x\\bak\\inner.txt");
    pair("x\\ok.txt");
    pair("y\\bak");
    EXPECT_EQ(compared({"/stbak"}), (Lines{"x", "x\\ok.txt", "y"}));
}

TEST_F(FilterRun, HeadAndPathLimitsLetTheWalkReachTheirElement) {
    pair("a\\f.txt");
    pair("a\\sub\\g.txt");
    pair("b\\f.txt");
    pair("top.txt");
    EXPECT_EQ(compared({"/lhC:\\src\\a"}), (Lines{"a", "a\\f.txt", "a\\sub", "a\\sub\\g.txt"}));
    EXPECT_EQ(compared({"/lhC:\\src\\a\\*"}), (Lines{"a", "a\\f.txt", "a\\sub", "a\\sub\\g.txt"}));
    EXPECT_EQ(compared({"/lha\\sub"}), (Lines{"a", "a\\sub", "a\\sub\\g.txt"}));
    EXPECT_EQ(compared({"/lpC:\\src\\a\\f.txt"}), (Lines{"a", "a\\f.txt"}));
}

TEST_F(FilterRun, NameListsSplitBetweenDirectoriesAndFiles) {
    pair("keep\\a.log");
    pair("keep\\b.txt");
    pair("other\\c.txt");
    pair("keep.txt");
    // /ld acts on directories only, /sf on files only.
    EXPECT_EQ(compared({"/ldKEEP", "/sf*.log"}), (Lines{"keep", "keep\\b.txt", "keep.txt"}));
    EXPECT_EQ(compared({"/sdk*", "/lfkeep*"}), (Lines{"other", "keep.txt"}));
}

TEST_F(FilterRun, ExtensionLimitPassesFilesWithoutExtension) {
    pair("README");
    pair("x.doc");
    pair("y.TXT");
    EXPECT_EQ(compared({"/letxt"}), (Lines{"README", "y.TXT"}));
    EXPECT_EQ(compared({"/lEtxt"}), (Lines{"README"}));
}

TEST_F(FilterRun, SkipWinsOverLimit) {
    pairDir("d1", os::ATTR_DIRECTORY | os::ATTR_HIDDEN);
    pair("d1\\f.txt", os::ATTR_HIDDEN);
    pair("top.txt", os::ATTR_HIDDEN | os::ATTR_ARCHIVE);
    pair("plain.txt");
    EXPECT_EQ(compared({"/sad", "/lah"}), (Lines{"top.txt"}));
}

TEST_F(FilterRun, AttributeMasksAndUnreadableWords) {
    pairDir("rod", os::ATTR_DIRECTORY | os::ATTR_READONLY);
    pair("rod\\in.txt");
    pairDir("rwd");
    pair("ro.txt", os::ATTR_READONLY | os::ATTR_ARCHIVE);
    pair("rw.txt");
    pair("bad.txt").attributesFail = true;
    EXPECT_EQ(compared({"/sar,dr"}), (Lines{"rwd", "rw.txt", "bad.txt"}));
    // No directory mask: directories pass; the unreadable word admits nothing.
    EXPECT_EQ(compared({"/lar"}), (Lines{"rod", "rwd", "ro.txt"}));
    EXPECT_EQ(compared({"/law"}), (Lines{"rod", "rod\\in.txt", "rwd", "rw.txt"}));
}

TEST_F(FilterRun, DestinationFilters) {
    pair("a\\f.txt");
    pair("a\\g.txt");
    pair("b\\f.txt");
    pair("x.txt");
    EXPECT_EQ(compared({"/dsha,x.txt"}), (Lines{"b", "b\\f.txt"}));
    EXPECT_EQ(compared({"/dlhD:\\dst\\a"}), (Lines{"a", "a\\f.txt", "a\\g.txt"}));
    EXPECT_EQ(compared({"/dlpa\\f.txt"}), (Lines{"a", "a\\f.txt"}));
}

TEST_F(FilterRun, DirectoryDateLimitLeavesFilesAlone) {
    os::FileTime in2005 = sim::fileTimeOf(2005, 6, 1);
    os::FileTime in2006 = sim::fileTimeOf(2006, 6, 1);
    os::FileTime in1999 = sim::fileTimeOf(1999, 6, 1);
    pairDir("d2005", os::ATTR_DIRECTORY, in2005);
    pair("d2005\\old.txt", os::ATTR_ARCHIVE, in1999);
    pairDir("d2006", os::ATTR_DIRECTORY, in2006);
    pair("d2006\\new.txt", os::ATTR_ARCHIVE, in2005);
    pair("old.txt", os::ATTR_ARCHIVE, in1999);
    EXPECT_EQ(compared({"/lyd2005"}), (Lines{"d2005", "d2005\\old.txt", "old.txt"}));
}

TEST_F(FilterRun, FileDatesAreLocalTime) {
    // Local time is UTC minus the bias; the milliseconds do not count.
    int biasHours = -sim::machine().timeZoneBiasMinutes / 60;
    ASSERT_EQ(sim::machine().timeZoneBiasMinutes % 60, 0);
    pair("in.txt", os::ATTR_ARCHIVE, sim::fileTimeOf(2001, 3, 15, 12 - biasHours, 30, 45, 999));
    pair("late.txt", os::ATTR_ARCHIVE, sim::fileTimeOf(2001, 3, 15, 12 - biasHours, 30, 46));
    EXPECT_EQ(compared({"/ly20010315123045"}), (Lines{"in.txt"}));
    EXPECT_EQ(compared({"/ly-20010315123045"}), (Lines{"in.txt"}));
    EXPECT_EQ(compared({"/ly20010315123046-"}), (Lines{"late.txt"}));
}

}  // namespace
