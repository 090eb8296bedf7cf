#include "runtime/ui/windowplace.h"

#include "runtime/settings/profile.h"
#include "runtime/values/text.h"

#include <QWidget>

namespace tbk {

namespace {

int readNumber(const QString &file, const QString &section, const char *entry) {
    return static_cast<int>(numericValue(getIni(section, QLatin1String(entry), QString(), file)));
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
    if (!window || readNumber(file, section, "XPosit") == 0)
        return;
    if (!window->isMaximized()) {
        const int x = readNumber(file, section, "XPosit");
        const int y = readNumber(file, section, "YPosit");
        if (x != 0 && y != 0) {
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
