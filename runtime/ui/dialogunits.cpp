#include "runtime/ui/dialogunits.h"

#include "runtime/values/dates.h"
#include "runtime/values/picture.h"

#include <QFontMetrics>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace tbk {

DialogUnits::DialogUnits(const QFont &font) {
    const QFontMetrics m(font);
    perX_ = m.averageCharWidth() / 4.0;
    perY_ = m.height() / 8.0;
}

DialogUnits::DialogUnits(const QWidget *widget) : DialogUnits(widget->window()->font()) {}

int DialogUnits::x(double units) const { return int(std::lround(units * perX_)); }
int DialogUnits::y(double units) const { return int(std::lround(units * perY_)); }

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
