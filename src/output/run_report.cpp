#include "output/run_report.h"

#include <cstdio>

#include "output/console_output.h"
#include "output/log_file.h"
#include "output/output_state.h"
#include "platform/platform.h"
#include "run/run_state.h"
#include "run/settings.h"

namespace {

// Base 10 without the C library, whose 64-bit conversions differ between runtimes.
void formatDecimal(uint64_t value, char* text) {
    char reversed[21];
    int length = 0;
    do {
        reversed[length++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int k = 0; k < length; ++k) text[k] = reversed[length - 1 - k];
    text[length] = '\0';
}

bool atLeast(int32_t elapsedSeconds, int32_t threshold) {
    return threshold >= 0 &&
           static_cast<uint32_t>(elapsedSeconds) >= static_cast<uint32_t>(threshold);
}

bool isWindows95() {
    os::VersionInfo version = os::getVersion();
    return version.readable && version.platformId == 1 && version.major == 4 &&
           version.minor == 0;
}

// Windows 95 needs the bell through the paged error print, behind a line end.
void soundBell(bool lineAfter) {
    if (isWindows95()) {
        errorPrint("\n\a");
        return;
    }
    beforeStandardError();
    os::printStandard(os::StandardStream::error, "\a");
    if (lineAfter) consolePrint("\n");
}

void logLineEnd() {
    if (logStream != nullptr) writeLog("\n");
}

void writeMismatchSummary(const ByteTexts& texts, int32_t elapsedSeconds) {
    logLineEnd();
    if (atLeast(elapsedSeconds, settings.beepThreshold))
        soundBell(true);
    else
        consolePrint("\n");
    if (runTotals.filesCompared != 0) {
        writeOutput("ファイル%u個（%sバイト）中、", runTotals.filesCompared, texts.compared);
        writeOutput("%u個不一致（%sバイト）\n", runTotals.filesMismatched, texts.mismatched);
        if (runTotals.fileHasDirTwin != 0)
            writeOutput("  ファイル同名ディレクトリ%u個存在\n", runTotals.fileHasDirTwin);
    }
    writeOutput("ディレクトリ%u個中、%u個不一致\n", runTotals.dirsCompared, runTotals.dirsMismatched);
    if (runTotals.dirHasFileTwin != 0)
        writeOutput("  ディレクトリ同名ファイル%u個存在\n", runTotals.dirHasFileTwin);
    if (runTotals.sourceVanished != 0)
        writeOutput("照合元行方不明:%u個\n", runTotals.sourceVanished);
}

const char* cacheUse(uint32_t openFlags) {
    return openFlags == os::FLAG_NO_BUFFERING ? "なし" : "あり";
}

const char* cacheClearing(int32_t cleared) {
    if (settings.cacheMode == CACHE_USE) return "(消去なし)";
    return cleared ? "(消去あり)" : "(消去不能)";
}

}  // namespace

ScaledBytes scaleBytes(uint64_t bytes) {
    uint64_t divisor = 0;
    char unit = '\0';
    if (bytes >= (1ull << 30)) {
        divisor = 1ull << 30;
        unit = 'G';
    } else if (bytes >= (1ull << 20)) {
        divisor = 1ull << 20;
        unit = 'M';
    } else if (bytes >= 1024) {
        divisor = 1024;
        unit = 'K';
    }
    if (divisor == 0) return ScaledBytes{static_cast<uint32_t>(bytes), 0, '\0'};
    return ScaledBytes{static_cast<uint32_t>(bytes / divisor),
                       static_cast<uint32_t>(bytes % divisor * 10 / divisor), unit};
}

void formatByteTotal(uint64_t bytes, char* text) {
    char decimal[21];
    formatDecimal(bytes, decimal);
    ScaledBytes scaled = scaleBytes(bytes);
    if (scaled.unit == '\0')
        std::snprintf(text, BYTE_TEXT_SIZE, "%s", decimal);
    else
        std::snprintf(text, BYTE_TEXT_SIZE, "%d.%d%c(%s)", static_cast<int>(scaled.whole),
                      static_cast<int>(scaled.tenths), scaled.unit, decimal);
}

void formatDuration(int32_t seconds, char* text, size_t capacity) {
    if (seconds >= 3600)
        std::snprintf(text, capacity, "%d時間%02d分%02d秒", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    else if (seconds < 60)
        std::snprintf(text, capacity, "%d秒", seconds);
    else
        std::snprintf(text, capacity, "%d分%02d秒", seconds / 60, seconds % 60);
}

ByteTexts prepareByteTexts() {
    ByteTexts texts;
    formatByteTotal(runTotals.bytesCompared, texts.compared);
    formatByteTotal(runTotals.bytesMismatched, texts.mismatched);
    return texts;
}

void reportFinishedRun(const ByteTexts& texts, int32_t elapsedSeconds) {
    if (!settings.verbose.finish) return;
    if (atLeast(elapsedSeconds, settings.beepThreshold)) soundBell(false);
    if (runTotals.filesMismatched != 0 || runTotals.dirsMismatched != 0 ||
        runTotals.sourceVanished != 0)
        writeMismatchSummary(texts, elapsedSeconds);
    else if (runTotals.filesCompared != 0 || runTotals.dirsCompared != 0)
        writeOutput("\n全ファイル（%u個, %sバイト）、全ディレクトリ（%u個）一致\n",
                    runTotals.filesCompared, texts.compared, runTotals.dirsCompared);
    else
        writeOutput("照合対象なし\n");
}

void reportStoppedRun() {
    if (!settings.verbose.finish) return;
    logLineEnd();
    soundBell(true);
    char matched[21];
    formatDecimal(runTotals.bytesCompared - runTotals.bytesMismatched, matched);
    writeOutput("ファイル%u個（%sバイト）、ディレクトリ%u個にて調査を中止しました。\n",
                runTotals.filesCompared, matched, runTotals.dirsCompared);
}

void writeCacheLines() {
    if (logStream == nullptr) return;
    writeLog("照合元:キャッシュ使用%s%s", cacheUse(settings.sourceOpenFlags),
             cacheClearing(runState.source.cacheCleared));
    if (runState.sourceTail != nullptr)
        writeLog(" %s%s\n", runState.source.root.text, runState.sourceTail);
    else
        writeLog(" %s\n", runState.source.root.text);
    writeLog("照合先:キャッシュ使用%s%s %s\n", cacheUse(settings.destOpenFlags),
             cacheClearing(runState.dest.cacheCleared), runState.dest.root.text);
}

void reportProcessingTime(int32_t elapsedSeconds) {
    if (!settings.verbose.finish || !atLeast(elapsedSeconds, settings.timeThreshold)) return;
    char duration[64];
    formatDuration(elapsedSeconds, duration, sizeof duration);
    plainPrint("処理時間:%s", duration);
    consolePrint("\n");
}
