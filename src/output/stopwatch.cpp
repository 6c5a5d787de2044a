#include "output/stopwatch.h"

#include <ctime>

#include "platform/platform.h"

namespace {

int32_t startYear = 0;
int32_t startSecond = 0;

bool isLeapYear(int32_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// The local year and the second within it, now.
void localNow(int32_t* year, int32_t* secondOfYear) {
    std::tm local{};
    os::localCalendarTime(os::calendarTimeNow(), &local);
    *year = local.tm_year + 1900;
    *secondOfYear = local.tm_yday * 86400 + local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
}

}  // namespace

void stopwatchStart() { localNow(&startYear, &startSecond); }

int32_t stopwatchRead() {
    int32_t year = 0;
    int32_t secondOfYear = 0;
    localNow(&year, &secondOfYear);
    int32_t sum = 0;
    for (; startYear < year; ++startYear) sum += isLeapYear(startYear) ? 31622400 : 31536000;
    return sum + secondOfYear - startSecond;
}
