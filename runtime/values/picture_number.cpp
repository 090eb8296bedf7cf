// Number pictures (@n) and patterns (@p...p).
#include "runtime/values/picture_p.h"
#include "runtime/values/text.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace tbk::pictures {

namespace {

const quint64 kPowers[] = {1ULL, 10ULL, 100ULL, 1000ULL, 10000ULL, 100000ULL, 1000000ULL, 10000000ULL,
                           100000000ULL, 1000000000ULL, 10000000000ULL, 100000000000ULL,
                           1000000000000ULL, 10000000000000ULL, 100000000000000ULL,
                           1000000000000000ULL};

struct Digits {
    bool negative = false;
    QString whole;    // no leading zeros; "0" for zero
    QString fraction; // exactly `decimals` digits
    bool isZero() const {
        return whole == QLatin1String("0") && fraction.count(QLatin1Char('0')) == fraction.size();
    }
};

quint64 magnitude(qint64 v) { return v < 0 ? quint64(0) - quint64(v) : quint64(v); }

Digits digitsOf(const QVariant &value, int decimals) {
    Digits d;
    const int type = value.typeId();
    const bool floating = type == QMetaType::Double || type == QMetaType::Float || type == QMetaType::QString;
    if (decimals == 0 && !floating) {
        const qint64 v = wholeNumber(value);
        d.negative = v < 0;
        d.whole = QString::number(magnitude(v));
        return d;
    }
    double x = value.typeId() == QMetaType::QString ? numericValue(value.toString()) : value.toDouble();
    if (!std::isfinite(x))
        x = 0;
    const double scaled = std::round(std::fabs(x) * double(kPowers[decimals]));
    if (scaled < 9.0e15) {
        const quint64 n = quint64(scaled);
        d.whole = QString::number(n / kPowers[decimals]);
        if (decimals > 0)
            d.fraction = QString::number(n % kPowers[decimals]).rightJustified(decimals, QLatin1Char('0'));
    } else {
        const QString s = QString::number(std::fabs(x), 'f', decimals);
        const qsizetype dot = s.indexOf(QLatin1Char('.'));
        d.whole = dot < 0 ? s : s.left(dot);
        if (dot >= 0)
            d.fraction = s.mid(dot + 1);
    }
    d.negative = x < 0 && !d.isZero();
    return d;
}

QString grouped(const QString &whole) {
    QString out;
    out.reserve(whole.size() + whole.size() / 3);
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            out += QLatin1Char(',');
        out += whole[i];
    }
    return out;
}

// Characters the sign takes. A trailing sign or parentheses keep their place on a positive
// number too, so that a column of numbers stays lined up.
int signLength(const Spec &spec, bool negative) {
    switch (spec.sign) {
    case Sign::None:
    case Sign::Leading: return negative ? 1 : 0;
    case Sign::Trailing: return 1;
    case Sign::Parentheses: return negative ? 2 : 1;
    }
    return 0;
}

QString build(const Spec &spec, const Digits &d, bool withGrouping) {
    QString body = withGrouping ? grouped(d.whole) : d.whole;
    if (spec.decimals > 0)
        body += QLatin1Char('.') + d.fraction;
    QString prefix, suffix;
    if (d.negative) {
        if (spec.sign == Sign::Trailing)
            suffix = QStringLiteral("-");
        else if (spec.sign == Sign::Parentheses)
            prefix = QStringLiteral("("), suffix = QStringLiteral(")");
        else // an unsigned picture still shows the sign rather than hide it
            prefix = QStringLiteral("-");
    } else if (spec.sign == Sign::Trailing || spec.sign == Sign::Parentheses) {
        suffix = QStringLiteral(" ");
    }
    const qsizetype used = prefix.size() + body.size() + suffix.size();
    if (used > spec.width)
        return {};
    const qsizetype pad = spec.width - used;
    if (spec.zeroFill)
        return prefix + QString(pad, QLatin1Char('0')) + body + suffix;
    return QString(pad, QLatin1Char(' ')) + prefix + body + suffix;
}

} // namespace

QString formatNumber(const Spec &spec, const QVariant &value) {
    const Digits d = digitsOf(value, spec.decimals);
    if (spec.blankWhenZero && d.isZero())
        return {};
    // Commas are left out when they would not fit, so that "n4" still shows a year.
    QString s = spec.grouping ? build(spec, d, true) : QString();
    if (s.isEmpty())
        s = build(spec, d, false);
    if (s.isEmpty())
        return QString(spec.width, QLatin1Char('#'));
    return s;
}

std::optional<QVariant> parseNumber(const Spec &spec, const QString &text) {
    auto zero = [&]() { return spec.decimals == 0 ? QVariant(qint64(0)) : QVariant(0.0); };
    QString t = text.trimmed();
    if (t.isEmpty())
        return zero();
    bool negative = false;
    if (t.startsWith(QLatin1Char('(')) && t.endsWith(QLatin1Char(')'))) {
        negative = true;
        t = t.mid(1, t.size() - 2).trimmed();
    } else if (t.startsWith(QLatin1Char('-'))) {
        negative = true;
        t = t.mid(1).trimmed();
    } else if (t.startsWith(QLatin1Char('+'))) {
        t = t.mid(1).trimmed();
    } else if (t.endsWith(QLatin1Char('-'))) {
        negative = true;
        t.chop(1);
        t = t.trimmed();
    }
    static const QRegularExpression number(QStringLiteral("^(\\d{1,3}(?:,\\d{3})+|\\d*)(?:\\.(\\d*))?$"));
    const auto m = number.match(t);
    if (!m.hasMatch())
        return std::nullopt;
    QString whole = m.captured(1);
    QString fraction = m.captured(2);
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    if (whole.contains(QLatin1Char(','))) {
        if (!spec.grouping)
            return std::nullopt;
        whole.remove(QLatin1Char(','));
    }
    // Places beyond the picture's decimals are taken only when they change nothing.
    while (fraction.size() > spec.decimals && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (fraction.size() > spec.decimals)
        return std::nullopt;
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    Digits d;
    d.whole = whole;
    d.fraction = fraction.leftJustified(spec.decimals, QLatin1Char('0'));
    d.negative = negative && !d.isZero();
    if (d.negative && spec.sign == Sign::None)
        return std::nullopt;
    const qsizetype length = signLength(spec, d.negative) + d.whole.size() + (spec.decimals > 0 ? spec.decimals + 1 : 0);
    if (length > spec.width || d.whole.size() > 18)
        return std::nullopt;
    if (spec.decimals == 0) {
        const qint64 v = d.whole.toLongLong();
        return QVariant(d.negative ? -v : v);
    }
    const double v = (d.whole + QLatin1Char('.') + d.fraction).toDouble();
    return QVariant(d.negative ? -v : v);
}

namespace {
bool isDigitPlace(QChar c) { return c == QLatin1Char('<') || c == QLatin1Char('#'); }
} // namespace

// '<' is a digit place left blank while the number has not begun, '#' a digit place that
// shows 0 there; everything else in the pattern is shown as it stands.
QString formatPattern(const Spec &spec, const QVariant &value) {
    const qint64 v = wholeNumber(value);
    if (v == 0 && spec.blankWhenZero)
        return {};
    const QString &p = spec.pattern;
    const qsizetype places = std::count_if(p.begin(), p.end(), isDigitPlace);
    const QString digits = v == 0 ? QString() : QString::number(magnitude(v));
    const qsizetype lead = places - digits.size();
    if (lead < 0 || (v < 0 && lead == 0))
        return QString(p.size(), QLatin1Char('#'));
    QString out = p;
    qsizetype k = 0, signAt = -1;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (!isDigitPlace(p[i]))
            continue;
        if (k < lead) {
            out[i] = p[i] == QLatin1Char('#') ? QLatin1Char('0') : QLatin1Char(' ');
            if (k == lead - 1)
                signAt = i;
        } else {
            out[i] = digits[k - lead];
        }
        ++k;
    }
    if (v < 0) {
        if (p[signAt] != QLatin1Char('<'))
            return QString(p.size(), QLatin1Char('#'));
        out[signAt] = QLatin1Char('-');
    }
    return out;
}

namespace {
struct PatternReader {
    QRegularExpression re;
    QList<int> runs; // the length of each run of digit places
};

// A run of digit places takes its digits with or without the blanks before them.
PatternReader patternReader(const QString &p) {
    PatternReader r;
    QString re = QStringLiteral("^\\s*");
    for (qsizetype i = 0; i < p.size();) {
        if (isDigitPlace(p[i])) {
            qsizetype j = i;
            while (j < p.size() && isDigitPlace(p[j]))
                ++j;
            r.runs.append(int(j - i));
            re += QStringLiteral(" *(\\d{1,%1})").arg(j - i);
            i = j;
        } else {
            re += QRegularExpression::escape(QString(p[i]));
            ++i;
        }
    }
    re += QStringLiteral("\\s*$");
    r.re = QRegularExpression(re, QRegularExpression::CaseInsensitiveOption);
    return r;
}
} // namespace

std::optional<QVariant> parsePattern(const Spec &spec, const QString &text) {
    if (text.trimmed().isEmpty())
        return QVariant(qint64(0));
    thread_local QHash<QString, PatternReader> readers;
    auto it = readers.find(spec.pattern);
    if (it == readers.end()) {
        if (readers.size() > 64)
            readers.clear();
        it = readers.insert(spec.pattern, patternReader(spec.pattern));
    }
    const auto m = it->re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    QString digits;
    for (int r = 0; r < it->runs.size(); ++r)
        digits += m.captured(r + 1).rightJustified(it->runs[r], QLatin1Char('0'));
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    if (digits.size() > 18)
        return std::nullopt;
    return QVariant(digits.toLongLong());
}

} // namespace tbk::pictures
