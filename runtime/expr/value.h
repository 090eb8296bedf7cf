#pragma once
// Values of the expression language: a number or a text, with the comparison rules of filters.
#include <QString>

#include <optional>

namespace tbk::expr {

enum class Type { Number, Text };

class Value {
public:
    Value() = default;
    // NaN never survives (0 * inf, inf - inf): it counts as 0, as SQL's NULL result is made 0.
    Value(double n) : num_(n == n ? n : 0) {}
    Value(int n) : num_(n) {}
    Value(qint64 n) : num_(double(n)) {}
    Value(const QString &s) : type_(Type::Text), text_(s) {}
    Value(const char *s) : type_(Type::Text), text_(QString::fromUtf8(s)) {}

    Type type() const { return type_; }
    bool isText() const { return type_ == Type::Text; }
    // A text counts by its leading number; a number is formatted as formatNumber does.
    double number() const;
    QString text() const;
    // Non-zero number, or text that is not blank.
    bool truth() const;

    bool operator==(const Value &o) const;

private:
    Type type_ = Type::Number;
    double num_ = 0;
    QString text_;
};

// Whole numbers without a decimal point; others with up to 15 significant digits.
QString formatNumber(double n);
// The number as an integer when it is a whole one that a double holds exactly; SQL gets
// such numbers as integers, so that they compare equal to integer columns.
std::optional<qint64> wholeNumber(double n);

// Texts compare by code point (the order of UTF-8 bytes), trailing blanks ignored.
int compareTextExact(QStringView a, QStringView b);
// Number with number compares numbers; text with text compares texts; a number with a text
// compares numbers when the text is numeric, otherwise the number's text with the text.
int compareValues(const Value &a, const Value &b);

} // namespace tbk::expr
