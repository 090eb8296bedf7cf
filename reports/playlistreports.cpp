#include "reports/playlistreports.h"

#include "cdaudio/mcicommand.h"
#include "core/artwork.h"
#include "core/datafiles.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "core/standardwarnings.h"
#include "reports/columnlayout.h"
#include "reports/reportframe.h"
#include "reports/shadedheadings.h"
#include "runtime/values/dates.h"
#include "runtime/values/picture.h"
#include "runtime/values/text.h"
#include "songs/songlists.h"

#include <QSet>

#include <memory>

namespace tbk {

namespace {

ReportColumn column(const QString &heading, const char *field, const char *picture, int x) {
    return {1, heading, QString::fromLatin1(field), QString::fromLatin1(picture), x};
}

// Each entry's song, and the song's category.
void joinSong() {
    MUS.clear();
    MUS.ID = PLA.ID.value();
    if (PLA.ID.value() == 0 || !MUS.get(MUS.KEYID))
        MUS.clear();
    joinCategory();
}

// What both reports share: the entries of the playlist in the header buffer, in sequence order.
ReportMember playlistMember(report::Layout layout) {
    ReportMember m;
    m.start = ReportStart::Question;
    m.files = {&MUS, &PLA, &PLD, &CAT};
    m.scanned = &PLA;
    m.quickScan = {&PLA, &MUS};
    m.given = {&PLD};
    m.key = &PLA.KeyPlaylistID;
    m.filter = QStringLiteral("PLA:PlaylistID = PLD:PlaylistID");
    m.joined = {&MUS, &CAT};
    m.join = joinSong;
    m.layout = std::move(layout);
    return m;
}

void setValue(report::Report &r, const QString &element, const QVariant &value) {
    if (report::Element *e = r.element(element))
        e->value = value;
}

// The header's elements from the title row down move by `by`.
void lowerHeadings(report::Layout &l, int by) {
    for (report::Element &e : l.header.elements)
        if (e.name != QLatin1String("ReportTitle"))
            e.rect.translate(0, by);
    l.header.height += by;
}

report::Element headerText(const QString &name, const QString &picture, QPoint at) {
    report::Element e;
    e.name = name;
    e.picture = picture;
    e.rect = QRect(at, QSize(0, 0));
    return e;
}

// The sum of the entries' durations, shown as a time value: each time is its duration plus
// one hundredth, which is counted once for the whole list.
struct TotalTime {
    qint64 durations = 0;
    bool timed = false;
    void add(qint32 time) {
        if (time <= 0)
            return;
        durations += time - kTimeOfMidnight;
        timed = true;
    }
    qint64 value() const { return timed ? durations + kTimeOfMidnight : 0; }
};

ReportMember basicList() {
    const QString udk = formatPicture(QStringLiteral("@s20"), UDKPrompt.str());
    report::Layout l = columnLayout(QStringLiteral("Playlist"),
                                    {column(QStringLiteral("Artist"), "MUS:Artist", "@s50", 31),
                                     column(QStringLiteral("Title"), "MUS:Title", "@s50", 1330),
                                     column(QStringLiteral("Category"), "CAT:Category", "@s20", 2830),
                                     column(QStringLiteral("Album"), "MUS:Album", "@s50", 3650),
                                     column(udk, "MUS:UserDefinedKeyField", "@s30", 5050),
                                     column(QStringLiteral("File Number"), "MUS:FileNumber", "@s20", 5800),
                                     column(QStringLiteral("Date"), "MUS:ReleaseDate", "@d2", 6550),
                                     column(QStringLiteral("Time"), "SongTimeText", "@s8", 7450)},
                                    true);
    report::Element description = headerText(QStringLiteral("PLD:PLAYLISTDESCRIPTION"), QStringLiteral("@s30"), {1500, 25});
    description.ownFont = true;
    description.font = l.font;
    description.font.size = 12;
    l.header.elements << description;
    shadeHeadings(l);

    l.totals.height = 260;
    report::Element rule;
    rule.kind = report::ElementKind::Line;
    rule.rect = QRect(6550, 30, l.area.width() - 6550, 0);
    report::Element label = headerText(QStringLiteral("TotalTimeText"), {}, {6550, 70});
    label.text = QStringLiteral("Total Time");
    l.totals.elements << rule << label << headerText(QStringLiteral("TotalTime"), QStringLiteral("@t4"), {7450, 70});

    ReportMember m = playlistMember(std::move(l));
    auto total = std::make_shared<TotalTime>();
    m.opened = [](report::Report &r) { setValue(r, QStringLiteral("PLD:PLAYLISTDESCRIPTION"), PLD.PLAYLISTDESCRIPTION.str()); };
    m.beforePrint = [total](report::Report &r) {
        setValue(r, QStringLiteral("SongTimeText"), SongTimeText.str());
        total->add(MUS.Time.value());
    };
    m.totals = [total](report::Report &r) { setValue(r, QStringLiteral("TotalTime"), total->value()); };
    return m;
}

// The logo's room at the header's left, in mils.
constexpr QSize kLogoBox(1600, 640);
constexpr int kChartHeadings = kLogoBox.height() + 80;

// The last-week place the chart update appended to the notes: the two characters after the
// first "LW:", or "--".
QString lastWeekText(const QString &notes) {
    const qsizetype at = notes.indexOf(QLatin1String("LW:"));
    return at < 0 ? QStringLiteral("--") : notes.mid(at + 3, 2).leftJustified(2, QLatin1Char(' '));
}

QString movementMark(qint64 place, const QString &lastWeekText) {
    const qint64 lastWeek = isNumericText(lastWeekText) ? qint64(numericValue(lastWeekText)) : 0;
    QString mark;
    if (place < lastWeek - 10)
        mark = QStringLiteral("*");
    else if (place < lastWeek)
        mark = QStringLiteral("^");
    if (place == lastWeek)
        mark = QStringLiteral("=");
    return mark;
}

void placeLogo(report::Element &logo) {
    const QString setting = clip(Logo.str());
    QImage image = pictureFromSetting(setting.isEmpty() ? QStringLiteral("LOGO.GIF") : setting).toImage();
    logo.image = image;
    if (!image.isNull())
        logo.rect.setSize(image.size().scaled(kLogoBox, Qt::KeepAspectRatio));
}

// The chart's run: the place counter, the entries already printed (a rewritten key may bring
// an entry round again), and whether a failed write was reported.
struct ChartRun {
    qint64 place = 0;
    QSet<data::Position> printed;
    bool warned = false;
};

ReportMember chart() {
    report::Layout l = columnLayout(QString(),
                                    // Places past 99 in three digits rather than "##".
                                    {column(QStringLiteral("TW"), "ThisWeek", "@n_3", 31),
                                     column(QStringLiteral("LW"), "LastWeek", "@s2", 330),
                                     column(QStringLiteral("Artist"), "MUS:Artist", "@s50", 650),
                                     column(QStringLiteral("Title"), "MUS:Title", "@s50", 2850),
                                     column(QStringLiteral("File"), "MUS:FileNumber", "@s20", 5050),
                                     column({}, "Dash", "", 6250),
                                     column(QStringLiteral("Trk"), "MUS:TrackNumber", "@n_2", 6350),
                                     column(QStringLiteral("Time"), "SongTimeText", "@s8", 6700),
                                     column(QStringLiteral("BPM"), "MUS:BeatsPerMinute", "@n_3b", 7250),
                                     column({}, "Movement", "@s1", 7800)},
                                    false);
    for (const char *bold : {"ThisWeek", "LastWeek"}) {
        report::Element *e = l.element(QString::fromLatin1(bold));
        e->ownFont = true;
        e->font = l.font;
        e->font.weight = 700;
    }
    l.element(QStringLiteral("Dash"))->text = QStringLiteral("-");
    // Under the logo: the description (the layout's title) and the run's date beside it.
    int headingsTop = l.header.height;
    for (const report::Element &e : l.header.elements)
        if (e.name.startsWith(QLatin1String("Heading:")))
            headingsTop = std::min(headingsTop, e.rect.top());
    lowerHeadings(l, kChartHeadings - headingsTop);
    report::Element *title = l.element(QStringLiteral("ReportTitle"));
    title->rect.moveTo(kLogoBox.width() + 200, 120);
    report::Element date = headerText(QStringLiteral("RunDate"), QStringLiteral("@d4"), {kLogoBox.width() + 200, 420});
    date.value = today();
    date.ownFont = true;
    date.font = title->font;
    date.font.size = 11;
    report::Element logo = headerText(QStringLiteral("Logo"), {}, {31, 0});
    logo.kind = report::ElementKind::Image;
    l.header.elements << date << logo;
    shadeHeadings(l);
    l.footer.elements.clear();
    l.footer.height = 0;

    ReportMember m = playlistMember(std::move(l));
    auto run = std::make_shared<ChartRun>();
    m.opened = [](report::Report &r) {
        r.element(QStringLiteral("ReportTitle"))->text = clip(PLD.PLAYLISTDESCRIPTION.str());
        placeLogo(*r.element(QStringLiteral("Logo")));
    };
    m.skip = [run] { return run->printed.contains(PLA.position()); };
    m.beforePrint = [run](report::Report &r) {
        const QString lastWeek = lastWeekText(PLA.PLAYLISTNOTES.str());
        const qint64 place = ++run->place;
        setValue(r, QStringLiteral("ThisWeek"), place);
        setValue(r, QStringLiteral("LastWeek"), lastWeek);
        setValue(r, QStringLiteral("SongTimeText"), SongTimeText.str());
        setValue(r, QStringLiteral("Movement"), movementMark(place, lastWeek));
        run->printed.insert(PLA.position());
        if (PLA.PlaylistSeq.value() == place)
            return;
        PLA.PlaylistSeq = place;
        // A failed write leaves the entry's old place in the file; the chart prints on.
        if (!PLA.put() && !run->warned) {
            run->warned = true;
            ShowStandardWarning(31, QStringLiteral("Put"), QStringLiteral("PlaylistDetails"));
        }
    };
    return m;
}

} // namespace

void PrintPlaylist() { runReport(basicList()); }
void PrintPlaylistChart() { runReport(chart()); }

void registerPlaylistReports() {
    registerProcedure(QStringLiteral("PrintPlaylist"), PrintPlaylist);
    registerProcedure(QStringLiteral("PrintPlaylistChart"), PrintPlaylistChart);
}

} // namespace tbk
