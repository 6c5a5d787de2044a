// Whole runs that read large files on two threads. However the process ends, the reader
// thread has ended before it (the simulated machine ends a process that leaves a thread
// running with exit code 97); and a run that cannot have the thread is the same run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "support/program_run.h"
#include "support/reading_modes.h"

namespace {

const size_t LARGE = 600 * 1024;  // three reads of 256 KiB blocks, two of them large

void buildTrees() {
    sim::resetMachine();
    sim::addVolume("D:\\");
    sim::addDirectory("C:\\work");
    const std::string large(LARGE, 'a');
    std::string lastByte = large;
    lastByte.back() = 'b';
    sim::addFile("C:\\src\\a.dat", large);
    sim::addFile("D:\\dst\\a.dat", large);
    sim::addFile("C:\\src\\b.dat", large);
    sim::addFile("D:\\dst\\b.dat", lastByte);
    sim::addFile("C:\\src\\c.txt", "small");
    sim::addFile("D:\\dst\\c.txt", "small");
    // a path past the 1024 bytes the walk's buffers start with, walked after the files
    std::string deep;
    for (char letter = 'd'; letter <= 'i'; ++letter) deep += std::string(200, letter) + "\\";
    sim::addFile("C:\\src\\" + deep + "x.txt", "x");
    sim::addFile("D:\\dst\\" + deep + "x.txt", "x");
}

TEST(ReaderThread, EndsBeforeTheProcessOnEveryPathAndIsMissedByNoResult) {
    struct Case {
        const char* name;
        std::vector<std::string> options;
        bool paged, logFails, memoryFails;
        int exitCode;
    } cases[] = {
        {"finished", {"/d", "/c"}, false, false, false, 2},
        {"stopped after the first mismatch", {}, false, false, false, 1},
        {"quit at a prompt", {"/c", "/p"}, true, false, false, 1},
        {"stopped by the log's full disk", {"/c", "/logC:\\work\\run.log"}, false, true, false, 1},
        {"stopped for lack of memory", {"/d", "/c"}, false, false, true, 1},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {"/b256k", "C:\\src", "D:\\dst"});
        buildTrees();
        const support::RunOutput clean = support::runProgram(arguments);
        const long logWrites = clean.calls("stream writes");
        const long allocations = clean.calls("allocations");
        support::RunOutput first;
        for (const support::ReadingMode& reading : support::READING_MODES) {
            buildTrees();
            sim::Machine& m = sim::machine();
            m.console = c.paged;
            m.windowRows = 4;
            m.keys.assign(1, sim::Key{os::KEY_EVENT, true, 'q'});
            m.streamWrites.failAt = c.logFails ? logWrites : 0;  // the end banner's
            m.streamWrites.onward = true;
            m.allocations.failAt = c.memoryFails ? allocations : 0;  // the deep path's
            reading.apply(m, 2);  // the suspend inhibitor's thread is the first
            const support::RunOutput run = support::runProgram(arguments);
            SCOPED_TRACE(std::string(c.name) + ", read " + reading.name + "\n" + run.out + run.err);
            EXPECT_EQ(run.exitCode, c.exitCode);
            EXPECT_EQ(run.calls("reads beside") > 0, reading.beside());
            if (&reading == &support::READING_MODES[0]) {
                first = run;
                continue;
            }
            EXPECT_EQ(run.out, first.out);
            EXPECT_EQ(run.err, first.err);
        }
        if (c.paged) { EXPECT_TRUE(first.hasEvent("key")); }
        if (c.logFails) { EXPECT_NE(first.err.find("処理停止:ログ・ファイル"), std::string::npos); }
        if (c.memoryFails) { EXPECT_NE(first.err.find("処理停止:メモリー不足"), std::string::npos) << first.err; }
    }
}

}  // namespace
