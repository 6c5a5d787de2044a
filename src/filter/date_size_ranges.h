// The size range of /ls and the date ranges of /ly..: reading their texts and testing an
// entry against them.
#pragma once

#include <cstdint>

#include "filter/filter_lists.h"
#include "platform/platform.h"
#include "run/settings.h"

// A byte count written as a real number with an optional unit K, M or G.
int64_t parseSize(const char* text);

// The text after /ls into settings.sizeRange; an empty text is no /ls option.
FilterParse parseSizeRange(const char* text);

// Replaces the range; a malformed text leaves fields not given.
void parseDateRange(const char* text, DateRange& range);

bool sizeInRange(uint64_t size);

// The entry's local time, all six fields given.
bool dateInRange(const DateFields& time, const DateRange& range);

// A file time's local calendar fields, as the ranges compare them; false when the platform
// cannot convert it.
bool localDateFields(os::FileTime time, DateFields* fields);

// The astronomical Julian Date counted in seconds (2000-01-01 00:00:00 is 2451544.5 days).
// Whole numbers only: the answers, and so the boundaries of the date ranges, are exact and
// the same whatever the compiler makes of floating-point code.
int64_t julianSeconds(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                      int32_t second);
int32_t daysInMonth(int32_t year, int32_t month);
bool isLeapYear(int32_t year);

// The text after /ly: picks the date field by its leading letters and reads the range.
FilterParse parseDateOption(const char* text);
