#include "runtime/values/dates.h"
#include "runtime/values/text.h"

#include <QDate>
#include <gtest/gtest.h>

#include "support/qstringprint.h"

using namespace tbk;

TEST(Dates, FixedPoints) {
    EXPECT_EQ(dayNumber(1801, 1, 1), 4);
    EXPECT_EQ(dayNumber(1996, 2, 10), 71266);
    EXPECT_EQ(calendarDate(71266), (YearMonthDay{1996, 2, 10}));
    EXPECT_EQ(weekdayOf(dayNumber(1959, 10, 31)), 6); // a Saturday
    EXPECT_EQ(weekdayOf(71266), 6);
}

TEST(Dates, EveryDayFrom1801To2100MatchesQDate) {
    const QDate first(1801, 1, 1), last(2100, 12, 31);
    qint32 n = dayNumber(1801, 1, 1);
    for (QDate d = first; d <= last; d = d.addDays(1), ++n) {
        ASSERT_EQ(dayNumber(d.year(), d.month(), d.day()), n) << qPrintable(d.toString(Qt::ISODate));
        const YearMonthDay ymd = calendarDate(n);
        ASSERT_EQ(ymd, (YearMonthDay{d.year(), d.month(), d.day()})) << n;
        ASSERT_EQ(weekdayOf(n), d.dayOfWeek() % 7) << n;
        ASSERT_EQ(daysInMonth(d.year(), d.month()), d.daysInMonth());
    }
}

TEST(Dates, OutOfRangeMonthAndDayCarryOver) {
    EXPECT_EQ(dayNumber(1995, 13, 1), dayNumber(1996, 1, 1));
    EXPECT_EQ(dayNumber(1996, 0, 15), dayNumber(1995, 12, 15));
    EXPECT_EQ(dayNumber(1996, 3, 0), dayNumber(1996, 2, 29));
    EXPECT_EQ(dayNumber(1996, -11, 1), dayNumber(1995, 1, 1));
    EXPECT_EQ(daysInMonth(1900, 2), 28);
    EXPECT_EQ(daysInMonth(2000, 2), 29);
    EXPECT_EQ(daysInMonth(2000, 13), 0);
}

TEST(Dates, ClockValues) {
    EXPECT_EQ(timeOf(21, 32, 37, 37), 7755738);
    EXPECT_EQ(timeOf(21, 32, 37), 7755701);
    const ClockParts p = clockParts(7755738);
    EXPECT_EQ(p.hours, 21);
    EXPECT_EQ(p.minutes, 32);
    EXPECT_EQ(p.seconds, 37);
    EXPECT_EQ(p.hundredths, 37);
    EXPECT_EQ(timeOf(0, 0, 0), kTimeOfMidnight);
    EXPECT_EQ(clockParts(0).hours, 0);
    EXPECT_TRUE(isBareYear(1959));
    EXPECT_FALSE(isBareYear(0));
    EXPECT_FALSE(isBareYear(71266));
}

TEST(Text, ClipFitAndCompare) {
    EXPECT_EQ(clip(QStringLiteral("abc  ")), QStringLiteral("abc"));
    EXPECT_EQ(clip(QStringLiteral("  abc")), QStringLiteral("  abc"));
    EXPECT_EQ(fit(QStringLiteral("abcdef"), 4), QStringLiteral("abcd"));
    EXPECT_EQ(fit(QStringLiteral("ab  cd"), 4), QStringLiteral("ab"));
    EXPECT_EQ(fit(QStringLiteral("abc"), 0), QString());
    // A cut never leaves half a character behind.
    const QString clef = QStringLiteral("ab\U0001D11E");
    EXPECT_EQ(fit(clef, 3), QStringLiteral("ab"));
    EXPECT_EQ(fit(clef, 4), clef);

    EXPECT_EQ(compareText(QStringLiteral("Abba "), QStringLiteral("abba"), Qt::CaseInsensitive), 0);
    EXPECT_NE(compareText(QStringLiteral("Abba"), QStringLiteral("abba")), 0);
    EXPECT_LT(compareText(QStringLiteral("abba"), QStringLiteral("ABC"), Qt::CaseInsensitive), 0);
    EXPECT_TRUE(sameText(QStringLiteral("x"), QStringLiteral("x   ")));

    FixedString<5> f("Beatles");
    EXPECT_EQ(f.str(), QStringLiteral("Beatl"));
    EXPECT_TRUE(f == QStringLiteral("Beatl  "));
}

TEST(Text, NumericValue) {
    struct Case { const char *text; double value; bool whole; };
    const Case cases[] = {
        {"", 0, false},        {"   ", 0, false},     {"12", 12, true},      {" 12abc", 12, false},
        {"2.0", 2.0, true},    {"-3.5", -3.5, true},  {"+7", 7, true},       {".5", 0.5, true},
        {"abc", 0, false},     {"-", 0, false},       {"1e3", 1000, true},   {"12e", 12, false},
        {" 42 ", 42, true},    {"4 2", 4, false},     {"-0012", -12, true},
        {"123456789012345678", 123456789012345678.0, true},
    };
    for (const Case &c : cases) {
        const QString s = QString::fromUtf8(c.text);
        EXPECT_DOUBLE_EQ(numericValue(s), c.value) << c.text;
        EXPECT_EQ(isNumericText(s), c.whole) << c.text;
    }
    EXPECT_GT(numericValue(QStringLiteral("2.0")), 1.5);
}
