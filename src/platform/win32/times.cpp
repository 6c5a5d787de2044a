// FILETIME conversions through kernel32, the calendar clock through the C runtime.
#include <ctime>

// Before <windows.h>: its macros carry the same names as the constants declared there.
#include "platform/platform.h"

#include <windows.h>

#include "platform/win32/file_time.h"

namespace os {

bool fileTimeToLocalFileTime(FileTime utc, FileTime* local) {
    FILETIME in = fileTimeOf(utc), out;
    if (!FileTimeToLocalFileTime(&in, &out)) return false;
    *local = countOf(out);
    return true;
}

bool localFileTimeToFileTime(FileTime local, FileTime* utc) {
    FILETIME in = fileTimeOf(local), out;
    if (!LocalFileTimeToFileTime(&in, &out)) return false;
    *utc = countOf(out);
    return true;
}

bool fileTimeToSystemTime(FileTime time, SystemTime* out) {
    FILETIME in = fileTimeOf(time);
    SYSTEMTIME t;
    if (!FileTimeToSystemTime(&in, &t)) return false;
    out->year = t.wYear;
    out->month = t.wMonth;
    out->dayOfWeek = t.wDayOfWeek;
    out->day = t.wDay;
    out->hour = t.wHour;
    out->minute = t.wMinute;
    out->second = t.wSecond;
    out->milliseconds = t.wMilliseconds;
    return true;
}

bool systemTimeToFileTime(const SystemTime& time, FileTime* out) {
    SYSTEMTIME t;
    t.wYear = time.year;
    t.wMonth = time.month;
    t.wDayOfWeek = time.dayOfWeek;
    t.wDay = time.day;
    t.wHour = time.hour;
    t.wMinute = time.minute;
    t.wSecond = time.second;
    t.wMilliseconds = time.milliseconds;
    FILETIME result;
    if (!SystemTimeToFileTime(&t, &result)) return false;
    *out = countOf(result);
    return true;
}

bool fileTimeToDosDateTime(FileTime time, uint16_t* dosDate, uint16_t* dosTime) {
    FILETIME in = fileTimeOf(time);
    WORD date = 0, clock = 0;
    if (!FileTimeToDosDateTime(&in, &date, &clock)) return false;
    *dosDate = date;
    *dosTime = clock;
    return true;
}

bool dosDateTimeToFileTime(uint16_t dosDate, uint16_t dosTime, FileTime* out) {
    FILETIME result;
    if (!DosDateTimeToFileTime(dosDate, dosTime, &result)) return false;
    *out = countOf(result);
    return true;
}

int64_t calendarTimeNow() { return static_cast<int64_t>(std::time(nullptr)); }

bool localCalendarTime(int64_t time, std::tm* out) {
    std::time_t at = static_cast<std::time_t>(time);
    const std::tm* local = std::localtime(&at);
    if (local == nullptr) return false;
    *out = *local;
    return true;
}

}  // namespace os
