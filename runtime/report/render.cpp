#include "runtime/report/render.h"

#include <QPainter>

#include <cmath>

namespace tbk::report {

QString resolvedFace(const QString &face) {
    if (face.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans");
    if (face.compare(QLatin1String("Small Fonts"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans Narrow");
    return face;
}

QFont fontInMils(const FontSpec &spec) {
    QFont f(resolvedFace(spec.face));
    // A point is 1000/72 mils; a pixel size keeps the glyphs independent of any device's dpi.
    f.setPixelSize(std::max(1, int(std::lround(spec.size * 1000.0 / 72.0))));
    f.setWeight(QFont::Weight(std::clamp(spec.weight, 1, 1000)));
    f.setItalic(spec.italic);
    f.setUnderline(spec.underline);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

namespace {

int flagsOf(Align a) {
    switch (a) {
    case Align::Center: return Qt::AlignHCenter;
    case Align::Right:
    case Align::EndsAt: return Qt::AlignRight;
    case Align::Left: break;
    }
    return Qt::AlignLeft;
}

void drawText(QPainter &p, const DrawItem &it) {
    p.setFont(fontInMils(it.font));
    p.setPen(it.font.colour);
    QRectF r = it.rect;
    p.save();
    if (it.rotation == 90) {
        // Reads from bottom to top: the strip's bottom-left corner becomes the text's origin.
        p.translate(r.left(), r.bottom());
        p.rotate(-90);
        r = QRectF(0, 0, it.rect.height(), it.rect.width());
    } else if (it.rotation == 270) {
        p.translate(r.right(), r.top());
        p.rotate(90);
        r = QRectF(0, 0, it.rect.height(), it.rect.width());
    }
    p.drawText(r, flagsOf(it.align) | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, it.text);
    p.restore();
}

} // namespace

void drawPage(QPainter &p, const Page &page, double unitsPerMil) {
    p.save();
    p.scale(unitsPerMil, unitsPerMil);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // Rules and outlines of a hundredth of an inch, never thinner than a device dot.
    QPen pen(Qt::black, std::max(10.0, 1.0 / unitsPerMil));
    for (const DrawItem &it : page.items) {
        const bool clipped = !it.clip.isEmpty();
        if (clipped) {
            p.save();
            p.setClipRect(it.clip);
        }
        switch (it.kind) {
        case ElementKind::Text:
        case ElementKind::Memo:
            drawText(p, it);
            break;
        case ElementKind::Line:
            p.setPen(pen);
            if (it.rect.width() > 0)
                p.drawLine(it.rect.left(), it.rect.top(), it.rect.left() + it.rect.width(), it.rect.top());
            else
                p.drawLine(it.rect.left(), it.rect.top(), it.rect.left(), it.rect.top() + it.rect.height());
            break;
        case ElementKind::Box:
            if (it.filled) {
                p.fillRect(it.rect, it.fill);
            } else {
                p.setPen(pen);
                p.setBrush(Qt::NoBrush);
                p.drawRect(it.rect);
            }
            break;
        case ElementKind::Image:
            p.drawImage(QRectF(it.rect), it.image);
            break;
        }
        if (clipped)
            p.restore();
    }
    p.restore();
}

QImage pageImage(const Page &page, double pixelsPerMil) {
    const QSize size(std::max(1, int(std::lround(page.paper.width() * pixelsPerMil))),
                     std::max(1, int(std::lround(page.paper.height() * pixelsPerMil))));
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    drawPage(p, page, pixelsPerMil);
    return img;
}

} // namespace tbk::report
