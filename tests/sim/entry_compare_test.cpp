// Whole runs over the simulated machine: one source file against its destination, each
// metadata test of the entry comparison in turn.
#include <gtest/gtest.h>

#include "platform/sim/machine.h"
#include "support/program_run.h"
#include "run/settings.h"

namespace {

const os::FileTime SECOND = 10000000;
const os::FileTime DAY = 86400 * SECOND;

// FAT keeps 2-second write times and only the date of the last access; CDFS whole seconds.
// The source has the archive bit: it counts only for the whole attribute word.
TEST(EntryCompare, EachMetadataDifferenceHasItsLabel) {
    const uint32_t A = os::ATTR_ARCHIVE, RO = os::ATTR_READONLY;
    const struct {
        const char* name;
        int compareTime, compareAttributes;
        const char* destFileSystem;
        os::FileTime write, creation, access;  // the destination's, after the source's
        uint32_t destAttributes;
        const char* label;  // nullptr: a match
    } cases[] = {
        {"write", 1, 3, "NTFS", SECOND, 0, 0, A, "書込日時不一致 "},
        {"creation ignored", 1, 3, "NTFS", 0, SECOND, 0, A, nullptr},
        {"creation", 2, 3, "NTFS", 0, SECOND, 0, A, "生成日時不一致 "},
        {"access", 2, 3, "NTFS", 0, 0, SECOND, A, "読出日付不一致 "},
        {"times off", 0, 3, "NTFS", SECOND, 0, 0, A, nullptr},
        {"FAT steps", 2, 3, "FAT32", SECOND, 0, DAY, A, nullptr},
        {"FAT write", 2, 3, "FAT32", 2 * SECOND, 0, DAY, A, "書込日時不一致 "},
        {"CDFS steps", 2, 3, "CDFS", SECOND / 2, SECOND / 3, SECOND - 1, A, nullptr},
        {"CDFS write", 2, 3, "CDFS", SECOND, SECOND / 3, SECOND - 1, A, "書込日時不一致 "},
        {"archive bit", 1, 1, "NTFS", 0, 0, 0, 0, nullptr},
        {"archive bit, whole word", 1, 2, "NTFS", 0, 0, 0, 0, "属性不一致 "},
        {"read-only", 1, 1, "NTFS", 0, 0, 0, A | RO, "属性不一致 "},
    };
    const Settings saved = settings;
    const os::FileTime noon = sim::fileTimeOf(2024, 3, 5, 12, 0, 0);
    for (const auto& c : cases) {
        sim::resetMachine();
        sim::addVolume("D:\\", c.destFileSystem);
        sim::setTimes(sim::addFile("C:\\src\\a.txt", "contents"), noon);
        sim::Node& dest = sim::addFile("D:\\dst\\a.txt", "contents");
        sim::setTimes(dest, noon + c.write, noon + c.creation, noon + c.access);
        dest.attributes = c.destAttributes;
        settings.compareTime = c.compareTime;
        settings.compareAttributes = c.compareAttributes;
        const support::RunOutput run = support::runProgram({"C:\\src\\a.txt", "D:\\dst\\a.txt"});
        const std::string pair = "C:\\src\\a.txt≠D:\\dst\\a.txt\n";
        EXPECT_EQ(run.out.substr(0, run.out.find('\n') + 1),
                  c.label ? c.label + pair : "C:\\src\\a.txt＝D:\\dst\\a.txt\n") << c.name;
        EXPECT_EQ(run.exitCode, c.label ? 2 : 0) << c.name;
        EXPECT_EQ(run.err, "") << c.name;
        settings = saved;
    }
}

}  // namespace
