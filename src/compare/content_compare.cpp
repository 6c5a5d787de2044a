#include "compare/content_compare.h"

#include <cstdio>
#include <cstring>

#include "compare/reader_thread.h"
#include "platform/platform.h"
#include "run/run_state.h"
#include "run/settings.h"

namespace {

// Control codes that plain text never holds; tab, line ends, form feed, escape, 0x1A and
// NUL stay text, and so do both bytes of double-byte characters.
bool makesFileBinary(unsigned char byte) {
    return (byte >= 0x01 && byte <= 0x06) || (byte >= 0x0E && byte <= 0x19) ||
           (byte >= 0x1C && byte <= 0x1F) || byte == 0x7F || byte == 0xFF;
}

bool holdsBinaryByte(const unsigned char* bytes, uint32_t count) {
    for (uint32_t k = 0; k < count; ++k)
        if (makesFileBinary(bytes[k])) return true;
    return false;
}

PairResult sizeDifference() { return settings.compareSize ? RESULT_SIZE : RESULT_CONTENTS; }

// One side's open file in block mode: the last block read into the side's buffer.
struct BlockReader {
    os::FileHandle file;
    Side& side;
    uint64_t unread;  // as the listing says; it only decides which thread reads
    uint32_t count = 0;
    bool ended = false;
    bool failed = false;  // the last read
};

uint32_t blockBytes() { return static_cast<uint32_t>(settings.blockSize); }

void classifyBlock(const BlockReader& reader) {
    if (!reader.side.isBinary) reader.side.isBinary = holdsBinaryByte(reader.side.buffer, reader.count);
}

// Reads the next block unless the side has ended, and classifies it when that is asked.
void readBlock(BlockReader& reader) {
    if (reader.ended) return;
    reader.failed = !os::readFile(reader.file, reader.side.buffer, blockBytes(), &reader.count);
    if (reader.failed) return;
    reader.ended = reader.count == 0;
    reader.unread -= reader.count < reader.unread ? reader.count : reader.unread;
    if (settings.textBinaryCheck) classifyBlock(reader);
}

void readSourceBlock(void* source) { readBlock(*static_cast<BlockReader*>(source)); }

// Below this a block is read or compared in less time than the work takes to hand over to
// the other thread and back.
constexpr uint32_t BESIDE_BYTES = 64 * 1024;

bool worthReadingBeside(const BlockReader& reader) {
    return !reader.ended && blockBytes() >= BESIDE_BYTES && reader.unread >= BESIDE_BYTES;
}

// The next block of each side that has not ended; large ones are read at the same time, the
// source's on the reader thread. When both reads fail, the source's failure is the one told.
PairResult readBlocks(BlockReader& source, BlockReader& dest) {
    if (worthReadingBeside(source) && worthReadingBeside(dest) &&
        startBeside(BesideWork::reading, readSourceBlock, &source)) {
        readBlock(dest);
        finishBeside();
    } else {
        readBlock(source);
        if (!source.failed) readBlock(dest);
    }
    if (source.failed) return RESULT_SOURCE_READ;
    if (dest.failed) return RESULT_DEST_READ;
    return RESULT_MATCH;
}

bool sameBytes(const unsigned char* source, const unsigned char* dest, uint32_t count) {
    return std::memcmp(source, dest, count) == 0;
}

struct BlockPart {
    const unsigned char* source;
    const unsigned char* dest;
    uint32_t count;
    bool same;
};

void compareBlockPart(void* part) {
    BlockPart& compared = *static_cast<BlockPart*>(part);
    compared.same = sameBytes(compared.source, compared.dest, compared.count);
}

// No disk is read while blocks are compared: the reader thread takes the second half of a
// large pair while this thread compares the first.
bool sameBlocks(const BlockReader& source, const BlockReader& dest) {
    const uint32_t half = (source.count / 2) & ~15u;  // the second half starts aligned
    BlockPart second{source.side.buffer + half, dest.side.buffer + half, source.count - half, false};
    if (source.count >= BESIDE_BYTES && startBeside(BesideWork::computing, compareBlockPart, &second)) {
        const bool first = sameBytes(source.side.buffer, dest.side.buffer, half);
        finishBeside();
        return first && second.same;
    }
    return sameBytes(source.side.buffer, dest.side.buffer, source.count);
}

// The end of the files is known only from two empty reads: a short block of equal length
// on both sides is compared like any other.
PairResult compareBlocks(BlockReader& source, BlockReader& dest) {
    for (;;) {
        if (PairResult failed = readBlocks(source, dest)) return failed;
        if (source.ended && dest.ended) return RESULT_MATCH;
        if (source.count != dest.count) return sizeDifference();
        if (!sameBlocks(source, dest)) return RESULT_CONTENTS;
    }
}

// After a difference both files are read on until each side's class is known; a side at
// its end is not read again.
PairResult compareBlocksClassifying(BlockReader& source, BlockReader& dest) {
    source.side.isBinary = dest.side.isBinary = false;
    PairResult result = RESULT_MATCH;
    for (;;) {
        if (PairResult failed = readBlocks(source, dest)) return failed;
        if (source.ended && dest.ended) return result;
        if (result == RESULT_MATCH) {
            if (source.count != dest.count) return sizeDifference();
            if (!sameBlocks(source, dest)) result = RESULT_CONTENTS;
        }
        if (result == RESULT_CONTENTS && source.side.isBinary && dest.side.isBinary) return result;
    }
}

PairResult compareHandles(const char* sourcePath, const char* destPath, uint64_t sourceSize,
                          uint64_t destSize) {
    os::FileHandle sourceFile = os::openFileForReading(sourcePath, settings.sourceOpenFlags);
    if (sourceFile == nullptr) return RESULT_SOURCE_OPEN;
    os::FileHandle destFile = os::openFileForReading(destPath, settings.destOpenFlags);
    if (destFile == nullptr) {
        os::closeHandle(sourceFile);
        return RESULT_DEST_OPEN;
    }
    BlockReader source{sourceFile, runState.source, sourceSize};
    BlockReader dest{destFile, runState.dest, destSize};
    PairResult result = settings.textBinaryCheck ? compareBlocksClassifying(source, dest)
                                                 : compareBlocks(source, dest);
    os::closeHandle(sourceFile);
    os::closeHandle(destFile);
    return result;
}

// One side's stream in byte mode: the byte just read, EOF at the end.
struct ByteReader {
    FILE* stream;
    Side& side;
    int byte = 0;
};

// false when the read itself failed.
bool readByte(ByteReader& reader) {
    reader.byte = std::fgetc(reader.stream);
    return reader.byte != EOF || !std::ferror(reader.stream);
}

PairResult compareStreams(ByteReader& source, ByteReader& dest) {
    for (;;) {
        if (!readByte(source)) return RESULT_SOURCE_READ;
        if (!readByte(dest)) return RESULT_DEST_READ;
        if (source.byte == EOF && dest.byte == EOF) return RESULT_MATCH;
        if (source.byte != dest.byte) return RESULT_CONTENTS;
    }
}

// In byte mode a 0x1A that ends a file is an end-of-file mark, which text never carries.
bool endsAfterMark(FILE* stream, int byte) {
    if (byte != 0x1A) return false;
    int following = std::fgetc(stream);
    if (following == EOF) return true;
    std::ungetc(following, stream);
    return false;
}

void classifyByte(const ByteReader& reader) {
    if (reader.side.isBinary || reader.byte == EOF) return;
    reader.side.isBinary = endsAfterMark(reader.stream, reader.byte) ||
                           makesFileBinary(static_cast<unsigned char>(reader.byte));
}

PairResult compareStreamsClassifying(ByteReader& source, ByteReader& dest) {
    source.side.isBinary = dest.side.isBinary = false;
    PairResult result = RESULT_MATCH;
    for (;;) {
        if (source.byte != EOF && !readByte(source)) return RESULT_SOURCE_READ;
        if (dest.byte != EOF && !readByte(dest)) return RESULT_DEST_READ;
        if (source.byte == EOF && dest.byte == EOF) return result;
        classifyByte(source);
        classifyByte(dest);
        if (source.byte != dest.byte) result = RESULT_CONTENTS;
        if (result == RESULT_CONTENTS && source.side.isBinary && dest.side.isBinary) return result;
    }
}

PairResult compareBytes(const char* sourcePath, const char* destPath) {
    FILE* sourceStream = os::openStream(sourcePath, "rb");
    if (sourceStream == nullptr) return RESULT_SOURCE_OPEN;
    FILE* destStream = os::openStream(destPath, "rb");
    if (destStream == nullptr) {
        std::fclose(sourceStream);
        return RESULT_DEST_OPEN;
    }
    ByteReader source{sourceStream, runState.source};
    ByteReader dest{destStream, runState.dest};
    PairResult result = settings.textBinaryCheck ? compareStreamsClassifying(source, dest)
                                                 : compareStreams(source, dest);
    std::fclose(sourceStream);
    std::fclose(destStream);
    return result;
}

}  // namespace

PairResult compareContentsOf(const char* sourcePath, const char* destPath, uint64_t sourceSize,
                             uint64_t destSize) {
    if (settings.blockSize > 1) return compareHandles(sourcePath, destPath, sourceSize, destSize);
    return compareBytes(sourcePath, destPath);
}
