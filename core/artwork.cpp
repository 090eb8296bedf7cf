#include "core/artwork.h"

#include "runtime/settings/profile.h"

#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

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

const QHash<QString, std::function<QPixmap()>> &painters() {
    static const QHash<QString, std::function<QPixmap()>> table{
        {QStringLiteral("tbk98-3.gif"), splashPicture},
        {QStringLiteral("tbk98nte.gif"), frameLogo},
        {QStringLiteral("winpyr.ico"), pyramid},
        {QStringLiteral("note.ico"), noteIcon},
        {QStringLiteral("notepage.ico"), notePageIcon},
        {QStringLiteral("smcd.ico"), smallCdIcon},
        {QStringLiteral("labels.ico"), labelIcon},
        {QStringLiteral("playlist.ico"), playlistIcon},
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
