#include "runtime/values/dates.h"

#include <QDateTime>

namespace tbk {

namespace {
// Days from 1 January 1 (proleptic Gregorian) of a date, by the usual civil-day formula.
constexpr qint64 civilDays(qint64 y, qint64 m, qint64 d) {
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yoe = y - era * 400;
    const qint64 doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe;
}
// Constant-initialised: day numbers are also computed during other files' static
// initialisation, before any dynamic initialiser here would have run.
constexpr qint64 kDay0 = civilDays(1800, 12, 28);
} // namespace

qint32 dayNumber(int year, int month, int day) {
    // Normalise the month first so that month 0 or 13 carry into the year.
    qint64 y = year, m = month - 1;
    y += m >= 0 ? m / 12 : (m - 11) / 12;
    m = ((m % 12) + 12) % 12 + 1;
    return qint32(civilDays(y, m, 1) + (day - 1) - kDay0);
}

YearMonthDay calendarDate(qint32 dayNo) {
    qint64 z = qint64(dayNo) + kDay0;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    const qint64 d = doy - (153 * mp + 2) / 5 + 1;
    const qint64 m = mp < 10 ? mp + 3 : mp - 9;
    const qint64 y = yoe + era * 400 + (m <= 2);
    return {int(y), int(m), int(d)};
}

int yearOf(qint32 day) { return calendarDate(day).year; }
int monthOf(qint32 day) { return calendarDate(day).month; }
int dayOf(qint32 day) { return calendarDate(day).day; }
int weekdayOf(qint32 day) { return int(((qint64(day) % 7) + 7) % 7); }
bool isBareYear(qint32 value) { return value > 0 && value <= kLastBareYear; }

int daysInMonth(int year, int month) {
    if (month < 1 || month > 12)
        return 0;
    const qint64 next = month == 12 ? civilDays(qint64(year) + 1, 1, 1) : civilDays(year, month + 1, 1);
    return int(next - civilDays(year, month, 1));
}

qint32 today() {
    const QDate d = QDate::currentDate();
    return dayNumber(d.year(), d.month(), d.day());
}

qint32 clockTime() {
    const QTime t = QTime::currentTime();
    return timeOf(t.hour(), t.minute(), t.second(), t.msec() / 10);
}

qint32 timeOf(int hours, int minutes, int seconds, int hundredths) {
    return ((hours * 60 + minutes) * 60 + seconds) * 100 + hundredths + kTimeOfMidnight;
}

ClockParts clockParts(qint32 time) {
    qint32 t = time > 0 ? time - kTimeOfMidnight : 0;
    ClockParts p;
    p.hundredths = t % 100; t /= 100;
    p.seconds = t % 60; t /= 60;
    p.minutes = t % 60; t /= 60;
    p.hours = t;
    return p;
}

} // namespace tbk
