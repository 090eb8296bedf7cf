#include "runtime/expr/functions.h"

#include "runtime/values/text.h"

#include <cmath>
#include <iterator>

namespace tbk::expr {

namespace {
const FunctionInfo kFunctions[] = {
    {Fn::Upper, "UPPER", 1, 1, Type::Text},      {Fn::Lower, "LOWER", 1, 1, Type::Text},
    {Fn::Clip, "CLIP", 1, 1, Type::Text},        {Fn::Len, "LEN", 1, 1, Type::Number},
    {Fn::Sub, "SUB", 3, 3, Type::Text},          {Fn::InString, "INSTRING", 2, 4, Type::Number},
    {Fn::Abs, "ABS", 1, 1, Type::Number},
};

bool hasSurrogates(const QString &s) {
    for (QChar c : s)
        if (c.isSurrogate())
            return true;
    return false;
}

// Positions count characters, not UTF-16 units, so a non-BMP character is never split.
QList<uint> codePoints(const QString &s) {
    return s.toUcs4();
}

QString fromCodePoints(const QList<uint> &cps, qsizetype from, qsizetype n) {
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(cps.constData() + from), n);
}

qint64 clampToInt(double d) {
    if (std::isnan(d))
        return 0;
    if (d > 1e15)
        return qint64(1e15);
    if (d < -1e15)
        return -qint64(1e15);
    return qint64(d);
}
} // namespace

const FunctionInfo *findFunction(const QString &upperName) {
    for (const FunctionInfo &f : kFunctions)
        if (upperName == QLatin1String(f.name))
            return &f;
    return nullptr;
}

QString upperText(const QString &s) {
    bool ascii = true;
    for (QChar c : s)
        if (c.unicode() >= 0x80) { ascii = false; break; }
    if (!ascii)
        return s.toUpper();
    QString r = s;
    for (QChar &c : r)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 32);
    return r;
}

QString lowerText(const QString &s) {
    return s.toLower();
}

qint64 textLength(const QString &s) {
    return hasSurrogates(s) ? codePoints(s).size() : s.size();
}

QString subText(const QString &s, qint64 start, qint64 length) {
    const bool wide = hasSurrogates(s);
    const QList<uint> cps = wide ? codePoints(s) : QList<uint>();
    const qint64 n = wide ? cps.size() : s.size();
    if (start < 0)
        start = n + start + 1;
    if (start < 1) {
        length += start - 1;
        start = 1;
    }
    if (length <= 0 || start > n)
        return QString();
    length = std::min(length, n - start + 1);
    return wide ? fromCodePoints(cps, start - 1, length) : s.mid(start - 1, length);
}

qint64 inString(const QString &sub, const QString &s, qint64 step, qint64 start) {
    if (sub.isEmpty() || step < 1)
        return 0;
    if (start < 1)
        start = 1;
    const bool wide = hasSurrogates(s) || hasSurrogates(sub);
    const QList<uint> hay = wide ? codePoints(s) : QList<uint>();
    const QList<uint> needle = wide ? codePoints(sub) : QList<uint>();
    const qint64 n = wide ? hay.size() : s.size();
    const qint64 m = wide ? needle.size() : sub.size();
    for (qint64 i = start; i + m - 1 <= n; i += step) {
        const bool hit = wide ? std::equal(needle.begin(), needle.end(), hay.begin() + (i - 1))
                              : QStringView(s).mid(i - 1, m) == QStringView(sub);
        if (hit)
            return (i - 1) / step + 1;
    }
    return 0;
}

Value callFunction(const FunctionInfo &f, const QList<Value> &args) {
    switch (f.id) {
    case Fn::Upper: return upperText(args[0].text());
    case Fn::Lower: return lowerText(args[0].text());
    case Fn::Clip: return clip(args[0].text());
    case Fn::Len: return Value(textLength(args[0].text()));
    case Fn::Sub:
        return subText(args[0].text(), clampToInt(args[1].number()), clampToInt(args[2].number()));
    case Fn::InString:
        return Value(inString(args[0].text(), args[1].text(),
                              args.size() > 2 ? clampToInt(args[2].number()) : 1,
                              args.size() > 3 ? clampToInt(args[3].number()) : 1));
    case Fn::Abs: return Value(std::fabs(args[0].number()));
    }
    return Value();
}

} // namespace tbk::expr
