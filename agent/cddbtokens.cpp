#include "agent/cddbtokens.h"

#include <limits>

namespace tbk::agent {

namespace {
bool isDelimiter(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }
bool isLineEnd(char ch) { return ch == '\r' || ch == '\n'; }
bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }

QByteArray takeWord(TextCursor &c) {
    const qsizetype start = c.pos;
    while (!c.atEnd() && !isDelimiter(c.peek()))
        ++c.pos;
    QByteArray word = c.text.mid(start, c.pos - start);
    if (!c.atEnd())
        ++c.pos;
    return word;
}
} // namespace

QByteArray EatToken(TextCursor &c) {
    QByteArray word = takeWord(c);
    while (c.peek() == ' ')
        ++c.pos;
    return word;
}

QByteArray FirstToken(TextCursor &c) {
    while (!c.atEnd() && isDelimiter(c.peek()))
        ++c.pos;
    return takeWord(c);
}

std::optional<qint32> EatNum(TextCursor &c) {
    bool valid = true;
    bool negative = false;
    if (c.peek() == '+' || c.peek() == '-') {
        negative = c.peek() == '-';
        ++c.pos;
        while (c.peek() == ' ') {
            valid = false;  // "+ 888" is taken but is no number
            ++c.pos;
        }
    }
    qint64 value = 0;
    bool digits = false;
    while (isDigit(c.peek())) {
        digits = true;
        if (value <= qint64(1) << 32)
            value = value * 10 + (c.peek() - '0');
        ++c.pos;
    }
    while (c.peek() == ' ')
        ++c.pos;
    if (negative)
        value = -value;
    if (!valid || !digits || value > std::numeric_limits<qint32>::max() ||
        value < std::numeric_limits<qint32>::min())
        return std::nullopt;
    return qint32(value);
}

QByteArray EatLine(TextCursor &c) {
    const qsizetype start = c.pos;
    while (!c.atEnd() && !isLineEnd(c.peek()))
        ++c.pos;
    QByteArray line = c.text.mid(start, c.pos - start);
    if (isLineEnd(c.peek())) {
        ++c.pos;
        if (isLineEnd(c.peek()))
            ++c.pos;
    }
    return line;
}

} // namespace tbk::agent
