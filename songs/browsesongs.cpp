#include "songs/browsesongs.h"

#include "songs/browsesongswindow.h"

#include "records/browse.h"
#include "core/datafiles.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "core/smallservices.h"
#include "impex/queryfieldlists.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"
#include "songs/categories.h"
#include "songs/media.h"
#include "songs/songlists.h"
#include "songs/updatesong.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace tbk {

namespace {

const char *const kQueryName = "SONGS";

const QString kFormat = QStringLiteral(
    "77L(2)|M~Artist~@s50@75L(2)|M~Title~@s50@76L(2)|M~Album~@s50@39L(2)|M~Media~@s20@"
    "43L(2)|M~File Number~@s20@51L(2)|M~Category~@s30@23R(2)|M~Time~@t4b@36R(2)|M~Released~@d17b@"
    "24R(2)|M~BPM~@n_4b@120R(2)|M~User Defined Key Field~@s30@42R(2)|M~Last Played~@d17-@"
    "[10L(2)|@p(<)pb@12R(2)|M@n3b@](21)|M~Track~120L(2)|M~Style~@s30@12R(2)|M~Chart Number~@n3@");
// The song's identifier rides along after the shown columns, for a drag.
constexpr size_t kIdValue = 15;

constexpr int kTabCount = 8;

} // namespace

QWidget *BrowseSongsWindow::buildWindow() {
    WindowBuilder b(*this, QStringLiteral("Browse Songs"), {374, 170});
    QLineEdit *locator = locatorEntry(b);
    QString udk = QStringLiteral("By UDK");
    if (!UDKPrompt.empty())
        udk = clip(QStringLiteral("By ") + UDKPrompt.str().left(10));
    QPushButton *selectMedia = nullptr, *selectCategory = nullptr;
    for (const QString &caption : {QStringLiteral("By Artist"), QStringLiteral("By Title"), QStringLiteral("By Album"),
                                   QStringLiteral("By Media"), QStringLiteral("By Category"),
                                   QStringLiteral("By Chart #"), QStringLiteral("By BPM"), udk}) {
        b.tab(caption);
        if (caption == QLatin1String("By Media"))
            selectMedia = b.button(QStringLiteral("Se&lect Media"));
        else if (caption == QLatin1String("By Category"))
            selectCategory = b.button(QStringLiteral("Se&lect Category"));
        b.endTab();
    }
    ListControl *l = b.list(QStringLiteral("Browse"), kFormat, 110, QStringLiteral("Right-Click for Options"));
    Buttons buttons = editButtons(b);
    QPushButton *searchButton = b.button(QStringLiteral("&Search"));
    QPushButton *reset = b.button(QStringLiteral("Reset Search"));
    b.text({});
    QPushButton *import = b.button(QStringLiteral("&Import"));
    QPushButton *exportButton = b.button(QStringLiteral("&Export"));
    print_ = b.button(QStringLiteral("&Print"));
    buttons.close = b.button(QStringLiteral("Cl&ose"));
    setButtons(buttons);
    setPopup({{QStringLiteral("&Add"), buttons.add},
              {QStringLiteral("&Change"), buttons.change},
              {QStringLiteral("&Delete"), buttons.remove},
              {},
              {print_->text(), print_},
              {},
              {searchButton->text(), searchButton},
              {},
              {import->text(), import},
              {exportButton->text(), exportButton}});

    BrowseList &songs = makeList(l, MUS, [] {
        return std::vector<QVariant>{MUS.Artist.str(),        FormatSongTitle(),        MUS.Album.str(),
                                     MUS.Media.str(),         MUS.FileNumber.str(),     CAT.Category.str(),
                                     MUS.Time.value(),        MUS.ReleaseDate.value(),  MUS.BeatsPerMinute.value(),
                                     MUS.UserDefinedKeyField.str(), MUS.LastPlayed.value(), MUS.Side.value(),
                                     MUS.TrackNumber.value(), MUS.Style.str(),          MUS.ChartNumber.value(),
                                     MUS.ID.value()};
    });
    // Media as well as categories: a search may test either file's name of each song.
    songs.setJoin({&CAT, &MED}, joinCategoryAndMedia);
    songs.setLocatorControl(locator);
    const expr::PageReader::ThumbScale text{0, 0, StopLetters | StopDigits};
    songs.addSortOrder({&MUS.SongsByArtist, {}, {}, LocatorKind::Incremental, 0, text});
    songs.addSortOrder({&MUS.SongsByTitle, {}, {}, LocatorKind::Incremental, 0, text});
    songs.addSortOrder({&MUS.SongsByAlbum, {}, {}, LocatorKind::Incremental, 0, text});
    songs.addSortOrder({&MUS.SongsByMedia, QStringLiteral("UPPER(MUS:Media) = UPPER(BRW1::Sort3:Reset:MED:Media)"),
                        {{QStringLiteral("MED:Media"), QStringLiteral("MUS:Media"), {}, true}}, LocatorKind::Incremental, 1,
                        {1, 0, StopLetters | StopDigits}});
    songs.addSortOrder({&MUS.SONGSBYCATEGORY, QStringLiteral("MUS:CategoryID = BRW1::Sort4:Reset:CAT:CategoryID"),
                        {{QStringLiteral("CAT:CategoryID"), QStringLiteral("MUS:CategoryID"), {}, true}},
                        LocatorKind::Incremental, 1, {1, 0, StopLetters | StopDigits}});
    songs.addSortOrder({&MUS.SONGSBYCHARTNUMBER, {}, {}, LocatorKind::Incremental, 0, text});
    songs.addSortOrder({&MUS.KEYBEATSPERMINUTE, {}, {}, LocatorKind::Incremental, 0, text});
    songs.addSortOrder({&MUS.SONGSBYUSERDEFINEDKEY, {}, {}, LocatorKind::Incremental, 0, text});
    makeSongDragSource(l, songs, kIdValue);

    on(selectMedia, EventKind::Accepted, [this] {
        chooseFilter(MED, BrowseMedia);
    });
    on(selectCategory, EventKind::Accepted, [this] {
        chooseFilter(CAT, BrowseCategories);
    });
    wireSongButtons(searchButton, reset, import, exportButton);
    on(print_, EventKind::Accepted, [this] { startProcedure(songReportOfTab(tab())); });

    QWidget *w = b.finish();
    tabs_ = w->findChild<QTabWidget *>();
    setSortTabs(tabs_);
    return w;
}

void BrowseSongsWindow::refreshed() {
    SongListWindow::refreshed();
    print_->setEnabled(procedureRegistered(songReportOfTab(tab())));
}

BrowseSongsWindow::BrowseSongsWindow()
    : SongListWindow(QString::fromLatin1(kQueryName), songQueryFields(), QStringLiteral("BrowseSongs"),
                     std::initializer_list<data::DataFile *>{&MUS, &CAT, &MED}) {
    setCountTitle(QStringLiteral("Songs - "), QStringLiteral(" entries"));
    setBoldSelectedTab(true);
    setTabEntry(QStringLiteral("SongTab"));
    setInsertTooltip(QStringLiteral("Insert a new Record"));
}

QString songReportOfTab(int tab) {
    static const char *const reports[kTabCount] = {
        "PrintSongsByArtist",      "PrintSongsByTitle",   "PrintSongsByAlbum", "PrintSongsByMedia",
        "PrintSongsByCategory",    "PrintSongsByChartNumber", "PrintSongsByBPM",
        "PrintSongsByUserDefinedKey"};
    return QString::fromLatin1(tab >= 1 && tab <= kTabCount ? reports[tab - 1] : reports[0]);
}

void BrowseSongs() { BrowseSongsWindow().run(); }

} // namespace tbk
