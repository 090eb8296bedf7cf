#include "runtime/report/render.h"

#include <QFontMetricsF>
#include <QPainter>

#include <optional>

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
    f.setStrikeOut(spec.strikeOut);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

FontSpec fontSpecOf(const QFont &font, const QColor &colour) {
    FontSpec s;
    s.face = font.family();
    s.size = font.pointSize() > 0 ? font.pointSize() : std::max(1, int(std::lround(font.pointSizeF())));
    s.weight = int(font.weight());
    s.italic = font.italic();
    s.underline = font.underline();
    s.strikeOut = font.strikeOut();
    s.colour = colour;
    return s;
}

QFont fontOfSpec(const FontSpec &spec) {
    QFont f(spec.face);
    f.setPointSize(std::max(1, spec.size));
    f.setWeight(QFont::Weight(std::clamp(spec.weight, 100, 900)));
    f.setItalic(spec.italic);
    f.setUnderline(spec.underline);
    f.setStrikeOut(spec.strikeOut);
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

// Draws the texts of a page. A long run has hundreds of thousands of them: the font is set
// only when it changes, and a level text is put at its baseline without Qt's text formatting.
class TextPen {
public:
    explicit TextPen(QPainter &p) : p_(p) {}

    void draw(const DrawItem &it) {
        use(it.font);
        if (it.rotation == 0) {
            const QRectF r = it.rect;
            double x = r.left();
            if (it.align != Align::Left) {
                const double w = metrics_->horizontalAdvance(it.text);
                x = it.align == Align::Center ? r.left() + (r.width() - w) / 2 : r.left() + r.width() - w;
            }
            p_.drawText(QPointF(x, r.top() + metrics_->ascent()), it.text);
            return;
        }
        p_.save();
        QRectF r = it.rect;
        if (it.rotation == 90) {
            // Reads from bottom to top: the strip's bottom-left corner becomes the text's origin.
            p_.translate(r.left(), r.bottom());
            p_.rotate(-90);
        } else {
            p_.translate(r.right(), r.top());
            p_.rotate(90);
        }
        r = QRectF(0, 0, it.rect.height(), it.rect.width());
        p_.drawText(r, flagsOf(it.align) | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, it.text);
        p_.restore();
    }
    // After a state of the painter was restored.
    void forget() { set_ = false; }

private:
    void use(const FontSpec &f) {
        if (set_ && f == spec_)
            return;
        if (!set_ || !(f.face == spec_.face && f.size == spec_.size && f.weight == spec_.weight &&
                       f.italic == spec_.italic && f.underline == spec_.underline)) {
            font_ = fontInMils(f);
            metrics_.emplace(font_);
        }
        spec_ = f;
        set_ = true;
        p_.setFont(font_);
        p_.setPen(f.colour);
    }

    QPainter &p_;
    bool set_ = false;
    FontSpec spec_;
    QFont font_;
    std::optional<QFontMetricsF> metrics_;
};

} // namespace

void drawPage(QPainter &p, const Page &page, double unitsPerMil) {
    p.save();
    p.scale(unitsPerMil, unitsPerMil);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // Rules and outlines of a hundredth of an inch, never thinner than a device dot.
    QPen pen(Qt::black, std::max(10.0, 1.0 / unitsPerMil));
    TextPen texts(p);
    for (const DrawItem &it : page.items) {
        const bool clipped = !it.clip.isEmpty();
        if (clipped) {
            p.save();
            p.setClipRect(it.clip);
        }
        switch (it.kind) {
        case ElementKind::Text:
        case ElementKind::Memo:
            texts.draw(it);
            break;
        case ElementKind::Line:
            texts.forget();
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
                texts.forget();
                p.setPen(pen);
                p.setBrush(Qt::NoBrush);
                p.drawRect(it.rect);
            }
            break;
        case ElementKind::Image:
            p.drawImage(QRectF(it.rect), it.image);
            break;
        }
        if (clipped) {
            p.restore();
            texts.forget();
        }
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
