#include "reports/albumreports.h"

#include "core/datafiles.h"
#include "core/procedures.h"
#include "reports/columnlayout.h"
#include "reports/reportframe.h"
#include "reports/shadedheadings.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/values/text.h"
#include "songs/categories.h"

namespace tbk {

namespace {

enum class Order { Album, Artist, FileNumber, Category };

// Columns from the left edge of the print area, in mils.
constexpr int kFirst = 31;
constexpr int kSecond = 2700;
constexpr int kThird = 5400;

ReportColumn column(const char *heading, const char *field, const char *picture) {
    return {1, QString::fromLatin1(heading), QString::fromLatin1(field), QString::fromLatin1(picture), 0};
}

ReportColumn at(ReportColumn c, int line, int x) {
    c.line = line;
    c.x = x;
    return c;
}

const ReportColumn kAlbum = column("Album", "ALB:Album", "@s50");
const ReportColumn kArtist = column("Artist", "ALB:Artist", "@s50");
const ReportColumn kMedia = column("Media", "ALB:Media", "@s20");
const ReportColumn kFileNumber = column("File Number", "ALB:FileNumber", "@s20");
const ReportColumn kReleased = column("Release Date", "ALB:ReleaseDate", "@d2");
const ReportColumn kWavFile = column("Associated WAV File", "ALB:ASSOCIATEDWAVFILE", "@s128");

// The second line sits under the second column: the file number, the release date after it,
// the WAV file under the media.
std::vector<ReportColumn> standardColumns(Order order) {
    if (order == Order::FileNumber)
        return {at(kFileNumber, 1, kFirst), at(kReleased, 1, 1500), at(kArtist, 1, kSecond),
                at(kMedia, 1, kThird), at(kAlbum, 2, kSecond), at(kWavFile, 2, kThird)};
    const bool byAlbum = order == Order::Album;
    return {at(byAlbum ? kAlbum : kArtist, 1, kFirst), at(byAlbum ? kArtist : kAlbum, 1, kSecond),
            at(kMedia, 1, kThird), at(kFileNumber, 2, kSecond), at(kReleased, 2, 4100), at(kWavFile, 2, kThird)};
}

std::vector<ReportColumn> briefColumns(Order order) {
    if (order == Order::FileNumber)
        return {at(kFileNumber, 1, kFirst), at(kAlbum, 1, 1450), at(kArtist, 1, 4100), at(kMedia, 1, 6750)};
    const bool byAlbum = order == Order::Album;
    return {at(byAlbum ? kAlbum : kArtist, 1, kFirst), at(byAlbum ? kArtist : kAlbum, 1, kSecond),
            at(kMedia, 1, kThird), at(kFileNumber, 1, 6700)};
}

// What each list is, as a row of the members' table.
struct Listing {
    const data::Key &key;
    QString title;
    QString briefTitle;
    QString noun;
    void (*brief)();
    const data::TextField &startsWith;
};

const Listing &listing(Order order) {
    // The by-category title is named after the chosen category when the report opens.
    static const Listing table[] = {
        {ALB.KEYALBUM, "Albums", "Albums by Album", "albums", PrintAlbumsBrief, ALB.Album},
        {ALB.KEYARTIST, "Albums by Artist", "Albums by Artist", "artist", PrintAlbumsByArtistBrief, ALB.Artist},
        {ALB.KEYFILENUMBER, "Albums by File Number", "Albums by File Number", "file numbers",
         PrintAlbumsByFileNumberBrief, ALB.FileNumber},
        {ALB.KEYCATEGORYARTIST, "Albums", "Albums", "artists", PrintAlbumsByCategoryBrief, ALB.Artist},
    };
    return table[int(order)];
}

ReportMember albumList(Order order, bool brief) {
    const Listing &l = listing(order);
    ReportMember m;
    if (!brief) {
        m.start = ReportStart::Criteria;
        m.noun = l.noun;
        m.brief = l.brief;
    } else {
        // These two twins ask for themselves, whatever the criteria window said.
        m.start = order == Order::Artist || order == Order::Category ? ReportStart::Question : ReportStart::Twin;
    }
    m.files = {&ALB};
    m.key = &l.key;
    const QString title = brief ? l.briefTitle : l.title;
    m.layout = columnLayout(title, brief ? briefColumns(order) : standardColumns(order), brief);
    shadeHeadings(m.layout);
    m.startsWith = [&field = l.startsWith] { return field.str(); };
    if (order == Order::Category) {
        m.files = {&ALB, &CAT};
        m.scanned = &ALB;
        m.quickScan = {&ALB};
        m.given = {&CAT};
        m.filter = QStringLiteral("ALB:CategoryID = CAT:CategoryID");
        m.opened = [](report::Report &r) {
            if (report::Element *title = r.element(QStringLiteral("ReportTitle")))
                title->text = clip(CAT.Category.str()) + QStringLiteral(" Albums");
        };
    } else {
        m.title = title;
    }
    return m;
}

ReportMember albumWithSongs() {
    ReportMember m;
    m.start = ReportStart::Question;
    m.files = {&ALB, &MUS};
    m.quickScan = {&MUS};
    m.given = {&ALB};
    m.key = &MUS.SongsByAlbum;
    m.filter = QStringLiteral("MUS:AlbumID = ALB:AlbumID");
    m.layout = columnLayout(QStringLiteral("Songs by Album"),
                            {at(column("Album", "MUS:Album", "@s30"), 1, kFirst),
                             at(column("Title", "MUS:Title", "@s30"), 1, 2200),
                             at(column("Artist", "MUS:Artist", "@s30"), 1, 4400),
                             at(column("Media", "MUS:Media", "@s20"), 1, 6600)},
                            false);
    shadeHeadings(m.layout);
    return m;
}

} // namespace

void PrintAlbums() { runReport(albumList(Order::Album, false)); }
void PrintAlbumsBrief() { runReport(albumList(Order::Album, true)); }
void PrintAlbumsByArtist() { runReport(albumList(Order::Artist, false)); }
void PrintAlbumsByArtistBrief() { runReport(albumList(Order::Artist, true)); }
void PrintAlbumsByFileNumber() { runReport(albumList(Order::FileNumber, false)); }
void PrintAlbumsByFileNumberBrief() { runReport(albumList(Order::FileNumber, true)); }

void PrintAlbumsByCategory() {
    // The category chosen stands in its buffer for this report and its twin.
    if (callWithRequest(SelectRecord, BrowseCategories) != RequestCompleted) {
        GlobalResponse = RequestCancelled;
        return;
    }
    runReport(albumList(Order::Category, false));
}

void PrintAlbumsByCategoryBrief() { runReport(albumList(Order::Category, true)); }

void PrintAlbumsWithSongs() { runReport(albumWithSongs()); }

void registerAlbumReports() {
    registerProcedure(QStringLiteral("PrintAlbums"), PrintAlbums);
    registerProcedure(QStringLiteral("PrintAlbumsByArtist"), PrintAlbumsByArtist);
    registerProcedure(QStringLiteral("PrintAlbumsByFileNumber"), PrintAlbumsByFileNumber);
    registerProcedure(QStringLiteral("PrintAlbumsByCategory"), PrintAlbumsByCategory);
    registerProcedure(QStringLiteral("PrintAlbumsWithSongs"), PrintAlbumsWithSongs);
}

} // namespace tbk
