// The content comparison over the simulated machine: block mode, byte mode and the
// text/binary classification, called directly with the run's buffers in place; and whole
// runs that show the buffers are not allocated per file.
#include <gtest/gtest.h>

#include <algorithm>
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
    void SetUp() override {
        savedSettings = settings;
        sim::resetMachine();
        sim::addVolume("D:\\");
    }
    void TearDown() override {
        settings = savedSettings;
        os::releasePages(runState.sourceBuffer);
        os::releasePages(runState.destBuffer);
        runState.sourceBuffer = nullptr;
        runState.destBuffer = nullptr;
    }

    // Puts the two files in place and compares them the way a run with this block size does.
    int compare(const std::string& source, const std::string& dest, int blockSize = BLOCK) {
        sourceNode = &sim::addFile(SOURCE, source);
        destNode = &sim::addFile(DEST, dest);
        return compareAgain(blockSize);
    }
    int compareAgain(int blockSize = BLOCK) {
        settings.blockSize = blockSize;
        if (blockSize > 1 && runState.sourceBuffer == nullptr) {
            runState.sourceBuffer = static_cast<unsigned char*>(os::allocatePages(blockSize));
            runState.destBuffer = static_cast<unsigned char*>(os::allocatePages(blockSize));
        }
        return compareContentsOf(SOURCE, DEST);
    }

    Settings savedSettings;
    sim::Node* sourceNode = nullptr;
    sim::Node* destNode = nullptr;
};

std::string text(size_t length) {
    std::string bytes;
    for (size_t k = 0; k < length; ++k) bytes += static_cast<char>('a' + k % 26);
    return bytes;
}

TEST_F(ContentCompare, BlockAndByteModeResults) {
    const std::string large = text(3 * BLOCK + 100);
    std::string lastDiffers = large;
    lastDiffers.back() = '#';
    struct Case {
        const char* name;
        std::string source, dest;
        int blockSize, compareSize, textBinaryCheck;
        int expected;
    } cases[] = {
        {"both empty", "", "", BLOCK, 1, 0, RESULT_MATCH},
        {"several blocks and a short one", large, large, BLOCK, 1, 0, RESULT_MATCH},
        {"last byte of a large file", large, lastDiffers, BLOCK, 1, 0, RESULT_CONTENTS},
        {"destination longer, size compared", large, large + "x", BLOCK, 1, 0, RESULT_SIZE},
        {"destination longer, size not compared", large, large + "x", BLOCK, 0, 0, RESULT_CONTENTS},
        {"differ inside the same count", "abc", "abd", BLOCK, 1, 0, RESULT_CONTENTS},
        {"bytes equal", "abc\x1a", "abc\x1a", 1, 1, 0, RESULT_MATCH},
        {"bytes both empty", "", "", 1, 1, 0, RESULT_MATCH},
        {"bytes: a length differs, never a size result", "abc", "abcd", 1, 1, 0, RESULT_CONTENTS},
        {"bytes: a length differs, classified", "abc", "abcd", 1, 1, 1, RESULT_CONTENTS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        settings.compareSize = c.compareSize;
        settings.textBinaryCheck = c.textBinaryCheck;
        EXPECT_EQ(compare(c.source, c.dest, c.blockSize), c.expected);
        TearDown();
    }
}

// The end shows only as two empty reads, so a read failing just after the last block
// still counts, also after a short block.
TEST_F(ContentCompare, EndNeedsTwoEmptyReads) {
    for (size_t length : {static_cast<size_t>(BLOCK), static_cast<size_t>(100)}) {
        SCOPED_TRACE(length);
        SetUp();
        compare(text(length), text(length));
        sourceNode->readFailsAt = 1;
        EXPECT_EQ(compareAgain(), RESULT_SOURCE_READ);
        sourceNode->readFailsAt = -1;
        destNode->readFailsAt = 1;
        EXPECT_EQ(compareAgain(), RESULT_DEST_READ);
        TearDown();
    }
}

TEST_F(ContentCompare, OpenAndReadFailuresOnEachSide) {
    struct Case {
        const char* name;
        bool sourceOpenFails, destOpenFails;
        int sourceReadFails, destReadFails;
        int blockSize;
        int expected;
    } cases[] = {
        {"source open", true, false, -1, -1, BLOCK, RESULT_SOURCE_OPEN},
        {"destination open", false, true, -1, -1, BLOCK, RESULT_DEST_OPEN},
        {"both open: the source first", true, true, -1, -1, BLOCK, RESULT_SOURCE_OPEN},
        {"destination read", false, false, -1, 0, BLOCK, RESULT_DEST_READ},
        {"source read, second block", false, false, 1, -1, BLOCK, RESULT_SOURCE_READ},
        {"byte mode destination open", false, true, -1, -1, 1, RESULT_DEST_OPEN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        compare(text(2 * BLOCK), text(2 * BLOCK));
        sourceNode->openFails = c.sourceOpenFails;
        destNode->openFails = c.destOpenFails;
        sourceNode->readFailsAt = c.sourceReadFails;
        destNode->readFailsAt = c.destReadFails;
        EXPECT_EQ(compareAgain(c.blockSize), c.expected);
        TearDown();
    }
}

TEST_F(ContentCompare, TextAgainstBinary) {
    const std::string plain = "line\r\n\tA\x1b[0m\x1a" + std::string(1, '\0') + "漢字\n";
    std::string binaryLate = text(3 * BLOCK);
    binaryLate[2 * BLOCK + 5] = '\x01';
    struct Case {
        const char* name;
        std::string source, dest;
        int blockSize;
        int expected;
        bool sourceBinary, destBinary;
    } cases[] = {
        {"text against binary", plain, plain + "\x1c", BLOCK, RESULT_SIZE, false, true},
        {"binary against text", "ab\xff\n", "abc\n", BLOCK, RESULT_CONTENTS, true, false},
        {"equal binaries", "\x05\x06", "\x05\x06", BLOCK, RESULT_MATCH, true, true},
        // after the first difference the files are read on to classify their later blocks
        {"binary byte blocks after the difference", "X" + text(3 * BLOCK).substr(1), binaryLate, BLOCK,
         RESULT_CONTENTS, false, true},
        {"0x1A ends a file, blocks", "abc\x1a", "abd\x1a", BLOCK, RESULT_CONTENTS, false, false},
        {"0x1A ends a file, bytes", "abc\x1a", "abd\x1a", 1, RESULT_CONTENTS, true, true},
        {"0x1A inside a file, bytes", "ab\x1a" "c", "ab\x1a" "d", 1, RESULT_CONTENTS, false, false},
        {"binary byte behind the difference, bytes", "abcdef", "abXde\x02", 1, RESULT_CONTENTS,
         false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        settings.textBinaryCheck = 1;
        sourceIsBinary = destIsBinary = true;
        EXPECT_EQ(compare(c.source, c.dest, c.blockSize), c.expected);
        EXPECT_EQ(sourceIsBinary, c.sourceBinary);
        EXPECT_EQ(destIsBinary, c.destBinary);
        TearDown();
    }
}

// Whole runs: the allocations of a run do not grow with the number of files compared.
int allocationsOf(const sim::RunOutput& run) {
    for (const std::string& event : run.events)
        if (event.rfind("allocations ", 0) == 0) return std::stoi(event.substr(12));
    return -1;
}

sim::RunOutput runOver(int files) {
    sim::resetMachine();
    sim::addVolume("D:\\");
    for (int k = 0; k < files; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "f%05d.txt", k);
        std::string contents = text(100 + k % 700);
        sim::addFile(std::string("C:\\src\\") + name, contents);
        sim::addFile(std::string("D:\\dst\\") + name, contents);
    }
    return sim::runProgram({"C:\\src", "D:\\dst"});
}

TEST(ContentCompareRun, NoAllocationPerFile) {
    sim::RunOutput few = runOver(10);
    sim::RunOutput many = runOver(1000);
    ASSERT_EQ(few.exitCode, 0) << few.out << few.err;
    ASSERT_EQ(many.exitCode, 0) << many.out << many.err;
    EXPECT_GT(allocationsOf(few), 0);
    EXPECT_EQ(allocationsOf(many), allocationsOf(few));
}

}  // namespace
