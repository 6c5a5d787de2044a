// Whole runs with one fault injected at a time: every allocation of a representative run,
// then every listing, look-up, open and read. A fault may stop the run with a message or
// be reported as a mismatch; it must never crash, hang, or pass for a match.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/sim/machine.h"

namespace {

const std::string ALL_MATCH = "全ファイル";
const std::string OUT_OF_MEMORY = "メモリー不足";
const std::string STOPPED = "処理停止:";
// The path-kind test cannot tell a failed copy of the path from an unreachable volume.
const std::string DRIVE_UNREACHABLE = "ドライブにアクセス出来ません。";
const std::string SOURCE = "C:\\src\\";
const std::string DEST = "D:\\dst\\";

// A run stuck in a loop would keep the sweep waiting for ever: its CPU time is capped
// (a child of runProgram starts counting at zero).
sim::RunOutput runBounded(const std::vector<std::string>& arguments) {
    rusage used{};
    getrusage(RUSAGE_SELF, &used);
    rlimit saved{};
    getrlimit(RLIMIT_CPU, &saved);
    rlimit bounded = saved;
    bounded.rlim_cur = static_cast<rlim_t>(used.ru_utime.tv_sec + used.ru_stime.tv_sec + 30);
    if (saved.rlim_max != RLIM_INFINITY && bounded.rlim_cur > saved.rlim_max) bounded.rlim_cur = saved.rlim_max;
    setrlimit(RLIMIT_CPU, &bounded);
    sim::RunOutput run = sim::runProgram(arguments);
    setrlimit(RLIMIT_CPU, &saved);
    return run;
}

long allocationCount(const sim::RunOutput& run) {
    for (const auto& event : run.events)
        if (event.rfind("allocations ", 0) == 0) return std::stol(event.substr(12));
    return 0;
}

sim::Key continueKey() {
    sim::Key key;
    key.character = 'c';
    return key;
}

// Both trees agree but for one file; a directory and the .bak files are filtered out.
void buildTrees(bool withMismatch) {
    sim::resetMachine();
    sim::addVolume("D:\\", "FAT32");
    sim::addDirectory("C:\\logs");
    const std::vector<std::pair<std::string, std::string>> files = {
        {"a.txt", "alpha"},
        {"blocks.dat", std::string(2500, 'b')},
        {"sub\\c.txt", "gamma"},
        {"sub\\deep\\d.txt", "delta"},
        {"表\\ポ.txt", "double-byte names"},
        {"skipped\\e.txt", "filtered"},
        {"old.bak", "filtered"},
    };
    const os::FileTime written = sim::fileTimeOf(2020, 5, 17, 10, 30, 20);
    for (const auto& file : files) {
        sim::setTimes(sim::addFile(SOURCE + file.first, file.second), written);
        sim::setTimes(sim::addFile(DEST + file.first, file.second), written);
    }
    if (withMismatch) {
        sim::setTimes(sim::addFile(SOURCE + "sub\\diff.txt", "one"), written);
        sim::setTimes(sim::addFile(DEST + "sub\\diff.txt", "two"), written);
    }
}

struct Scenario {
    const char* name;
    std::vector<std::string> arguments;
    bool paged;
};

const std::vector<Scenario> OOM_SCENARIOS = {
    {"paged, going on after mismatches",
     {"/d", "/c", "/p", "/sdskipped", "/sebak", "/b1k", "/logC:\\logs\\run.log", "C:\\src", "D:\\dst"},
     true},
    {"stopping at the first mismatch, source pattern",
     {"/d", "/sdskipped", "/lyw1990-", "/ls1-", "/logC:\\logs\\run.log", "C:\\src\\*.*", "D:\\dst"},
     false},
};

class FaultSweep : public ::testing::TestWithParam<size_t> {};

TEST_P(FaultSweep, EveryAllocationFailureEndsWithTheMemoryMessageOrAsWithout) {
    const Scenario& scenario = OOM_SCENARIOS[GetParam()];
    buildTrees(true);
    sim::machine().console = scenario.paged;
    sim::machine().windowRows = 8;
    sim::machine().keys.assign(64, continueKey());

    const sim::RunOutput clean = runBounded(scenario.arguments);
    ASSERT_EQ(clean.exitCode, scenario.paged ? 2 : 1) << clean.err;
    ASSERT_EQ(clean.out.find(ALL_MATCH), std::string::npos);
    const long allocations = allocationCount(clean);
    ASSERT_GT(allocations, 0);

    long stopped = 0;
    for (long n = 1; n <= allocations; ++n) {
        sim::machine().failAllocation = n;
        const sim::RunOutput run = runBounded(scenario.arguments);
        SCOPED_TRACE(std::string(scenario.name) + ": allocation " + std::to_string(n) + " of " +
                     std::to_string(allocations));
        ASSERT_LT(run.exitCode, 128) << run.err;
        EXPECT_EQ(run.out.find(ALL_MATCH), std::string::npos) << run.out;
        const bool stoppedForMemory =
            run.err.find(STOPPED) != std::string::npos &&
            (run.err.find(OUT_OF_MEMORY) != std::string::npos ||
             run.err.find(DRIVE_UNREACHABLE) != std::string::npos);
        if (run.exitCode == 1 && stoppedForMemory) {
            ++stopped;
            continue;
        }
        // Not stopped: the failure went unused (or was survived) and changed nothing.
        EXPECT_EQ(run.exitCode, clean.exitCode) << run.err;
        EXPECT_EQ(run.out, clean.out) << run.err;
    }
    RecordProperty("allocations", static_cast<int>(allocations));
    RecordProperty("stopped", static_cast<int>(stopped));
    std::printf("[ sweep    ] %s: %ld allocation failures injected, %ld stopped the run\n",
                scenario.name, allocations, stopped);
    EXPECT_GT(stopped, 0);
}

INSTANTIATE_TEST_SUITE_P(Runs, FaultSweep, ::testing::Values(size_t{0}, size_t{1}));

// ---- I/O faults ---------------------------------------------------------------------

struct IoFault {
    std::string description;
    std::function<void()> inject;
    std::string label;  // the result label the run must report
    std::string path;   // the source path shown with it
    std::string tally;  // how the summary counts it
};

const std::string FILE_TALLY = "1個不一致（";
const std::string DIR_TALLY = "、1個不一致\n";
const std::string VANISHED_TALLY = "照合元行方不明:1個";

std::vector<IoFault> ioFaults(bool blockMode) {
    std::vector<IoFault> faults;
    for (const char* dir : {"", "sub", "sub\\deep", "表"}) {
        const std::string path = SOURCE + dir;
        faults.push_back({"listing " + path, [path] { sim::find(path)->listingFails = true; },
                          "照合元行方不明 ", path, VANISHED_TALLY});
    }
    for (const char* file : {"a.txt", "blocks.dat", "sub\\c.txt", "sub\\deep\\d.txt", "表\\ポ.txt"}) {
        const std::string source = SOURCE + file, dest = DEST + file;
        faults.push_back({"look-up " + dest, [dest] { sim::find(dest)->lookupFails = true; },
                          "照合先なし ", source, FILE_TALLY});
        faults.push_back({"open " + source, [source] { sim::find(source)->openFails = true; },
                          "照合元オープン不能 ", source, FILE_TALLY});
        faults.push_back({"open " + dest, [dest] { sim::find(dest)->openFails = true; },
                          "照合先オープン不能 ", source, FILE_TALLY});
        if (!blockMode) continue;
        faults.push_back({"read 0 " + source, [source] { sim::find(source)->readFailsAt = 0; },
                          "照合元読込不能 ", source, FILE_TALLY});
        faults.push_back({"read 0 " + dest, [dest] { sim::find(dest)->readFailsAt = 0; },
                          "照合先読込不能 ", source, FILE_TALLY});
    }
    for (const char* dir : {"sub", "sub\\deep", "表"}) {
        const std::string dest = DEST + dir;
        faults.push_back({"look-up " + dest, [dest] { sim::find(dest)->lookupFails = true; },
                          "照合先DIRなし ", SOURCE + dir, DIR_TALLY});
    }
    if (blockMode) {
        // The 2500-byte file takes three reads of 1 KiB blocks.
        for (int read = 1; read <= 2; ++read) {
            const std::string source = SOURCE + "blocks.dat", dest = DEST + "blocks.dat";
            faults.push_back({"read " + std::to_string(read) + " " + source,
                              [source, read] { sim::find(source)->readFailsAt = read; },
                              "照合元読込不能 ", source, FILE_TALLY});
            faults.push_back({"read " + std::to_string(read) + " " + dest,
                              [dest, read] { sim::find(dest)->readFailsAt = read; },
                              "照合先読込不能 ", source, FILE_TALLY});
        }
    }
    return faults;
}

// The result line of the label: label, source path, the mismatch sign.
bool reported(const std::string& out, const IoFault& fault) {
    for (size_t at = out.find(fault.label); at != std::string::npos; at = out.find(fault.label, at + 1)) {
        const size_t end = out.find('\n', at);
        const std::string line = out.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (line.find(fault.path) != std::string::npos && line.find("≠") != std::string::npos)
            return true;
    }
    return false;
}

void sweepIoFaults(bool blockMode) {
    std::vector<std::string> options = {"/d", "/sdskipped", "/sebak"};
    options.push_back(blockMode ? "/b1k" : "/bs");
    int injected = 0;
    for (bool goOn : {false, true}) {
        std::vector<std::string> arguments = options;
        if (goOn) arguments.push_back("/c");
        arguments.push_back("C:\\src");
        arguments.push_back("D:\\dst");

        buildTrees(false);
        const sim::RunOutput clean = runBounded(arguments);
        ASSERT_EQ(clean.exitCode, 0) << clean.out << clean.err;
        ASSERT_NE(clean.out.find(ALL_MATCH), std::string::npos) << clean.out;

        for (const IoFault& fault : ioFaults(blockMode)) {
            buildTrees(false);
            fault.inject();
            const sim::RunOutput run = runBounded(arguments);
            ++injected;
            SCOPED_TRACE(fault.description + (goOn ? " with /c" : "") + "\n" + run.out + run.err);
            EXPECT_EQ(run.exitCode, goOn ? 2 : 1);
            EXPECT_TRUE(reported(run.out, fault)) << fault.label;
            EXPECT_EQ(run.out.find(ALL_MATCH), std::string::npos);
            if (goOn) {
                EXPECT_NE(run.out.find(fault.tally), std::string::npos);
            }
        }
    }
    std::printf("[ sweep    ] %s mode: %d I/O faults injected\n", blockMode ? "block" : "byte",
                injected);
}

TEST(IoFaultSweep, BlockModeReportsEveryFailedListingLookUpOpenAndRead) { sweepIoFaults(true); }

TEST(IoFaultSweep, ByteModeReportsEveryFailedListingLookUpAndOpen) { sweepIoFaults(false); }

}  // namespace
