#include "core/artwork.h"

#include "runtime/settings/profile.h"

#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <functional>

namespace tbk {

namespace {

const QColor kNavy(20, 34, 84);
const QColor kGold(236, 186, 62);
const QColor kCream(252, 246, 226);

QPixmap canvas(int w, int h) {
    QPixmap p(w, h);
    p.fill(Qt::transparent);
    return p;
}

void drawNote(QPainter &g, QRectF r, const QColor &colour) {
    // A pair of quavers joined by a beam.
    g.setPen(Qt::NoPen);
    g.setBrush(colour);
    const qreal w = r.width(), h = r.height();
    const qreal head = w * 0.28;
    g.drawEllipse(QRectF(r.left() + w * 0.05, r.top() + h * 0.70, head * 1.2, head * 0.9));
    g.drawEllipse(QRectF(r.left() + w * 0.55, r.top() + h * 0.62, head * 1.2, head * 0.9));
    const qreal stem = qMax<qreal>(1.5, w * 0.07);
    g.drawRect(QRectF(r.left() + w * 0.05 + head * 1.2 - stem, r.top() + h * 0.18, stem, h * 0.58));
    g.drawRect(QRectF(r.left() + w * 0.55 + head * 1.2 - stem, r.top() + h * 0.10, stem, h * 0.58));
    QPainterPath beam;
    beam.moveTo(r.left() + w * 0.05 + head * 1.2 - stem, r.top() + h * 0.18);
    beam.lineTo(r.left() + w * 0.55 + head * 1.2, r.top() + h * 0.10);
    beam.lineTo(r.left() + w * 0.55 + head * 1.2, r.top() + h * 0.22);
    beam.lineTo(r.left() + w * 0.05 + head * 1.2 - stem, r.top() + h * 0.30);
    beam.closeSubpath();
    g.drawPath(beam);
}

void drawDisc(QPainter &g, QRectF r) {
    QRadialGradient shine(r.center(), r.width() / 2);
    shine.setColorAt(0.0, QColor(250, 250, 255));
    shine.setColorAt(0.45, QColor(190, 205, 230));
    shine.setColorAt(0.7, QColor(230, 200, 240));
    shine.setColorAt(1.0, QColor(160, 175, 205));
    g.setPen(QPen(QColor(90, 100, 130), qMax<qreal>(1.0, r.width() / 32)));
    g.setBrush(shine);
    g.drawEllipse(r);
    const qreal hole = r.width() * 0.16;
    g.setBrush(Qt::white);
    g.drawEllipse(QRectF(r.center().x() - hole / 2, r.center().y() - hole / 2, hole, hole));
}

void drawRecord(QPainter &g, QRectF r) {
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(24, 24, 28));
    g.drawEllipse(r);
    g.setPen(QPen(QColor(70, 70, 80), 1));
    g.setBrush(Qt::NoBrush);
    for (qreal f = 0.92; f > 0.42; f -= 0.08) {
        const qreal d = r.width() * f;
        g.drawEllipse(QRectF(r.center().x() - d / 2, r.center().y() - d / 2, d, d));
    }
    const qreal label = r.width() * 0.36;
    g.setPen(Qt::NoPen);
    g.setBrush(kGold);
    g.drawEllipse(QRectF(r.center().x() - label / 2, r.center().y() - label / 2, label, label));
    g.setBrush(QColor(24, 24, 28));
    g.drawEllipse(QRectF(r.center().x() - 3, r.center().y() - 3, 6, 6));
}

QPixmap splashPicture() {
    QPixmap p(420, 240);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 240);
    sky.setColorAt(0, QColor(36, 58, 130));
    sky.setColorAt(1, kNavy);
    g.fillRect(p.rect(), sky);
    drawRecord(g, QRectF(250, 40, 160, 160));
    drawDisc(g, QRectF(200, 110, 110, 110));
    QFont title(QStringLiteral("Sans Serif"), 30, QFont::Bold);
    g.setFont(title);
    g.setPen(kGold);
    g.drawText(QRectF(20, 30, 260, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("TuneBank"));
    QFont sub(QStringLiteral("Sans Serif"), 16, QFont::DemiBold);
    g.setFont(sub);
    g.setPen(kCream);
    g.drawText(QRectF(22, 78, 260, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Pro 98"));
    drawNote(g, QRectF(30, 120, 60, 70), kCream);
    drawNote(g, QRectF(100, 140, 44, 52), kGold);
    return p;
}

QPixmap frameLogo() {
    QPixmap p = canvas(132, 30);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(Qt::NoPen);
    g.setBrush(kNavy);
    g.drawRoundedRect(QRectF(0.5, 0.5, 131, 29), 6, 6);
    drawNote(g, QRectF(6, 3, 22, 24), kGold);
    QFont f(QStringLiteral("Sans Serif"), 11, QFont::Bold);
    g.setFont(f);
    g.setPen(kCream);
    g.drawText(QRectF(32, 0, 98, 30), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("TuneBank"));
    return p;
}

QPixmap pyramid() {
    QPixmap p = canvas(32, 32);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QPainterPath left, right;
    left.moveTo(16, 3);
    left.lineTo(2, 28);
    left.lineTo(16, 24);
    left.closeSubpath();
    right.moveTo(16, 3);
    right.lineTo(30, 28);
    right.lineTo(16, 24);
    right.closeSubpath();
    g.setPen(QPen(kNavy, 1));
    g.setBrush(kGold);
    g.drawPath(left);
    g.setBrush(kGold.darker(140));
    g.drawPath(right);
    return p;
}

QPixmap noteIcon() {
    QPixmap p = canvas(32, 32);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    drawNote(g, QRectF(3, 2, 26, 28), kNavy);
    return p;
}

QPixmap notePageIcon() {
    QPixmap p = canvas(32, 32);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(90, 90, 90), 1));
    g.setBrush(Qt::white);
    g.drawRect(QRectF(5.5, 2.5, 21, 27));
    g.setPen(QPen(QColor(170, 190, 220), 1));
    for (int y = 8; y < 28; y += 4)
        g.drawLine(8, y, 24, y);
    drawNote(g, QRectF(8, 8, 16, 18), kNavy);
    return p;
}

QPixmap smallCdIcon() {
    QPixmap p = canvas(32, 32);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    drawDisc(g, QRectF(2, 2, 28, 28));
    return p;
}

// The CD player's picture: a disc with the play sign beside it.
QPixmap cdPlayerPicture() {
    QPixmap p = canvas(96, 64);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    drawDisc(g, QRectF(4, 4, 56, 56));
    g.setPen(Qt::NoPen);
    g.setBrush(kNavy);
    g.drawPolygon(QPolygonF({QPointF(66, 18), QPointF(92, 32), QPointF(66, 46)}));
    return p;
}

QPixmap labelIcon() {
    QPixmap p = canvas(32, 32);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(kNavy, 1));
    g.setBrush(kCream);
    g.drawRoundedRect(QRectF(3.5, 7.5, 25, 17), 3, 3);
    g.setPen(QPen(kNavy, 2));
    g.drawLine(8, 13, 24, 13);
    g.drawLine(8, 19, 19, 19);
    return p;
}

QPixmap playlistIcon() {
    QPixmap p = canvas(32, 32);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(kNavy, 2));
    for (int i = 0; i < 4; ++i) {
        const int y = 7 + i * 6;
        g.drawPoint(5, y);
        g.drawLine(10, y, 20, y);
    }
    drawNote(g, QRectF(19, 12, 12, 17), kGold.darker(120));
    return p;
}

// The frame's browse buttons: small plain drawings, designed on a 24-unit square and drawn at
// the size the toolbar shows them.
QPixmap buttonIcon(const std::function<void(QPainter &)> &draw) {
    QPixmap p = canvas(kBrowseIconSize, kBrowseIconSize);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.scale(kBrowseIconSize / 24.0, kBrowseIconSize / 24.0);
    draw(g);
    return p;
}

void drawPage(QPainter &g) {
    QPainterPath page;
    page.moveTo(4.5, 2.5);
    page.lineTo(14.5, 2.5);
    page.lineTo(18.5, 6.5);
    page.lineTo(18.5, 21.5);
    page.lineTo(4.5, 21.5);
    page.closeSubpath();
    g.setPen(QPen(QColor(90, 90, 90), 1));
    g.setBrush(Qt::white);
    g.drawPath(page);
    g.setPen(QPen(QColor(170, 190, 220), 1));
    for (int y = 8; y <= 17; y += 3)
        g.drawLine(7, y, 15, y);
}

const QColor kGreen(40, 150, 60);
const QColor kRed(200, 40, 40);

// A page with two crossing strokes on it: a plus to add, an x to remove.
QPixmap markedPage(const QColor &colour, Qt::PenCapStyle cap, QLineF first, QLineF second) {
    return buttonIcon([=](QPainter &g) {
        drawPage(g);
        g.setPen(QPen(colour, 3, Qt::SolidLine, cap));
        g.drawLine(first);
        g.drawLine(second);
    });
}

QPixmap insertIcon() { return markedPage(kGreen, Qt::FlatCap, QLineF(17, 12, 17, 22), QLineF(12, 17, 22, 17)); }
QPixmap deleteIcon() { return markedPage(kRed, Qt::RoundCap, QLineF(12, 12, 21, 21), QLineF(21, 12, 12, 21)); }

QPixmap changeIcon() {
    return buttonIcon([](QPainter &g) {
        drawPage(g);
        QPainterPath pencil;
        pencil.moveTo(20, 8);
        pencil.lineTo(23, 11);
        pencil.lineTo(13, 21);
        pencil.lineTo(9, 22);
        pencil.lineTo(10, 18);
        pencil.closeSubpath();
        g.setPen(QPen(kNavy, 1));
        g.setBrush(kGold);
        g.drawPath(pencil);
    });
}

QPixmap selectIcon() {
    return buttonIcon([](QPainter &g) {
        g.setPen(QPen(kGreen, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        g.setBrush(Qt::NoBrush);
        QPainterPath tick;
        tick.moveTo(4, 13);
        tick.lineTo(10, 19);
        tick.lineTo(20, 5);
        g.drawPath(tick);
    });
}

// Arrows up or down the list: how many triangles, and a bar at the end for the first and last page.
QPixmap moveIcon(bool down, int triangles, bool bar) {
    return buttonIcon([=](QPainter &g) {
        g.setPen(Qt::NoPen);
        g.setBrush(kNavy);
        const qreal height = triangles == 1 ? 9 : 7;
        qreal top = 12 - (triangles * height + (bar ? 3 : 0)) / 2;
        if (bar && !down) {
            g.drawRect(QRectF(5, top, 14, 2.5));
            top += 3.5;
        }
        for (int i = 0; i < triangles; ++i) {
            QPainterPath t;
            const qreal tip = down ? top + height : top, base = down ? top : top + height;
            t.moveTo(12, tip);
            t.lineTo(4, base);
            t.lineTo(20, base);
            t.closeSubpath();
            g.drawPath(t);
            top += height;
        }
        if (bar && down)
            g.drawRect(QRectF(5, top + 1, 14, 2.5));
    });
}

QPixmap locateIcon() {
    return buttonIcon([](QPainter &g) {
        g.setPen(QPen(kNavy, 3, Qt::SolidLine, Qt::RoundCap));
        g.drawLine(QPointF(14.5, 14.5), QPointF(21, 21));
        g.setPen(QPen(kNavy, 2));
        g.setBrush(QColor(215, 230, 250));
        g.drawEllipse(QPointF(9.5, 9.5), 6.5, 6.5);
    });
}

QPixmap historyIcon() {
    return buttonIcon([](QPainter &g) {
        // An arrow turning back to where it came from.
        g.setPen(QPen(kNavy, 2.5, Qt::SolidLine, Qt::RoundCap));
        g.setBrush(Qt::NoBrush);
        g.drawArc(QRectF(4, 4, 16, 16), 150 * 16, -300 * 16);
        g.setPen(Qt::NoPen);
        g.setBrush(kNavy);
        QPainterPath head;
        head.moveTo(1.5, 7);
        head.lineTo(9, 7);
        head.lineTo(4.5, 13.5);
        head.closeSubpath();
        g.drawPath(head);
        g.setPen(QPen(kGold.darker(130), 2, Qt::SolidLine, Qt::RoundCap));
        g.drawLine(QPointF(12, 8), QPointF(12, 12.5));
        g.drawLine(QPointF(12, 12.5), QPointF(15, 14.5));
    });
}

QPixmap helpIcon() {
    return buttonIcon([](QPainter &g) {
        g.setPen(Qt::NoPen);
        g.setBrush(kNavy);
        g.drawEllipse(QRectF(2, 2, 20, 20));
        QFont f(QStringLiteral("Sans Serif"));
        f.setPixelSize(15);
        f.setBold(true);
        g.setFont(f);
        g.setPen(kCream);
        g.drawText(QRectF(2, 2, 20, 20), Qt::AlignCenter, QStringLiteral("?"));
    });
}

QPixmap bulb() {
    // A lit bulb: glass, a glow round it and a screw base.
    QPixmap p = canvas(48, 64);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(QPointF(24, 22), 24);
    glow.setColorAt(0, QColor(255, 240, 150, 200));
    glow.setColorAt(1, QColor(255, 240, 150, 0));
    g.setPen(Qt::NoPen);
    g.setBrush(glow);
    g.drawEllipse(QPointF(24, 22), 24, 22);
    QPainterPath glass;
    glass.moveTo(17, 40);
    glass.cubicTo(17, 32, 8, 29, 8, 20);
    glass.arcTo(QRectF(8, 4, 32, 32), 180, -180);
    glass.cubicTo(40, 29, 31, 32, 31, 40);
    glass.closeSubpath();
    QRadialGradient fill(QPointF(20, 15), 20);
    fill.setColorAt(0, QColor(255, 255, 235));
    fill.setColorAt(1, kGold);
    g.setBrush(fill);
    g.setPen(QPen(kGold.darker(150), 1.5));
    g.drawPath(glass);
    g.setPen(QPen(kGold.darker(170), 1.2));
    g.setBrush(Qt::NoBrush);
    g.drawPolyline(QPolygonF({QPointF(20, 40), QPointF(20, 27), QPointF(22, 24), QPointF(24, 27), QPointF(26, 24),
                              QPointF(28, 27), QPointF(28, 40)}));
    g.setPen(QPen(kNavy, 1));
    g.setBrush(QColor(170, 170, 180));
    for (int i = 0; i < 3; ++i)
        g.drawRoundedRect(QRectF(16, 41 + i * 5, 16, 5), 2, 2);
    g.setBrush(kNavy);
    g.drawRoundedRect(QRectF(20, 56, 8, 4), 2, 2);
    return p;
}

// A small green tick, as lists show against a tagged row.
QPixmap smallTick() {
    QPixmap p = canvas(16, 16);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    const QPolygonF tick({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)});
    // A light rim keeps the tick plain on a highlighted row.
    g.setPen(QPen(Qt::white, 4.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    g.drawPolyline(tick);
    g.setPen(QPen(kGreen, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    g.drawPolyline(tick);
    return p;
}

// A brass trumpet, bell to the right, for the song picker.
QPixmap trumpet() {
    QPixmap p = canvas(64, 32);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(kGold.darker(160), 1.2));
    g.setBrush(kGold);
    g.drawRoundedRect(QRectF(4, 17, 40, 4), 2, 2);          // the lead pipe
    g.drawRoundedRect(QRectF(14, 9, 26, 12), 5, 5);         // the loop under the valves
    QPainterPath bell;
    bell.moveTo(42, 17);
    bell.cubicTo(50, 16, 56, 8, 61, 6);
    bell.lineTo(61, 30);
    bell.cubicTo(56, 28, 50, 22, 42, 21);
    bell.closeSubpath();
    g.drawPath(bell);
    g.setBrush(kCream);
    for (int i = 0; i < 3; ++i)
        g.drawRoundedRect(QRectF(20 + i * 7, 3, 4, 10), 1.5, 1.5);   // the valves
    g.setBrush(kNavy);
    g.drawEllipse(QRectF(1, 16, 5, 6));                        // the mouthpiece
    return p;
}

// The tall side pictures of the Setup Wizard's pages: a navy panel with a motif.
QPixmap wizardPanel(const std::function<void(QPainter &)> &motif) {
    QPixmap p(96, 200);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient panel(0, 0, 0, 200);
    panel.setColorAt(0, QColor(36, 58, 130));
    panel.setColorAt(1, kNavy);
    g.fillRect(p.rect(), panel);
    motif(g);
    return p;
}

QPixmap wizardRecords() {
    return wizardPanel([](QPainter &g) {
        drawRecord(g, QRectF(8, 30, 80, 80));
        drawDisc(g, QRectF(20, 100, 64, 64));
        drawNote(g, QRectF(10, 160, 30, 34), kGold);
    });
}

// The CD database wizard's first page: a disc in front of a globe.
QPixmap wizardDiscLookup() {
    return wizardPanel([](QPainter &g) {
        g.setPen(QPen(kCream, 1.2));
        g.setBrush(QColor(70, 140, 210));
        const QRectF globe(14, 24, 68, 68);
        g.drawEllipse(globe);
        g.setBrush(Qt::NoBrush);
        g.drawEllipse(QRectF(globe.center().x() - 14, globe.top(), 28, globe.height()));
        g.drawLine(QPointF(globe.left(), globe.center().y()), QPointF(globe.right(), globe.center().y()));
        g.drawLine(QPointF(globe.center().x(), globe.top()), QPointF(globe.center().x(), globe.bottom()));
        drawDisc(g, QRectF(16, 104, 64, 64));
        drawNote(g, QRectF(56, 160, 30, 34), kGold);
    });
}

QPixmap wizardCalendar() {
    return wizardPanel([](QPainter &g) {
        // A calendar page with its rings and one day marked.
        g.setPen(QPen(kNavy, 1.5));
        g.setBrush(kCream);
        g.drawRoundedRect(QRectF(14, 60, 68, 72), 4, 4);
        g.setBrush(QColor(196, 48, 48));
        g.drawRect(QRectF(14, 60, 68, 16));
        g.setPen(QPen(QColor(150, 150, 160), 3, Qt::SolidLine, Qt::RoundCap));
        for (int x : {30, 48, 66})
            g.drawLine(QPointF(x, 54), QPointF(x, 66));
        g.setPen(Qt::NoPen);
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 5; ++col) {
                g.setBrush(row == 2 && col == 3 ? kGold : QColor(120, 130, 160));
                g.drawRect(QRectF(20 + col * 12, 84 + row * 11, 8, 7));
            }
    });
}

QPixmap wizardFinish() {
    return wizardPanel([](QPainter &g) {
        // A chequered flag on its pole.
        g.setPen(QPen(kCream, 3, Qt::SolidLine, Qt::RoundCap));
        g.drawLine(QPointF(22, 50), QPointF(22, 170));
        const double side = 10;
        g.setPen(Qt::NoPen);
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 5; ++col) {
                g.setBrush((row + col) % 2 ? kNavy : kCream);
                g.drawRect(QRectF(23 + col * side, 52 + row * side + col * 1.5, side, side));
            }
    });
}

QPainterPath fivePointedStar(QPointF centre, qreal outer, qreal inner) {
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const qreal r = i % 2 ? inner : outer;
        const qreal a = M_PI / 2 + i * M_PI / 5;
        const QPointF pt(centre.x() + r * std::cos(a), centre.y() - r * std::sin(a));
        i ? star.lineTo(pt) : star.moveTo(pt);
    }
    star.closeSubpath();
    return star;
}

// A magic wand with a star at its tip, for the button that starts the Setup Wizard.
QPixmap wizardWand() {
    QPixmap p = canvas(16, 16);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(kNavy, 2.2, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(2, 14), QPointF(9, 7));
    g.setPen(QPen(kGold.darker(150), 0.8));
    g.setBrush(kGold);
    g.drawPath(fivePointedStar(QPointF(11, 5), 5, 2));
    return p;
}

// An open door with an arrow leaving through it.
QPixmap exitDoor() {
    QPixmap p = canvas(16, 16);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(kNavy, 1));
    g.setBrush(kCream);
    g.drawRect(QRectF(1.5, 1.5, 8, 13));
    g.setBrush(kGold.darker(130));
    g.drawPolygon(QPolygonF({QPointF(1.5, 1.5), QPointF(6.5, 3.5), QPointF(6.5, 15.5), QPointF(1.5, 14.5)}));
    g.setPen(QPen(QColor(200, 40, 40), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    g.drawLine(QPointF(8, 8), QPointF(14.5, 8));
    g.drawPolyline(QPolygonF({QPointF(12, 5.5), QPointF(14.5, 8), QPointF(12, 10.5)}));
    return p;
}

// A page of lines with a red arrow into it (import) or out of it (export).
QPixmap transferIcon(bool out) {
    QPixmap p = canvas(16, 16);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(90, 90, 90), 1));
    g.setBrush(Qt::white);
    g.drawRect(QRectF(out ? 1.5 : 6.5, 1.5, 8, 13));
    g.setPen(QPen(QColor(170, 190, 220), 1));
    for (int y = 5; y < 14; y += 3)
        g.drawLine(QPointF(out ? 3 : 8, y), QPointF(out ? 8 : 13, y));
    g.setPen(QPen(QColor(200, 40, 40), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal from = out ? 6 : 1, to = out ? 14.5 : 10;
    g.drawLine(QPointF(from, 8), QPointF(to, 8));
    g.drawPolyline(QPolygonF({QPointF(to - 2.5, 5.5), QPointF(to, 8), QPointF(to - 2.5, 10.5)}));
    return p;
}

// A disc with a globe in front of it: the look-up on the internet.
QPixmap discAndGlobe() {
    QPixmap p = canvas(16, 16);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    drawDisc(g, QRectF(0.5, 0.5, 12, 12));
    const QRectF globe(7.5, 7.5, 8, 8);
    g.setPen(QPen(kNavy, 0.9));
    g.setBrush(QColor(90, 160, 220));
    g.drawEllipse(globe);
    g.setBrush(Qt::NoBrush);
    g.drawEllipse(QRectF(globe.center().x() - 1.8, globe.top(), 3.6, globe.height()));
    g.drawLine(QPointF(globe.left(), globe.center().y()), QPointF(globe.right(), globe.center().y()));
    return p;
}

// The chart's logo: rising bars under a star beside the program's name, for a printed page.
QPixmap chartLogo() {
    QPixmap p(300, 120);
    p.fill(Qt::white);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(Qt::NoPen);
    g.setBrush(kNavy);
    g.drawRoundedRect(QRectF(2, 2, 296, 116), 14, 14);
    const qreal heights[] = {30, 46, 62, 80};
    for (int i = 0; i < 4; ++i) {
        g.setBrush(i == 3 ? kGold : kCream);
        g.drawRoundedRect(QRectF(16 + i * 22, 104 - heights[i], 16, heights[i]), 3, 3);
    }
    g.setBrush(kGold);
    g.drawPath(fivePointedStar(QPointF(90, 22), 14, 6));
    g.setPen(kCream);
    g.setFont(QFont(QStringLiteral("Sans Serif"), 22, QFont::Bold));
    g.drawText(QRectF(118, 14, 176, 48), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("TuneBank"));
    g.setPen(kGold);
    g.setFont(QFont(QStringLiteral("Sans Serif"), 17, QFont::DemiBold));
    g.drawText(QRectF(118, 62, 176, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Hit Parade"));
    return p;
}

QPixmap fileCabinet() {
    // A filing cabinet of three drawers, the top one pulled out with discs standing in it.
    QPixmap p = canvas(56, 72);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(kNavy, 1.5));
    QLinearGradient steel(QPointF(6, 0), QPointF(50, 0));
    steel.setColorAt(0, QColor(150, 160, 176));
    steel.setColorAt(1, QColor(206, 212, 222));
    g.setBrush(steel);
    g.drawRoundedRect(QRectF(8, 14, 40, 56), 2, 2);
    for (int i = 0; i < 3; ++i) {
        const QRectF drawer(11, 17 + i * 17.5, 34, 15);
        g.setBrush(QColor(186, 194, 208));
        g.drawRect(drawer);
        g.setBrush(kGold);
        g.drawRoundedRect(QRectF(drawer.center().x() - 6, drawer.top() + 5, 12, 4), 1.5, 1.5);
    }
    // The open drawer: its sides in perspective and the discs' edges above them.
    g.setBrush(QColor(170, 178, 194));
    g.drawPolygon(QPolygonF({QPointF(11, 17), QPointF(45, 17), QPointF(52, 8), QPointF(4, 8)}));
    g.setPen(QPen(kNavy, 1));
    for (int i = 0; i < 6; ++i) {
        const double x = 9 + i * 7;
        g.setBrush(i % 2 ? kCream : QColor(230, 230, 240));
        g.drawEllipse(QRectF(x, 1, 6, 9));
    }
    return p;
}

const QHash<QString, std::function<QPixmap()>> &painters() {
    static const QHash<QString, std::function<QPixmap()>> table{
        {QStringLiteral("tbk98-3.gif"), splashPicture},
        {QStringLiteral("tbk98nte.gif"), frameLogo},
        {QStringLiteral("winpyr.ico"), pyramid},
        {QStringLiteral("bulb.gif"), bulb},
        {QStringLiteral("trumpet.gif"), trumpet},
        {QStringLiteral("note.ico"), noteIcon},
        {QStringLiteral("notepage.ico"), notePageIcon},
        {QStringLiteral("smcd.ico"), smallCdIcon},
        {QStringLiteral("cdplayer.gif"), cdPlayerPicture},
        {QStringLiteral("labels.ico"), labelIcon},
        {QStringLiteral("playlist.ico"), playlistIcon},
        {QStringLiteral("browse-insert"), insertIcon},
        {QStringLiteral("browse-change"), changeIcon},
        {QStringLiteral("browse-delete"), deleteIcon},
        {QStringLiteral("browse-select"), selectIcon},
        {QStringLiteral("browse-first-page"), [] { return moveIcon(false, 1, true); }},
        {QStringLiteral("browse-prior-page"), [] { return moveIcon(false, 2, false); }},
        {QStringLiteral("browse-prior-record"), [] { return moveIcon(false, 1, false); }},
        {QStringLiteral("browse-next-record"), [] { return moveIcon(true, 1, false); }},
        {QStringLiteral("browse-next-page"), [] { return moveIcon(true, 2, false); }},
        {QStringLiteral("browse-last-page"), [] { return moveIcon(true, 1, true); }},
        {QStringLiteral("browse-locate"), locateIcon},
        {QStringLiteral("vsmoveup.ico"), [] { return moveIcon(false, 1, false); }},
        {QStringLiteral("vsmovedn.ico"), [] { return moveIcon(true, 1, false); }},
        {QStringLiteral("vsmovebg.ico"), [] { return moveIcon(false, 1, true); }},
        {QStringLiteral("vsmovend.ico"), [] { return moveIcon(true, 1, true); }},
        {QStringLiteral("browse-history"), historyIcon},
        {QStringLiteral("browse-help"), helpIcon},
        {QStringLiteral("smalltik.ico"), smallTick},
        {QStringLiteral("001.gif"), wizardRecords},
        {QStringLiteral("bs00847a.gif"), wizardCalendar},
        {QStringLiteral("cddbwiz1.gif"), wizardDiscLookup},
        {QStringLiteral("finish.bmp"), wizardFinish},
        {QStringLiteral("wizard.ico"), wizardWand},
        {QStringLiteral("exit.ico"), exitDoor},
        {QStringLiteral("import.ico"), [] { return transferIcon(false); }},
        {QStringLiteral("export.ico"), [] { return transferIcon(true); }},
        {QStringLiteral("109.ico"), discAndGlobe},
        {QStringLiteral("logo.gif"), chartLogo},
        {QStringLiteral("filecab.gif"), fileCabinet},
    };
    return table;
}

} // namespace

QPixmap artwork(const QString &name) {
    static QHash<QString, QPixmap> drawn;
    const QString key = name.trimmed().toLower();
    if (auto it = drawn.constFind(key); it != drawn.cend())
        return *it;
    const auto painter = painters().value(key);
    if (!painter)
        return {};
    QPixmap p = painter();
    drawn.insert(key, p);
    return p;
}

QIcon artworkIcon(const QString &name) { return QIcon(artwork(name)); }

QPixmap pictureFromSetting(const QString &nameOrPath) {
    const QString name = nameOrPath.trimmed();
    if (QPixmap own = artwork(name); !own.isNull())
        return own;
    return QPixmap(findFileNoCase(name));
}

} // namespace tbk
