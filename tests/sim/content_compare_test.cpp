// The content comparison over the simulated machine: block mode, byte mode and the
// text/binary classification, called directly with the run's buffers in place; large blocks
// read on two threads give the answers that one thread gives.
#include <gtest/gtest.h>

#include <string>

#include "compare/compare_entry.h"
#include "compare/content_compare.h"
#include "compare/reader_thread.h"
#include "platform/sim/machine.h"
#include "run/run_state.h"
#include "run/settings.h"
#include "support/reading_modes.h"

namespace {

const char* const SOURCE = "C:\\src\\a.bin";
const char* const DEST = "D:\\dst\\a.bin";
const int BLOCK = 512;

std::string text(size_t length) {
    std::string bytes;
    for (size_t k = 0; k < length; ++k) bytes += static_cast<char>('a' + k % 26);
    return bytes;
}

// classify: 0 off; else the text/binary classification is on and its outcome checked.
TEST(ContentCompare, ResultsInBlockAndByteModeWithTheTextBinaryClassification) {
    const std::string large = text(3 * BLOCK + 100);
    const std::string plain = "line\r\n\tA\x1b[0m\x1a" + std::string(1, '\0') + "漢字\n";
    std::string binaryLate = text(3 * BLOCK);
    binaryLate[2 * BLOCK + 5] = '\x01';
    struct Case {
        const char* name;
        std::string source, dest;
        int blockSize, compareSize, classify, expected;
        bool sourceBinary, destBinary;
    } cases[] = {
        {"destination longer, size compared", large, large + "x", BLOCK, 1, 0, RESULT_SIZE, 0, 0},
        {"destination longer, size not compared", large, large + "x", BLOCK, 0, 0, RESULT_CONTENTS, 0, 0},
        {"bytes: a length differs, never a size result", "abc", "abcd", 1, 1, 0, RESULT_CONTENTS, 0, 0},
        {"text against binary", plain, plain + "\x1c", BLOCK, 1, 1, RESULT_SIZE, false, true},
        {"binary against text", "ab\xff\n", "abc\n", BLOCK, 1, 1, RESULT_CONTENTS, true, false},
        {"equal binaries", "\x05\x06", "\x05\x06", BLOCK, 1, 1, RESULT_MATCH, true, true},
        // after the first difference the files are read on to classify their later blocks
        {"binary byte blocks after the difference", "X" + text(3 * BLOCK).substr(1), binaryLate, BLOCK, 1, 1,
         RESULT_CONTENTS, false, true},
        {"0x1A ends a file, blocks", "abc\x1a", "abd\x1a", BLOCK, 1, 1, RESULT_CONTENTS, false, false},
        {"0x1A ends a file, bytes", "abc\x1a", "abd\x1a", 1, 1, 1, RESULT_CONTENTS, true, true},
        {"0x1A inside a file, bytes", "ab\x1a" "c", "ab\x1a" "d", 1, 1, 1, RESULT_CONTENTS, false, false},
        {"binary byte behind the difference, bytes", "abcdef", "abXde\x02", 1, 1, 1, RESULT_CONTENTS, false, true},
    };
    const Settings saved = settings;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::resetMachine();
        sim::addVolume("D:\\");
        sim::addFile(SOURCE, c.source);
        sim::addFile(DEST, c.dest);
        settings.blockSize = c.blockSize;
        settings.compareSize = c.compareSize;
        settings.textBinaryCheck = c.classify;
        if (c.blockSize > 1) {  // the buffers a run with this block size has
            runState.source.buffer = static_cast<unsigned char*>(os::allocatePages(c.blockSize));
            runState.dest.buffer = static_cast<unsigned char*>(os::allocatePages(c.blockSize));
        }
        runState.source.isBinary = runState.dest.isBinary = true;
        EXPECT_EQ(compareContentsOf(SOURCE, DEST, c.source.size(), c.dest.size()), c.expected);
        os::releasePages(runState.source.buffer);
        os::releasePages(runState.dest.buffer);
        runState.source.buffer = runState.dest.buffer = nullptr;
        settings = saved;
        if (!c.classify) continue;
        EXPECT_EQ(runState.source.isBinary, c.sourceBinary);
        EXPECT_EQ(runState.dest.isBinary, c.destBinary);
    }
}

// Blocks of this size and files of a few of them are read on the two threads at once.
const int LARGE_BLOCK = 256 * 1024;

TEST(ContentCompare, ReadingBesideGivesTheAnswersOfOneThread) {
    const std::string large = text(3 * LARGE_BLOCK + 100);
    std::string lastByte = large;
    lastByte.back() = '!';
    std::string binaryLate = large;
    binaryLate[2 * LARGE_BLOCK + 7] = '\x02';
    std::string firstHalf = large, secondHalf = large;  // of a block the two threads compare
    firstHalf[LARGE_BLOCK + LARGE_BLOCK / 2 - 1] = '#';
    secondHalf[LARGE_BLOCK + LARGE_BLOCK / 2] = '#';
    std::string shortDiffering = large.substr(0, LARGE_BLOCK + 50);
    shortDiffering[10] = '#';
    struct Case {
        const char* name;
        std::string source, dest;
        int sourceFailsAt, destFailsAt;  // the read of the handle that fails; -1 none
        int classify, expected;
        bool sourceBinary, destBinary;
    } cases[] = {
        {"equal", large, large, -1, -1, 0, RESULT_MATCH, false, false},
        {"sizes differ", large, large + "x", -1, -1, 0, RESULT_SIZE, false, false},
        {"last byte", large, lastByte, -1, -1, 0, RESULT_CONTENTS, false, false},
        {"the last byte of a block's first half", large, firstHalf, -1, -1, 0, RESULT_CONTENTS, false, false},
        {"the first byte of its second half", large, secondHalf, -1, -1, 0, RESULT_CONTENTS, false, false},
        {"an exact block", large.substr(0, LARGE_BLOCK), large.substr(0, LARGE_BLOCK), -1, -1, 0, RESULT_MATCH, false, false},
        {"empty files", "", "", -1, -1, 0, RESULT_MATCH, false, false},
        {"source read fails", large, large, 1, -1, 0, RESULT_SOURCE_READ, false, false},
        {"destination read fails", large, large, -1, 1, 0, RESULT_DEST_READ, false, false},
        {"both reads fail: the source's is told", large, large, 1, 1, 0, RESULT_SOURCE_READ, false, false},
        {"text against binary", large, binaryLate, -1, -1, 1, RESULT_CONTENTS, false, true},
        {"binary against text", binaryLate, large, -1, -1, 1, RESULT_CONTENTS, true, false},
        // the source ends after two reads and an empty one; a read after that would fail
        {"an ended side is not read again", shortDiffering, binaryLate, 3, -1, 1, RESULT_CONTENTS, false, true},
    };
    const Settings saved = settings;
    for (const Case& c : cases) {
        for (const support::ReadingMode& reading : support::READING_MODES) {
            SCOPED_TRACE(std::string(c.name) + ", read " + reading.name);
            sim::resetMachine();
            sim::addVolume("D:\\");
            sim::addFile(SOURCE, c.source).readFailsAt = c.sourceFailsAt;
            sim::addFile(DEST, c.dest).readFailsAt = c.destFailsAt;
            reading.apply(sim::machine(), 1);
            settings.blockSize = LARGE_BLOCK;
            settings.textBinaryCheck = c.classify;
            runState.source.buffer = static_cast<unsigned char*>(os::allocatePages(LARGE_BLOCK));
            runState.dest.buffer = static_cast<unsigned char*>(os::allocatePages(LARGE_BLOCK));
            EXPECT_EQ(compareContentsOf(SOURCE, DEST, c.source.size(), c.dest.size()), c.expected);
            if (c.classify) {
                EXPECT_EQ(runState.source.isBinary, c.sourceBinary);
                EXPECT_EQ(runState.dest.isBinary, c.destBinary);
            }
            EXPECT_EQ(sim::machine().readsBeside > 0, reading.beside() && !c.source.empty());
            endReaderThread();
            EXPECT_EQ(sim::threadsRunning(), 0);
            os::releasePages(runState.source.buffer);
            os::releasePages(runState.dest.buffer);
            runState.source.buffer = runState.dest.buffer = nullptr;
            settings = saved;
        }
    }
}

}  // namespace
