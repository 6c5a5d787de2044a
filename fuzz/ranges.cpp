// The texts of /ls and /ly.. and the two tests the filters ask with them.
#include <cstring>

#include "filter/date_size_ranges.h"
#include "fuzz_support.h"

namespace {

// 30827-12-31 23:59:59.999, the last time a directory entry can carry.
constexpr os::FileTime LAST_FILE_TIME = 0x7FFF35F4F06C7FFFull;

bool validDate(const DateFields& d) {
    return d.year >= 1 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
           d.day <= daysInMonth(d.year, d.month) && d.hour >= 0 && d.hour < 24 && d.minute >= 0 &&
           d.minute < 60 && d.second >= 0 && d.second < 60;
}

DateFields startTime(const DateFields& s) {
    DateFields t = s;
    if (t.month < 0) t.month = 1;
    if (t.day < 0) t.day = 1;
    if (t.hour < 0) t.hour = 0;
    if (t.minute < 0) t.minute = 0;
    if (t.second < 0) t.second = 0;
    return t;
}

DateFields endTime(const DateFields& e) {
    DateFields t = e;
    if (t.month < 0) t.month = 12;
    if (t.day < 0) t.day = daysInMonth(t.year, t.month);
    if (t.hour < 0) t.hour = 23;
    if (t.minute < 0) t.minute = 59;
    if (t.second < 0) t.second = 59;
    return t;
}

// A bound's own first and last second pass its range.
void checkBounds(const DateRange& range) {
    const DateFields& s = range.start;
    const DateFields& e = range.end;
    if (s.year > 0 && e.year > 0)
        FUZZ_CHECK(julianSeconds(startTime(s).year, startTime(s).month, startTime(s).day,
                                 startTime(s).hour, startTime(s).minute, startTime(s).second) <=
                   julianSeconds(endTime(e).year, endTime(e).month, endTime(e).day,
                                 endTime(e).hour, endTime(e).minute, endTime(e).second));
    const bool startGiven = s.year > 0 && e.year != -1;
    const bool single = s.year > 0 && e.year == -1;
    if ((startGiven || single) && validDate(startTime(s))) FUZZ_CHECK(dateInRange(startTime(s), range));
    if (single && validDate(endTime(s))) FUZZ_CHECK(dateInRange(endTime(s), range));
    if (e.year > 0 && validDate(endTime(e))) FUZZ_CHECK(dateInRange(endTime(e), range));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::beginInput();
    const std::vector<std::string> parts = fuzz::splitInput(data, size, 3);
    fuzz::ExactCopy sizeText(parts[0]);
    fuzz::ExactCopy dateText(parts[1]);

    FUZZ_CHECK(parseSizeRange(sizeText.text) == (parts[0].empty() ? 2 : 0));
    const SizeRange& range = settings.sizeRange;
    if (range.from >= 0 && range.to >= 0) {
        const bool ordered = range.from <= range.to;
        FUZZ_CHECK(sizeInRange(static_cast<uint64_t>(range.from)) == ordered);
        FUZZ_CHECK(sizeInRange(static_cast<uint64_t>(range.to)) == ordered);
    } else if (range.from >= 0) {
        FUZZ_CHECK(sizeInRange(static_cast<uint64_t>(range.from)));
    } else if (range.to >= 0) {
        FUZZ_CHECK(sizeInRange(static_cast<uint64_t>(range.to)));
    }
    for (uint64_t probe : {uint64_t{0}, uint64_t{1}, ~uint64_t{0}}) sizeInRange(probe);

    FUZZ_CHECK(parseDateOption(dateText.text) == 0);
    for (const DateRange* dates : {&settings.dateWrite, &settings.dateCreate, &settings.dateAccess,
                                   &settings.dirDateWrite, &settings.dirDateCreate,
                                   &settings.dirDateAccess}) {
        checkBounds(*dates);
        os::FileTime time = 0;
        std::memcpy(&time, parts[2].data(), parts[2].size() < sizeof time ? parts[2].size() : sizeof time);
        time %= LAST_FILE_TIME;
        DateFields fields;
        if (localDateFields(time, &fields)) dateInRange(fields, *dates);
    }
    FUZZ_CHECK(parts[0] == sizeText.text && parts[1] == dateText.text);
    return 0;
}
