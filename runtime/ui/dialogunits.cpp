#include "runtime/ui/dialogunits.h"

#include "runtime/values/dates.h"
#include "runtime/values/picture.h"

#include <QFontMetrics>
#include <QHash>
#include <QPair>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace tbk {

namespace {

// The letters' average, not the font's own average glyph width: in most fonts here the latter
// is narrower than digits and capitals, and a column sized for " 5:01" showed "5...".
int letterWidth(const QFontMetrics &m) {
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (m.horizontalAdvance(letters) / 26 + 1) / 2;
}

} // namespace

DialogUnits::DialogUnits(const QFont &font) {
    // Lists convert on every cell they paint: measure each font once.
    static QHash<QFont, QPair<double, double>> known;
    auto it = known.constFind(font);
    if (it == known.cend()) {
        const QFontMetrics m(font);
        it = known.insert(font, {std::max(1, letterWidth(m)) / 4.0, std::max(1, m.height()) / 8.0});
    }
    perX_ = it->first;
    perY_ = it->second;
}

DialogUnits::DialogUnits(const QWidget *widget) : DialogUnits(widget->window()->font()) {}

int DialogUnits::x(double units) const { return int(std::lround(units * perX_)); }
int DialogUnits::y(double units) const { return int(std::lround(units * perY_)); }
int DialogUnits::unitsX(int pixels) const { return int(std::lround(pixels / perX_)); }

int pictureUnits(const QString &picture, int maxChars) {
    const QChar type = pictureFamily(picture);
    QVariant widest;
    if (type == QLatin1Char('s'))
        widest = QString(maxChars, QLatin1Char('M'));
    else if (type == QLatin1Char('d'))
        widest = dayNumber(1995, 9, 30);   // the longest month name, a two-digit day
    else if (type == QLatin1Char('t'))
        widest = timeOf(23, 59, 59);
    else
        widest = -1;                       // fills the width, with room for the sign
    const int chars = std::clamp(int(formatPicture(picture, widest).size()), 2, maxChars);
    // Four units a character, and room for the frame.
    return chars * 4 + 12;
}

} // namespace tbk
