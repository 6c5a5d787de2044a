#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "filter/date_size_ranges.h"
#include "run/settings.h"

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

}  // namespace

TEST(SizeRange, UnitsFractionsFormsAndTests) {
    const int64_t largest = std::numeric_limits<int64_t>::max();
    const std::pair<const char*, int64_t> sizes[] = {
        {"1.5", 1}, {"0.5G", 536870912}, {"0.0009765625K", 1}, {"0.0009K", 0},
        {"0.333333333333333333333K", 341},  // long fractions are truncated, not overflowed
        // What does not fit saturates: the integer part, the unit and the fraction.
        {"9223372036854775807", largest}, {"9223372036854775808", largest},
        {"18446744073709551616", largest}, {"99999999999999999999999999", largest},
        {"9007199254740991K", largest - 1023}, {"9007199254740992k", largest},
        {"8796093022207M", largest - 1048575}, {"8796093022208M", largest},
        {"8589934591.99999999999G", largest}, {"8589934592G", largest}, {"18446744073709551616.5K", largest},
    };
    for (const auto& [text, expected] : sizes) EXPECT_EQ(parseSize(text), expected) << text;
    const struct {
        const char* text;
        std::vector<std::pair<uint64_t, bool>> sizes;
    } cases[] = {
        {"1024", {{1023, false}, {1024, true}, {1025, false}}},
        {"1K-", {{1023, false}, {1u << 30, true}}},
        {"1K-2K", {{1023, false}, {1024, true}, {2048, true}, {2049, false}}},
        {"2K-1K", {{1024, false}, {1500, false}, {2048, false}}},
        // Saturated bounds stay bounds: never wrapped to 0, never taken for a sentinel.
        {"9223372036854775808-", {{0, false}, {uint64_t{1} << 62, false}}},
        {"18446744073709551616", {{0, false}, {1, false}}},
        {"-18446744073709551616", {{0, true}, {uint64_t{1} << 62, true}}},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(parseSizeRange(c.text), 0);
        for (const auto& [size, passes] : c.sizes) EXPECT_EQ(sizeInRange(size), passes) << c.text << " " << size;
    }
    EXPECT_EQ(parseSizeRange(""), 2);
    // Only -1 and -2 mean no bound; any other value is a size.
    settings.sizeRange = SizeRange{-3, -2};
    EXPECT_FALSE(sizeInRange(0));
    settings.sizeRange = SizeRange{};
}

TEST(DateInRange, TheFourCases) {
    const struct {
        const char* text;
        DateFields time;
        bool passes;
    } cases[] = {
        {"2001", at(2001, 12, 31, 23, 59, 59), true}, {"2001", at(2002, 1, 1), false},
        {"20050101-20040101", at(2006, 6, 1), true}, {"20050101-20040101", at(2004, 6, 1), false},
        {"-2005", at(2005, 12, 31, 23, 59, 59), true}, {"-2005", at(2006, 1, 1), false},
        {"20010201-200102", at(2001, 2, 28, 23, 59, 59), true}, {"20010201-200102", at(2001, 3, 1), false},
        // an end year without a start: every earlier year passes
        {"x-2005", at(1999, 1, 1), true}, {"x-2005", at(2006, 1, 1), false},
        // First and last seconds, which 80-bit x87 arithmetic once moved; a start equal to its
        // end is no start after the end.
        {"2001-2002", at(2002, 12, 31, 23, 59, 59), true},
        {"20050630184517-2006", at(2005, 6, 30, 18, 45, 17), true},
        {"20050630184517-2006", at(2005, 6, 30, 18, 45, 16), false},
        {"20010315123045-20010315123045", at(2001, 3, 15, 12, 30, 46), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dateInRange(c.time, rangeOf(c.text)), c.passes)
            << c.text << " against row " << &c - cases;
    // Month ends of leap and common years.
    const int months[][3] = {{2000, 2, 29}, {1900, 2, 28}, {2100, 2, 28}, {2004, 2, 29}};
    for (const auto& m : months) EXPECT_EQ(daysInMonth(m[0], m[1]), m[2]) << m[0];
}

// Whole seconds of the Julian Date: the known dates, one second between the last second of
// every day and the first of the next (leap days and the Gregorian switch included), and no
// overflow at the limits of the fields.
TEST(JulianSeconds, KnownDatesContinuityAndLimits) {
    EXPECT_EQ(julianSeconds(2000, 1, 1, 0, 0, 0), 4903089 * int64_t{43200});  // 2451544.5 days
    EXPECT_EQ(julianSeconds(2000, 3, 1, 0, 0, 0), 4903209 * int64_t{43200});
    EXPECT_EQ(julianSeconds(1900, 3, 1, 0, 0, 0), 4830159 * int64_t{43200});
    for (int32_t year = 8; year <= 2400; ++year)
        for (int32_t month = 1; month <= 12; ++month)
            for (int32_t day = 1; day <= daysInMonth(year, month); ++day) {
                if (year == 1582 && month == 10 && day > 4 && day < 15) continue;
                bool lastOfMonth = day == daysInMonth(year, month);
                int32_t nextDay = year == 1582 && month == 10 && day == 4 ? 15 : lastOfMonth ? 1 : day + 1;
                int32_t nextMonth = lastOfMonth ? month % 12 + 1 : month;
                int32_t nextYear = lastOfMonth && month == 12 ? year + 1 : year;
                ASSERT_EQ(julianSeconds(year, month, day, 23, 59, 59) + 1,
                          julianSeconds(nextYear, nextMonth, nextDay, 0, 0, 0))
                    << year << "-" << month << "-" << day;
            }
    const int32_t most = std::numeric_limits<int32_t>::max(), least = std::numeric_limits<int32_t>::min();
    EXPECT_LT(julianSeconds(most - 1, 12, 31, 23, 59, 59), julianSeconds(most, 1, 1, 0, 0, 0));
    EXPECT_LT(julianSeconds(least, 1, 1, 0, 0, 0), julianSeconds(least + 1, 1, 1, 0, 0, 0));
    EXPECT_LT(julianSeconds(2000, least, least, least, least, least), julianSeconds(2000, most, most, most, most, most));
}
