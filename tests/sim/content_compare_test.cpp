// The content comparison over the simulated machine: block mode, byte mode and the
// text/binary classification, called directly with the run's buffers in place.
#include <gtest/gtest.h>

#include <string>

#include "compare/compare_entry.h"
#include "compare/content_compare.h"
#include "platform/sim/machine.h"
#include "run/run_state.h"
#include "run/settings.h"

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
        EXPECT_EQ(compareContentsOf(SOURCE, DEST), c.expected);
        os::releasePages(runState.source.buffer);
        os::releasePages(runState.dest.buffer);
        runState.source.buffer = runState.dest.buffer = nullptr;
        settings = saved;
        if (!c.classify) continue;
        EXPECT_EQ(runState.source.isBinary, c.sourceBinary);
        EXPECT_EQ(runState.dest.isBinary, c.destBinary);
    }
}

}  // namespace
