#include "runtime/values/dates.h"
#include "runtime/values/picture.h"

#include <QDate>
#include <QLocale>
#include <QTime>
#include <gtest/gtest.h>

#include "support/qstringprint.h"

using namespace tbk;

namespace {

// Pins the locale that d17, d18, t7 and t8 follow, and puts the old one back.
class Pictures : public testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void TearDown() override { QLocale::setDefault(saved_); }

private:
    QLocale saved_;
};

const qint32 kOct31_1959 = dayNumber(1959, 10, 31);

QString fmt(const char *picture, const QVariant &v) { return formatPicture(QString::fromLatin1(picture), v); }

std::optional<QVariant> parse(const char *picture, const char *text) {
    return parsePicture(QString::fromLatin1(picture), QString::fromUtf8(text));
}

} // namespace

TEST_F(Pictures, DatePicturesFor31October1959) {
    struct Case { const char *picture, *shown; qint32 parsed; };
    const qint32 oct1 = dayNumber(1959, 10, 1);
    const Case cases[] = {
        {"@d1", "10/31/59", kOct31_1959},           {"@d2", "10/31/1959", kOct31_1959},
        {"@d3", "OCT 31,1959", kOct31_1959},        {"@d4", "October 31, 1959", kOct31_1959},
        {"@d5", "31/10/59", kOct31_1959},           {"@d6", "31/10/1959", kOct31_1959},
        {"@d7", "31 OCT 59", kOct31_1959},          {"@d8", "31 OCT 1959", kOct31_1959},
        {"@d9", "59/10/31", kOct31_1959},           {"@d10", "1959/10/31", kOct31_1959},
        {"@d11", "591031", kOct31_1959},            {"@d12", "19591031", kOct31_1959},
        {"@d13", "10/59", oct1},                    {"@d14", "10/1959", oct1},
        {"@d15", "59/10", oct1},                    {"@d16", "1959/10", oct1},
        {"@d17", "10/31/59", kOct31_1959},          {"@d18", "Saturday, October 31, 1959", kOct31_1959},
        {"@d17-", "10-31-59", kOct31_1959},         {"d17-", "10-31-59", kOct31_1959},
        {"@d1.", "10.31.59", kOct31_1959},          {"@d7-", "31-OCT-59", kOct31_1959},
        {"@d2_", "10 31 1959", kOct31_1959},        {"@D6`", "31,10,1959", kOct31_1959},
        {"@d3b", "OCT 31,1959", kOct31_1959},       {"@d17b", "10/31/59", kOct31_1959},
        {"@D2", "10/31/1959", kOct31_1959},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(fmt(c.picture, kOct31_1959), QString::fromUtf8(c.shown)) << c.picture;
        const auto back = parse(c.picture, c.shown);
        ASSERT_TRUE(back.has_value()) << c.picture;
        EXPECT_EQ(back->toInt(), c.parsed) << c.picture;
    }
    EXPECT_EQ(fmt("@d2", 71266), QStringLiteral("02/10/1996"));
    EXPECT_EQ(fmt("@d4", 71266), QStringLiteral("February 10, 1996"));
    EXPECT_EQ(fmt("@d3", dayNumber(2001, 3, 5)), QStringLiteral("MAR 5,2001"));
}

TEST_F(Pictures, NoDateIsBlank) {
    for (const char *p : {"@d1", "@d2", "@d3b", "@d17", "@d17-", "@d18"}) {
        EXPECT_EQ(fmt(p, 0), QString()) << p;
        const auto v = parse(p, "   ");
        ASSERT_TRUE(v.has_value()) << p;
        EXPECT_EQ(v->toInt(), 0) << p;
    }
}

TEST_F(Pictures, DatesAcceptWhatTheyShowAndTheUsualVariants) {
    struct Case { const char *picture, *text; int y, m, d; };
    const Case cases[] = {
        {"@d1", "10/31/1959", 1959, 10, 31},     {"@d1", "10-31-59", 1959, 10, 31},
        {"@d2", "2/1/1996", 1996, 2, 1},         {"@d2", " 02/10/1996 ", 1996, 2, 10},
        {"@d3", "oct 31, 1959", 1959, 10, 31},   {"@d4", "Oct 31, 1959", 1959, 10, 31},
        {"@d8", "31 October 1959", 1959, 10, 31}, {"@d18", "October 31, 1959", 1959, 10, 31},
        {"@d6", "29/02/2000", 2000, 2, 29},      {"@d17", "2/10/96", 1996, 2, 10},
    };
    for (const Case &c : cases) {
        const auto v = parse(c.picture, c.text);
        ASSERT_TRUE(v.has_value()) << c.picture << " " << c.text;
        EXPECT_EQ(v->toInt(), dayNumber(c.y, c.m, c.d)) << c.picture << " " << c.text;
    }
}

TEST_F(Pictures, DatesThatDoNotFitAreRejected) {
    struct Case { const char *picture, *text; };
    const Case cases[] = {
        {"@d2", "13/01/1959"},  {"@d2", "00/10/1959"},  {"@d2", "02/30/1996"}, {"@d2", "02/29/1997"},
        {"@d6", "31/04/1990"},  {"@d1", "1O/31/59"},    {"@d1", "10/31/59x"},  {"@d1", "10/31"},
        {"@d1", "123/01/59"},   {"@d2", "10/31/19599"}, {"@d2", "10/31/959"},  {"@d2", "01/01/1700"},
        {"@d2", "01/01/1805"},  {"@d3", "OCX 31,1959"}, {"@d11", "59131"},     {"@d12", "1959103"},
        {"@d18", "Monday, October 31, 1959"},           {"@d2", "10//31/1959"}, {"@d4", "31"},
    };
    for (const Case &c : cases)
        EXPECT_FALSE(parse(c.picture, c.text).has_value()) << c.picture << " " << c.text;
}

TEST_F(Pictures, TwoDigitYearsFallInAWindowAroundNow) {
    const int now = QDate::currentDate().year();
    auto yearOfText = [](int yy) {
        const QString text = QStringLiteral("06/15/%1").arg(yy % 100, 2, 10, QLatin1Char('0'));
        const auto v = parsePicture(QStringLiteral("@d1"), text);
        return v ? yearOf(v->toInt()) : 0;
    };
    EXPECT_EQ(yearOfText(now), now);
    EXPECT_EQ(yearOfText(now + 19), now + 19);
    EXPECT_EQ(yearOfText(now + 20), now - 80);
    EXPECT_EQ(yearOfText(59), 1959);
}

TEST_F(Pictures, SystemDatesFollowTheLocale) {
    // Arabic for the locale's own digits, Bulgarian and Korean for odd time layouts.
    const QLocale::Language languages[] = {QLocale::English, QLocale::German, QLocale::French, QLocale::Russian,
                                           QLocale::Japanese, QLocale::Polish, QLocale::Arabic, QLocale::Korean};
    const QLocale::Territory places[] = {QLocale::UnitedKingdom, QLocale::Germany, QLocale::France, QLocale::Russia,
                                         QLocale::Japan, QLocale::Poland, QLocale::Egypt, QLocale::SouthKorea};
    for (int n = 0; n < 8; ++n) {
        const QLocale locale(languages[n], places[n]);
        QLocale::setDefault(locale);
        // Dates inside the two-digit year window, so that the short format reads back too.
        for (QDate d(1960, 1, 1); d.year() < 2030; d = d.addDays(173)) {
            const qint32 day = dayNumber(d.year(), d.month(), d.day());
            for (const char *p : {"@d17", "@d18"}) {
                const auto length = p[3] == '7' ? QLocale::ShortFormat : QLocale::LongFormat;
                const QString shown = fmt(p, day);
                ASSERT_EQ(shown, locale.toString(d, length)) << qPrintable(locale.name()) << " " << p;
                const auto back = parsePicture(QString::fromLatin1(p), shown);
                ASSERT_TRUE(back.has_value()) << qPrintable(locale.name()) << " " << p << " " << qPrintable(shown);
                ASSERT_EQ(back->toInt(), day) << qPrintable(locale.name()) << " " << p << " " << qPrintable(shown);
            }
        }
    }
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
    const auto typed = parse("@d17", "31/10/1959"); // our digits, no direction marks
    ASSERT_TRUE(typed.has_value());
    EXPECT_EQ(typed->toInt(), kOct31_1959);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(fmt("@d17", kOct31_1959), QStringLiteral("31.10.59"));
    EXPECT_EQ(fmt("@d17-", kOct31_1959), QStringLiteral("31-10-59"));
}

TEST_F(Pictures, TheSystemShortDateIsNumericWhereTheLocaleNamesTheMonth) {
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(fmt("@d17", kOct31_1959), QStringLiteral("10/31/1959"));
    EXPECT_EQ(fmt("@d17-", kOct31_1959), QStringLiteral("10-31-1959"));
    for (const char *typed : {"04/03/2001", "4/3/2001", "3 Apr 2001"}) {
        const auto day = parse("@d17", typed);
        ASSERT_TRUE(day.has_value()) << typed;
        EXPECT_EQ(day->toInt(), dayNumber(2001, 4, 3)) << typed;
    }
    EXPECT_FALSE(parse("@d17", "13/31/2001").has_value());
}

TEST_F(Pictures, TheYearPictureShowsADayNumbersYearAndReadsOnlyABareYear) {
    EXPECT_EQ(datePictureFor("n4b"), "@d19");
    EXPECT_EQ(fmt("@d19", kOct31_1959), "1959");
    EXPECT_EQ(fmt("@d19", 1959), "1959");
    EXPECT_EQ(parse("@d19", "1959")->toInt(), 1959);
    for (const char *refused : {"3001", "19590", "10/31/1959", "-5"})
        EXPECT_FALSE(parse("@d19", refused).has_value()) << refused;
}

TEST_F(Pictures, TimePictures) {
    struct Case { const char *picture; qint32 value; const char *shown; };
    const qint32 evening = 7755738; // 21:32:37.37
    const Case cases[] = {
        {"@t1", evening, "21:32"},      {"@t2", evening, "2132"},         {"@t3", evening, "9:32PM"},
        {"@t4", evening, "21:32:37"},   {"@t5", evening, "213237"},       {"@t6", evening, "9:32:37PM"},
        {"@t7", evening, "9:32 PM"},    {"@t8", evening, "9:32:37 PM"},   {"T4", evening, "21:32:37"},
        {"@t1", 1, "00:00"},            {"@t3", 1, "12:00AM"},            {"@t3", timeOf(12, 5, 0), "12:05PM"},
        {"@t4", timeOf(9, 5, 7), "09:05:07"},                              {"@t4", timeOf(25, 0, 0), "25:00:00"},
        {"@t4b", 0, ""},                {"@t4", 0, "00:00:00"},           {"@t4b", timeOf(0, 3, 45), "00:03:45"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(fmt(c.picture, c.value), QString::fromUtf8(c.shown)) << c.picture << " " << c.value;

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(fmt("@t7", evening), QStringLiteral("21:32"));
    EXPECT_EQ(fmt("@t8", evening), QStringLiteral("21:32:37"));

    // The system's times, shown and read back in several locales (the time zone is left out).
    for (const QLocale &locale : {QLocale(QLocale::Bulgarian, QLocale::Bulgaria), QLocale(QLocale::Korean, QLocale::SouthKorea),
                                  QLocale(QLocale::Arabic, QLocale::Egypt), QLocale(QLocale::English, QLocale::UnitedStates)}) {
        QLocale::setDefault(locale);
        for (int hour : {0, 9, 12, 21}) {
            const qint32 t = timeOf(hour, 32, 37);
            const QString shown = fmt("@t8", t);
            EXPECT_EQ(shown, shown.trimmed());
            EXPECT_FALSE(shown.endsWith(QLatin1Char(','))) << qPrintable(shown);
            const auto back = parsePicture(QStringLiteral("@t8"), shown);
            ASSERT_TRUE(back.has_value()) << qPrintable(locale.name()) << " " << qPrintable(shown);
            EXPECT_EQ(back->toInt(), t) << qPrintable(locale.name()) << " " << qPrintable(shown);
            EXPECT_EQ(fmt("@t7", t), locale.toString(QTime(hour, 32, 37), QLocale::ShortFormat)) << qPrintable(locale.name());
        }
    }
}

TEST_F(Pictures, TimesParse) {
    struct Case { const char *picture, *text; qint32 value; };
    const Case cases[] = {
        {"@t4", "21:32:37", timeOf(21, 32, 37)}, {"@t4", "3:45", timeOf(3, 45, 0)},
        {"@t4", "45:30", timeOf(45, 30, 0)},     {"@t1", "2:00", timeOf(2, 0, 0)},
        {"@t3", "9:32PM", timeOf(21, 32, 0)},    {"@t3", "9:32 pm", timeOf(21, 32, 0)},
        {"@t3", "12:05AM", timeOf(0, 5, 0)},     {"@t3", "21:32", timeOf(21, 32, 0)},
        {"@t2", "2132", timeOf(21, 32, 0)},      {"@t5", "090507", timeOf(9, 5, 7)},
        {"@t7", "9:32 PM", timeOf(21, 32, 0)},   {"@t8", "9:32:37 PM", timeOf(21, 32, 37)},
        {"@t4", "", 0},                          {"@t4", "7", timeOf(7, 0, 0)},
    };
    for (const Case &c : cases) {
        const auto v = parse(c.picture, c.text);
        ASSERT_TRUE(v.has_value()) << c.picture << " " << c.text;
        EXPECT_EQ(v->toInt(), c.value) << c.picture << " " << c.text;
    }
    for (const char *bad : {"12:60", "10:00:75", "ab:cd", "100:00", "1:2:3:4", "12:30x", ":30"})
        EXPECT_FALSE(parse("@t4", bad).has_value()) << bad;
    EXPECT_FALSE(parse("@t3", "13:00PM").has_value());
    EXPECT_FALSE(parse("@t3", "0:30AM").has_value());
    EXPECT_FALSE(parse("@t2", "930").has_value());
    EXPECT_FALSE(parse("@t7", "25:00").has_value());
}

TEST_F(Pictures, NumberPictures) {
    struct Case { const char *picture; QVariant value; const char *shown; };
    const Case cases[] = {
        {"@n3", 5, "  5"},                 {"@n3", 0, "  0"},                {"@n3b", 0, ""},
        {"@n3b", 12, " 12"},               {"@n3", 1000, "###"},             {"@n2b", 3, " 3"},
        {"@n_4b", 120, " 120"},            {"@n_4b", 0, ""},                 {"@n_4", 1234, "1234"},
        {"@n-13", -1234567, "   -1,234,567"}, {"@n-13", 42, "           42"}, {"@n6", 12345, "12,345"},
        {"@n5", 12345, "12345"},           {"n4b", 1959, "1959"},            {"n4b", 0, ""},
        {"@n_2", 7, " 7"},                 {"@n_3b", 0, ""},                 {"@N3", 50, " 50"},
        {"@N30.9", 1234.5, "               1,234.500000000"},
        {"@n7.2", -3.456, "  -3.46"},      {"@n7.2", 2.5, "   2.50"},        {"@n7.2b", 0.001, ""},
        {"@n05", 42, "00042"},             {"@n-05", -42, "-0042"},          {"@n(6)", -42, "  (42)"},
        {"@n(6)", 42, "   42 "},           {"@n6-", -42, "   42-"},          {"@n3", -5, " -5"},
        {"@n3", 2.5, "  3"},               {"@n3", -2.5, " -3"},             {"@n3", QStringLiteral("12abc"), " 12"},
        {"@n-13", qint64(3000000000LL), "3,000,000,000"},                   {"@n3", QVariant(), "  0"},
        {"@n5", 1.0e20, "#####"},          {"@n-13", -7.0, "           -7"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(formatPicture(QString::fromLatin1(c.picture), c.value), QString::fromUtf8(c.shown))
            << c.picture << " " << qPrintable(c.value.toString());
}

TEST_F(Pictures, NumbersParse) {
    struct Case { const char *picture, *text; QVariant value; };
    const Case cases[] = {
        {"@n3", "  5", qint64(5)},           {"@n3", "", qint64(0)},               {"@n3", "+7", qint64(7)},
        {"@n3", "2.0", qint64(2)},           {"@n3", "007", qint64(7)},            {"n4b", "1959", qint64(1959)},
        {"@n-13", "-1,234,567", qint64(-1234567)},                                  {"@n-13", "1234567", qint64(1234567)},
        {"@n(6)", "(42)", qint64(-42)},      {"@n6-", "42-", qint64(-42)},         {"@n7.2", "3.4", 3.4},
        {"@n-7.2", "-3.45", -3.45},           {"@N30.9", "1,234.5", 1234.5},        {"@n7.2", "", 0.0},
        {"@n3", "-0", qint64(0)},
    };
    for (const Case &c : cases) {
        const auto v = parse(c.picture, c.text);
        ASSERT_TRUE(v.has_value()) << c.picture << " '" << c.text << "'";
        EXPECT_EQ(v->typeId(), c.value.typeId()) << c.picture << " " << c.text;
        EXPECT_EQ(*v, c.value) << c.picture << " " << c.text;
    }
    struct Bad { const char *picture, *text; };
    const Bad bad[] = {
        {"@n3", "1000"}, {"@n3", "12a"},    {"@n3", "-5"},     {"@n3", "2.5"},   {"@n-13", "1,23"},
        {"@n_4", "1,234"}, {"@n7.2", "3.456"}, {"n4b", "19590"}, {"@n-3", "-123"}, {"@n3", "1 2"},
        {"@n3", "."},    {"@n3", "--5"},    {"@n3", "5e2"},    {"@n(6)", "(42"},
    };
    for (const Bad &b : bad)
        EXPECT_FALSE(parse(b.picture, b.text).has_value()) << b.picture << " '" << b.text << "'";
}

TEST_F(Pictures, NumbersRoundTrip) {
    for (const char *p : {"@n3", "@n-13", "@n_4b", "@n(8)", "@n8-", "@n05", "@n-05"}) {
        for (qint64 v : {0LL, 1LL, 7LL, 99LL, 100LL, 999LL, -1LL, -99LL, 1234LL, -98765LL}) {
            // An unsigned picture shows a negative number but takes none back.
            const bool signedPicture = p[2] == '-' || p[2] == '(' || p[3] == '-';
            if (v < 0 && !signedPicture)
                continue;
            const QString shown = fmt(p, v);
            if (shown.contains(QLatin1Char('#')))
                continue;
            const auto back = parsePicture(QString::fromLatin1(p), shown);
            ASSERT_TRUE(back.has_value()) << p << " " << qPrintable(shown);
            EXPECT_EQ(back->toLongLong(), v) << p << " " << qPrintable(shown);
        }
    }
}

TEST_F(Pictures, Patterns) {
    struct Case { const char *picture; qint64 value; const char *shown; };
    const Case cases[] = {
        {"@p(<)p", 1, "(1)"},               {"@p(<)pb", 0, ""},              {"@p(<)p", 0, "( )"},
        {"@p(<<#)pb", 120, "(120)"},        {"@p(<<#)pb", 85, "( 85)"},      {"@p(<<#)pb", 0, ""},
        {"@p(<<#)p", 0, "(  0)"},           {"@pPage <<<#p", 5, "Page    5"}, {"@pPage <<<#p", 12345, "#########"},
        {"@p(<)p", 12, "###"},              {"@p(<<#)p", -5, "( -5)"},       {"@p###-####p", 5551234, "555-1234"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(fmt(c.picture, c.value), QString::fromUtf8(c.shown)) << c.picture << " " << c.value;

    struct Back { const char *picture, *text; qint64 value; };
    const Back backs[] = {
        {"@p(<<#)p", "( 85)", 85}, {"@p(<<#)p", "(85)", 85}, {"@pPage <<<#p", "page 12", 12},
        {"@p(<)p", "", 0},         {"@p###-####p", "555-1234", 5551234}, {"@p(<)pb", "(3)", 3},
    };
    for (const Back &b : backs) {
        const auto v = parse(b.picture, b.text);
        ASSERT_TRUE(v.has_value()) << b.picture << " " << b.text;
        EXPECT_EQ(v->toLongLong(), b.value) << b.picture << " " << b.text;
    }
    for (const char *bad : {"(12)", "1", "(x)", "(1", "(1))"})
        EXPECT_FALSE(parse("@p(<)p", bad).has_value()) << bad;
}

TEST_F(Pictures, Strings) {
    EXPECT_EQ(fmt("@s5", QStringLiteral("Beatles")), QStringLiteral("Beatl"));
    EXPECT_EQ(fmt("@S30", QStringLiteral("x  ")), QStringLiteral("x"));
    EXPECT_EQ(fmt("@s8", 42), QStringLiteral("42"));
    EXPECT_FALSE(parse("@s5", "abcdef").has_value());
    const auto v = parse("@s5", "abc      ");
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(v->toString(), QStringLiteral("abc"));
}

TEST_F(Pictures, KnownAndUnknownPictures) {
    for (const char *p : {"@s30", "@S1000", "@n3", "@n3b", "@n2b", "@n_4b", "@n_3b", "@n_2", "@n-13", "@N30.9",
                          "@N3", "n3", "N3", "n4b", "@d2", "@d3b", "@d4", "@d17", "@d17-", "@d17b", "d1", "d3",
                          "d18", "d19", "@t4", "@t4b", "T4", "t1", "t3", "t7", "@p(<)p", "@p(<)pb", "@p(<<#)pb",
                          "@pPage <<<#p"})
        EXPECT_TRUE(isValidPicture(QString::fromLatin1(p))) << p;
    for (const char *p : {"", "@", "@d", "@d0", "@d20", "@t0", "@t9", "@x5", "@s", "@s0", "@n", "@n3x", "@n(5",
                          "@n3.3", "@p<<", "@pabcp", "@d17+", "@s5b"})
        EXPECT_FALSE(isValidPicture(QString::fromLatin1(p))) << p;
    // An unknown picture shows the value as it is and takes no text.
    EXPECT_EQ(fmt("@x5", 12), QStringLiteral("12"));
    EXPECT_FALSE(parse("@x5", "12").has_value());
}
