#pragma once
// The small readers the agent uses on server text and server lines. Each takes a cursor into
// the text, advances it past what it read and returns the piece read.
#include <QByteArray>

#include <optional>

namespace tbk::agent {

struct TextCursor {
    const QByteArray &text;
    qsizetype pos = 0;

    bool atEnd() const { return pos >= text.size(); }
    char peek() const { return atEnd() ? '\0' : text.at(pos); }
};

// Up to the next blank, tab, CR, LF or the end; then the one delimiter and any blanks.
QByteArray EatToken(TextCursor &c);
// Blanks, tabs and line ends first; then up to the next delimiter and that delimiter only.
QByteArray FirstToken(TextCursor &c);
// An optional sign, any blanks, then decimal digits, taken as a signed 32-bit number; blanks
// after it are skipped. Empty when the text there is no valid number (no digits, a blank
// between sign and digits, out of range); the cursor has moved past what was taken.
std::optional<qint32> EatNum(TextCursor &c);
// Up to the next CR, LF or the end; then one line end (a CR or LF and a second one right after).
QByteArray EatLine(TextCursor &c);

} // namespace tbk::agent
