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

class ContentCompare : public ::testing::Test {
protected:
    void TearDown() override {
        settings = saved;
        os::releasePages(runState.sourceBuffer);
        os::releasePages(runState.destBuffer);
        runState.sourceBuffer = runState.destBuffer = nullptr;
    }

    // A fresh machine with the two files; compare() reads them as a run with this block size does.
    void place(const std::string& source, const std::string& dest) {
        TearDown();
        sim::resetMachine();
        sim::addVolume("D:\\");
        sourceNode = &sim::addFile(SOURCE, source);
        destNode = &sim::addFile(DEST, dest);
    }
    int compare(int blockSize = BLOCK) {
        settings.blockSize = blockSize;
        if (blockSize > 1) {
            runState.sourceBuffer = static_cast<unsigned char*>(os::allocatePages(blockSize));
            runState.destBuffer = static_cast<unsigned char*>(os::allocatePages(blockSize));
        }
        return compareContentsOf(SOURCE, DEST);
    }

    const Settings saved = settings;
    sim::Node* sourceNode = nullptr;
    sim::Node* destNode = nullptr;
};

std::string text(size_t length) {
    std::string bytes;
    for (size_t k = 0; k < length; ++k) bytes += static_cast<char>('a' + k % 26);
    return bytes;
}

// classify: 0 off; else the text/binary classification is on and its outcome checked.
TEST_F(ContentCompare, ResultsInBlockAndByteModeWithTheTextBinaryClassification) {
    const std::string large = text(3 * BLOCK + 100);
    std::string lastDiffers = large;
    lastDiffers.back() = '#';
    const std::string plain = "line\r\n\tA\x1b[0m\x1a" + std::string(1, '\0') + "漢字\n";
    std::string binaryLate = text(3 * BLOCK);
    binaryLate[2 * BLOCK + 5] = '\x01';
    struct Case {
        const char* name;
        std::string source, dest;
        int blockSize, compareSize, classify, expected;
        bool sourceBinary, destBinary;
    } cases[] = {
        {"both empty", "", "", BLOCK, 1, 0, RESULT_MATCH, 0, 0},
        {"several blocks and a short one", large, large, BLOCK, 1, 0, RESULT_MATCH, 0, 0},
        {"last byte of a large file", large, lastDiffers, BLOCK, 1, 0, RESULT_CONTENTS, 0, 0},
        {"destination longer, size compared", large, large + "x", BLOCK, 1, 0, RESULT_SIZE, 0, 0},
        {"destination longer, size not compared", large, large + "x", BLOCK, 0, 0, RESULT_CONTENTS, 0, 0},
        {"bytes equal", "abc\x1a", "abc\x1a", 1, 1, 0, RESULT_MATCH, 0, 0},
        {"bytes both empty", "", "", 1, 1, 0, RESULT_MATCH, 0, 0},
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        place(c.source, c.dest);
        settings.compareSize = c.compareSize;
        settings.textBinaryCheck = c.classify;
        sourceIsBinary = destIsBinary = true;
        EXPECT_EQ(compare(c.blockSize), c.expected);
        if (!c.classify) continue;
        EXPECT_EQ(sourceIsBinary, c.sourceBinary);
        EXPECT_EQ(destIsBinary, c.destBinary);
    }
}

// The end shows only as two empty reads, so a read failing just after the last block
// still counts, also after a short block. Both opens failing report the source.
TEST_F(ContentCompare, EndNeedsTwoEmptyReadsAndTheSourceFailsFirst) {
    struct Case {
        size_t length;
        bool openFails;
        int sourceReadFails, destReadFails, expected;
    } cases[] = {
        {BLOCK, false, 1, -1, RESULT_SOURCE_READ}, {BLOCK, false, -1, 1, RESULT_DEST_READ},
        {100, false, 1, -1, RESULT_SOURCE_READ},   {100, false, -1, 1, RESULT_DEST_READ},
        {100, true, -1, -1, RESULT_SOURCE_OPEN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        place(text(c.length), text(c.length));
        sourceNode->openFails = destNode->openFails = c.openFails;
        sourceNode->readFailsAt = c.sourceReadFails;
        destNode->readFailsAt = c.destReadFails;
        EXPECT_EQ(compare(), c.expected);
    }
}

}  // namespace
