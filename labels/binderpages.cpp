#include "labels/binderpages.h"

#include "albums/quickcdcover.h"
#include "cdaudio/mcicommand.h"
#include "core/datafiles.h"
#include "records/keyrangewalk.h"
#include "core/smallservices.h"
#include "core/standardwarnings.h"
#include "labels/artistname.h"
#include "reports/reportframe.h"
#include "runtime/data/errors.h"
#include "runtime/report/render.h"
#include "runtime/values/text.h"

#include <QFontMetricsF>

#include <array>
#include <cmath>
#include <memory>

namespace tbk {

namespace {

using report::Align;
using report::Band;
using report::Element;
using report::ElementKind;
using report::FontSpec;
using report::Layout;

const QString kVarious = QStringLiteral("Various");
// The songs of one album are read together: nothing writes while an album prints.
constexpr int kSongsAhead = 64;
constexpr int kHeadingShown = 80;
// A flap heading this long or longer goes into the smaller type.
constexpr int kShortHeading = 40;

const std::array<QColor, 15> kCycle{
    QColor(0, 0, 0),       QColor(128, 0, 0),   QColor(0, 128, 0),     QColor(128, 128, 0), QColor(0, 0, 128),
    QColor(128, 0, 128),   QColor(0, 128, 128), QColor(128, 128, 128), QColor(192, 192, 192), QColor(255, 0, 0),
    QColor(0, 255, 0),     QColor(255, 255, 0), QColor(0, 0, 255),     QColor(255, 0, 255), QColor(0, 255, 255)};

// The flap colour of a record position modulo 15, as indexes into the cycle: 7 and 12 are
// blue, 8 maroon, and grey and silver are never used.
constexpr std::array<int, 15> kFlapColours{0, 1, 2, 3, 4, 5, 6, 12, 1, 9, 10, 11, 12, 13, 14};

FontSpec arial(int size, bool bold) {
    FontSpec f;
    f.face = QStringLiteral("Arial");
    f.size = size;
    f.weight = bold ? 700 : 400;
    return f;
}

Element text(const QString &name, QRect rect, const FontSpec &font, Align align = Align::Left) {
    Element e;
    e.name = name;
    e.rect = rect;
    e.font = font;
    e.ownFont = true;
    e.align = align;
    return e;
}

Element rule(QPoint at, int width, int height = 0) {
    Element e;
    e.kind = ElementKind::Line;
    e.rect = QRect(at, QSize(width, height));
    return e;
}

// A text cut to its field and followed by full stops. The run of stops goes on to the column's
// right edge even where the field's length would end it short of there (a short title in the
// binder's wide title column).
class Leader {
public:
    Leader(const Element &column, int field) : field_(field) {
        const QFontMetricsF m(report::fontInMils(column.font));
        filling_ = int(std::ceil(column.rect.width() / std::max(1.0, m.horizontalAdvance(QLatin1Char('.')))));
    }
    QString operator()(const QString &value) const {
        const QString cut = value.left(field_);
        return cut + QString(std::max<qsizetype>(field_ - cut.size(), filling_), QLatin1Char('.'));
    }

private:
    int field_;
    int filling_ = 0;
};

// Reads the album's songs in album, side and track order, one call of `line` for each. False
// after a read error, which it has shown.
bool forEachSong(const std::function<void()> &line) {
    static const std::vector<int> fields{MUS.AlbumID.index(), MUS.Side.index(),   MUS.TrackNumber.index(),
                                         MUS.Artist.index(),  MUS.Title.index(),  MUS.Mix.index(),
                                         MUS.Skips.index(),   MUS.Time.index()};
    MUS.clear();
    MUS.AlbumID = ALB.AlbumID.value();
    KeyRangeWalk walk(MUS, MUS.KeyAlbumID, 1, kSongsAhead, fields);
    while (walk.next())
        line();
    if (data::errorCode() == data::RecordNotAvailable)
        return true;
    ShowStandardWarningWithText(35, MUS.label());
    return false;
}

QString albumHeading(bool reordered) {
    if (clip(ALB.Artist.str()) == kVarious)
        return clip(ALB.Album.str());
    const QString artist = reordered ? ReorderArtistName(clip(ALB.Artist.str())) : clip(ALB.Artist.str());
    return clip(ALB.Album.str()) + QStringLiteral(" - ") + artist;
}

QString trackText() { return QStringLiteral("%1").arg(int(MUS.TrackNumber.value()), 2, 10, QLatin1Char('0')); }

// A song band's columns: track number, the stop after it, artist (none where the band has no
// artist column), title and time, from the left; each at its x, of its width.
struct SongColumns {
    int track, stop, artist, artistWidth, title, titleWidth, time, timeWidth;
};

// Its elements are named after the columns, followed by `suffix`.
Band songBand(const QString &name, const QString &suffix, int height, int top, int textHeight,
              const FontSpec &f, const SongColumns &c) {
    auto at = [&](int x, int width) { return QRect(x, top, width, textHeight); };
    Band b;
    b.name = name;
    b.height = height;
    b.elements = {text(QStringLiteral("Track") + suffix, QRect(c.track, top, 167, 0), f),
                  text(QStringLiteral("Stop") + suffix, QRect(c.stop, top, 0, 0), f)};
    b.elements[1].text = QStringLiteral(".");
    if (c.artistWidth > 0)
        b.elements << text(QStringLiteral("Artist") + suffix, at(c.artist, c.artistWidth), f);
    b.elements << text(QStringLiteral("Title") + suffix, at(c.title, c.titleWidth), f)
               << text(QStringLiteral("Time") + suffix, at(c.time, c.timeWidth), f);
    return b;
}

// A song band's elements, found once per run, and the song in the buffer put into them.
class SongLine {
public:
    SongLine(report::Report &r, const QString &suffix, int titleField, int timeShown)
        : track_(r.element(QStringLiteral("Track") + suffix)), artist_(r.element(QStringLiteral("Artist") + suffix)),
          title_(r.element(QStringLiteral("Title") + suffix)), time_(r.element(QStringLiteral("Time") + suffix)),
          titleLeader_(*title_, titleField), timeShown_(timeShown) {
        if (artist_)
            artistLeader_ = std::make_unique<Leader>(*artist_, 100);
    }
    void fill(const QString &title) {
        FormatReportSongTime(0, 1);
        track_->text = trackText();
        if (artist_)
            artist_->text = (*artistLeader_)(clip(ReorderArtistName(clip(MUS.Artist.str()))));
        title_->text = titleLeader_(title);
        time_->text = SongTimeText.str().left(timeShown_);
    }

private:
    Element *track_;
    Element *artist_;
    Element *title_;
    Element *time_;
    Leader titleLeader_;
    std::unique_ptr<Leader> artistLeader_;
    int timeShown_;
};

// The shape both page reports share; `print` prints the album in the buffer.
ReportMember pagesMember(Layout layout, std::function<bool(report::Report &)> print) {
    ReportMember m;
    m.start = ReportStart::Preview;
    m.files = {&MUS, &ALB};
    m.key = &ALB.KEYFILENUMBER;
    m.layout = std::move(layout);
    m.perTurn = 1;
    m.countRecords = true;
    // The range is read once, as the run starts.
    const QString first = PagePrintRange.FirstFileNumber.str();
    const QString last = clip(PagePrintRange.LastFileNumber.str());
    m.startAt = [first] {
        ALB.clear();
        ALB.FileNumber = first;
    };
    m.pastEnd = [last] { return clip(ALB.FileNumber.str()) > last; };
    m.printRecord = std::move(print);
    return m;
}

// Runs the member, the callers' album and song buffers kept as they were.
void runPages(const ReportMember &member) {
    const data::Record album = ALB.record();
    const data::Record song = MUS.record();
    runReport(member);
    ALB.setRecord(album);
    MUS.setRecord(song);
}

// ---- Binder pages ----------------------------------------------------------------------------

Layout binderLayout() {
    Layout l;
    l.orientation = QPageLayout::Landscape;
    l.origin = QPoint(500, 500);
    l.area = QSize(10500, 8000);
    l.font = arial(12, true);
    Band heading;
    heading.name = QStringLiteral("AlbumHeading");
    heading.height = 604;
    heading.elements = {text(QStringLiteral("Heading"), QRect(31, 21, 6656, 625), arial(36, true)),
                        text(QStringLiteral("FileNumber"), QRect(6729, 21, 2802, 625), arial(36, true), Align::Right),
                        rule(QPoint(1, 625), 9999)};
    l.details = {heading, songBand(QStringLiteral("SongLine"), {}, 208, 21, 208, arial(12, true),
                                   {21, 188, 323, 3552, 3875, 5198, 9073, 448})};
    return l;
}

class BinderPrinter {
public:
    bool operator()(report::Report &r) {
        if (!heading_) {
            heading_ = r.element(QStringLiteral("Heading"));
            fileNumber_ = r.element(QStringLiteral("FileNumber"));
            song_ = std::make_unique<SongLine>(r, QString(), 100, 6);
        }
        heading_->font.colour = kCycle[next_];
        next_ = (next_ + 1) % int(kCycle.size());
        heading_->text = albumHeading(true).left(kHeadingShown);
        fileNumber_->text = clip(ALB.FileNumber.str());
        r.print(QStringLiteral("AlbumHeading"));
        return forEachSong([&] {
            song_->fill(FormatSongTitle());
            r.print(QStringLiteral("SongLine"));
        });
    }

private:
    int next_ = 0;   // black first in every run
    Element *heading_ = nullptr;
    Element *fileNumber_ = nullptr;
    std::unique_ptr<SongLine> song_;
};

// ---- Flap pages ------------------------------------------------------------------------------

Band flapHeading(const QString &name, int size) {
    Band b;
    b.name = name;
    b.height = 427;
    b.elements = {text(QStringLiteral("Heading") + name, QRect(0, 10, 4740, 417), arial(size, true)),
                  rule(QPoint(0, 406), 4750)};
    return b;
}

Layout flapLayout() {
    constexpr int side = 4750;
    constexpr int songHeight = 150;
    Layout l;
    l.origin = QPoint(500, 500);
    l.area = QSize(4750, 9500);
    l.font = arial(9, false);
    // The insert's outline, to cut along.
    l.overlay.elements = {rule(QPoint(0, 0), side), rule(QPoint(0, side), side), rule(QPoint(0, 0), 0, side),
                          rule(QPoint(side, 0), 0, side)};
    const FontSpec f = arial(9, false);
    Band end;
    end.name = QStringLiteral("AlbumEnd");
    end.height = 333;
    end.elements = {text(QStringLiteral("FileNumber"), QRect(21, 10, 4708, 385), arial(22, true), Align::Right)};
    l.details = {flapHeading(QStringLiteral("ShortHeading"), 24), flapHeading(QStringLiteral("LongHeading"), 16),
                 songBand(QStringLiteral("SongWithArtist"), {}, songHeight, 3, 0, f,
                          {31, 167, 271, 1917, 2198, 2188, 4375, 385}),
                 songBand(QStringLiteral("SongAlone"), QStringLiteral("Alone"), songHeight, 3, 0, f,
                          {31, 167, 0, 0, 271, 4105, 4375, 385}),
                 end};
    return l;
}

class FlapPrinter {
public:
    bool operator()(report::Report &r) {
        if (!shortHeading_) {
            shortHeading_ = r.element(QStringLiteral("HeadingShortHeading"));
            longHeading_ = r.element(QStringLiteral("HeadingLongHeading"));
            fileNumber_ = r.element(QStringLiteral("FileNumber"));
            withArtist_ = std::make_unique<SongLine>(r, QString(), 100, 5);
            alone_ = std::make_unique<SongLine>(r, QStringLiteral("Alone"), 200, 5);
        }
        // One insert per album.
        r.endPage();
        const QColor colour = kCycle[kFlapColours[ALB.position() % 15]];
        const QString heading = albumHeading(false);
        const bool isShort = heading.size() < kShortHeading;
        Element *shown = isShort ? shortHeading_ : longHeading_;
        shown->font.colour = colour;
        shown->text = heading.left(kHeadingShown);
        r.print(isShort ? QStringLiteral("ShortHeading") : QStringLiteral("LongHeading"));
        const QString albumArtist = clip(ALB.Artist.str());
        const bool read = forEachSong([&] {
            const bool guest = clip(MUS.Artist.str()) != albumArtist;
            (guest ? withArtist_ : alone_)->fill(FormatSongTitle());
            r.print(guest ? QStringLiteral("SongWithArtist") : QStringLiteral("SongAlone"));
        });
        fileNumber_->font.colour = colour;
        fileNumber_->text = clip(ALB.FileNumber.str());
        r.print(QStringLiteral("AlbumEnd"));
        return read;
    }

private:
    Element *shortHeading_ = nullptr;
    Element *longHeading_ = nullptr;
    Element *fileNumber_ = nullptr;
    std::unique_ptr<SongLine> withArtist_;
    std::unique_ptr<SongLine> alone_;
};

} // namespace

void PrintCDBinderPages() {
    auto printer = std::make_shared<BinderPrinter>();
    runPages(pagesMember(binderLayout(), [printer](report::Report &r) { return (*printer)(r); }));
}

void PrintCDFlapPages() {
    auto printer = std::make_shared<FlapPrinter>();
    runPages(pagesMember(flapLayout(), [printer](report::Report &r) { return (*printer)(r); }));
}

} // namespace tbk
