// FILETIME arithmetic of the simulated machine: UTC, a fixed time-zone bias, DOS stamps.
//   FileTimeToLocalFileTime  UTC minus the bias, the same on every date (no daylight saving)
//   FileTimeToSystemTime     fails from 2^63 on
//   SystemTimeToFileTime     fails before 1601, after 30827 and for a field out of range
//   FileTimeToDosDateTime    fails outside 1980-2107; seconds in steps of two
#include "platform/platform.h"
#include "platform/sim/machine.h"

namespace os {

static constexpr int64_t TICKS_PER_SECOND = 10000000;
static constexpr int64_t DAYS_1601_TO_1970 = 134774;

// Days since 1970-01-01 of a proleptic Gregorian date.
static int64_t daysFromCivil(int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(year - era * 400);
    const unsigned doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

static void civilFromDays(int64_t days, int64_t* year, unsigned* month, unsigned* day) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *day = doy - (153 * mp + 2) / 5 + 1;
    *month = mp < 10 ? mp + 3 : mp - 9;
    *year = static_cast<int64_t>(yoe) + era * 400 + (*month <= 2);
}

static int64_t biasTicks() { return sim::machine().timeZoneBiasMinutes * 60LL * TICKS_PER_SECOND; }

bool fileTimeToLocalFileTime(FileTime utc, FileTime* local) {
    *local = static_cast<FileTime>(static_cast<int64_t>(utc) - biasTicks());
    return true;
}

bool localFileTimeToFileTime(FileTime local, FileTime* utc) {
    *utc = static_cast<FileTime>(static_cast<int64_t>(local) + biasTicks());
    return true;
}

bool fileTimeToSystemTime(FileTime time, SystemTime* out) {
    if (time >= 0x8000000000000000ull) return false;
    int64_t seconds = static_cast<int64_t>(time / TICKS_PER_SECOND);
    int64_t days = seconds / 86400 - DAYS_1601_TO_1970;
    int64_t inDay = seconds % 86400;
    int64_t year;
    unsigned month, day;
    civilFromDays(days, &year, &month, &day);
    out->year = static_cast<uint16_t>(year);
    out->month = static_cast<uint16_t>(month);
    out->day = static_cast<uint16_t>(day);
    out->dayOfWeek = static_cast<uint16_t>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    out->hour = static_cast<uint16_t>(inDay / 3600);
    out->minute = static_cast<uint16_t>(inDay / 60 % 60);
    out->second = static_cast<uint16_t>(inDay % 60);
    out->milliseconds = static_cast<uint16_t>(time % TICKS_PER_SECOND / 10000);
    return true;
}

bool systemTimeToFileTime(const SystemTime& t, FileTime* out) {
    if (t.year < 1601 || t.year > 30827 || t.month < 1 || t.month > 12 || t.day < 1 ||
        t.day > 31 || t.hour > 23 || t.minute > 59 || t.second > 59 || t.milliseconds > 999)
        return false;
    int64_t days = daysFromCivil(t.year, t.month, t.day) + DAYS_1601_TO_1970;
    int64_t seconds = days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
    *out = static_cast<FileTime>(seconds * TICKS_PER_SECOND + t.milliseconds * 10000LL);
    return true;
}

bool fileTimeToDosDateTime(FileTime time, uint16_t* dosDate, uint16_t* dosTime) {
    SystemTime t;
    if (!fileTimeToSystemTime(time, &t) || t.year < 1980 || t.year > 2107) return false;
    *dosDate = static_cast<uint16_t>((t.year - 1980) << 9 | t.month << 5 | t.day);
    *dosTime = static_cast<uint16_t>(t.hour << 11 | t.minute << 5 | t.second / 2);
    return true;
}

bool dosDateTimeToFileTime(uint16_t dosDate, uint16_t dosTime, FileTime* out) {
    SystemTime t{};
    t.year = static_cast<uint16_t>(1980 + (dosDate >> 9));
    t.month = static_cast<uint16_t>(dosDate >> 5 & 0x0F);
    t.day = static_cast<uint16_t>(dosDate & 0x1F);
    t.hour = static_cast<uint16_t>(dosTime >> 11);
    t.minute = static_cast<uint16_t>(dosTime >> 5 & 0x3F);
    t.second = static_cast<uint16_t>((dosTime & 0x1F) * 2);
    return systemTimeToFileTime(t, out);
}

}  // namespace os

namespace sim {

os::FileTime fileTimeOf(int year, int month, int day, int hour, int minute, int second,
                        int milliseconds) {
    os::SystemTime t{};
    t.year = static_cast<uint16_t>(year);
    t.month = static_cast<uint16_t>(month);
    t.day = static_cast<uint16_t>(day);
    t.hour = static_cast<uint16_t>(hour);
    t.minute = static_cast<uint16_t>(minute);
    t.second = static_cast<uint16_t>(second);
    t.milliseconds = static_cast<uint16_t>(milliseconds);
    os::FileTime out = 0;
    os::systemTimeToFileTime(t, &out);
    return out;
}

}  // namespace sim
