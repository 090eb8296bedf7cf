#include "runtime/report/report.h"

#include "runtime/report/render.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/printersetup.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace tbk::report {

Report::Report(Layout layout) : layout_(std::move(layout)) {}

Report::~Report() = default;

int Report::footerTop() const { return layout_.area.height() - layout_.footer.height; }

bool Report::print(const QString &band) {
    const Band *b = layout_.detail(band);
    if (!b)
        return false;
    printBand(*b);
    return true;
}

void Report::printTotals() { printBand(layout_.totals); }

void Report::printBand(const Band &band) {
    if (page_ && pageHasDetail_ && y_ + band.height > footerTop())
        endPage();
    if (!page_)
        startPage();
    const int room = footerTop() - y_;
    if (band.height > room) {
        // Taller than a page can hold: clipped on a page of its own, never carried on.
        place(band, y_, QRect(layout_.origin.x(), layout_.origin.y() + y_, layout_.area.width(), std::max(0, room)));
        y_ = footerTop();
    } else {
        place(band, y_);
        y_ += band.height;
    }
    pageHasDetail_ = true;
}

void Report::startPage() {
    page_ = std::make_shared<Page>();
    page_->paper = layout_.paperMils();
    ++pageNumber_;
    pageHasDetail_ = false;
    place(layout_.overlay, 0);
    place(layout_.header, 0);
    y_ = layout_.header.height;
}

void Report::endPage() {
    if (!page_)
        return;
    place(layout_.footer, footerTop());
    std::shared_ptr<const Page> done = std::move(page_);
    page_.reset();
    if (output_ == Output::Queue) {
        queue_.append(std::move(done));
        return;
    }
    if (printFailed_)
        return;
    if (!printer_) {
        // Straight to the printer: it makes the report's copies itself.
        QPrinter &p = sharedPrinter();
        keptCopies_ = p.copyCount();
        keptCollate_ = p.collateCopies();
        p.setCopyCount(std::max(1, copies));
        p.setCollateCopies(collate);
        printer_ = std::make_unique<PagePrinter>(p);
        if (!printer_->begin(*done)) {
            printFailed_ = true;
            return;
        }
    }
    printFailed_ = !printer_->printPage(*done);
}

void Report::discardPage() {
    if (!page_)
        return;
    page_.reset();
    --pageNumber_;
}

bool Report::close() {
    endPage();
    bool ok = !printFailed_;
    if (printer_) {
        ok = printer_->end() && ok;
        printer_.reset();
        sharedPrinter().setCopyCount(keptCopies_);
        sharedPrinter().setCollateCopies(keptCollate_);
    }
    if (printOnClose_ && !queue_.isEmpty())
        ok = HANDLECOPIES(queue_, 1) && ok;
    printOnClose_ = false;
    return ok;
}

void Report::place(const Band &band, int top, const QRect &clip) {
    const QPoint corner = layout_.origin + QPoint(0, top);
    for (const Element &e : band.elements) {
        if (e.hidden)
            continue;
        const QRect at = e.rect.translated(corner);
        switch (e.kind) {
        case ElementKind::Text:
            placeText(e, at, clip);
            break;
        case ElementKind::Memo:
            placeMemo(e, at, clip);
            break;
        case ElementKind::Image:
            placeImage(e, at, clip);
            break;
        case ElementKind::Line:
        case ElementKind::Box: {
            DrawItem it;
            it.kind = e.kind;
            it.rect = at;
            it.filled = e.filled;
            it.fill = e.fill;
            it.clip = clip;
            page_->items.push_back(std::move(it));
            break;
        }
        }
    }
}

void Report::placeText(const Element &e, const QRect &at, const QRect &clip) {
    DrawItem it;
    it.text = e.shownText(pageNumber_);
    it.font = e.ownFont ? e.font : layout_.font;
    it.align = e.align;
    it.rotation = e.rotation == 90 || e.rotation == 270 ? e.rotation : 0;
    Measure &m = measure(it.font);
    const int along = int(std::ceil(m.width(it.text)));
    const int across = int(std::ceil(m.metrics.height()));
    QRect r = at;
    const bool turned = it.rotation != 0;
    // A size not given is the text's own; a given one clips a text that passes the element's
    // edge. One that fits is drawn without: a clip for each text of a long run would make the
    // printout several times as large and slow.
    const int room = turned ? at.height() : at.width();
    const bool clipped = room > 0 && along > room;
    if (turned) {
        if (r.width() <= 0)
            r.setWidth(across);
        if (r.height() <= 0)
            r.setHeight(along);
    } else {
        if (r.width() <= 0)
            r.setWidth(along);
        if (r.height() <= 0)
            r.setHeight(across);
        if (e.align == Align::EndsAt)
            r.moveRight(at.left() - 1);
    }
    it.rect = r;
    it.clip = clipped ? (clip.isEmpty() ? r : clip.intersected(r)) : clip;
    page_->items.push_back(std::move(it));
}

Report::Measure::Measure(const FontSpec &s) : spec(s), metrics(fontInMils(s)), advances_(256, -1.0) {}

double Report::Measure::width(const QString &text) {
    // Shaping every text of a long run costs more than laying it out; the sum of the letters'
    // advances is what a line of one script is wide, kerning aside.
    double w = 0;
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (u >= advances_.size())
            return metrics.horizontalAdvance(text);
        if (advances_[u] < 0)
            advances_[u] = metrics.horizontalAdvance(c);
        w += advances_[u];
    }
    return w;
}

Report::Measure &Report::measure(const FontSpec &spec) {
    for (auto &m : measures_)
        if (m->spec == spec)
            return *m;
    measures_.push_back(std::make_unique<Measure>(spec));
    return *measures_.back();
}

namespace {

// Breaks a text into lines no wider than the width: at blanks, and at CR LF (or a lone LF or
// CR); a word wider than a line is broken where it reaches the edge. The blanks that begin a
// line of the text stay (they line up numbered lines); those at a break go.
template <class Measure>
QStringList wrapped(const QString &text, Measure &m, double width) {
    QStringList lines;
    QString normal = text;
    normal.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString &paragraph : normal.split(QLatin1Char('\n'))) {
        qsizetype indent = 0;
        while (indent < paragraph.size() && paragraph.at(indent) == QLatin1Char(' '))
            ++indent;
        QString line(indent, QLatin1Char(' '));
        for (const QString &word : paragraph.mid(indent).split(QLatin1Char(' '))) {
            const bool bare = line.trimmed().isEmpty();
            QString candidate = bare ? line + word : line + QLatin1Char(' ') + word;
            if (m.width(candidate) <= width) {
                line = candidate;
                continue;
            }
            if (bare) {
                line = candidate;
            } else {
                lines << line;
                line = word;
            }
            while (line.size() > 1 && m.width(line) > width) {
                int fit = 1;
                while (fit < line.size() && m.width(line.left(fit + 1)) <= width)
                    ++fit;
                lines << line.left(fit);
                line = line.mid(fit);
            }
        }
        lines << line;
    }
    return lines;
}

} // namespace

void Report::placeMemo(const Element &e, const QRect &at, const QRect &clip) {
    const FontSpec font = e.ownFont ? e.font : layout_.font;
    Measure &m = measure(font);
    const int lineHeight = int(std::ceil(m.metrics.lineSpacing()));
    const QRect box = clip.isEmpty() ? at : clip.intersected(at);
    int top = at.top();
    for (const QString &line : wrapped(e.shownText(pageNumber_), m, at.width())) {
        if (top >= at.bottom())
            break;
        DrawItem it;
        it.text = line;
        it.font = font;
        it.align = e.align == Align::EndsAt ? Align::Right : e.align;
        it.rect = QRect(at.left(), top, at.width(), lineHeight);
        it.clip = box;
        page_->items.push_back(std::move(it));
        top += lineHeight;
    }
}

namespace {

// A picture is read no finer than this on the page.
constexpr double kPictureDotsPerInch = 300;
// A picture its reader cannot cut down while reading is read whole, then cut down: for that
// moment it may take more memory than the reader allows by default, up to this.
constexpr int kWholePictureMegabytes = 1024;

int milsOf(int pixels, int dotsPerMeter) {
    const double perInch = dotsPerMeter > 0 ? dotsPerMeter * 0.0254 : 96.0;
    return int(std::lround(pixels * 1000.0 / perInch));
}

QImage readWhole(QImageReader &reader, QSize size) {
    const int kept = QImageReader::allocationLimit();
    const qint64 megabytes = qint64(size.width()) * size.height() * 4 / (1024 * 1024) + 1;
    if (kept > 0)
        QImageReader::setAllocationLimit(int(std::max<qint64>(kept, std::min<qint64>(megabytes, kWholePictureMegabytes))));
    QImage image = reader.read();
    QImageReader::setAllocationLimit(kept);
    return image;
}

struct PictureRead {
    QImage image;
    QRect rect;
    QString problem;
};

// The picture, or the part of it that the page shows, in no more pixels than it covers there
// at kPictureDotsPerInch and never more than the picture has. `at` is where the picture lies; a
// side not given is the picture's own.
PictureRead readPicture(const QString &file, QRect at, const QRect &page) {
    PictureRead out;
    QImageReader reader(file);
    reader.setAutoTransform(true);
    QSize own = reader.size();
    if (own.isEmpty()) {
        out.problem = reader.errorString();
        return out;
    }
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    if (turned)
        own.transpose();
    QImage whole;
    if (at.width() <= 0 || at.height() <= 0) {
        // Its own size needs its resolution, which only reading tells: a corner of it, or the
        // whole picture when the reader cannot cut a corner out.
        QImageReader corner(file);
        const bool cornerOnly = corner.supportsOption(QImageIOHandler::ClipRect);
        QImage read;
        if (cornerOnly) {
            corner.setClipRect(QRect(0, 0, 1, 1));
            read = corner.read();
        } else {
            read = whole = readWhole(reader, own);
        }
        if (read.isNull()) {
            out.problem = (cornerOnly ? corner : reader).errorString();
            return out;
        }
        if (at.width() <= 0)
            at.setWidth(milsOf(own.width(), read.dotsPerMeterX()));
        if (at.height() <= 0)
            at.setHeight(milsOf(own.height(), read.dotsPerMeterY()));
    }
    // One larger than the page is cut to what the page shows; a smaller one is kept whole.
    const bool larger = at.width() > page.width() || at.height() > page.height();
    const QRect shown = larger ? at.intersected(page) : at;
    if (shown.isEmpty())
        return out;
    // The part shown in the picture's pixels, widened to whole ones, and where it lies.
    const double perMilX = own.width() / double(at.width());
    const double perMilY = own.height() / double(at.height());
    const int left = int(std::floor((shown.left() - at.left()) * perMilX));
    const int top = int(std::floor((shown.top() - at.top()) * perMilY));
    const int right = int(std::ceil((shown.left() + shown.width() - at.left()) * perMilX));
    const int bottom = int(std::ceil((shown.top() + shown.height() - at.top()) * perMilY));
    const QRect part = QRect(left, top, right - left, bottom - top).intersected(QRect(QPoint(0, 0), own));
    if (part.isEmpty())
        return out;
    const int x0 = at.left() + int(std::lround(part.left() / perMilX));
    const int y0 = at.top() + int(std::lround(part.top() / perMilY));
    const int x1 = at.left() + int(std::lround((part.left() + part.width()) / perMilX));
    const int y1 = at.top() + int(std::lround((part.top() + part.height()) / perMilY));
    out.rect = QRect(x0, y0, x1 - x0, y1 - y0);
    const QSize target(std::clamp(int(std::ceil(out.rect.width() * kPictureDotsPerInch / 1000)), 1, part.width()),
                       std::clamp(int(std::ceil(out.rect.height() * kPictureDotsPerInch / 1000)), 1, part.height()));

    const bool clipped = part.size() != own;
    const bool scaled = target != part.size();
    const bool canClip = !turned && reader.supportsOption(QImageIOHandler::ClipRect);
    if (whole.isNull() && (!clipped || canClip) && (!scaled || reader.supportsOption(QImageIOHandler::ScaledSize))) {
        if (clipped)
            reader.setClipRect(part);
        if (scaled)
            reader.setScaledSize(turned ? target.transposed() : target);
        out.image = reader.read();
    } else {
        if (whole.isNull())
            whole = readWhole(reader, own);
        if (!whole.isNull())
            out.image = (clipped ? whole.copy(part) : whole)
                            .scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (out.image.isNull())
        out.problem = reader.errorString();
    return out;
}

} // namespace

const Report::Picture &Report::picture(const QString &file, const QRect &at, const QRect &page) {
    QString key = file;
    for (int n : {at.x(), at.y(), at.width(), at.height(), page.x(), page.y(), page.width(), page.height()})
        key += QLatin1Char(' ') + QString::number(n);
    auto found = pictures_.find(key);
    if (found != pictures_.end())
        return *found;
    // A missing file prints no picture and is not worth a word.
    const PictureRead read = QFileInfo::exists(file) ? readPicture(file, at, page) : PictureRead{};
    if (!read.problem.isEmpty() && !unreadableFiles_.contains(file)) {
        unreadableFiles_.insert(file);
        unreadable_ << QStringLiteral("%1: %2").arg(file, read.problem);
    }
    return *pictures_.insert(key, {read.image, read.rect});
}

void Report::nameUnreadablePictures() {
    if (named_ >= unreadable_.size())
        return;
    const QStringList fresh = unreadable_.mid(named_);
    named_ = unreadable_.size();
    message(QStringLiteral("These pictures could not be read and are left out:\n\n%1").arg(fresh.join(QLatin1Char('\n'))),
            QStringLiteral("Picture"), MessageIcon::Exclamation);
}

void Report::placeImage(const Element &e, const QRect &at, const QRect &clip) {
    DrawItem it;
    it.kind = ElementKind::Image;
    it.clip = clip;
    if (!e.image.isNull()) {
        it.image = e.image;
        it.rect = at;
        if (it.rect.width() <= 0)
            it.rect.setWidth(milsOf(e.image.width(), e.image.dotsPerMeterX()));
        if (it.rect.height() <= 0)
            it.rect.setHeight(milsOf(e.image.height(), e.image.dotsPerMeterY()));
    } else {
        const QString file = e.imageFile.trimmed();
        if (file.isEmpty())
            return;
        // The page shows no more of a picture than its paper, or the band's clip, holds.
        QRect page(QPoint(0, 0), page_->paper);
        if (!clip.isEmpty())
            page = page.intersected(clip);
        const Picture &shown = picture(file, at, page);
        if (shown.image.isNull())
            return;
        it.image = shown.image;
        it.rect = shown.rect;
    }
    page_->items.push_back(std::move(it));
}

} // namespace tbk::report
