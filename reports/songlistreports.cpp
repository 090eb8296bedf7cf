#include "reports/songlistreports.h"

#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "reports/listlayout.h"
#include "reports/reportframe.h"
#include "reports/songreports.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/values/picture.h"
#include "songs/categories.h"
#include "songs/songlists.h"

namespace tbk {

namespace {

const char *const kCategoryFilter = "MUS:CategoryID = CAT:CategoryID";

ReportColumn column(int line, const char *heading, const char *field, const char *picture, int x) {
    return {line, QString::fromLatin1(heading), QString::fromLatin1(field), QString::fromLatin1(picture), x};
}

// The second line of the standard layouts: file number, release date, track and chart.
std::vector<ReportColumn> withSecondLine(std::vector<ReportColumn> columns, int fileNumber, int released,
                                         int track) {
    columns.insert(columns.end(), {column(2, "File Number", "MUS:FileNumber", "@s20", fileNumber),
                                   column(2, "Release Date", "MUS:ReleaseDate", "@d3b", released),
                                   column(2, "Track", "MUS:TrackNumber", "@n3b", track),
                                   column(2, "Chart", "MUS:ChartNumber", "@n3b", track + 600)});
    return columns;
}

ReportMember listMember(bool brief, const data::Key &key, const QString &title,
                        const std::vector<ReportColumn> &columns, const QString &fontKey) {
    ReportMember m;
    m.start = brief ? ReportStart::Twin : ReportStart::Criteria;
    m.files = {&MUS};
    m.key = &key;
    m.title = title;
    m.layout = listLayout(title, columns);
    if (!fontKey.isEmpty())
        m.fontKey = (brief ? QStringLiteral("Brief") : QStringLiteral("Print")) + fontKey;
    return m;
}

// A standard member asks its criteria and shows each song's category.
void standard(ReportMember &m, const char *noun, void (*brief)()) {
    m.noun = QString::fromLatin1(noun);
    m.brief = brief;
    m.files = {&CAT, &MUS};
    m.joined = {&CAT};
    m.join = joinCategory;
}

ReportMember byMedia(bool brief) {
    const std::vector<ReportColumn> columns =
        brief ? std::vector<ReportColumn>{column(1, "Media", "MUS:Media", "@s20", 31),
                                          column(1, "Artist", "MUS:Artist", "@s50", 1100),
                                          column(1, "Title", "MUS:Title", "@s50", 2900),
                                          column(1, "Album", "MUS:Album", "@s50", 4700),
                                          column(1, "File Number", "MUS:FileNumber", "@s20", 6500)}
              : withSecondLine({column(1, "Media", "MUS:Media", "@s20", 31),
                                column(1, "Title", "MUS:Title", "@s50", 1100),
                                column(1, "Album", "MUS:Album", "@s50", 2900),
                                column(1, "Artist", "MUS:Artist", "@s50", 4700),
                                column(1, "Category", "CAT:Category", "@s30", 6500)},
                               2900, 4700, 6500);
    ReportMember m = listMember(brief, MUS.SongsByMedia, QStringLiteral("Songs by Media"), columns,
                                QStringLiteral("MUS:SongsByMedia"));
    if (!brief)
        standard(m, "media", PrintSongsByMediaBrief);
    m.startsWith = [] { return MUS.Media.str(); };
    return m;
}

ReportMember byAlbum(bool brief) {
    const std::vector<ReportColumn> columns =
        brief ? std::vector<ReportColumn>{column(1, "Album", "MUS:Album", "@s50", 31),
                                          column(1, "Artist", "MUS:Artist", "@s50", 1800),
                                          column(1, "Title", "MUS:Title", "@s50", 3600),
                                          column(1, "Media", "MUS:Media", "@s20", 5400),
                                          column(1, "File Number", "MUS:FileNumber", "@s20", 6500)}
              : withSecondLine({column(1, "Album", "MUS:Album", "@s50", 31),
                                column(1, "Artist", "MUS:Artist", "@s50", 1800),
                                column(1, "Title", "MUS:Title", "@s50", 3600),
                                column(1, "Media", "MUS:Media", "@s20", 5400),
                                column(1, "Category", "CAT:Category", "@s30", 6500)},
                               3600, 5400, 6500);
    // The brief album list offers no custom font.
    ReportMember m = listMember(brief, MUS.SongsByAlbum, QStringLiteral("Songs by Album"), columns,
                                brief ? QString() : QStringLiteral("MUS:SongsByAlbum"));
    if (!brief)
        standard(m, "albums", PrintSongsByAlbumBrief);
    m.startsWith = [] { return MUS.Album.str(); };
    return m;
}

ReportMember byBPM(bool brief) {
    const std::vector<ReportColumn> columns =
        brief ? std::vector<ReportColumn>{column(1, "BPM", "MUS:BeatsPerMinute", "@n_3b", 31),
                                          column(1, "Artist", "MUS:Artist", "@s50", 450),
                                          column(1, "Title", "MUS:Title", "@s50", 2000),
                                          column(1, "Album", "MUS:Album", "@s50", 3550),
                                          column(1, "File Number", "MUS:FileNumber", "@s20", 5100),
                                          column(1, "Trk", "MUS:TrackNumber", "@n3b", 6000),
                                          {1, formatPicture(QStringLiteral("@s20"), UDKPrompt.str()),
                                           QStringLiteral("MUS:UserDefinedKeyField"), QStringLiteral("@s30"), 6350},
                                          column(1, "Time", "MUS:Time", "@t4b", 7400)}
              : withSecondLine({column(1, "BPM", "MUS:BeatsPerMinute", "@n_3b", 31),
                                column(1, "Artist", "MUS:Artist", "@s50", 500),
                                column(1, "Title", "MUS:Title", "@s50", 2300),
                                column(1, "Album", "MUS:Album", "@s50", 4100),
                                column(1, "Media", "MUS:Media", "@s20", 5700),
                                column(1, "Category", "CAT:Category", "@s30", 6700)},
                               4100, 5700, 6700);
    ReportMember m = listMember(brief, MUS.KEYBEATSPERMINUTE, QStringLiteral("Songs by Beats Per Minute"), columns,
                                QStringLiteral("MUS:SongsByBPM"));
    if (!brief)
        standard(m, "BPMs", PrintSongsByBPMBrief);
    m.startsWith = [] { return QString::number(MUS.BeatsPerMinute.value()); };
    m.skip = [] { return MUS.BeatsPerMinute.value() <= 0 || songFiltered(); };
    return m;
}

// The category chosen is kept by the run: another window may read categories meanwhile, and
// the filter takes the category's identifier from the buffer when the scan starts.
ReportMember byCategory(bool brief, const data::Record &chosen) {
    const QString title = (QStringLiteral("Music in ") + clip(CAT.Category.str()) + QStringLiteral(" Category")).left(80);
    const std::vector<ReportColumn> columns =
        brief ? std::vector<ReportColumn>{column(1, "Artist", "MUS:Artist", "@s50", 31),
                                          column(1, "Title", "MUS:Title", "@s50", 1800),
                                          column(1, "Album", "MUS:Album", "@s50", 3600),
                                          column(1, "Media", "MUS:Media", "@s20", 5400),
                                          column(1, "File Number", "MUS:FileNumber", "@s20", 6500)}
              : std::vector<ReportColumn>{column(1, "Artist", "MUS:Artist", "@s30", 31),
                                          column(1, "Title", "MUS:Title", "@s30", 1800),
                                          column(1, "Album", "MUS:Album", "@s30", 3600),
                                          column(1, "Media", "MUS:Media", "@s20", 5400),
                                          column(2, "File Number", "MUS:FileNumber", "@s10", 3600),
                                          column(2, "Release Date", "MUS:ReleaseDate", "@d3b", 5400)};
    // Only the songs file goes to quick scan: the procedure holds the categories file open.
    ReportMember m = listMember(brief, MUS.SONGSBYCATEGORY, title, columns, QString());
    m.fontKey = brief ? QStringLiteral("BriefByCategory") : QStringLiteral("PrintByCategory");
    if (!brief) {
        m.noun = QStringLiteral("artists");
        m.brief = [chosen] {
            CAT.setRecord(chosen);
            PrintSongsByCategoryBrief();
        };
    }
    m.filterOnOpen = [chosen] {
        CAT.setRecord(chosen);
        return QString::fromLatin1(kCategoryFilter);
    };
    m.startsWith = [] { return MUS.Artist.str(); };
    return m;
}

} // namespace

void PrintSongsByMedia() { runReport(byMedia(false)); }
void PrintSongsByMediaBrief() { runReport(byMedia(true)); }
void PrintSongsByAlbum() { runReport(byAlbum(false)); }
void PrintSongsByAlbumBrief() { runReport(byAlbum(true)); }
void PrintSongsByBPM() { runReport(byBPM(false)); }
void PrintSongsByBPMBrief() { runReport(byBPM(true)); }

void PrintSongsByCategory() {
    FilesInUse files{&CAT, &MUS};
    const qint32 answer = callWithRequest(SelectRecord, BrowseCategories);
    GlobalResponse = RequestCancelled;
    // A category not chosen ends the report here: the buffer holds no choice of the user's.
    if (answer != RequestCompleted)
        return;
    runReport(byCategory(false, CAT.record()));
}

void PrintSongsByCategoryBrief() {
    FilesInUse files{&CAT};
    runReport(byCategory(true, CAT.record()));
}

void registerSongListReports() {
    registerProcedure(QStringLiteral("PrintSongsByMedia"), PrintSongsByMedia);
    registerProcedure(QStringLiteral("PrintSongsByAlbum"), PrintSongsByAlbum);
    registerProcedure(QStringLiteral("PrintSongsByCategory"), PrintSongsByCategory);
    registerProcedure(QStringLiteral("PrintSongsByBPM"), PrintSongsByBPM);
}

} // namespace tbk
