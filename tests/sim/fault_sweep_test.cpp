// Whole runs with one fault injected at a time: every allocation of a representative run
// (the n-th alone, and every one from the n-th on), every stream call of the log from the
// n-th on, then every listing, look-up, open and read. A fault may stop the run with a
// message or be reported as a mismatch; it must never crash, hang, or pass for a match.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "support/program_run.h"

namespace {

const std::string ALL_MATCH = "全ファイル";
const std::string SOURCE = "C:\\src\\";
const std::string DEST = "D:\\dst\\";

// A run stuck in a loop would keep the sweep waiting for ever: its CPU time is capped
// (a child of runProgram starts counting at zero).
support::RunOutput runBounded(const std::vector<std::string>& arguments) {
    rusage used{};
    getrusage(RUSAGE_SELF, &used);
    rlimit saved{};
    getrlimit(RLIMIT_CPU, &saved);
    rlimit bounded = saved;  // RLIM_INFINITY is the largest rlim_t
    bounded.rlim_cur = std::min<rlim_t>(used.ru_utime.tv_sec + used.ru_stime.tv_sec + 30, saved.rlim_max);
    setrlimit(RLIMIT_CPU, &bounded);
    support::RunOutput run = support::runProgram(arguments);
    setrlimit(RLIMIT_CPU, &saved);
    return run;
}

// Read in blocks of 1 MiB or 256 KiB, the first pairs of its blocks are read on two threads.
const size_t LARGE = 600 * 1024;

// Both trees agree but for the optional sub\diff.txt; a directory and .bak files are filtered out.
// In the source, sub\back leads back to the root and sub\other out of the tree; the copy holds
// plain directories there.
void buildTrees(bool withMismatch) {
    sim::resetMachine();
    sim::addVolume("D:\\", "FAT32");
    sim::addDirectory("C:\\logs");
    const os::FileTime written = sim::fileTimeOf(2020, 5, 17, 10, 30, 20);
    auto both = [&](const std::string& rel, const std::string& source, const std::string& dest) {
        sim::setTimes(sim::addFile(SOURCE + rel, source), written);
        sim::setTimes(sim::addFile(DEST + rel, dest), written);
    };
    both("large.dat", std::string(LARGE, 'L'), std::string(LARGE, 'L'));
    for (const char* rel : {"a.txt", "sub\\c.txt", "sub\\deep\\d.txt", "表\\ポ.txt", "skipped\\e.txt", "old.bak"})
        both(rel, rel, rel);
    both("blocks.dat", std::string(2500, 'b'), std::string(2500, 'b'));
    if (withMismatch) both("sub\\diff.txt", "one", "two");
    sim::addLink(SOURCE + "sub\\back", "C:\\src");
    sim::addDirectory(DEST + "sub\\back");
    sim::addLink(SOURCE + "sub\\other", "C:\\elsewhere");
    sim::setTimes(sim::addFile("C:\\elsewhere\\o.txt", "o"), written);
    sim::setTimes(sim::addFile(DEST + "sub\\other\\o.txt", "o"), written);
}

TEST(FaultSweep, EveryAllocationFailureEndsWithTheMemoryMessageOrAsWithout) {
    for (bool onward : {false, true}) {
    const std::vector<std::string> scenarios[] = {
        // paged, going on after mismatches
        {"/d", "/c", "/p", "/sdskipped", "/sebak", "/b1k", "/logC:\\logs\\run.log", "C:\\src", "D:\\dst"},
        // stopping at the first mismatch, source pattern
        {"/d", "/sdskipped", "/lyw1990-", "/ls1-", "/logC:\\logs\\run.log", "C:\\src\\*.*", "D:\\dst"},
    };
    for (const auto& arguments : scenarios) {
        const bool paged = &arguments == &scenarios[0];
        buildTrees(true);
        sim::machine().console = paged;
        sim::machine().windowRows = 8;
        sim::machine().keys.assign(64, sim::Key{os::KEY_EVENT, true, 'c'});

        const support::RunOutput clean = runBounded(arguments);
        ASSERT_EQ(clean.exitCode, paged ? 2 : 1) << clean.err;
        ASSERT_EQ(clean.calls("reads beside") > 0, !paged);  // the paged run reads 1 KiB blocks
        const long allocations = std::stol(clean.events.back().substr(sizeof "allocations"));  // the last event
        ASSERT_GT(allocations, 0);

        long stopped = 0;
        for (long n = 1; n <= allocations; ++n) {
            sim::machine().allocations.failAt = n;
            sim::machine().allocations.onward = onward;
            const support::RunOutput run = runBounded(arguments);
            SCOPED_TRACE("allocation " + std::to_string(n) + (onward ? " on" : "") + " of " +
                         std::to_string(allocations) + (paged ? ", paged" : ""));
            ASSERT_LT(run.exitCode, 128) << run.err;
            EXPECT_EQ(run.out.find(ALL_MATCH), std::string::npos) << run.out;
            // The path-kind test cannot tell a failed copy of the path from an unreachable volume.
            if (run.exitCode == 1 && run.err.find("処理停止:") != std::string::npos &&
                (run.err.find("メモリー不足") != std::string::npos ||
                 run.err.find("ドライブにアクセス出来ません。") != std::string::npos)) {
                ++stopped;
                continue;
            }
            // Not stopped: the failure went unused (or was survived) and changed nothing.
            EXPECT_EQ(run.exitCode, clean.exitCode) << run.err;
            EXPECT_EQ(run.out, clean.out) << run.err;
        }
        EXPECT_GT(stopped, 0);
    }
    }
}

// The log's disk fails from the n-th stream open, write or close on: each run stops with the
// log's own message, whichever call it was. Nothing the log was given is lost in silence.
TEST(FaultSweep, EveryFailingLogOpenWriteAndCloseStopsWithTheLogsMessage) {
    const std::pair<const char*, sim::CallFaults sim::Machine::*> kinds[] = {
        {"stream opens", &sim::Machine::streamOpens},
        {"stream writes", &sim::Machine::streamWrites},
        {"stream closes", &sim::Machine::streamCloses},
    };
    const std::string stop = "処理停止:ログ・ファイル\"C:\\logs\\run.log\"";
    std::set<std::string> endings;
    for (bool paged : {false, true}) {  // paged, the log is closed and opened around each line
        std::vector<std::string> arguments = {"/d", "/c", "/logC:\\logs\\run.log", "C:\\src", "D:\\dst"};
        if (paged) arguments.insert(arguments.begin(), "/p");
        for (const auto& [kind, faults] : kinds) {
            buildTrees(true);
            sim::machine().console = paged;
            sim::machine().keys.assign(64, sim::Key{os::KEY_EVENT, true, 'c'});
            const long calls = runBounded(arguments).calls(kind);
            ASSERT_GT(calls, 0) << kind;
            for (long n = 1; n <= calls; ++n) {
                (sim::machine().*faults).failAt = n;
                (sim::machine().*faults).onward = true;
                const support::RunOutput run = runBounded(arguments);
                SCOPED_TRACE(std::string(kind) + " from " + std::to_string(n) + " of " +
                             std::to_string(calls) + (paged ? ", paged\n" : "\n") + run.err);
                EXPECT_EQ(run.exitCode, 1);
                const size_t at = run.err.find(stop);
                ASSERT_NE(at, std::string::npos);
                endings.insert(run.err.substr(at + stop.size()));
            }
            sim::machine().*faults = sim::CallFaults{};
        }
    }
    EXPECT_EQ(endings, (std::set<std::string>{"がオープン出来ません。\n", "の出力に異常を検出しました。\n",
                                              "が再オープン出来ません。"}));
}

struct IoFault {
    std::string node;                     // the entry that fails
    std::function<void(sim::Node&)> set;  // how
    std::string label, shown, tally;      // the result line's label and source path; the summary's count
};

// blockBytes 0: no read faults.
std::vector<IoFault> ioFaults(int blockBytes) {
    auto listing = [](sim::Node& n) { n.listingFails = true; };
    auto lookUp = [](sim::Node& n) { n.lookupFails = true; };
    auto open = [](sim::Node& n) { n.openFails = true; };
    const std::string FILE_TALLY = "1個不一致（";
    std::vector<IoFault> faults;
    for (const char* dir : {"", "sub", "sub\\deep", "表"})
        faults.push_back({SOURCE + dir, listing, "照合元行方不明 ", SOURCE + dir, "照合元行方不明:1個"});
    faults.push_back({"C:\\elsewhere", listing, "照合元行方不明 ", SOURCE + "sub\\other", "照合元行方不明:1個"});
    for (const char* dir : {"sub", "sub\\deep", "表", "sub\\back", "sub\\other"})
        faults.push_back({DEST + dir, lookUp, "照合先DIRなし ", SOURCE + dir, "、1個不一致\n"});
    for (const char* file :
         {"a.txt", "blocks.dat", "sub\\c.txt", "sub\\deep\\d.txt", "表\\ポ.txt", "sub\\other\\o.txt", "large.dat"}) {
        const std::string shown = SOURCE + file, dest = DEST + file;
        const bool behindLink = std::string(file) == "sub\\other\\o.txt";
        const std::string source = behindLink ? "C:\\elsewhere\\o.txt" : shown;
        faults.push_back({dest, lookUp, "照合先なし ", shown, FILE_TALLY});
        faults.push_back({source, open, "照合元オープン不能 ", shown, FILE_TALLY});
        faults.push_back({dest, open, "照合先オープン不能 ", shown, FILE_TALLY});
        // Every read of a file, the one after its last, short block included, which finds the
        // end: a full block of 1 KiB, but the large file only in blocks of 256 KiB.
        const size_t bytes = sim::find(source)->contents.size();
        const int reads = blockBytes == 0 || (bytes == LARGE && blockBytes < 256 * 1024)
                              ? 0
                              : static_cast<int>(bytes / blockBytes) + 2 - (bytes % blockBytes == 0);
        for (int read = 0; read < reads; ++read) {
            auto fail = [read](sim::Node& n) { n.readFailsAt = read; };
            faults.push_back({source, fail, "照合元読込不能 ", shown, FILE_TALLY});
            faults.push_back({dest, fail, "照合先読込不能 ", shown, FILE_TALLY});
        }
    }
    return faults;
}

// A vanished source directory counts as a mismatch: exit 2 with /c, like every other fault.
TEST(IoFaultSweep, EveryFailedListingLookUpOpenAndReadIsReportedInBlockAndByteMode) {
    const std::pair<const char*, int> blockSizes[] = {{"/b1k", 1024}, {"/b256k", 256 * 1024}, {"/bs", 0}};
    for (const auto& [blocks, blockBytes] : blockSizes) {
        for (bool goOn : {false, true}) {
            std::vector<std::string> arguments = {"/d", "/sdskipped", "/sebak", blocks};
            if (goOn) arguments.push_back("/c");
            arguments.insert(arguments.end(), {"C:\\src", "D:\\dst"});
            buildTrees(false);
            const support::RunOutput clean = runBounded(arguments);
            ASSERT_EQ(clean.exitCode, 0) << clean.out << clean.err;
            ASSERT_NE(clean.out.find(ALL_MATCH), std::string::npos) << clean.out;

            ASSERT_EQ(clean.calls("reads beside") > 0, blockBytes == 256 * 1024);
            for (const IoFault& fault : ioFaults(blockBytes)) {
                buildTrees(false);
                fault.set(*sim::find(fault.node));
                const support::RunOutput run = runBounded(arguments);
                SCOPED_TRACE(fault.label + fault.node + " " + blocks + (goOn ? " /c\n" : "\n") +
                             run.out + run.err);
                EXPECT_EQ(run.exitCode, goOn ? 2 : 1);
                // its result line: label, source path, the mismatch sign
                const size_t at = run.out.find(fault.label + fault.shown);
                EXPECT_LT(run.out.find("≠", at), run.out.find('\n', at));
                EXPECT_EQ(run.out.find(ALL_MATCH), std::string::npos);
                if (goOn) { EXPECT_NE(run.out.find(fault.tally), std::string::npos); }
            }
        }
    }
}

// The n-th identity call fails, alone or with every later one: a link is then walked as any
// directory, which may add lines or mismatches (the copy holds an empty directory where the
// source leads back to its root), but never a match over what was not read.
TEST(IoFaultSweep, EveryFailedIdentityEndsAsWithoutOrWithAMismatch) {
    const std::vector<std::string> arguments = {"/d", "/c", "/sdskipped", "/sebak", "C:\\src", "D:\\dst"};
    buildTrees(false);
    const support::RunOutput clean = runBounded(arguments);
    ASSERT_EQ(clean.exitCode, 0) << clean.out << clean.err;
    ASSERT_NE(clean.out.find("循環リンクのため省略 C:\\src\\sub\\back\n"), std::string::npos) << clean.out;
    const long identities = clean.calls("identities");
    ASSERT_GT(identities, 0);
    int asWithout = 0, mismatched = 0;
    for (bool onward : {false, true}) {
        for (long n = 1; n <= identities; ++n) {
            buildTrees(false);
            sim::machine().identities = sim::CallFaults{0, n, onward};
            const support::RunOutput run = runBounded(arguments);
            SCOPED_TRACE("identity " + std::to_string(n) + (onward ? " on\n" : "\n") + run.out + run.err);
            if (run.exitCode == 0) {
                EXPECT_EQ(run.out, clean.out);
                ++asWithout;
            } else {
                EXPECT_EQ(run.exitCode, 2);
                EXPECT_EQ(run.out.find(ALL_MATCH), std::string::npos);
                ++mismatched;
            }
        }
    }
    EXPECT_GT(asWithout, 0);
    EXPECT_GT(mismatched, 0);
}

}  // namespace
