#include "filter/date_size_ranges.h"

#include <cstdint>
#include <cstdlib>

namespace {

constexpr int64_t NOT_GIVEN = -1;
constexpr int64_t OPEN = -2;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int32_t digitsValue(const char* text, int count) {
    int32_t value = 0;
    for (int k = 0; k < count; ++k) value = value * 10 + (text[k] - '0');
    return value;
}

// A year of four digits, then two-digit fields as long as they last; answers where the
// reading stopped, or text itself when there are not four digits.
const char* readDate(const char* text, DateFields& fields) {
    for (int k = 0; k < 4; ++k)
        if (!isDigit(text[k])) return text;
    fields.year = digitsValue(text, 4);
    const char* at = text + 4;
    int32_t* rest[] = {&fields.month, &fields.day, &fields.hour, &fields.minute, &fields.second};
    for (int32_t* field : rest) {
        if (!isDigit(at[0]) || !isDigit(at[1])) break;
        *field = digitsValue(at, 2);
        at += 2;
    }
    return at;
}

int64_t floorDivide(int64_t dividend, int64_t divisor) {
    int64_t quotient = dividend / divisor;
    return quotient * divisor > dividend ? quotient - 1 : quotient;
}

int32_t orDefault(int32_t value, int32_t fallback) { return value < 0 ? fallback : value; }

int64_t startJulian(const DateFields& s) {
    return julianSeconds(s.year, orDefault(s.month, 1), orDefault(s.day, 1), orDefault(s.hour, 0),
                      orDefault(s.minute, 0), orDefault(s.second, 0));
}

int64_t endJulian(const DateFields& e) {
    int32_t month = orDefault(e.month, 12);
    return julianSeconds(e.year, month, orDefault(e.day, daysInMonth(e.year, month)),
                      orDefault(e.hour, 23), orDefault(e.minute, 59), orDefault(e.second, 59));
}

int64_t timeJulian(const DateFields& t) {
    return julianSeconds(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

// Field by field from the year down: >0 when t is later than the bound, <0 earlier, 0
// when equal in every given field or the bound stops giving fields. The year is always
// compared, so a bound without a year sorts below every time.
int compareWithBound(const DateFields& t, const DateFields& bound) {
    if (t.year != bound.year) return t.year > bound.year ? 1 : -1;
    const int32_t tFields[] = {t.month, t.day, t.hour, t.minute, t.second};
    const int32_t bFields[] = {bound.month, bound.day, bound.hour, bound.minute, bound.second};
    for (int k = 0; k < 5; ++k) {
        if (bFields[k] < 0) return 0;
        if (tFields[k] != bFields[k]) return tFields[k] > bFields[k] ? 1 : -1;
    }
    return 0;
}

}  // namespace

int64_t parseSize(const char* text) {
    // A size that does not fit becomes the largest: it must neither wrap nor meet a sentinel.
    constexpr uint64_t LARGEST = INT64_MAX;
    const char* at = text;
    if (*at == '+') ++at;
    uint64_t integer = 0;
    for (; isDigit(*at); ++at) {
        uint64_t digit = static_cast<uint64_t>(*at - '0');
        integer = integer > (LARGEST - digit) / 10 ? LARGEST : integer * 10 + digit;
    }

    uint64_t numerator = 0;
    uint64_t denominator = 1;
    if (*at == '.') {
        ++at;
        const char* digits = at;
        const char* significantEnd = at;
        for (; isDigit(*at); ++at)
            if (*at != '0') significantEnd = at + 1;
        // Digits past the eighteenth would be dropped below anyway.
        for (int count = 0; digits < significantEnd && count < 18; ++digits, ++count) {
            numerator = numerator * 10 + static_cast<uint64_t>(*digits - '0');
            denominator *= 10;
        }
    }

    uint64_t unit = 0;
    uint64_t numeratorLimit = 0;
    switch (*at) {
        case 'K': case 'k': unit = 1024; numeratorLimit = (1ull << 54) - 1; break;
        case 'M': case 'm': unit = 1048576; numeratorLimit = (1ull << 44) - 1; break;
        case 'G': case 'g': unit = 1073741824; numeratorLimit = (1ull << 34) - 1; break;
        default: return static_cast<int64_t>(integer);
    }
    if (integer > LARGEST / unit) return INT64_MAX;
    while (numerator > numeratorLimit) {
        numerator /= 10;
        denominator /= 10;
    }
    // The fraction adds less than one unit, which still fits below LARGEST.
    return static_cast<int64_t>(integer * unit + numerator * unit / denominator);
}

FilterParse parseSizeRange(const char* text) {
    SizeRange& range = settings.sizeRange;
    range.from = NOT_GIVEN;
    range.to = NOT_GIVEN;
    if (text[0] == '\0') return FILTER_NOT_ITS_OPTION;
    range.from = text[0] == '-' ? OPEN : parseSize(text);
    for (const char* at = text; *at != '\0'; ++at) {
        if (*at != '-') continue;
        range.to = at[1] == '\0' ? OPEN : parseSize(at + 1);
        break;
    }
    if (range.from == OPEN && range.to == OPEN) {
        range.from = NOT_GIVEN;
        range.to = NOT_GIVEN;
    }
    return FILTER_TAKEN;
}

bool sizeInRange(uint64_t size) {
    const SizeRange& range = settings.sizeRange;
    auto isSize = [](int64_t bound) { return bound != NOT_GIVEN && bound != OPEN; };
    uint64_t from = static_cast<uint64_t>(range.from);
    uint64_t to = static_cast<uint64_t>(range.to);
    if (isSize(range.from) && range.to == NOT_GIVEN) return size == from;
    if (isSize(range.from) && range.to == OPEN) return size >= from;
    if (range.from == OPEN && isSize(range.to)) return size <= to;
    if (isSize(range.from) && isSize(range.to)) return from <= size && size <= to;
    return true;
}

void parseDateRange(const char* text, DateRange& range) {
    range = DateRange{};
    if (text[0] == '\0') return;
    const char* searchFrom = text;
    if (text[0] == '-')
        range.start.year = OPEN;
    else
        searchFrom = readDate(text, range.start);

    for (const char* at = searchFrom; *at != '\0'; ++at) {
        if (*at != '-') continue;
        if (at[1] == '\0')
            range.end.year = OPEN;
        else
            readDate(at + 1, range.end);
        break;
    }

    if (range.start.year > 0 && range.end.year > 0 &&
        startJulian(range.start) > endJulian(range.end))
        range.end.year = OPEN;
    if (range.start.year == OPEN && range.end.year == OPEN) range = DateRange{};
}

bool dateInRange(const DateFields& time, const DateRange& range) {
    const DateFields& s = range.start;
    const DateFields& e = range.end;
    if (s.year >= 1 && e.year == NOT_GIVEN) {
        const int32_t tFields[] = {time.year, time.month, time.day, time.hour, time.minute,
                                   time.second};
        const int32_t sFields[] = {s.year, s.month, s.day, s.hour, s.minute, s.second};
        for (int k = 0; k < 6; ++k)
            if (sFields[k] >= 0 && sFields[k] != tFields[k]) return false;
        return true;
    }
    if (e.year == OPEN) return compareWithBound(time, s) >= 0;
    if (s.year == OPEN) return compareWithBound(time, e) <= 0;

    bool afterStart = s.year == NOT_GIVEN || s.year < time.year;
    if (afterStart && time.year < e.year) return true;
    bool atStart = time.year == s.year;
    bool atEnd = time.year == e.year;
    int64_t t = timeJulian(time);
    if (atStart && atEnd) return startJulian(s) <= t && t <= endJulian(e);
    if (atStart) return startJulian(s) <= t;
    if (atEnd) return t <= endJulian(e);
    return false;
}

int64_t julianSeconds(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                      int32_t second) {
    const int64_t y = year, m = month;
    // Whole days of J - 0.5: floor(365.25 x) is floor(1461 x / 4), floor(0.4 m + 1.2) is
    // floor((2 m + 6) / 5), floor(0.75 n) is floor(3 n / 4).
    int64_t days = floorDivide(1461 * (y + 4715), 4) + 31 * m + day - 1128;
    if (month >= 3) days -= (2 * m + 6) / 5 + ((y + 4712) % 4 != 0 ? 1 : 0);
    bool gregorian = year > 1582 || (year == 1582 && (month > 10 || (month == 10 && day >= 15)));
    if (gregorian) {
        days -= 3 * (std::llabs((y - 1601) / 100) + 1) / 4 + 10;
        if (month >= 3 && y % 100 == 0 && y % 400 != 0) days -= 1;
    }
    return days * 86400 + 43200 + int64_t{hour} * 3600 + int64_t{minute} * 60 + second;
}

int32_t daysInMonth(int32_t year, int32_t month) {
    static const int32_t days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    // Unchecked texts can carry any month; such a month counts as a long one.
    if (month < 1 || month > 12) return 31;
    if (month == 2 && isLeapYear(year)) return 29;
    return days[month - 1];
}

bool isLeapYear(int32_t year) {
    if (year < 8) return false;
    if (year <= 1582) return year % 4 == 0;
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

FilterParse parseDateOption(const char* text) {
    auto is = [](char c, char letter) { return c == letter || c == letter - ('a' - 'A'); };
    Settings& s = settings;
    const bool forDirs = is(text[0], 'd');
    if (forDirs) ++text;
    DateRange* range = forDirs ? &s.dirDateWrite : &s.dateWrite;  // also without a letter
    if (is(text[0], 'c')) range = forDirs ? &s.dirDateCreate : &s.dateCreate;
    if (is(text[0], 'r')) range = forDirs ? &s.dirDateAccess : &s.dateAccess;
    if (is(text[0], 'c') || is(text[0], 'r') || is(text[0], 'w')) ++text;
    parseDateRange(text, *range);
    return FILTER_TAKEN;
}

bool localDateFields(os::FileTime time, DateFields* fields) {
    os::FileTime local;
    os::SystemTime system;
    if (!os::fileTimeToLocalFileTime(time, &local) || !os::fileTimeToSystemTime(local, &system))
        return false;
    fields->year = system.year;
    fields->month = system.month;
    fields->day = system.day;
    fields->hour = system.hour;
    fields->minute = system.minute;
    fields->second = system.second;
    return true;
}
