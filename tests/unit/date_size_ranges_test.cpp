#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "filter/date_size_ranges.h"
#include "filter/filter_lists.h"

namespace {

DateFields at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    DateFields f;
    f.year = y, f.month = mo, f.day = d, f.hour = h, f.minute = mi, f.second = s;
    return f;
}

DateRange rangeOf(const char* text) {
    DateRange range;
    parseDateRange(text, range);
    return range;
}

std::vector<int> fieldsOf(const DateFields& f) {
    return {f.year, f.month, f.day, f.hour, f.minute, f.second};
}

}  // namespace

TEST(ParseSize, UnitsFractionsAndPlainNumbers) {
    const std::pair<const char*, int64_t> cases[] = {
        {"+100", 100}, {"1.5", 1},       {"1.5k", 1536},         {"2M", 2097152},
        {"0.5G", 536870912}, {"3.K", 3072}, {"0.0009765625K", 1}, {"0.0009K", 0},
        {"0.333333333333333333333K", 341},  // long fractions are truncated, not overflowed
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(parseSize(text), expected) << text;
}

TEST(SizeRange, FormsAndTests) {
    struct Case {
        const char* text;
        std::vector<std::pair<uint64_t, bool>> sizes;
    };
    const Case cases[] = {
        {"1024", {{1023, false}, {1024, true}, {1025, false}}},
        {"1K-", {{1023, false}, {1024, true}, {1u << 30, true}}},
        {"-1K", {{0, true}, {1024, true}, {1025, false}}},
        {"1K-2K", {{1023, false}, {1024, true}, {2048, true}, {2049, false}}},
        {"2K-1K", {{1024, false}, {1500, false}, {2048, false}}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(parseSizeRange(c.text), 0);
        for (const auto& [size, passes] : c.sizes)
            EXPECT_EQ(sizeInRange(size), passes) << c.text << " size " << size;
    }
    EXPECT_EQ(parseSizeRange(""), 2);
    EXPECT_EQ(parseSizeRange("-"), 0);
    EXPECT_EQ(settings.sizeRange.from, -1);
    EXPECT_EQ(settings.sizeRange.to, -1);
}

TEST(ParseDateRange, ReadsFieldsAndEnds) {
    struct Case {
        const char* text;
        std::vector<int> start, end;
    };
    const Case cases[] = {
        {"20010315123045", {2001, 3, 15, 12, 30, 45}, {-1, -1, -1, -1, -1, -1}},
        {"2001031512304", {2001, 3, 15, 12, 30, -1}, {-1, -1, -1, -1, -1, -1}},
        {"-2005", {-2, -1, -1, -1, -1, -1}, {2005, -1, -1, -1, -1, -1}},
        {"20011-", {2001, -1, -1, -1, -1, -1}, {-2, -1, -1, -1, -1, -1}},
        {"200-300", {-1, -1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1, -1}},
        {"12345678", {1234, 56, 78, -1, -1, -1}, {-1, -1, -1, -1, -1, -1}},
        {"20050101-20040101", {2005, 1, 1, -1, -1, -1}, {-2, 1, 1, -1, -1, -1}},
        {"-", {-1, -1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1, -1}},
    };
    for (const Case& c : cases) {
        DateRange range = rangeOf(c.text);
        EXPECT_EQ(fieldsOf(range.start), c.start) << c.text;
        EXPECT_EQ(fieldsOf(range.end), c.end) << c.text;
    }
}

TEST(Calendar, LeapYearsAndMonthLengths) {
    for (int year : {0, 4, 7, 1900, 2001, 2100}) EXPECT_FALSE(isLeapYear(year)) << year;
    for (int year : {8, 1500, 1600, 2000, 2004}) EXPECT_TRUE(isLeapYear(year)) << year;
    const int months[][3] = {{2000, 2, 29}, {1900, 2, 28}, {2001, 4, 30}, {2001, 12, 31}};
    for (const auto& m : months) EXPECT_EQ(daysInMonth(m[0], m[1]), m[2]) << m[0] << "-" << m[1];
}

TEST(DateInRange, TheFourCases) {
    struct Case {
        const char* text;
        DateFields time;
        bool passes;
    };
    const Case cases[] = {
        // a single date
        {"2001", at(2001, 12, 31, 23, 59, 59), true}, {"2001", at(2002, 1, 1), false},
        {"200103", at(2001, 3, 31), true}, {"20010315123045", at(2001, 3, 15, 12, 30, 46), false},
        // open end: the start is inclusive
        {"20010315-", at(2001, 3, 15), true}, {"20010315-", at(2001, 3, 14, 23, 59, 59), false},
        {"20050101-20040101", at(2006, 6, 1), true}, {"20050101-20040101", at(2004, 6, 1), false},
        // open start
        {"-2005", at(2005, 12, 31, 23, 59, 59), true}, {"-2005", at(2006, 1, 1), false},
        {"-12", at(1601, 1, 1), false},
        // both ends
        {"2001-2002", at(2001, 1, 1), true}, {"2001-2002", at(2003, 1, 1), false},
        {"20010201-200102", at(2001, 2, 28, 23, 59, 59), true}, {"20010201-200102", at(2001, 3, 1), false},
        {"20010201-200102", at(2001, 1, 31, 23, 59, 59), false},
        {"20001215-20010115", at(2001, 1, 15, 12), true}, {"20001215-20010115", at(2001, 1, 16), false},
        // an end year without a start: every earlier year passes
        {"x-2005", at(1999, 1, 1), true}, {"x-2005", at(2006, 1, 1), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dateInRange(c.time, rangeOf(c.text)), c.passes)
            << c.text << " " << ::testing::PrintToString(fieldsOf(c.time));
}

TEST(DateOption, FieldSelection) {
    settings = Settings{};
    const std::pair<const char*, DateRange*> cases[] = {
        {"lyd2001", &settings.dirDateWrite},   {"lYDW2002", &settings.dirDateWrite},
        {"lydc2003", &settings.dirDateCreate}, {"lydR2004", &settings.dirDateAccess},
        {"lyC2005", &settings.dateCreate},     {"lyr2006", &settings.dateAccess},
        {"ly2007", &settings.dateWrite},
    };
    for (const auto& [option, range] : cases) {
        ASSERT_EQ(parseLimitOption(option), 0);
        EXPECT_EQ(range->start.year, std::atoi(option + std::strcspn(option, "0123456789"))) << option;
    }
    ASSERT_EQ(parseLimitOption("lyx2001"), 0);
    EXPECT_EQ(settings.dateWrite.start.year, -1);
    EXPECT_EQ(settings.dateWrite.end.year, -1);
    settings = Settings{};
}
