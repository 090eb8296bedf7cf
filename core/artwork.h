#pragma once
// The program's own pictures, drawn when first asked for and kept. Asked for by the names the
// windows give them ("tbk98-3.gif", "NOTE.ICO"); names are matched without case.
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace tbk {

// The side of the frame's browse button pictures, in pixels.
constexpr int kBrowseIconSize = 20;

// A null pixmap for a name the program does not draw.
QPixmap artwork(const QString &name);
QIcon artworkIcon(const QString &name);

// A picture named by a setting: the program's own when it draws that name, else the image
// file (a null pixmap when it cannot be read).
QPixmap pictureFromSetting(const QString &nameOrPath);

} // namespace tbk
