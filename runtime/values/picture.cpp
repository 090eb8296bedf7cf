#include "runtime/values/picture.h"

#include "runtime/values/dates.h"
#include "runtime/values/picture_p.h"
#include "runtime/values/text.h"

#include <QHash>

#include <cmath>

namespace tbk {

namespace pictures {

namespace {

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Reads a run of digits at i; false when there is none or it is absurdly long.
bool readCount(const QString &s, qsizetype &i, int &out) {
    const qsizetype start = i;
    while (i < s.size() && isDigit(s[i]))
        ++i;
    if (i == start || i - start > 4)
        return false;
    out = s.mid(start, i - start).toInt();
    return true;
}

bool readBlankFlag(const QString &s, qsizetype &i, Spec &spec) {
    if (i < s.size() && s[i].toLower() == QLatin1Char('b')) {
        spec.blankWhenZero = true;
        ++i;
    }
    return i == s.size();
}

// n [-|(] [0|_] width [.decimals] [-|)] [b]
std::optional<Spec> numberSpec(const QString &s, qsizetype i) {
    Spec spec;
    spec.family = Family::Number;
    if (i < s.size() && s[i] == QLatin1Char('-')) {
        spec.sign = Sign::Leading;
        ++i;
    } else if (i < s.size() && s[i] == QLatin1Char('(')) {
        spec.sign = Sign::Parentheses;
        ++i;
    }
    if (i < s.size() && s[i] == QLatin1Char('0')) {
        spec.zeroFill = true;
        spec.grouping = false;
        ++i;
    } else if (i < s.size() && s[i] == QLatin1Char('_')) {
        spec.grouping = false;
        ++i;
    }
    if (!readCount(s, i, spec.width) || spec.width < 1)
        return std::nullopt;
    if (i < s.size() && s[i] == QLatin1Char('.')) {
        ++i;
        if (!readCount(s, i, spec.decimals) || spec.decimals + 1 >= spec.width || spec.decimals > 15)
            return std::nullopt;
    }
    if (spec.sign == Sign::Parentheses) {
        if (i >= s.size() || s[i] != QLatin1Char(')'))
            return std::nullopt;
        ++i;
    } else if (spec.sign == Sign::None && i < s.size() && s[i] == QLatin1Char('-')) {
        spec.sign = Sign::Trailing;
        ++i;
    }
    if (!readBlankFlag(s, i, spec))
        return std::nullopt;
    return spec;
}

// d<1..19>[separator][b], t<1..8>[b]
std::optional<Spec> dateTimeSpec(const QString &s, qsizetype i, Family family) {
    Spec spec;
    spec.family = family;
    if (!readCount(s, i, spec.index) || spec.index < 1 || spec.index > (family == Family::Date ? kYearPicture : 8))
        return std::nullopt;
    if (family == Family::Date && i < s.size()) {
        switch (s[i].unicode()) {
        case '.': spec.separator = QLatin1Char('.'); ++i; break;
        case '`': spec.separator = QLatin1Char(','); ++i; break;
        case '-': spec.separator = QLatin1Char('-'); ++i; break;
        case '_': spec.separator = QLatin1Char(' '); ++i; break;
        default: break;
        }
    }
    if (!readBlankFlag(s, i, spec))
        return std::nullopt;
    return spec;
}

// p<text>p[b]: the text holds '<' and '#' digit places; anything else is kept as it is.
std::optional<Spec> patternSpec(const QString &s, qsizetype i) {
    Spec spec;
    spec.family = Family::Pattern;
    qsizetype end = s.size();
    if (end - i >= 2 && s[end - 1].toLower() == QLatin1Char('b') && s[end - 2].toLower() == QLatin1Char('p')) {
        spec.blankWhenZero = true;
        --end;
    }
    if (end - i < 1 || s[end - 1].toLower() != QLatin1Char('p'))
        return std::nullopt;
    spec.pattern = s.mid(i, end - 1 - i);
    if (!spec.pattern.contains(QLatin1Char('<')) && !spec.pattern.contains(QLatin1Char('#')))
        return std::nullopt;
    return spec;
}

std::optional<Spec> parseUncached(const QString &picture) {
    QString s = picture.trimmed();
    if (s.startsWith(QLatin1Char('@')))
        s.remove(0, 1);
    if (s.isEmpty())
        return std::nullopt;
    const QChar type = s[0].toLower();
    if (type == QLatin1Char('p'))
        return patternSpec(s, 1);
    // Only the pattern keeps its text; the rest of a picture is read without case.
    switch (type.unicode()) {
    case 's': {
        Spec spec;
        spec.family = Family::String;
        qsizetype i = 1;
        if (!readCount(s, i, spec.width) || spec.width < 1 || i != s.size())
            return std::nullopt;
        return spec;
    }
    case 'n': return numberSpec(s, 1);
    case 'd': return dateTimeSpec(s, 1, Family::Date);
    case 't': return dateTimeSpec(s, 1, Family::Time);
    default: return std::nullopt;
    }
}

} // namespace

std::optional<Spec> parseSpec(const QString &picture) {
    // Lists format the same few pictures for every row: keep the parsed forms.
    thread_local QHash<QString, std::optional<Spec>> cache;
    const auto it = cache.constFind(picture);
    if (it != cache.constEnd())
        return *it;
    if (cache.size() > 512)
        cache.clear();
    auto spec = parseUncached(picture);
    cache.insert(picture, spec);
    return spec;
}

qint64 wholeNumber(const QVariant &value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::Bool:
        return value.toLongLong();
    default:
        break;
    }
    const double d = value.typeId() == QMetaType::QString ? numericValue(value.toString()) : value.toDouble();
    if (!std::isfinite(d) || std::fabs(d) > 9.0e18)
        return 0;
    return qint64(std::round(d));
}

} // namespace pictures

using namespace pictures;

QString formatPicture(const QString &picture, const QVariant &value) {
    const auto spec = parseSpec(picture);
    if (!spec)
        return value.toString();
    switch (spec->family) {
    case Family::String: return fit(value.toString(), spec->width);
    case Family::Number: return formatNumber(*spec, value);
    case Family::Pattern: return formatPattern(*spec, value);
    case Family::Date: return formatDate(*spec, wholeNumber(value));
    case Family::Time: return formatTime(*spec, wholeNumber(value));
    }
    return {};
}

std::optional<QVariant> parsePicture(const QString &picture, const QString &text, BareYearDays bareYearDays) {
    const auto spec = parseSpec(picture);
    if (!spec)
        return std::nullopt;
    switch (spec->family) {
    case Family::String: {
        const QString t = clip(text);
        if (t.size() > spec->width)
            return std::nullopt;
        return QVariant(t);
    }
    case Family::Number: return parseNumber(*spec, text);
    case Family::Pattern: return parsePattern(*spec, text);
    case Family::Date: return parseDate(*spec, text, bareYearDays == BareYearDays::Taken);
    case Family::Time: return parseTime(*spec, text);
    }
    return std::nullopt;
}

QString shortTimeText(const QString &typed) {
    const QStringList parts = typed.trimmed().split(QLatin1Char(':'));
    if (parts.size() > 2)
        return typed;
    bool minutesRead = false, secondsRead = parts.size() == 1;
    const int minutes = parts[0].trimmed().toInt(&minutesRead);
    const int seconds = parts.size() == 1 ? 0 : parts[1].trimmed().toInt(&secondsRead);
    if (!minutesRead || !secondsRead || minutes < 0 || seconds < 0 || seconds > 59)
        return typed;
    const QLatin1Char zero('0');
    return QStringLiteral("%1:%2:%3").arg(minutes / 60).arg(minutes % 60, 2, 10, zero).arg(seconds, 2, 10, zero);
}

QString datePictureFor(const QString &dateFormat) {
    const QString format = dateFormat.trimmed();
    // "Year Only" is a number picture for the bare year; a date field shows a day number's year.
    if (pictureFamily(format) == QLatin1Char('n'))
        return QStringLiteral("@d%1").arg(kYearPicture);
    return format.startsWith(QLatin1Char('@')) || format.isEmpty() ? format : QLatin1Char('@') + format;
}

QStringList pictureSamples(const QString &picture) {
    const auto spec = parseSpec(picture);
    QStringList out;
    if (!spec)
        return out;
    switch (spec->family) {
    case Family::String:
        break;
    case Family::Number:
    case Family::Pattern: {
        // Every count of digits up to the most that fit; an overflow's '#'s are no value.
        for (qint64 nines = 9; nines <= 999999999999999LL; nines = nines * 10 + 9) {
            const QVariant v = spec->decimals > 0 ? QVariant(double(nines) / std::pow(10.0, spec->decimals))
                                                   : QVariant(nines);
            const QString positive = formatPicture(picture, v);
            if (positive.contains(QLatin1Char('#')))
                break;
            out << positive;
            const QString negative = formatPicture(picture, -v.toDouble());
            if (spec->sign != Sign::None && !negative.contains(QLatin1Char('#')))
                out << negative;
        }
        break;
    }
    case Family::Date:
        // The 22nd to the 28th of each month: every month with every weekday.
        for (int month = 1; month <= 12; ++month)
            for (int day = 22; day <= 28; ++day)
                out << formatDate(*spec, dayNumber(2000, month, day));
        break;
    case Family::Time:
        for (int hour = 0; hour < 24; ++hour)
            out << formatTime(*spec, timeOf(hour, 59, 59));
        break;
    }
    return out;
}

int pictureTextWidth(const QString &picture) {
    const auto spec = parseSpec(picture);
    return spec && spec->family == Family::String ? spec->width : 0;
}

bool isValidPicture(const QString &picture) { return parseSpec(picture).has_value(); }

QChar pictureFamily(const QString &picture) {
    const auto spec = parseSpec(picture);
    if (!spec)
        return {};
    switch (spec->family) {
    case Family::String: return QLatin1Char('s');
    case Family::Number: return QLatin1Char('n');
    case Family::Pattern: return QLatin1Char('p');
    case Family::Date: return QLatin1Char('d');
    case Family::Time: return QLatin1Char('t');
    }
    return {};
}

} // namespace tbk
