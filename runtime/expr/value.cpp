#include "runtime/expr/value.h"

#include "runtime/values/text.h"

#include <cmath>

namespace tbk::expr {

double Value::number() const {
    return type_ == Type::Number ? num_ : numericValue(text_);
}

QString Value::text() const {
    return type_ == Type::Text ? text_ : formatNumber(num_);
}

bool Value::truth() const {
    return type_ == Type::Number ? num_ != 0 : clippedLength(text_) > 0;
}

bool Value::operator==(const Value &o) const {
    if (type_ != o.type_)
        return false;
    return type_ == Type::Number ? num_ == o.num_ : text_ == o.text_;
}

QString formatNumber(double n) {
    if (std::isnan(n))
        return QStringLiteral("0");
    if (n == std::trunc(n) && std::fabs(n) < 1e15)
        return QString::number(qint64(n));
    return QString::number(n, 'g', 15);
}

std::optional<qint64> wholeNumber(double n) {
    if (n == std::trunc(n) && std::fabs(n) < 9e15)
        return qint64(n);
    return std::nullopt;
}

namespace {
// Code units from U+D800 up sort above U+E000..U+FFFF in UTF-8 order: lift the latter.
inline uint orderOfUnit(char16_t u) {
    return (u >= 0xE000) ? u - 0x800 : (u >= 0xD800 ? u + 0x2000 : u);
}
} // namespace

int compareTextExact(QStringView a, QStringView b) {
    const qsizetype na = clippedLength(a), nb = clippedLength(b);
    const qsizetype n = std::min(na, nb);
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x != y)
            return orderOfUnit(x) < orderOfUnit(y) ? -1 : 1;
    }
    return na == nb ? 0 : (na < nb ? -1 : 1);
}

namespace {
int compareNumbers(double x, double y) {
    return x < y ? -1 : (x > y ? 1 : 0);
}
} // namespace

int compareValues(const Value &a, const Value &b) {
    if (!a.isText() && !b.isText())
        return compareNumbers(a.number(), b.number());
    if (a.isText() && b.isText())
        return compareTextExact(a.text(), b.text());
    const Value &t = a.isText() ? a : b;
    if (isNumericText(t.text()))
        return compareNumbers(a.number(), b.number());
    return compareTextExact(a.text(), b.text());
}

} // namespace tbk::expr
