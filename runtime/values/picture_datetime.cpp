// Date pictures (@d1..@d18) and time pictures (@t1..@t8). Every one is a layout in the
// letters of Qt's date and time formats, so the system's own formats (d17, d18, t7, t8)
// and ours go through the same formatter and parser.
#include "runtime/values/dates.h"
#include "runtime/values/picture_p.h"

#include <QDate>
#include <QHash>
#include <QLocale>

#include <algorithm>
#include <map>

namespace tbk::pictures {

namespace {

enum class T {
    Literal, Day, Day2, WeekdayShort, WeekdayLong, Month, Month2, MonthShort, MonthLong, Year2, Year4,
    Hour, Hour2, Minute, Minute2, Second, Second2, AmPm
};

struct Token {
    T type = T::Literal;
    QString text;           // literal text
    bool lower = false;     // am/pm in lower case
};

struct Layout {
    QList<Token> tokens;
    bool system = false;     // names and am/pm from the locale, hours on a 24-hour clock face
    bool twelveHour = false;
};

const char *const kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};

bool isNumeric(T t) {
    switch (t) {
    case T::Day: case T::Day2: case T::Month: case T::Month2: case T::Year2: case T::Year4:
    case T::Hour: case T::Hour2: case T::Minute: case T::Minute2: case T::Second: case T::Second2:
        return true;
    default:
        return false;
    }
}

void addLiteral(Layout &l, const QString &s) {
    if (!l.tokens.isEmpty() && l.tokens.last().type == T::Literal)
        l.tokens.last().text += s;
    else
        l.tokens.append({T::Literal, s, false});
}

Layout tokenize(const QString &f, bool system) {
    Layout l;
    l.system = system;
    qsizetype droppedZone = -1;
    bool inQuote = false;
    for (QChar c : f) {
        if (c == QLatin1Char('\''))
            inQuote = !inQuote;
        else if (!inQuote && (c == QLatin1Char('a') || c == QLatin1Char('A')))
            l.twelveHour = true;
    }
    for (qsizetype i = 0; i < f.size();) {
        const QChar c = f[i];
        if (c == QLatin1Char('\'')) {
            const qsizetype end = f.indexOf(QLatin1Char('\''), i + 1);
            if (end == i + 1) {
                addLiteral(l, QStringLiteral("'"));
                i += 2;
            } else {
                addLiteral(l, f.mid(i + 1, end < 0 ? -1 : end - i - 1));
                i = end < 0 ? f.size() : end + 1;
            }
            continue;
        }
        qsizetype n = 1;
        while (i + n < f.size() && f[i + n] == c)
            ++n;
        auto add = [&](T t) { l.tokens.append({t, QString(), false}); };
        switch (c.unicode()) {
        case 'd': add(n == 1 ? T::Day : n == 2 ? T::Day2 : n == 3 ? T::WeekdayShort : T::WeekdayLong); break;
        case 'M': add(n == 1 ? T::Month : n == 2 ? T::Month2 : n == 3 ? T::MonthShort : T::MonthLong); break;
        case 'y': add(n >= 3 ? T::Year4 : T::Year2); break;
        case 'h': case 'H': add(n == 1 ? T::Hour : T::Hour2); break;
        case 'm': add(n == 1 ? T::Minute : T::Minute2); break;
        case 's': add(n == 1 ? T::Second : T::Second2); break;
        case 'z': break; // no milliseconds shown
        case 't':
            // A clock value has no time zone; what stood between it and the time goes too.
            droppedZone = l.tokens.size();
            break;
        case 'a': case 'A':
            l.tokens.append({T::AmPm, QString(), c == QLatin1Char('a')});
            n = 1;
            if (i + 1 < f.size() && f[i + 1].toLower() == QLatin1Char('p'))
                n = 2;
            break;
        default: addLiteral(l, QString(n, c)); break;
        }
        i += n;
    }
    if (droppedZone >= 0 && droppedZone == l.tokens.size() && droppedZone > 0 &&
        l.tokens.last().type == T::Literal) {
        QString &t = l.tokens.last().text;
        while (!t.isEmpty() && (t.back().isSpace() || t.back() == QLatin1Char(',')))
            t.chop(1);
        if (t.isEmpty())
            l.tokens.removeLast();
    } else if (droppedZone == 0 && !l.tokens.isEmpty() && l.tokens.first().type == T::Literal) {
        QString &t = l.tokens.first().text;
        while (!t.isEmpty() && t.front().isSpace())
            t.remove(0, 1);
        if (t.isEmpty())
            l.tokens.removeFirst();
    }
    return l;
}

const Layout &builtIn(Family family, int index) {
    static const QList<Layout> dates = [] {
        const char *const f[] = {"MM/dd/yy",   "MM/dd/yyyy",   "MMM d,yyyy", "MMMM d, yyyy", "dd/MM/yy",
                                 "dd/MM/yyyy", "dd MMM yy",    "dd MMM yyyy", "yy/MM/dd",    "yyyy/MM/dd",
                                 "yyMMdd",     "yyyyMMdd",     "MM/yy",      "MM/yyyy",      "yy/MM",
                                 "yyyy/MM"};
        QList<Layout> l;
        for (const char *s : f)
            l.append(tokenize(QString::fromLatin1(s), false));
        return l;
    }();
    static const QList<Layout> times = [] {
        const char *const f[] = {"HH:mm", "HHmm", "h:mmAP", "HH:mm:ss", "HHmmss", "h:mm:ssAP"};
        QList<Layout> l;
        for (const char *s : f)
            l.append(tokenize(QString::fromLatin1(s), false));
        return l;
    }();
    return family == Family::Date ? dates[index - 1] : times[index - 1];
}

// Never emptied, so that a layout handed out stays as it is: a program meets only a few formats.
const Layout &cachedLayout(const QString &format, bool system) {
    thread_local std::map<QString, Layout> cache;
    auto it = cache.find(format);
    if (it == cache.end())
        it = cache.emplace(format, tokenize(format, system)).first;
    return it->second;
}

bool namesMonth(const Layout &l) {
    return std::any_of(l.tokens.begin(), l.tokens.end(),
                       [](const Token &t) { return t.type == T::MonthShort || t.type == T::MonthLong; });
}

// d17, d18, t7 and t8 as the locale in force (QLocale's default) has them, read afresh each time.
const Layout &localeLayout(const Spec &spec) {
    const QLocale locale;
    const auto length = (spec.index == 17 || spec.index == 7) ? QLocale::ShortFormat : QLocale::LongFormat;
    return cachedLayout(spec.family == Family::Date ? locale.dateFormat(length) : locale.timeFormat(length), true);
}

const Layout &layoutFor(const Spec &spec) {
    const bool system = spec.family == Family::Date ? spec.index >= 17 : spec.index >= 7;
    if (!system)
        return builtIn(spec.family, spec.index);
    const Layout &own = localeLayout(spec);
    // The short date is typed and shown in numbers: where the locale's names the month (as C's
    // "d MMM yyyy" does), it is month/day/year.
    if (spec.family == Family::Date && spec.index == 17 && namesMonth(own))
        return cachedLayout(QStringLiteral("MM/dd/yyyy"), true);
    return own;
}

// The separator modifier stands in for the picture's own separators: the slashes (and
// the blanks of d7 and d8), or the single-character separators of the system's format.
QString literalText(const Spec &spec, const Token &t) {
    if (spec.family != Family::Date || spec.separator.isNull() || t.text.size() != 1)
        return t.text;
    const QChar c = t.text[0];
    const bool own = c == QLatin1Char('/') || c == QLatin1Char('.') || c == QLatin1Char('-') ||
                     (c == QLatin1Char(' ') && (spec.index == 7 || spec.index == 8));
    return own ? QString(spec.separator) : t.text;
}

QString monthName(const Layout &l, int month, bool longName) {
    if (l.system)
        return QLocale().monthName(month, longName ? QLocale::LongFormat : QLocale::ShortFormat);
    const QString name = QString::fromLatin1(kMonthNames[month - 1]);
    return longName ? name : name.left(3).toUpper();
}

// "AP" shows the text in capitals and "ap" in small letters, whatever the locale's own case.
QString amPmText(const Layout &l, bool pm, bool lower) {
    QString s = l.system ? (pm ? QLocale().pmText() : QLocale().amText())
                         : QString::fromLatin1(pm ? "PM" : "AM");
    return lower ? s.toLower() : s.toUpper();
}

QString two(int n) { return QString::number(n).rightJustified(2, QLatin1Char('0')); }

// The system's formats write numbers in the locale's own digits.
QString localDigits(const Layout &l, const QString &s) {
    if (!l.system)
        return s;
    const QList<uint> zero = QLocale().zeroDigit().toUcs4();
    if (zero.size() != 1 || zero[0] == '0')
        return s;
    QList<uint> out = s.toUcs4();
    for (uint &c : out)
        if (c >= '0' && c <= '9')
            c = zero[0] + (c - '0');
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(out.constData()), out.size());
}

// Digits of any script read as ours, so that the locale's own digits are taken back.
QString asciiDigits(const QString &s) {
    bool any = false;
    for (QChar c : s)
        any = any || c.unicode() > 127;
    if (!any)
        return s;
    QList<uint> cps = s.toUcs4();
    for (uint &c : cps) {
        const int v = QChar::digitValue(char32_t(c));
        if (c > 127 && v >= 0 && QChar::category(char32_t(c)) == QChar::Number_DecimalDigit)
            c = '0' + uint(v);
    }
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(cps.constData()), cps.size());
}

// Qt counts weekdays from Monday = 1; ours from Sunday = 0.
int qtWeekday(qint32 day) { const int w = weekdayOf(day); return w == 0 ? 7 : w; }

} // namespace

QString formatDate(const Spec &spec, qint64 day) {
    // Day 0 is "no date" whatever the picture says; anything below is no date either.
    if (day <= 0 || day > 3000000)
        return {};
    if (spec.index == kYearPicture)
        return QString::number(isBareYear(qint32(day)) ? day : yearOf(qint32(day)));
    const Layout &l = layoutFor(spec);
    const YearMonthDay d = calendarDate(qint32(day));
    QString out;
    for (const Token &t : l.tokens) {
        switch (t.type) {
        case T::Literal: out += literalText(spec, t); break;
        case T::Day: out += localDigits(l, QString::number(d.day)); break;
        case T::Day2: out += localDigits(l, two(d.day)); break;
        case T::WeekdayShort:
        case T::WeekdayLong:
            out += QLocale().dayName(qtWeekday(qint32(day)), t.type == T::WeekdayLong ? QLocale::LongFormat : QLocale::ShortFormat);
            break;
        case T::Month: out += localDigits(l, QString::number(d.month)); break;
        case T::Month2: out += localDigits(l, two(d.month)); break;
        case T::MonthShort: out += monthName(l, d.month, false); break;
        case T::MonthLong: out += monthName(l, d.month, true); break;
        case T::Year2: out += localDigits(l, two(d.year % 100)); break;
        case T::Year4: out += localDigits(l, QString::number(d.year).rightJustified(4, QLatin1Char('0'))); break;
        default: break; // no time parts in a date
        }
    }
    return out;
}

QString formatTime(const Spec &spec, qint64 time) {
    if (time <= 0 && spec.blankWhenZero)
        return {};
    const Layout &l = layoutFor(spec);
    ClockParts c = clockParts(time > 0 && time <= 0x7fffffff ? qint32(time) : 0);
    // Ours show durations too (a playlist's total time), so their hours run on past 23.
    const int hour24 = c.hours % 24;
    const int hours = l.twelveHour ? (hour24 % 12 == 0 ? 12 : hour24 % 12) : (l.system ? hour24 : c.hours);
    QString out;
    for (const Token &t : l.tokens) {
        switch (t.type) {
        case T::Literal: out += t.text; break;
        case T::Hour: out += localDigits(l, QString::number(hours)); break;
        case T::Hour2: out += localDigits(l, two(hours)); break;
        case T::Minute: out += localDigits(l, QString::number(c.minutes)); break;
        case T::Minute2: out += localDigits(l, two(c.minutes)); break;
        case T::Second: out += localDigits(l, QString::number(c.seconds)); break;
        case T::Second2: out += localDigits(l, two(c.seconds)); break;
        case T::AmPm: out += amPmText(l, hour24 >= 12, t.lower); break;
        default: break;
        }
    }
    return out;
}

namespace {

struct Fields {
    int day = -1, month = -1, year = -1, weekday = -1;
    int hour = -1, minute = -1, second = -1, pm = -1;
};

class Reader {
public:
    Reader(const Spec &spec, const Layout &layout, const QString &text) : spec_(spec), l_(layout), s_(text) {}

    bool read(Fields &f) {
        skipBlanks();
        const QList<Token> &tokens = l_.tokens;
        for (qsizetype k = 0; k < tokens.size(); ++k) {
            const Token &t = tokens[k];
            if (spec_.family == Family::Time && atEnd() && onlyOptionalLeft(k))
                break;
            switch (t.type) {
            case T::Literal:
                if (!literal(literalText(spec_, t)))
                    return false;
                break;
            case T::WeekdayShort:
            case T::WeekdayLong:
                // The weekday may be left out; then so is what follows it (", ").
                if (!weekday(f.weekday) && k + 1 < tokens.size() && tokens[k + 1].type == T::Literal)
                    ++k;
                break;
            case T::MonthShort:
            case T::MonthLong:
                if (!month(f.month))
                    return false;
                break;
            case T::AmPm:
                amPm(f.pm);
                break;
            default: {
                // Within a run of digits with nothing between ("yyyyMMdd") each part has its
                // full width; elsewhere a part may be shorter ("2/1/1996").
                const bool adjacent = (k + 1 < tokens.size() && isNumeric(tokens[k + 1].type)) ||
                                      (k > 0 && isNumeric(tokens[k - 1].type));
                if (!number(t.type, adjacent, f))
                    return false;
                break;
            }
            }
        }
        skipBlanks();
        return atEnd();
    }

private:
    bool atEnd() const { return i_ >= s_.size(); }
    // Invisible direction marks (as in Arabic dates) count as blanks: nobody types them.
    static bool isBlank(QChar c) { return c.isSpace() || c.category() == QChar::Other_Format; }
    void skipBlanks() {
        while (i_ < s_.size() && isBlank(s_[i_]))
            ++i_;
    }

    bool onlyOptionalLeft(qsizetype k) const {
        for (; k < l_.tokens.size(); ++k) {
            switch (l_.tokens[k].type) {
            case T::Literal: case T::Minute: case T::Minute2: case T::Second: case T::Second2: case T::AmPm:
                break;
            default:
                return false;
            }
        }
        return true;
    }

    static bool isSeparator(QChar c) {
        return c == QLatin1Char('/') || c == QLatin1Char('-') || c == QLatin1Char('.');
    }

    // Blanks match any run of blanks; in a date any of / - . stands for another.
    bool literal(const QString &lit) {
        for (QChar c : lit) {
            if (isBlank(c)) {
                skipBlanks();
                continue;
            }
            skipBlanks();
            if (atEnd())
                return false;
            const QChar got = s_[i_];
            const bool same = got.toCaseFolded() == c.toCaseFolded() ||
                              (spec_.family == Family::Date && isSeparator(c) && isSeparator(got));
            if (!same)
                return false;
            ++i_;
        }
        skipBlanks();
        return true;
    }

    // The longest of the names that the text starts with; -1 when none.
    int matchName(const QStringList &names) {
        int best = -1;
        qsizetype bestLength = 0;
        for (int n = 0; n < names.size(); ++n) {
            const QString &name = names[n];
            if (name.size() > bestLength && QStringView(s_).mid(i_).startsWith(name, Qt::CaseInsensitive)) {
                best = n;
                bestLength = name.size();
            }
        }
        i_ += bestLength;
        return best;
    }

    bool month(int &out) {
        QStringList names;
        const QLocale locale;
        for (int m = 1; m <= 12; ++m) {
            if (l_.system) {
                names << locale.monthName(m, QLocale::LongFormat) << locale.monthName(m, QLocale::ShortFormat)
                      << locale.standaloneMonthName(m, QLocale::LongFormat)
                      << locale.standaloneMonthName(m, QLocale::ShortFormat);
            } else {
                const QString name = QString::fromLatin1(kMonthNames[m - 1]);
                names << name << name.left(3) << name << name;
            }
        }
        const int n = matchName(names);
        if (n < 0)
            return false;
        out = n / 4 + 1;
        return true;
    }

    bool weekday(int &out) {
        QStringList names;
        const QLocale locale;
        for (int d = 1; d <= 7; ++d)
            names << locale.dayName(d, QLocale::LongFormat) << locale.dayName(d, QLocale::ShortFormat);
        const int n = matchName(names);
        if (n < 0)
            return false;
        out = (n / 2 + 1) % 7; // back to Sunday = 0
        skipBlanks();
        return true;
    }

    void amPm(int &out) {
        skipBlanks();
        const QLocale locale;
        const QStringList names = {locale.amText(), locale.pmText(), QStringLiteral("AM"), QStringLiteral("PM"),
                                   QStringLiteral("A"), QStringLiteral("P")};
        const int n = matchName(names);
        if (n >= 0)
            out = n % 2;
    }

    bool number(T type, bool adjacent, Fields &f) {
        const bool year = type == T::Year2 || type == T::Year4;
        const qsizetype nominal = type == T::Year4 ? 4 : 2;
        const qsizetype most = adjacent ? nominal : (year ? 4 : 2);
        qsizetype n = 0;
        int v = 0;
        while (n < most && i_ < s_.size() && s_[i_] >= QLatin1Char('0') && s_[i_] <= QLatin1Char('9')) {
            v = v * 10 + (s_[i_].unicode() - '0');
            ++i_;
            ++n;
        }
        if (n == 0 || (adjacent && n != nominal))
            return false;
        // A further digit means the text holds more than the picture has room for.
        if (!adjacent && i_ < s_.size() && s_[i_].isDigit())
            return false;
        switch (type) {
        case T::Day: case T::Day2: f.day = v; break;
        case T::Month: case T::Month2: f.month = v; break;
        case T::Year2: case T::Year4:
            if (n == 2)
                v = fullYear(v);
            else if (n != 4)
                return false;
            f.year = v;
            break;
        case T::Hour: case T::Hour2: f.hour = v; break;
        case T::Minute: case T::Minute2: f.minute = v; break;
        case T::Second: case T::Second2: f.second = v; break;
        default: return false;
        }
        return true;
    }

    // Two-digit years fall in the 100 years from 80 years ago: in 2026, "46" is 1946 and
    // "45" is 2045. Release dates look back far more often than forward.
    static int fullYear(int yy) {
        const int now = QDate::currentDate().year();
        int y = now - now % 100 + yy;
        if (y > now + 19)
            y -= 100;
        else if (y <= now - 81)
            y += 100;
        return y;
    }

    const Spec &spec_;
    const Layout &l_;
    const QString &s_;
    qsizetype i_ = 0;
};

} // namespace

std::optional<QVariant> parseDate(const Spec &spec, const QString &text, bool bareYearDays) {
    if (text.trimmed().isEmpty())
        return QVariant(qint32(0));
    const QString digits = asciiDigits(text);
    if (spec.index == kYearPicture) {
        const QString typed = digits.trimmed();
        bool ok = false;
        const int year = typed.toInt(&ok);
        if (!ok || typed.size() > 4 || !typed.front().isDigit() || !isBareYear(year))
            return std::nullopt;
        return QVariant(qint32(year));
    }
    Fields f;
    const Layout &layout = layoutFor(spec);
    if (!Reader(spec, layout, digits).read(f)) {
        // A short date shown in numbers still takes the locale's own form, month name and all.
        static const Layout none;
        const Layout &own = spec.index == 17 ? localeLayout(spec) : none;
        f = {};
        if (!namesMonth(own) || !Reader(spec, own, digits).read(f))
            return std::nullopt;
    }
    if (f.day < 0)
        f.day = 1; // month-and-year pictures
    if (f.year < (bareYearDays ? 1800 : 1801) || f.year > 9999 || f.month < 1 || f.month > 12 || f.day < 1 ||
        f.day > daysInMonth(f.year, f.month))
        return std::nullopt;
    const qint32 day = dayNumber(f.year, f.month, f.day);
    // The first days of 1801..1809 share their numbers with bare years: such a date could
    // not be told from a year once stored.
    if (day < 1 || (day <= kLastBareYear && !bareYearDays))
        return std::nullopt;
    if (f.weekday >= 0 && f.weekday != weekdayOf(day))
        return std::nullopt;
    return QVariant(day);
}

std::optional<QVariant> parseTime(const Spec &spec, const QString &text) {
    if (text.trimmed().isEmpty())
        return QVariant(qint32(0));
    const Layout &l = layoutFor(spec);
    Fields f;
    const QString digits = asciiDigits(text);
    if (!Reader(spec, l, digits).read(f) || f.hour < 0)
        return std::nullopt;
    int hour = f.hour;
    if (f.pm >= 0) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + (f.pm ? 12 : 0);
    } else if (hour > (l.system || l.twelveHour ? 23 : 99)) {
        // Ours take hours past 23, as song times typed as minutes:seconds are.
        return std::nullopt;
    }
    const int minute = f.minute < 0 ? 0 : f.minute;
    const int second = f.second < 0 ? 0 : f.second;
    if (minute > 59 || second > 59)
        return std::nullopt;
    return QVariant(timeOf(hour, minute, second));
}

} // namespace tbk::pictures
