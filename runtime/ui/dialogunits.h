#pragma once
// Dialog units of a font: horizontally a quarter of the average width of its 52 letters A-Z and
// a-z (rounded to whole pixels), vertically an eighth of its height. Windows declare their
// controls' sizes in them.
#include <QSize>

class QFont;
class QString;
class QWidget;

namespace tbk {

class DialogUnits {
public:
    explicit DialogUnits(const QFont &font);
    // Of the font of the window the widget is in.
    explicit DialogUnits(const QWidget *widget);

    int x(double units) const;
    int y(double units) const;
    // Pixels back to horizontal units, rounded.
    int unitsX(int pixels) const;
    QSize size(double width, double height) const { return QSize(x(width), y(height)); }

private:
    double perX_;
    double perY_;
};

// The width of an entry that shows the widest text of the picture, at most maxChars
// characters of it, in dialog units.
int pictureUnits(const QString &picture, int maxChars = 60);

} // namespace tbk
