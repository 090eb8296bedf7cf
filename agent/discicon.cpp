#include "agent/discicon.h"

#include <QPainter>
#include <QPixmap>
#include <QRadialGradient>

namespace tbk::agent {

namespace {
QPixmap drawIcon(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    QRadialGradient shine(QPointF(11, 11), 14);
    shine.setColorAt(0, QColor(245, 245, 255));
    shine.setColorAt(0.5, QColor(170, 200, 230));
    shine.setColorAt(1, QColor(120, 130, 170));
    p.setPen(QPen(QColor(60, 60, 90), 1));
    p.setBrush(shine);
    p.drawEllipse(QPointF(13, 13), 12, 12);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(13, 13), 3, 3);

    p.setPen(QPen(QColor(90, 50, 20), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(23, 23), QPointF(30, 30));
    p.setPen(QPen(QColor(30, 30, 30), 2));
    p.setBrush(QColor(200, 230, 255, 110));
    p.drawEllipse(QPointF(19, 19), 6, 6);
    return pm;
}
} // namespace

QIcon discSeekIcon() {
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addPixmap(drawIcon(size));
    return icon;
}

} // namespace tbk::agent
