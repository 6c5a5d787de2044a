// What the command says at the end of a run: sounds, totals or the stop line, the cache
// lines of the log and the processing time.
#pragma once

#include <cstddef>
#include <cstdint>

// A byte count in K, M or G with one truncated decimal; unit '\0' below 1024.
struct ScaledBytes {
    uint32_t whole;
    uint32_t tenths;
    char unit;
};

ScaledBytes scaleBytes(uint64_t bytes);

// The size part of a total line: the decimal count, or "1.5M(1572864)" from 1024 on.
constexpr size_t BYTE_TEXT_SIZE = 48;
void formatByteTotal(uint64_t bytes, char* text);

// "59秒", "1分01秒", "1時間01分01秒".
void formatDuration(int32_t seconds, char* text, size_t capacity);

struct ByteTexts {
    char compared[BYTE_TEXT_SIZE];
    char mismatched[BYTE_TEXT_SIZE];
};
ByteTexts prepareByteTexts();

// The end sound and the summary of a walk that ran to its end.
void reportFinishedRun(const ByteTexts& texts, int32_t elapsedSeconds);

// The warning sound and the stop line of a walk that was stopped.
void reportStoppedRun();

// Into the open log only: how each side's cache was used.
void writeCacheLines();

void reportProcessingTime(int32_t elapsedSeconds);
