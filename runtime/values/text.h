#pragma once
// Text values with the runtime's rules: fixed sizes, trailing blanks never count.
#include <QByteArray>
#include <QString>

#include <cmath>
#include <concepts>
#include <limits>

namespace tbk {

// Length of the text without its trailing blanks.
qsizetype clippedLength(QStringView s);
// The text without trailing blanks.
QString clip(const QString &s);
// The text clipped and cut to at most n characters, as a STRING(n) field holds it.
QString fit(const QString &s, int n);
// Compares two texts ignoring trailing blanks; case-blind with Qt::CaseInsensitive (keys).
int compareText(const QString &a, const QString &b, Qt::CaseSensitivity cs = Qt::CaseSensitive);
inline bool sameText(const QString &a, const QString &b, Qt::CaseSensitivity cs = Qt::CaseSensitive) {
    return compareText(a, b, cs) == 0;
}
// The numeric value of a text: leading blanks skipped, the longest number at the start taken,
// anything else (blank included) is 0.
double numericValue(const QString &s);
// A number as a whole number of the type: beyond the type's range it is held at the nearer
// end (converting it as it is would be undefined), and what is no number at all is 0.
template <std::integral Int>
Int numberInRange(double d) {
    if (std::isnan(d))
        return 0;
    if (d >= double(std::numeric_limits<Int>::max()))
        return std::numeric_limits<Int>::max();
    if (d <= double(std::numeric_limits<Int>::min()))
        return std::numeric_limits<Int>::min();
    return Int(d);
}
// True when the whole text, blanks around it aside, is a number.
bool isNumericText(const QString &s);
// Bytes from elsewhere (a server, a file another program wrote): UTF-8 when they are valid
// UTF-8, else Latin-1, which older CD database servers send.
QString fromUtf8OrLatin1(const QByteArray &bytes);
// The same with Windows-1252 for Latin-1, which files of older desktop programs hold: every byte
// is a character, so nothing becomes a replacement character that the bytes do not hold.
QString fromUtf8OrWindows1252(const QByteArray &bytes);

// A STRING(N): holds at most N characters, stored without trailing blanks.
template <int N>
class FixedString {
public:
    FixedString() = default;
    FixedString(const QString &s) : v_(fit(s, N)) {}
    FixedString(const char *s) : v_(fit(QString::fromUtf8(s), N)) {}
    FixedString &operator=(const QString &s) { v_ = fit(s, N); return *this; }
    FixedString &operator=(const char *s) { v_ = fit(QString::fromUtf8(s), N); return *this; }
    operator const QString &() const { return v_; }
    const QString &str() const { return v_; }
    static constexpr int size() { return N; }
    bool empty() const { return v_.isEmpty(); }
    friend bool operator==(const FixedString &a, const QString &b) { return sameText(a.v_, b); }

private:
    QString v_;
};

} // namespace tbk
