#include "runtime/values/text.h"

#include <QStringDecoder>

#include <optional>

namespace tbk {

qsizetype clippedLength(QStringView s) {
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == QLatin1Char(' '))
        --n;
    return n;
}

QString clip(const QString &s) {
    const qsizetype n = clippedLength(s);
    return n == s.size() ? s : s.left(n);
}

QString fit(const QString &s, int n) {
    if (n <= 0)
        return {};
    if (s.size() <= n)
        return clip(s);
    // Never cut between the two halves of a surrogate pair: that would leave a broken
    // character in the stored text.
    qsizetype cut = n;
    if (s.at(cut - 1).isHighSurrogate() && s.at(cut).isLowSurrogate())
        --cut;
    return clip(s.left(cut));
}

// Key comparisons run for every row sorted or sought: no copies.
int compareText(const QString &a, const QString &b, Qt::CaseSensitivity cs) {
    const QStringView va(a), vb(b);
    return va.first(clippedLength(va)).compare(vb.first(clippedLength(vb)), cs);
}

namespace {
// Length of the number at the start of s (from position i), 0 when there is none.
qsizetype numberLength(const QString &s, qsizetype i) {
    const qsizetype start = i;
    if (i < s.size() && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
        ++i;
    qsizetype digits = 0;
    while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128) { ++i; ++digits; }
    if (i < s.size() && s[i] == QLatin1Char('.')) {
        ++i;
        while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128) { ++i; ++digits; }
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == QLatin1Char('-') || s[j] == QLatin1Char('+')))
            ++j;
        qsizetype expDigits = 0;
        while (j < s.size() && s[j].isDigit() && s[j].unicode() < 128) { ++j; ++expDigits; }
        if (expDigits > 0)
            i = j;
    }
    return i - start;
}

qsizetype skipBlanks(const QString &s, qsizetype i) {
    while (i < s.size() && (s[i] == QLatin1Char(' ') || s[i] == QLatin1Char('\t')))
        ++i;
    return i;
}
} // namespace

double numericValue(const QString &s) {
    const qsizetype i = skipBlanks(s, 0);
    const qsizetype n = numberLength(s, i);
    if (n == 0)
        return 0.0;
    // A whole number, the usual case, is read without a copy and a conversion.
    const qsizetype end = i + n;
    qsizetype j = i;
    const bool negative = s[j] == QLatin1Char('-');
    if (negative || s[j] == QLatin1Char('+'))
        ++j;
    if (end - j <= 15) {
        qint64 v = 0;
        for (; j < end && s[j].unicode() >= '0' && s[j].unicode() <= '9'; ++j)
            v = v * 10 + (s[j].unicode() - '0');
        if (j == end)
            return negative ? -double(v) : double(v);
    }
    return QStringView(s).mid(i, n).toDouble();
}

bool isNumericText(const QString &s) {
    const qsizetype i = skipBlanks(s, 0);
    const qsizetype n = numberLength(s, i);
    return n > 0 && skipBlanks(s, i + n) == s.size();
}

namespace {

std::optional<QString> validUtf8(const QByteArray &bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    return utf8.hasError() ? std::nullopt : std::optional(text);
}

// Windows-1252's characters for the bytes 0x80..0x9F; its five unused bytes keep Latin-1's.
constexpr char16_t kWindows1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

QString fromUtf8OrLatin1(const QByteArray &bytes) {
    std::optional<QString> text = validUtf8(bytes);
    return text ? *text : QString::fromLatin1(bytes);
}

QString fromUtf8OrWindows1252(const QByteArray &bytes) {
    if (std::optional<QString> text = validUtf8(bytes))
        return *text;
    QString text = QString::fromLatin1(bytes);
    for (QChar &c : text)
        if (c.unicode() >= 0x80 && c.unicode() < 0xA0)
            c = QChar(kWindows1252[c.unicode() - 0x80]);
    return text;
}

} // namespace tbk
