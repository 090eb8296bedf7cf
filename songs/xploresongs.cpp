#include "songs/xploresongs.h"

#include "core/artwork.h"
#include "core/datafiles.h"
#include "core/frame.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "impex/queryfieldlists.h"
#include "runtime/ui/windowbuilder.h"
#include "songs/updatesong.h"

#include <QPushButton>

#include <iterator>
#include <utility>

namespace tbk {

namespace {

const char *const kQueryName = "BROWSETUNEBANK";

constexpr XploreColumn kColumns[] = {
    {"MUS:Artist", "Artist", 200, "Artist", "@s50", 'L', true, false, false, true, true},
    {"MUS:Title", "Title", 200, "Title", "@s50", 'L', true, false, false, true, true},
    {"MUS:Album", "Album", 200, "Album", "@s50", 'L', true, false, false, true, true},
    {"MUS:Media", "Media", 80, "Media", "@s20", 'L', true, false, false, true, true},
    {"MUS:FileNumber", "File Number", 80, "File Number", "@s20", 'L', true, false, false, true, true},
    {"CAT:Category", "Category", 120, "Category", "@s30", 'L', true, false, false, true, true},
    {"MUS:Time", "Time", 32, "Time", "@t4b", 'L', true, false, false, true, true},
    {"MUS:ReleaseDate", "Release", 40, "Release Date", "@d2", 'L', true, false, false, true, true},
    {"MUS:BeatsPerMinute", "Beats Per Minute (BPM)", 16, "BPM", "@n_4b", 'L', true, false, false, true, true},
    {"MUS:UserDefinedKeyField", "User Defined Key Field", 120, "User Defined Key Field", "@s30", 'L', true, false,
     false, true, true},
    {"MUS:LastPlayed", "Date Last Played", 32, "Last Played", "@d17-", 'L', true, false, false, true, true},
    {"MUS:Style", "Style", 120, "Style", "@s30", 'L', true, false, false, true, true},
    {"MUS:TrackNumber", "Track", 12, "Trk", "@n3", 'L', true, false, false, true, true},
    {"MUS:Side", "Side / Disc", 8, "Side/Disc", "@n2b", 'L', true, false, false, true, true},
    {"MUS:Rating", "MUS:Rating", 8, "Rating", "@n2", 'L', true, false, false, true, true},
    {"MUS:Mix", "Mix or Version Specific Information", 120, "Mix", "@s30", 'L', false, false, false, true, true},
};

// Mix is left out of the design; the layout window offers it.
const QString kDesign = QStringLiteral(
    "75L(2)|M~Artist~@s50@75L(2)|M~Title~@s50@76L(2)|M~Album~@s50@39L(2)|M~Media~@s20@"
    "43L(2)|M~File Number~@s20@51L(1)|M~Category~L@s30@23R(2)|M~Time~C@t4b@48R(2)|M~Release Date~C@d2@"
    "24R(2)|M~BPM~C@n_4b@120R(2)|M~User Defined Key Field~C@s30@42R(2)|M~Last Played~C@d17-@"
    "120R(2)|M~Style~C@s30@21R(2)|M~Trk~C@n3@35R(2)|M~Side/Disc~C@n2b@8R(2)|M~Rating~C@n2@");

// The identifier rides after the table's sixteen columns, for a drag.
constexpr std::size_t kIdValue = std::size(kColumns);

std::vector<QVariant> songRow() {
    return {MUS.Artist.str(),         MUS.Title.str(),          MUS.Album.str(),
            MUS.Media.str(),          MUS.FileNumber.str(),     CAT.Category.str(),
            MUS.Time.value(),         MUS.ReleaseDate.value(),  MUS.BeatsPerMinute.value(),
            MUS.UserDefinedKeyField.str(), MUS.LastPlayed.value(), MUS.Style.str(),
            MUS.TrackNumber.value(),  MUS.Side.value(),         MUS.Rating.value(),
            MUS.Mix.str(),            MUS.ID.value(),           MUS.CategoryID.value()};
}

QPushButton *withIcon(QPushButton *button, const char *icon) {
    button->setIcon(artworkIcon(QString::fromLatin1(icon)));
    return button;
}

} // namespace

XploreSongsWindow::XploreSongsWindow(const QString &queryFields)
    : SongListWindow(QString::fromLatin1(kQueryName), queryFields.isEmpty() ? songQueryFields() : queryFields,
                     QStringLiteral("XploreSongs"), std::initializer_list<data::DataFile *>{&MUS, &CAT, &MED},
                     std::span<const XploreColumn>(kColumns), QStringLiteral("?Browse")) {
    setCountTitle(QStringLiteral("Songs - "), QStringLiteral(" entries"));
}

QWidget *XploreSongsWindow::buildExplorer() {
    WindowBuilder b(*this, QStringLiteral("Explore Songs"), {374, 170});
    QLineEdit *locator = locatorEntry(b);
    ListControl *l = b.list(QStringLiteral("Browse"), kDesign, 120,
                            QStringLiteral("Click on header to change order, or right-click for options"));
    QPushButton *layout = b.button(QStringLiteral("View &Properties"), QStringLiteral("Re-format Columns of BrowseBox"));
    Buttons buttons = editButtons(b);
    // Not the base's Copy: it stays enabled on an empty list, where it finds nothing to copy.
    QPushButton *copy = std::exchange(buttons.copy, nullptr);
    QPushButton *searchButton = b.button(QStringLiteral("&Search"));
    QPushButton *reset = b.button(QStringLiteral("Reset Search"));
    b.newButtonRow();
    QPushButton *import = withIcon(b.button(QStringLiteral("&Import")), "IMPORT.ICO");
    QPushButton *exportButton = withIcon(b.button(QStringLiteral("&Export")), "EXPORT.ICO");
    QPushButton *print = b.button(QStringLiteral("&Print"));
    buttons.close = b.button(QStringLiteral("Cl&ose"));
    b.picture(artwork(QStringLiteral("TRUMPET.GIF")));
    setButtons(buttons);
    setLayoutButton(layout);
    setPopup({{buttons.add->text(), buttons.add},
              {buttons.change->text(), buttons.change},
              {buttons.remove->text(), buttons.remove},
              {},
              {print->text(), print},
              {},
              {searchButton->text(), searchButton},
              {},
              {layout->text(), layout},
              {},
              {import->text(), import},
              {exportButton->text(), exportButton}});

    BrowseList &songs = makeList(l, MUS, songRow);
    // The media too: a search may test the media file's name of each song.
    songs.setJoin({&CAT, &MED}, joinCategoryAndMedia);
    songs.setLocatorControl(locator);
    songs.addSortOrder({&MUS.SongsByArtist, {}, {}, LocatorKind::Incremental, 0, {0, 50, StopLetters | StopDigits}});
    makeSongDragSource(l, songs, kIdValue);

    on(copy, EventKind::Accepted, [this] { callForm(SelectRecord); });
    wireSongButtons(searchButton, reset, import, exportButton);
    on(print, EventKind::Accepted, [] { postFrameCommand(kReportsMenu); });

    QWidget *w = b.finish();
    // The list leads the tab order, as it takes the typing.
    QWidget *order[] = {l, layout, buttons.add, copy, buttons.change, buttons.remove, searchButton, reset,
                        import, exportButton, print, buttons.close};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    return w;
}

void XploreSongs() { XploreSongsWindow().run(); }

} // namespace tbk
