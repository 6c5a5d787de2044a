// The volume questions a run asks before its walk, and what the run makes of the answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "compare/volume_probe.h"
#include "platform/sim/machine.h"
#include "run/run_state.h"
#include "run/settings.h"
#include "run/volume_settlement.h"

namespace {

const os::VersionInfo WIN98{true, 1, 4, 10};
const os::VersionInfo NT351{true, 2, 3, 51};
const os::VersionInfo NT4{true, 2, 4, 0};
const os::VersionInfo WIN2000{true, 2, 5, 0};
const os::VersionInfo UNREADABLE{false, 0, 0, 0};

int32_t ntVersionOf(const os::VersionInfo& version) {
    if (!version.readable) return -1;
    if (version.platformId != 2) return 0;
    return static_cast<int32_t>(version.major * 100 + version.minor);
}

void useVersion(const os::VersionInfo& version) {
    sim::machine().version = version;
    runState.windowsNtVersion = ntVersionOf(version);
}

std::vector<std::string> eventsSince(size_t start) {
    const auto& events = sim::machine().events;
    return std::vector<std::string>(events.begin() + static_cast<long>(start), events.end());
}

class VolumeProbe : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetMachine();
        settings = Settings{};
        runState = RunState{};
        useVersion(WIN2000);
    }

    // Whole runs fork from this process: they must find the globals as the program starts.
    void TearDown() override {
        settings = Settings{};
        runState = RunState{};
    }

    // Points the run's path buffers at test-owned text.
    void usePaths(const std::string& source, const std::string& dest) {
        sourceText = source;
        destText = dest;
        runState.sourcePath.text = sourceText.data();
        runState.sourcePath.capacity = static_cast<int32_t>(sourceText.size() + 1);
        runState.destPath.text = destText.data();
        runState.destPath.capacity = static_cast<int32_t>(destText.size() + 1);
    }

    std::string sourceText, destText;
};

// ---- Sector and cluster sizes -------------------------------------------------------

struct SizeCase {
    const char* what;
    os::VersionInfo version;
    const char* fileSystem;
    uint32_t bytesPerSector, sectorsPerCluster;
    bool freeSpaceAnswers;
    bool vwin32Answers;
    uint32_t vwin32BytesPerSector, vwin32SectorsPerCluster;
    uint64_t totalBytes;
    uint32_t driveType;
    uint32_t expectedSector, expectedCluster;
};

const uint64_t GiB = 1ull << 30;
const uint64_t MiB = 1ull << 20;

const SizeCase SIZE_CASES[] = {
    // what, version, fs, bps, spc, freeSpace, vwin32, vbps, vspc, total, type, sector, cluster
    {"FAT on 98 asks free space only", WIN98, "FAT", 512, 64, true, true, 2048, 1, 2 * GiB, 3, 512, 32768},
    {"FAT on NT 4", NT4, "FAT", 512, 64, true, false, 0, 0, 2 * GiB, 3, 512, 32768},
    {"NTFS on 2000", WIN2000, "NTFS", 4096, 1, true, false, 0, 0, 64 * GiB, 3, 4096, 4096},
    {"NTFS on NT 3.51", NT351, "NTFS", 512, 4, true, false, 0, 0, 64 * GiB, 3, 512, 2048},
    {"FAT32 on 98 answered", WIN98, "FAT32", 512, 64, true, true, 512, 32, 20 * GiB, 3, 512, 16384},
    {"FAT32 8191 MiB estimate", WIN98, "FAT32", 512, 1, true, false, 0, 0, 8191 * MiB, 3, 512, 4096},
    {"FAT32 8192 MiB estimate", WIN98, "FAT32", 512, 1, true, false, 0, 0, 8192 * MiB, 3, 512, 8192},
    {"FAT32 32767 MiB estimate", WIN98, "FAT32", 512, 1, true, false, 0, 0, 32767 * MiB, 3, 512, 16384},
    {"FAT32 32 GiB estimate", WIN98, "FAT32", 512, 1, true, false, 0, 0, 32 * GiB, 3, 512, 32768},
    {"network drive on 98 distrusted", WIN98, "NTFS", 512, 1, true, true, 512, 64, 5 * GiB, 4, 512, 4096},
    {"network drive on 98 small trusted", WIN98, "NTFS", 512, 1, true, true, 512, 8, 20 * GiB, 4, 512, 4096},
    {"network CDFS on 98 trusted", WIN98, "CDFS", 2048, 1, true, true, 2048, 16, 600 * MiB, 4, 2048, 32768},
    {"local CDFS on 98 asks free space", WIN98, "CDFS", 2048, 1, true, true, 512, 64, 600 * MiB, 5, 512, 2048},
    {"unreadable version estimates", UNREADABLE, "FAT32", 512, 1, true, false, 0, 0, 20 * GiB, 3, 512, 16384},
};

class SizeTable : public VolumeProbe, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(SizeTable, SectorAndClusterOfDriveD) {
    const SizeCase& c = GetParam();
    useVersion(c.version);
    sim::Volume& d = sim::addVolume("D:\\", c.fileSystem);
    d.bytesPerSector = c.bytesPerSector;
    d.sectorsPerCluster = c.sectorsPerCluster;
    d.freeSpaceAnswers = c.freeSpaceAnswers;
    d.vwin32Answers = c.vwin32Answers;
    d.vwin32BytesPerSector = c.vwin32BytesPerSector;
    d.vwin32SectorsPerCluster = c.vwin32SectorsPerCluster;
    d.totalBytes = c.totalBytes;
    d.driveType = c.driveType;
    sim::addDirectory("D:\\data");
    EXPECT_EQ(sectorSize("D:\\data\\"), c.expectedSector) << c.what;
    EXPECT_EQ(clusterSize("D:\\data\\"), c.expectedCluster) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Volumes, SizeTable, ::testing::ValuesIn(SIZE_CASES));

TEST_F(VolumeProbe, NtfsOnNtTriesTheRequestBeforeFreeSpaceForSectorsOnly) {
    for (const os::VersionInfo& version : {NT4, WIN2000}) {
        useVersion(version);
        size_t start = sim::machine().events.size();
        EXPECT_EQ(sectorSize("C:\\"), 512u);
        EXPECT_EQ(eventsSince(start), std::vector<std::string>{"vwin32 7303h C:\\ failed"});
        start = sim::machine().events.size();
        EXPECT_EQ(clusterSize("C:\\"), 4096u);
        EXPECT_TRUE(eventsSince(start).empty());
    }
}

TEST_F(VolumeProbe, FreeSpaceFallsBackToTheCurrentDrive) {
    sim::machine().volumes[0]->bytesPerSector = 2048;
    sim::machine().volumes[0]->sectorsPerCluster = 2;
    sim::addVolume("D:\\", "FAT").freeSpaceAnswers = false;
    EXPECT_EQ(sectorSize("D:\\"), 2048u);
    EXPECT_EQ(clusterSize("D:\\"), 4096u);
}

TEST_F(VolumeProbe, UnknownAnswersGiveZero) {
    sim::addVolume("D:\\", "FAT").answers = false;
    EXPECT_EQ(sectorSize("D:\\x"), 0u);
    EXPECT_EQ(clusterSize("D:\\x"), 0u);
    EXPECT_EQ(clusterSize("\\\\server"), 0u) << "no share name";

    sim::Volume& e = sim::addVolume("E:\\", "FAT");
    e.freeSpaceAnswers = false;
    sim::machine().volumes[0]->freeSpaceAnswers = false;
    EXPECT_EQ(sectorSize("E:\\"), 0u);
    EXPECT_EQ(clusterSize("E:\\"), 0u);

    useVersion(WIN98);
    sim::Volume& f = sim::addVolume("F:\\", "FAT32");
    f.freeSpaceExAvailable = false;
    EXPECT_EQ(clusterSize("F:\\"), 0u) << "no request and no total size";
}

TEST_F(VolumeProbe, RootsOfSharesAndRelativePaths) {
    sim::Volume& share = sim::addVolume("\\\\server\\share\\", "NTFS");
    share.bytesPerSector = 4096;
    share.sectorsPerCluster = 4;
    EXPECT_EQ(sectorSize("\\\\server\\share"), 4096u) << "a share without its separator";
    EXPECT_EQ(clusterSize("\\\\server\\share\\deep\\dir"), 16384u);

    sim::Volume& d = sim::addVolume("D:\\", "NTFS");
    d.bytesPerSector = 2048;
    d.sectorsPerCluster = 1;
    sim::machine().currentDirectory = "D:\\work";
    EXPECT_EQ(sectorSize(nullptr), 2048u) << "the current drive";
    EXPECT_EQ(clusterSize("relative\\dir"), 2048u);
}

// ---- Clearing a volume's cache ------------------------------------------------------

struct CacheCase {
    const char* what;
    os::VersionInfo version;
    const char* path;
    bool lockSucceeds, dismountSucceeds, opensAsDevice;
    bool expected;
    std::vector<std::string> events;
};

const CacheCase CACHE_CASES[] = {
    {"local drive", WIN2000, "C:\\", true, true, true, true,
     {"lock C:\\ ok", "dismount C:\\ ok", "unlock C:\\ ok"}},
    {"NT 3.51", NT351, "C:\\src\\", true, true, true, true,
     {"lock C:\\ ok", "dismount C:\\ ok", "unlock C:\\ ok"}},
    {"SUBST drive dismounts the drive beneath", WIN2000, "S:\\", true, true, true, true,
     {"lock C:\\ ok", "dismount C:\\ ok", "unlock C:\\ ok"}},
    {"volume in use by another program", WIN2000, "C:\\", false, true, true, false,
     {"lock C:\\ failed"}},
    {"dismount refused", WIN2000, "C:\\", true, false, true, false,
     {"lock C:\\ ok", "dismount C:\\ failed", "unlock C:\\ ok"}},
    {"volume cannot be opened", WIN2000, "C:\\", true, true, false, false, {}},
    {"network share", WIN2000, "\\\\server\\share\\", true, true, true, false, {}},
    {"Windows 98", WIN98, "C:\\", true, true, true, false, {}},
    {"unreadable version", UNREADABLE, "C:\\", true, true, true, false, {}},
};

class CacheTable : public VolumeProbe, public ::testing::WithParamInterface<CacheCase> {};

TEST_P(CacheTable, ClearVolumeCache) {
    const CacheCase& c = GetParam();
    useVersion(c.version);
    sim::Volume& cDrive = *sim::machine().volumes[0];
    cDrive.lockSucceeds = c.lockSucceeds;
    cDrive.dismountSucceeds = c.dismountSucceeds;
    cDrive.opensAsDevice = c.opensAsDevice;
    sim::addVolume("S:\\").dosDevice = "\\??\\C:\\folder";
    sim::addVolume("\\\\server\\share\\");
    size_t start = sim::machine().events.size();
    EXPECT_EQ(clearVolumeCache(c.path), c.expected) << c.what;
    EXPECT_EQ(eventsSince(start), c.events) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Volumes, CacheTable, ::testing::ValuesIn(CACHE_CASES));

// ---- Roots in 8.3 form --------------------------------------------------------------

struct AltCase {
    const char* path;
    const char* expected;
};

const AltCase ALT_CASES[] = {
    {"C:\\Program Files\\Long Name Folder\\", "C:\\PROGRA~1\\LONGNA~1\\"},
    {"c:\\program files\\long name folder\\", "c:\\PROGRA~1\\LONGNA~1\\"},
    {"C:\\Program Files\\Long Name Folder", "C:\\PROGRA~1\\LONGNA~1"},
    {"C:\\DATA\\", "C:\\data\\"},
    {"C:", "C:"},
    {"C:\\.\\Program Files\\", "C:\\.\\PROGRA~1\\"},
    {"C:\\Program Files\\Missing Folder\\Long Name Folder\\", "C:\\PROGRA~1\\Missing Folder\\Long Name Folder\\"},
    {"C:\\ab cd\\", "C:\\ab cd\\"},
    {"C:\\表示するフォルダ\\", "C:\\HYOUJI~1\\"},
    {"C:\\アイテムの一覧\\", "C:\\アイテムの一覧\\"},
    {"\\\\server\\share\\Program Files\\", "\\\\server\\share\\PROGRA~1\\"},
};

class AltTable : public VolumeProbe, public ::testing::WithParamInterface<AltCase> {};

TEST_P(AltTable, ToAltPath) {
    sim::addDirectory("C:\\Program Files").altName = "PROGRA~1";
    sim::addDirectory("C:\\Program Files\\Long Name Folder").altName = "LONGNA~1";
    sim::addDirectory("C:\\data");
    sim::addDirectory("C:\\ab cd").altName = "ABCD~1";   // not shorter: the long name stays
    sim::addDirectory("C:\\表示するフォルダ").altName = "HYOUJI~1";  // 表 ends in a backslash byte
    // ヂ and ア differ only in the case of their trail byte: different names.
    sim::addDirectory("C:\\ヂイテムの一覧").altName = "DIITEM~1";
    sim::addVolume("\\\\server\\share\\");
    sim::addDirectory("\\\\server\\share\\Program Files").altName = "PROGRA~1";

    const AltCase& c = GetParam();
    std::vector<char> output(std::string(c.path).size() + 1, '#');
    toAltPath(c.path, output.data());
    EXPECT_STREQ(output.data(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Volumes, AltTable, ::testing::ValuesIn(ALT_CASES));

TEST_F(VolumeProbe, ToAltPathStopsWhereAListingCannotStart) {
    sim::addDirectory("C:\\Program Files").altName = "PROGRA~1";
    sim::Node& inner = sim::addDirectory("C:\\Program Files\\Long Name Folder");
    inner.altName = "LONGNA~1";
    sim::find("C:\\Program Files")->listingFails = true;
    char output[64];
    toAltPath("C:\\Program Files\\Long Name Folder\\", output);
    EXPECT_STREQ(output, "C:\\PROGRA~1\\Long Name Folder\\");
}

// ---- File-system rules --------------------------------------------------------------

struct RulesCase {
    const char* source;
    const char* dest;
    int32_t compareAttributes, accessAlt;
    int32_t fatTime, cdTime, attributesAfter, sourceAlt, destAlt;
};

const RulesCase RULES_CASES[] = {
    {"FAT", "NTFS", 3, 2, 1, 0, 1, 1, 1},
    {"NTFS", "FAT32", 3, 2, 1, 0, 1, 1, 1},
    {"FAT", "FAT32", 3, 2, 0, 0, 1, 1, 1},
    {"NTFS", "CDFS", 3, 2, 0, 1, 0, 1, 0},
    {"UDF", "NTFS", 3, 2, 0, 1, 1, 0, 1},
    {"FAT", "CDFS", 3, 2, 1, 0, 0, 1, 0},
    {"NTFS", "NTFS", 3, 2, 0, 0, 1, 1, 1},
    {"ntfs", "CDFS", 3, 2, 0, 0, 0, 0, 0},
    {"NTFS", "CDFS", 2, 2, 0, 1, 2, 1, 0},
    {"NTFS", "CDFS", 0, 1, 0, 1, 0, 1, 1},
    {"FAT", "NTFS", 1, 0, 1, 0, 1, 0, 0},
};

class RulesTable : public VolumeProbe, public ::testing::WithParamInterface<RulesCase> {};

TEST_P(RulesTable, ApplyFileSystemRules) {
    const RulesCase& c = GetParam();
    std::snprintf(runState.sourceFsName, sizeof runState.sourceFsName, "%s", c.source);
    std::snprintf(runState.destFsName, sizeof runState.destFsName, "%s", c.dest);
    settings.compareAttributes = c.compareAttributes;
    settings.accessAlt = c.accessAlt;
    applyFileSystemRules();
    EXPECT_EQ(runState.fatTimeMode, c.fatTime);
    EXPECT_EQ(runState.cdTimeMode, c.cdTime);
    EXPECT_EQ(settings.compareAttributes, c.attributesAfter);
    EXPECT_EQ(runState.sourceAltAccess, c.sourceAlt);
    EXPECT_EQ(runState.destAltAccess, c.destAlt);
}

INSTANTIATE_TEST_SUITE_P(Volumes, RulesTable, ::testing::ValuesIn(RULES_CASES));

// ---- Block-size negotiation ---------------------------------------------------------

const uint32_t BUFFERED = os::FLAG_RANDOM_ACCESS;
const uint32_t UNBUFFERED = os::FLAG_NO_BUFFERING;

struct BlockCase {
    const char* what;
    int32_t blockSize;
    uint32_t sourceFlags, destFlags;
    const char* sourcePath;
    uint32_t cSector, cCluster;  // C:, the current drive
    uint32_t dSector, dCluster;  // D:; a sector size of 0: the volume does not answer
    int32_t expected;
    uint32_t expectedSourceFlags, expectedDestFlags;
};

const BlockCase BLOCK_CASES[] = {
    {"/bc takes the larger cluster", -2, BUFFERED, BUFFERED, "C:\\src\\", 512, 4096, 512, 32768, 32768, BUFFERED, BUFFERED},
    {"/bc rounds up to the smaller", -2, BUFFERED, BUFFERED, "C:\\src\\", 512, 4096, 512, 6144, 8192, BUFFERED, BUFFERED},
    {"/bc unknown falls back buffered", -2, UNBUFFERED, UNBUFFERED, "C:\\src\\", 512, 4096, 0, 0, 1048576, BUFFERED, BUFFERED},
    {"/bs takes the larger sector", -1, BUFFERED, BUFFERED, "C:\\src\\", 512, 4096, 2048, 2048, 2048, BUFFERED, BUFFERED},
    {"/cache- rounds to sectors", 100000, UNBUFFERED, UNBUFFERED, "C:\\src\\", 512, 4096, 512, 4096, 100352, UNBUFFERED, UNBUFFERED},
    {"one unbuffered side", 100000, BUFFERED, UNBUFFERED, "C:\\src\\", 512, 4096, 4096, 4096, 102400, BUFFERED, UNBUFFERED},
    {"/cache- unknown falls back buffered", 100000, UNBUFFERED, UNBUFFERED, "C:\\src\\", 512, 4096, 0, 0, 1048576, BUFFERED, BUFFERED},
    {"buffered keeps its size unasked", 100000, BUFFERED, BUFFERED, "C:\\src\\", 512, 4096, 0, 0, 100000, BUFFERED, BUFFERED},
    {"a share asks the current drive", -1, BUFFERED, BUFFERED, "\\\\server\\share\\", 2048, 4096, 512, 4096, 2048, BUFFERED, BUFFERED},
    {"largest count stays whole", 2147483647, UNBUFFERED, UNBUFFERED, "C:\\src\\", 512, 4096, 512, 4096, 2147483136, UNBUFFERED, UNBUFFERED},
};

void shapeVolume(sim::Volume& volume, uint32_t sector, uint32_t cluster) {
    volume.answers = sector != 0;
    volume.bytesPerSector = sector;
    volume.sectorsPerCluster = sector != 0 ? cluster / sector : 0;
}

class BlockTable : public VolumeProbe, public ::testing::WithParamInterface<BlockCase> {};

TEST_P(BlockTable, NegotiateBlockSize) {
    const BlockCase& c = GetParam();
    shapeVolume(*sim::machine().volumes[0], c.cSector, c.cCluster);
    shapeVolume(sim::addVolume("D:\\"), c.dSector, c.dCluster);
    sim::Volume& share = sim::addVolume("\\\\server\\share\\");
    shapeVolume(share, 4096, 65536);  // never asked for its sector size
    usePaths(c.sourcePath, "D:\\dst\\");
    settings.blockSize = c.blockSize;
    settings.sourceOpenFlags = c.sourceFlags;
    settings.destOpenFlags = c.destFlags;
    negotiateBlockSize();
    EXPECT_EQ(settings.blockSize, c.expected) << c.what;
    EXPECT_EQ(settings.sourceOpenFlags, c.expectedSourceFlags) << c.what;
    EXPECT_EQ(settings.destOpenFlags, c.expectedDestFlags) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Volumes, BlockTable, ::testing::ValuesIn(BLOCK_CASES));

// ---- Whole runs ---------------------------------------------------------------------

class VolumeRun : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetMachine();
        sim::addFile("C:\\src\\a.txt", "abc");
        sim::addVolume("D:\\");
        sim::addFile("D:\\dst\\a.txt", "abc");
    }
};

long countOf(const sim::RunOutput& run, const std::string& event) {
    return std::count(run.events.begin(), run.events.end(), event);
}

TEST_F(VolumeRun, EachVolumeIsClearedOnceBeforeAndOnceAfterTheWalk) {
    sim::RunOutput run = sim::runProgram({"C:\\src", "D:\\dst"});
    EXPECT_EQ(countOf(run, "dismount C:\\ ok"), 2);
    EXPECT_EQ(countOf(run, "dismount D:\\ ok"), 2);
    EXPECT_EQ(countOf(run, "unlock D:\\ ok"), 2);
    sim::addFile("C:\\dst\\a.txt", "abc");
    run = sim::runProgram({"C:\\src", "C:\\dst"});
    EXPECT_EQ(countOf(run, "dismount C:\\ ok"), 2);
    EXPECT_EQ(countOf(run, "lock D:\\ ok"), 0);
}

TEST_F(VolumeRun, AVolumeInUseIsLeftMountedAndNotClearedAgain) {
    sim::volumeOf("D:\\")->lockSucceeds = false;
    sim::RunOutput run = sim::runProgram({"C:\\src", "D:\\dst"});
    EXPECT_EQ(countOf(run, "lock D:\\ failed"), 1);
    EXPECT_FALSE(run.hasEvent("dismount D:\\"));
    EXPECT_EQ(countOf(run, "dismount C:\\ ok"), 2);
}

TEST_F(VolumeRun, AutomaticCacheReadsOnlyTheUnclearedSideUnbuffered) {
    sim::volumeOf("D:\\")->lockSucceeds = false;
    sim::RunOutput run = sim::runProgram({"/logC:\\work\\run.log", "C:\\src", "D:\\dst"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(countOf(run, "open C:\\src\\a.txt"), 1);
    EXPECT_EQ(countOf(run, "open D:\\dst\\a.txt unbuffered"), 1);
    std::string log = sim::contentsOf("C:\\work\\run.log");
    EXPECT_NE(log.find("(消去あり) C:\\"), std::string::npos) << log;
    EXPECT_NE(log.find("(消去不能) D:\\"), std::string::npos) << log;
}

TEST_F(VolumeRun, BlockSizeReachesTheReadBuffers) {
    sim::volumeOf("D:\\")->sectorsPerCluster = 64;
    EXPECT_TRUE(sim::runProgram({"/bc", "C:\\src", "D:\\dst"}).hasEvent("pages 32768"));

    sim::RunOutput run = sim::runProgram({"/cache-", "/b100000", "C:\\src", "D:\\dst"});
    EXPECT_TRUE(run.hasEvent("pages 100352"));
    EXPECT_EQ(countOf(run, "open C:\\src\\a.txt unbuffered"), 1);

    sim::machine().volumes[0]->freeSpaceAnswers = false;
    sim::volumeOf("D:\\")->freeSpaceAnswers = false;
    run = sim::runProgram({"/cache-", "/b100000", "C:\\src", "D:\\dst"});
    EXPECT_TRUE(run.hasEvent("pages 1048576"));
    EXPECT_EQ(countOf(run, "open C:\\src\\a.txt"), 1) << "read through the cache again";
}

}  // namespace
