#include "runtime/ui/windowplace.h"

#include "runtime/settings/profile.h"
#include "runtime/values/text.h"

#include <QWidget>

#include <cmath>

namespace tbk {

namespace {

// The file may have been edited by hand: a number no window could have counts as none.
int readNumber(const QString &file, const QString &section, const char *entry) {
    const double v = numericValue(getIni(section, QLatin1String(entry), QString(), file));
    return std::fabs(v) < 1e9 ? int(v) : 0;
}

} // namespace

bool isResizable(const QWidget *window) { return window->minimumSize() != window->maximumSize(); }

void SaveWindowPosition(QWidget *window, const QString &file, const QString &section) {
    if (!window)
        return;
    const bool maximised = window->isMaximized();
    QRect place = window->geometry();
    if (maximised) {
        place = window->normalGeometry();
        if (!place.isValid()) {
            window->showNormal();
            place = window->geometry();
        }
    }
    if (window->isMinimized())
        return;
    putIni(section, QStringLiteral("Maximize"), maximised ? QStringLiteral("Yes") : QStringLiteral("No"), file);
    putIni(section, QStringLiteral("XPosit"), QString::number(place.x()), file);
    putIni(section, QStringLiteral("YPosit"), QString::number(place.y()), file);
    putIni(section, QStringLiteral("Width"), QString::number(place.width()), file);
    putIni(section, QStringLiteral("Height"), QString::number(place.height()), file);
}

void RestoreWindowPosition(QWidget *window, const QString &file, const QString &section) {
    if (!window)
        return;
    const int x = readNumber(file, section, "XPosit");
    if (x == 0)
        return;
    if (!window->isMaximized()) {
        const int y = readNumber(file, section, "YPosit");
        if (y != 0) {
            if (isResizable(window)) {
                const int w = readNumber(file, section, "Width");
                const int h = readNumber(file, section, "Height");
                if (w != 0 && h != 0)
                    window->setGeometry(x, y, w, h);
            } else {
                window->setGeometry(x, y, window->width(), window->height());
            }
        }
    }
    const QString maximise = getIni(section, QStringLiteral("Maximize"), QString(), file);
    if (sameText(maximise.trimmed(), QStringLiteral("Yes"), Qt::CaseInsensitive))
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

} // namespace tbk
