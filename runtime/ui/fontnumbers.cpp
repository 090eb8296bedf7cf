#include "runtime/ui/fontnumbers.h"

#include <algorithm>

namespace tbk {

namespace {
constexpr int kWeightBits = 0x0FFF;
} // namespace

QColor colourOfNumber(qint64 colour) {
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

qint64 numberOfColour(const QColor &colour) {
    return qint64(colour.red()) | qint64(colour.green()) << 8 | qint64(colour.blue()) << 16;
}

QFont fontOfNumbers(const FontNumbers &numbers, const QFont &fallback) {
    QFont f = fallback;
    if (!numbers.typeface.trimmed().isEmpty())
        f.setFamily(numbers.typeface.trimmed());
    if (numbers.size > 0)
        f.setPointSize(numbers.size);
    const int weight = numbers.style & kWeightBits;
    f.setWeight(QFont::Weight(weight == 0 ? int(QFont::Normal) : std::clamp(weight, 100, 900)));
    f.setItalic(numbers.style & kFontItalic);
    f.setUnderline(numbers.style & kFontUnderline);
    f.setStrikeOut(numbers.style & kFontStrikeOut);
    return f;
}

FontNumbers numbersOfFont(const QFont &font, const QColor &colour) {
    FontNumbers n;
    n.typeface = font.family();
    n.size = font.pointSize() > 0 ? font.pointSize() : qRound(font.pointSizeF());
    n.colour = numberOfColour(colour);
    n.style = int(font.weight()) + (font.italic() ? kFontItalic : 0) + (font.underline() ? kFontUnderline : 0) +
              (font.strikeOut() ? kFontStrikeOut : 0);
    return n;
}

} // namespace tbk
