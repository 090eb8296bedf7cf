#pragma once
// Internals of the picture module: the parsed form of a picture and the per-family
// formatters and parsers.
#include <QString>
#include <QVariant>

#include <optional>

namespace tbk::pictures {

enum class Family { String, Number, Pattern, Date, Time };

enum class Sign { None, Leading, Trailing, Parentheses };

struct Spec {
    Family family = Family::String;
    bool blankWhenZero = false;
    int width = 0;            // strings, numbers
    // numbers
    Sign sign = Sign::None;
    bool zeroFill = false;
    bool grouping = true;
    int decimals = 0;
    // dates and times: d1..d19, t1..t8
    int index = 0;
    QChar separator;          // date separator modifier, null for the picture's own
    // patterns: the text between the two p's
    QString pattern;
};

// The parsed picture ("@" optional, letters in any case), nullopt when it is not one.
std::optional<Spec> parseSpec(const QString &picture);

QString formatNumber(const Spec &spec, const QVariant &value);
std::optional<QVariant> parseNumber(const Spec &spec, const QString &text);

QString formatPattern(const Spec &spec, const QVariant &value);
std::optional<QVariant> parsePattern(const Spec &spec, const QString &text);

// d19: the year alone, of a day number or of a bare year.
constexpr int kYearPicture = 19;

QString formatDate(const Spec &spec, qint64 day);
std::optional<QVariant> parseDate(const Spec &spec, const QString &text, bool bareYearDays = false);

QString formatTime(const Spec &spec, qint64 time);
std::optional<QVariant> parseTime(const Spec &spec, const QString &text);

// A whole number from a value of any type (texts by their numeric value), rounded half
// away from zero.
qint64 wholeNumber(const QVariant &value);

} // namespace tbk::pictures
