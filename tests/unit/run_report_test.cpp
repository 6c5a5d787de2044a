// The stopwatch over local calendar fields and the log banner.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

// The simulated machine runs in host builds only.
#ifndef _WIN32
#include "output/log_file.h"
#include "output/stopwatch.h"
#include "platform/sim/machine.h"

namespace {

int64_t utc(int year, int month, int day, int hour, int minute, int second) {
    std::tm fields{};
    fields.tm_year = year - 1900, fields.tm_mon = month - 1, fields.tm_mday = day;
    fields.tm_hour = hour, fields.tm_min = minute, fields.tm_sec = second;
    return static_cast<int64_t>(timegm(&fields));
}

int32_t measure(int32_t biasMinutes, int64_t start, int64_t end) {
    sim::resetMachine();
    sim::machine().timeZoneBiasMinutes = biasMinutes;
    sim::machine().calendarTimes = {start, end};
    stopwatchStart();
    return stopwatchRead();
}

TEST(Stopwatch, CountsAcrossYearEndsInLocalTime) {
    EXPECT_EQ(measure(0, utc(2023, 12, 31, 23, 59, 50), utc(2024, 1, 1, 0, 0, 10)), 20);
    // 2100 is no leap year, 2000 is.
    EXPECT_EQ(measure(0, utc(2099, 12, 31, 0, 0, 0), utc(2101, 1, 1, 0, 0, 0)), 366 * 86400);
    EXPECT_EQ(measure(0, utc(1999, 12, 31, 0, 0, 0), utc(2001, 1, 1, 0, 0, 0)), 367 * 86400);
    // 15:00 UTC on 31 December is already New Year in a zone nine hours ahead.
    EXPECT_EQ(measure(-540, utc(2024, 12, 31, 14, 59, 30), utc(2024, 12, 31, 15, 0, 30)), 60);
}

// Configuration option lines are echoed between the executable and the arguments; the
// switch line is not, and arguments with blanks are quoted.
TEST(LogFile, StartBannerEchoesTheConfigurationOptionLines) {
    sim::resetMachine();  // 2024-03-05 00:05:07 UTC, nine hours ahead locally
    sim::machine().environment.push_back({"TEMP", "C:\\tmp"});
    sim::addFile("C:\\program files\\morvi.cfg",
                 "  /d/c   # both\r\nswitch = -\r\n/sf*.tmp *.bak  \r\n\r\n-log%TEMP%\\r.log\r\nplain words\r\n");
    std::string executable = "C:\\program files\\morvi.exe", source = "src";
    char* argv[] = {executable.data(), source.data()};
    bool heldOpen = true;
    FILE* stream = openLog("C:\\work\\run.log", 1, '-', 2, argv, 0, "morvi", "1.62", &heldOpen);
    ASSERT_NE(stream, nullptr);
    EXPECT_FALSE(heldOpen);
    std::fclose(stream);
    EXPECT_EQ(sim::contentsOf("C:\\work\\run.log"),
              "morvi実行開始 2024年03月05日(火) 09時05分07秒 ［morvi 第1.62版］\n"
              "\"C:\\program files\\morvi.exe\" /d/c \"/sf*.tmp *.bak\" -logC:\\tmp\\r.log src\n\n");
}

}  // namespace
#endif
