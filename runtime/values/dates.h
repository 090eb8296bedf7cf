#pragma once
// Day numbers and clock times as the runtime keeps them.
//  - A date is a day number: day 4 is 1 January 1801 (day 0 is 28 December 1800), so
//    71266 is 10 February 1996. 0 means "no date".
//  - A time is hundredths of a second since midnight plus one (1 is midnight); 0 means "no time".
//  - A date field value of at most 3000 is a bare year ("Year Only" mode).
#include <QtGlobal>

namespace tbk {

constexpr qint32 kLastBareYear = 3000;
constexpr qint32 kTimeOfMidnight = 1;
constexpr qint32 kHundredthsPerDay = 8640000;

struct YearMonthDay {
    int year = 0, month = 0, day = 0;
    bool operator==(const YearMonthDay &) const = default;
};

// The day number of a calendar date; month and day out of range carry over as the runtime
// does (month 13 is January of the next year, day 0 the last day of the month before).
qint32 dayNumber(int year, int month, int day);
// The calendar date of a day number (valid for day numbers >= 1).
YearMonthDay calendarDate(qint32 day);
int yearOf(qint32 day);
int monthOf(qint32 day);
int dayOf(qint32 day);
// 0 Sunday .. 6 Saturday.
int weekdayOf(qint32 day);
bool isBareYear(qint32 value);
// Days in a month (1..12) of a year, 0 for a month out of range.
int daysInMonth(int year, int month);

// Today's day number and the clock now, from the local time.
qint32 today();
qint32 clockTime();

// h:m:s.hh to a time value and back.
qint32 timeOf(int hours, int minutes, int seconds, int hundredths = 0);
struct ClockParts {
    int hours = 0, minutes = 0, seconds = 0, hundredths = 0;
};
ClockParts clockParts(qint32 time);

} // namespace tbk
