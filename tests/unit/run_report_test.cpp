// Byte scaling, durations, the stopwatch over local calendar fields and the log banners.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "output/log_file.h"
#include "output/run_report.h"
#include "output/stopwatch.h"
#include "platform/sim/machine.h"

namespace {

int64_t utc(int year, int month, int day, int hour, int minute, int second) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    return static_cast<int64_t>(timegm(&fields));
}

TEST(ScaleBytes, UnitsAndTruncatedTenths) {
    const struct {
        uint64_t bytes;
        uint32_t whole, tenths;
        char unit;
    } cases[] = {
        {1023, 1023, 0, '\0'}, {1024, 1, 0, 'K'},         {1048575, 1023, 9, 'K'},
        {1048576, 1, 0, 'M'},  {(1ull << 30) - 1, 1023, 9, 'M'}, {5ull << 40, 5120, 0, 'G'},
    };
    for (const auto& c : cases) {
        ScaledBytes scaled = scaleBytes(c.bytes);
        EXPECT_EQ(scaled.whole, c.whole) << c.bytes;
        EXPECT_EQ(scaled.tenths, c.tenths) << c.bytes;
        EXPECT_EQ(scaled.unit, c.unit) << c.bytes;
    }
}

TEST(FormatDuration, SecondsMinutesHours) {
    const struct {
        int32_t seconds;
        const char* text;
    } cases[] = {
        {59, "59秒"}, {60, "1分00秒"}, {3599, "59分59秒"}, {3600, "1時間00分00秒"}, {90061, "25時間01分01秒"},
    };
    for (const auto& c : cases) {
        char text[64];
        formatDuration(c.seconds, text, sizeof text);
        EXPECT_STREQ(text, c.text) << c.seconds;
    }
}

int32_t measure(int32_t biasMinutes, int64_t start, int64_t end) {
    sim::resetMachine();
    sim::machine().timeZoneBiasMinutes = biasMinutes;
    sim::machine().calendarTimes = {start, end};
    stopwatchStart();
    return stopwatchRead();
}

TEST(Stopwatch, CountsAcrossYearEnds) {
    // New Year's Eve of a common year and of a leap year.
    EXPECT_EQ(measure(0, utc(2023, 12, 31, 23, 59, 50), utc(2024, 1, 1, 0, 0, 10)), 20);
    EXPECT_EQ(measure(0, utc(2024, 2, 28, 12, 0, 0), utc(2024, 3, 1, 12, 0, 0)), 2 * 86400);
    // Several years, the leap day of 2024 included.
    EXPECT_EQ(measure(0, utc(2023, 6, 1, 0, 0, 0), utc(2025, 6, 1, 0, 0, 0)),
              (365 + 366) * 86400);
    // 2100 is no leap year, 2000 is.
    EXPECT_EQ(measure(0, utc(2099, 12, 31, 0, 0, 0), utc(2101, 1, 1, 0, 0, 0)), 366 * 86400);
    EXPECT_EQ(measure(0, utc(1999, 12, 31, 0, 0, 0), utc(2001, 1, 1, 0, 0, 0)), 367 * 86400);
}

TEST(Stopwatch, UsesLocalYearNotUtcYear) {
    // 15:00 UTC on 31 December is already New Year in a zone nine hours ahead.
    EXPECT_EQ(measure(-540, utc(2024, 12, 31, 14, 59, 30), utc(2024, 12, 31, 15, 0, 30)), 60);
}

// ---- Log banners --------------------------------------------------------------------

std::string openAndClose(int32_t mode, std::vector<std::string> arguments, char switchChar = '/') {
    std::vector<char*> argv;
    for (auto& text : arguments) argv.push_back(text.data());
    bool heldOpen = true;
    FILE* stream = openLog("C:\\work\\run.log", mode, switchChar, static_cast<int>(argv.size()),
                           argv.data(), 0, "morvi", "1.62", &heldOpen);
    EXPECT_NE(stream, nullptr);
    EXPECT_FALSE(heldOpen);
    if (stream != nullptr) std::fclose(stream);
    return sim::contentsOf("C:\\work\\run.log");
}

const std::string START_BANNER = "morvi実行開始 2024年03月05日(火) 09時05分07秒 ［morvi 第1.62版］\n";

TEST(LogFile, ConfigurationOptionLinesAreEchoedBetweenExecutableAndArguments) {
    sim::resetMachine();  // 2024-03-05 00:05:07 UTC, nine hours ahead locally
    sim::machine().environment.push_back({"TEMP", "C:\\tmp"});
    sim::addFile("C:\\program files\\morvi.cfg",
                 "  /d/c   # both\r\n"
                 "switch = -\r\n"
                 "/sf*.tmp *.bak  \r\n"
                 "\r\n"
                 "-log%TEMP%\\r.log\r\n"
                 "plain words\r\n");
    std::string log = openAndClose(1, {"C:\\program files\\morvi.exe", "src"}, '-');
    EXPECT_EQ(log, START_BANNER +
                       "\"C:\\program files\\morvi.exe\" /d/c \"/sf*.tmp *.bak\" "
                       "-logC:\\tmp\\r.log src\n\n");
}

TEST(LogFile, ExecutableAloneEndsWithItsSpace) {
    sim::resetMachine();
    EXPECT_EQ(openAndClose(1, {"C:\\tools\\morvi.exe"}), START_BANNER + "C:\\tools\\morvi.exe \n\n");
}

TEST(LogFile, BinaryConfigurationStopsTheEcho) {
    sim::resetMachine();
    sim::addFile("C:\\tools\\morvi.cfg", "/d\n/c\x01\n/t\n");
    EXPECT_EQ(openAndClose(1, {"C:\\tools\\morvi.exe", "s"}),
              START_BANNER + "C:\\tools\\morvi.exe /d s\n\n");
}

}  // namespace
