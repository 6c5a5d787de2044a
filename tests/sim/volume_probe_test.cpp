// The volume questions a run asks before its walk, and what the run makes of the answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "compare/volume_probe.h"
#include "platform/sim/machine.h"
#include "support/program_run.h"
#include "run/run_state.h"
#include "run/settings.h"
#include "run/volume_settlement.h"

namespace {

class VolumeProbe : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetMachine();
        settings = Settings{};
        runState = RunState{};
        runState.windowsNtVersion = 501;  // as the simulated machine answers
    }
    // Whole runs fork from this process: they must find the globals as the program starts.
    void TearDown() override {
        settings = Settings{};
        runState = RunState{};
    }
};

// Lock first, dismount only a locked volume.
TEST_F(VolumeProbe, ClearVolumeCache) {
    const std::vector<std::string> CLEARED = {"lock C:\\ ok", "dismount C:\\ ok", "unlock C:\\ ok"};
    const struct {
        const char* what;
        int32_t windowsNtVersion;  // 0: Windows 9x
        const char* path;
        bool lockSucceeds, dismountSucceeds, opensAsDevice, expected;
        std::vector<std::string> events;
    } cases[] = {
        {"folder of a local drive, NT 3.51", 351, "C:\\src\\", true, true, true, true, CLEARED},
        {"SUBST drive dismounts the drive beneath", 501, "S:\\", true, true, true, true, CLEARED},
        {"volume in use by another program", 501, "C:\\", false, true, true, false, {"lock C:\\ failed"}},
        {"dismount refused", 501, "C:\\", true, false, true, false,
         {"lock C:\\ ok", "dismount C:\\ failed", "unlock C:\\ ok"}},
        {"volume cannot be opened", 501, "C:\\", true, true, false, false, {}},
        {"network share", 501, "\\\\server\\share\\", true, true, true, false, {}},
        {"Windows 98", 0, "C:\\", true, true, true, false, {}},
    };
    for (const auto& c : cases) {
        SetUp();
        runState.windowsNtVersion = c.windowsNtVersion;
        sim::Volume& cDrive = *sim::machine().volumes[0];
        cDrive.lockSucceeds = c.lockSucceeds;
        cDrive.dismountSucceeds = c.dismountSucceeds;
        cDrive.opensAsDevice = c.opensAsDevice;
        sim::addVolume("S:\\").dosDevice = "\\??\\C:\\folder";
        sim::addVolume("\\\\server\\share\\");
        const auto& events = sim::machine().events;
        size_t start = events.size();
        EXPECT_EQ(clearVolumeCache(c.path), c.expected) << c.what;
        EXPECT_EQ(std::vector<std::string>(events.begin() + static_cast<long>(start), events.end()), c.events)
            << c.what;
    }
}

TEST_F(VolumeProbe, ToAltPath) {
    sim::addDirectory("C:\\Program Files").altName = sim::wide("PROGRA~1");
    sim::addDirectory("C:\\Program Files\\Long Name Folder").altName = sim::wide("LONGNA~1");
    sim::addDirectory("C:\\Closed Folder").altName = sim::wide("CLOSED~1");  // cannot be listed: stops there
    sim::addDirectory("C:\\Closed Folder\\Long Name Folder").altName = sim::wide("LONGNA~1");
    sim::find("C:\\Closed Folder")->listingFails = true;
    sim::addDirectory("C:\\ab cd").altName = sim::wide("ABCD~1");   // not shorter: the long name stays
    sim::addDirectory("C:\\表示するフォルダ").altName = sim::wide("HYOUJI~1");  // 表 ends in a backslash byte
    // ヂ and ア differ only in the case of their trail byte: different names.
    sim::addDirectory("C:\\ヂイテムの一覧").altName = sim::wide("DIITEM~1");
    sim::addVolume("\\\\server\\share\\");
    sim::addDirectory("\\\\server\\share\\Program Files").altName = sim::wide("PROGRA~1");

    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Program Files\\Long Name Folder\\", "C:\\PROGRA~1\\LONGNA~1\\"},
        {"C:\\Program Files\\Missing Folder\\Long Name Folder\\", "C:\\PROGRA~1\\Missing Folder\\Long Name Folder\\"},
        {"C:\\Closed Folder\\Long Name Folder\\", "C:\\CLOSED~1\\Long Name Folder\\"},
        {"C:\\ab cd\\", "C:\\ab cd\\"},
        {"C:\\表示するフォルダ\\", "C:\\HYOUJI~1\\"},
        {"C:\\アイテムの一覧\\", "C:\\アイテムの一覧\\"},
        {"\\\\server\\share\\Program Files\\", "\\\\server\\share\\PROGRA~1\\"},
    };
    for (const auto& [path, expected] : cases) {
        std::vector<char> output(std::string(path).size() + 1, '#');
        toAltPath(path, output.data());
        EXPECT_STREQ(output.data(), expected);
    }
}

void shapeVolume(sim::Volume& volume, uint32_t sector, uint32_t cluster) {
    volume.answers = sector != 0;
    volume.bytesPerSector = sector;
    volume.sectorsPerCluster = sector != 0 ? cluster / sector : 0;
}

TEST_F(VolumeProbe, NegotiateBlockSize) {
    const uint32_t BUFFERED = os::FLAG_RANDOM_ACCESS, UNBUFFERED = os::FLAG_NO_BUFFERING;
    const struct {
        const char* what;
        int32_t blockSize;
        uint32_t sourceFlags, destFlags;
        const char* sourcePath;
        uint32_t cSector, cCluster, dSector, dCluster;  // C: is the current drive; sector 0: no answer
        int32_t expected;
        uint32_t expectedSourceFlags, expectedDestFlags;
    } cases[] = {
        {"/bc takes the larger cluster", -2, BUFFERED, BUFFERED, "C:\\src\\", 512, 4096, 512, 32768, 32768, BUFFERED, BUFFERED},
        {"/cache- rounds to sectors", 100000, UNBUFFERED, UNBUFFERED, "C:\\src\\", 512, 4096, 512, 4096, 100352, UNBUFFERED, UNBUFFERED},
        {"one unbuffered side", 100000, BUFFERED, UNBUFFERED, "C:\\src\\", 512, 4096, 4096, 4096, 102400, BUFFERED, UNBUFFERED},
        {"/cache- unknown falls back buffered", 100000, UNBUFFERED, UNBUFFERED, "C:\\src\\", 512, 4096, 0, 0, 1048576, BUFFERED, BUFFERED},
        {"buffered keeps its size unasked", 100000, BUFFERED, BUFFERED, "C:\\src\\", 512, 4096, 0, 0, 100000, BUFFERED, BUFFERED},
        {"a share asks the current drive", -1, BUFFERED, BUFFERED, "\\\\server\\share\\", 2048, 4096, 512, 4096, 2048, BUFFERED, BUFFERED},
        {"largest count stays whole", 2147483647, UNBUFFERED, UNBUFFERED, "C:\\src\\", 512, 4096, 512, 4096, 2147483136, UNBUFFERED, UNBUFFERED},
    };
    for (const auto& c : cases) {
        SetUp();
        shapeVolume(*sim::machine().volumes[0], c.cSector, c.cCluster);
        shapeVolume(sim::addVolume("D:\\"), c.dSector, c.dCluster);
        shapeVolume(sim::addVolume("\\\\server\\share\\"), 4096, 65536);  // never asked for its sector size
        std::string source = c.sourcePath, dest = "D:\\dst\\";
        runState.source.path.text = source.data();
        runState.source.path.capacity = static_cast<int32_t>(source.size() + 1);
        runState.dest.path.text = dest.data();
        runState.dest.path.capacity = static_cast<int32_t>(dest.size() + 1);
        settings.blockSize = c.blockSize;
        settings.sourceOpenFlags = c.sourceFlags;
        settings.destOpenFlags = c.destFlags;
        negotiateBlockSize();
        EXPECT_EQ(settings.blockSize, c.expected) << c.what;
        EXPECT_EQ(settings.sourceOpenFlags, c.expectedSourceFlags) << c.what;
        EXPECT_EQ(settings.destOpenFlags, c.expectedDestFlags) << c.what;
    }
}

class VolumeRun : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetMachine();
        sim::addFile("C:\\src\\a.txt", "abc");
        sim::addVolume("D:\\");
        sim::addFile("D:\\dst\\a.txt", "abc");
    }
};

long countOf(const support::RunOutput& run, const std::string& event) {
    return std::count(run.events.begin(), run.events.end(), event);
}

// A volume in use stays mounted, is not tried again, and is read around its cache; the
// other is cleared once before and once after the walk, a shared volume only once each.
TEST_F(VolumeRun, EachVolumeIsClearedBeforeAndAfterTheWalkUnlessInUse) {
    sim::volumeOf("D:\\")->lockSucceeds = false;
    support::RunOutput run = support::runProgram({"/logC:\\work\\run.log", "C:\\src", "D:\\dst"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(countOf(run, "lock D:\\ failed"), 1);
    EXPECT_FALSE(run.hasEvent("dismount D:\\"));
    EXPECT_EQ(countOf(run, "dismount C:\\ ok"), 2);
    EXPECT_EQ(countOf(run, "open C:\\src\\a.txt"), 1);
    EXPECT_EQ(countOf(run, "open D:\\dst\\a.txt unbuffered"), 1);
    std::string log = sim::contentsOf("C:\\work\\run.log");
    EXPECT_NE(log.find("(消去あり) C:\\"), std::string::npos) << log;
    EXPECT_NE(log.find("(消去不能) D:\\"), std::string::npos) << log;
    sim::addFile("C:\\dst\\a.txt", "abc");
    run = support::runProgram({"C:\\src", "C:\\dst"});
    EXPECT_EQ(countOf(run, "dismount C:\\ ok"), 2);
    EXPECT_FALSE(run.hasEvent("lock D:\\"));
}

TEST_F(VolumeRun, BlockSizeReachesTheReadBuffers) {
    support::RunOutput run = support::runProgram({"/cache-", "/b100000", "C:\\src", "D:\\dst"});
    EXPECT_TRUE(run.hasEvent("pages 100352"));
    EXPECT_EQ(countOf(run, "open C:\\src\\a.txt unbuffered"), 1);
}

}  // namespace
