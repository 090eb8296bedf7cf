#pragma once
// Fonts as the settings files and the favourite fonts keep them: a typeface, a size in points,
// a colour number 0x00BBGGRR (255 is red) and a style number, the weight (100 to 900) plus 4096
// for italic, 8192 for underline and 16384 for strike-out. The one translation to and from Qt.
#include <QColor>
#include <QFont>
#include <QString>
#include <QtGlobal>

namespace tbk {

struct FontNumbers {
    QString typeface;
    int size = 0;
    qint64 colour = 0;
    int style = 0;

    bool operator==(const FontNumbers &) const = default;
};

inline constexpr int kFontItalic = 4096;
inline constexpr int kFontUnderline = 8192;
inline constexpr int kFontStrikeOut = 16384;

QColor colourOfNumber(qint64 colour);
qint64 numberOfColour(const QColor &colour);

// The font the numbers describe. A blank typeface or a size of 0 keep the fallback's; a weight
// of 0 (none given) is a normal one.
QFont fontOfNumbers(const FontNumbers &numbers, const QFont &fallback = QFont());
FontNumbers numbersOfFont(const QFont &font, const QColor &colour);

} // namespace tbk
