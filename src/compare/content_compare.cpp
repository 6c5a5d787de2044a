#include "compare/content_compare.h"

#include <cstdio>
#include <cstring>

#include "compare/compare_entry.h"
#include "platform/platform.h"
#include "run/run_state.h"
#include "run/settings.h"

bool sourceIsBinary = false;
bool destIsBinary = false;

namespace {

// Control codes that plain text never holds; tab, line ends, form feed, escape, 0x1A and
// NUL stay text, and so do both bytes of double-byte characters.
bool isBinaryByte(unsigned char byte) {
    return (byte >= 0x01 && byte <= 0x06) || (byte >= 0x0E && byte <= 0x19) ||
           (byte >= 0x1C && byte <= 0x1F) || byte == 0x7F || byte == 0xFF;
}

bool holdsBinaryByte(const unsigned char* bytes, uint32_t count) {
    for (uint32_t k = 0; k < count; ++k)
        if (isBinaryByte(bytes[k])) return true;
    return false;
}

int sizeDifference() { return settings.compareSize ? RESULT_SIZE : RESULT_CONTENTS; }

// The end of the files is known only from two empty reads: a short block of equal length
// on both sides is compared like any other.
int compareBlocks(os::FileHandle source, os::FileHandle dest) {
    uint32_t size = static_cast<uint32_t>(settings.blockSize);
    for (;;) {
        uint32_t sourceCount = 0, destCount = 0;
        if (!os::readFile(source, runState.sourceBuffer, size, &sourceCount)) return RESULT_SOURCE_READ;
        if (!os::readFile(dest, runState.destBuffer, size, &destCount)) return RESULT_DEST_READ;
        if (sourceCount == 0 && destCount == 0) return RESULT_MATCH;
        if (sourceCount != destCount) return sizeDifference();
        if (std::memcmp(runState.sourceBuffer, runState.destBuffer, sourceCount) != 0)
            return RESULT_CONTENTS;
    }
}

// After a difference both files are read on until each side's class is known.
int compareBlocksClassifying(os::FileHandle source, os::FileHandle dest) {
    uint32_t size = static_cast<uint32_t>(settings.blockSize);
    sourceIsBinary = false;
    destIsBinary = false;
    int result = RESULT_MATCH;
    bool sourceEnded = false, destEnded = false;
    uint32_t sourceCount = 0, destCount = 0;
    for (;;) {
        if (!sourceEnded) {
            if (!os::readFile(source, runState.sourceBuffer, size, &sourceCount))
                return RESULT_SOURCE_READ;
            sourceEnded = sourceCount == 0;
        }
        if (!destEnded) {
            if (!os::readFile(dest, runState.destBuffer, size, &destCount)) return RESULT_DEST_READ;
            destEnded = destCount == 0;
        }
        if (!sourceIsBinary) sourceIsBinary = holdsBinaryByte(runState.sourceBuffer, sourceCount);
        if (!destIsBinary) destIsBinary = holdsBinaryByte(runState.destBuffer, destCount);
        if (sourceEnded && destEnded) return result;
        if (result == RESULT_MATCH) {
            if (sourceCount != destCount) return sizeDifference();
            if (std::memcmp(runState.sourceBuffer, runState.destBuffer, sourceCount) != 0)
                result = RESULT_CONTENTS;
        }
        if (result == RESULT_CONTENTS && sourceIsBinary && destIsBinary) return result;
    }
}

int compareHandles(const char* sourcePath, const char* destPath) {
    os::FileHandle source = os::openFileForReading(sourcePath, settings.sourceOpenFlags);
    if (source == nullptr) return RESULT_SOURCE_OPEN;
    os::FileHandle dest = os::openFileForReading(destPath, settings.destOpenFlags);
    if (dest == nullptr) {
        os::closeHandle(source);
        return RESULT_DEST_OPEN;
    }
    int result = settings.textBinaryCheck ? compareBlocksClassifying(source, dest)
                                          : compareBlocks(source, dest);
    os::closeHandle(source);
    os::closeHandle(dest);
    return result;
}

// One byte of a stream, or EOF at its end; -2 when the read itself failed.
constexpr int READ_FAILED = -2;

int nextByte(FILE* stream) {
    int byte = std::fgetc(stream);
    if (byte == EOF && std::ferror(stream)) return READ_FAILED;
    return byte;
}

// In byte mode a 0x1A that ends a file is an end-of-file mark, which text never carries.
bool endsAfterMark(FILE* stream, int byte) {
    if (byte != 0x1A) return false;
    int following = std::fgetc(stream);
    if (following == EOF) return true;
    std::ungetc(following, stream);
    return false;
}

int compareStreams(FILE* source, FILE* dest) {
    for (;;) {
        int sourceByte = nextByte(source);
        if (sourceByte == READ_FAILED) return RESULT_SOURCE_READ;
        int destByte = nextByte(dest);
        if (destByte == READ_FAILED) return RESULT_DEST_READ;
        if (sourceByte == EOF && destByte == EOF) return RESULT_MATCH;
        if (sourceByte != destByte) return RESULT_CONTENTS;
    }
}

void classify(bool& isBinary, FILE* stream, int byte) {
    if (isBinary || byte == EOF) return;
    isBinary = endsAfterMark(stream, byte) || isBinaryByte(static_cast<unsigned char>(byte));
}

int compareStreamsClassifying(FILE* source, FILE* dest) {
    sourceIsBinary = false;
    destIsBinary = false;
    int result = RESULT_MATCH;
    int sourceByte = 0, destByte = 0;
    for (;;) {
        if (sourceByte != EOF) sourceByte = nextByte(source);
        if (sourceByte == READ_FAILED) return RESULT_SOURCE_READ;
        if (destByte != EOF) destByte = nextByte(dest);
        if (destByte == READ_FAILED) return RESULT_DEST_READ;
        if (sourceByte == EOF && destByte == EOF) return result;
        classify(sourceIsBinary, source, sourceByte);
        classify(destIsBinary, dest, destByte);
        if (sourceByte != destByte) result = RESULT_CONTENTS;
        if (result == RESULT_CONTENTS && sourceIsBinary && destIsBinary) return result;
    }
}

int compareBytes(const char* sourcePath, const char* destPath) {
    FILE* source = os::openStream(sourcePath, "rb");
    if (source == nullptr) return RESULT_SOURCE_OPEN;
    FILE* dest = os::openStream(destPath, "rb");
    if (dest == nullptr) {
        std::fclose(source);
        return RESULT_DEST_OPEN;
    }
    int result = settings.textBinaryCheck ? compareStreamsClassifying(source, dest)
                                          : compareStreams(source, dest);
    std::fclose(source);
    std::fclose(dest);
    return result;
}

}  // namespace

int compareContentsOf(const char* sourcePath, const char* destPath) {
    if (settings.blockSize > 1) return compareHandles(sourcePath, destPath);
    return compareBytes(sourcePath, destPath);
}
