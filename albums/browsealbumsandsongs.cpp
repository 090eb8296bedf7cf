#include "albums/browsealbumsandsongs.h"

#include "albums/albumsonglist.h"
#include "albums/browsealbums.h"
#include "cdaudio/mcicommand.h"
#include "core/datafiles.h"
#include "records/listformats.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"
#include "songs/categories.h"
#include "songs/songlists.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <iterator>
#include <memory>

namespace tbk {

namespace {

const QString kSongListName = QStringLiteral("List");
// No album has it: the song list of an empty album list shows no song.
constexpr qint64 kNoAlbum = -1;

std::vector<QVariant> songRow() {
    FormatReportSongTime(0, 1);
    return {MUS.Side.value(),       MUS.TrackNumber.value(), MUS.Artist.str(),           MUS.Title.str(),
            SongTimeText.str(),     MUS.Media.str(),         MUS.FileNumber.str(),       MUS.ReleaseDate.value(),
            MUS.BeatsPerMinute.value(), MUS.InOut.str(),     MUS.ID.value(),             MUS.AlbumID.value()};
}

} // namespace

BrowseAlbumsAndSongsWindow::BrowseAlbumsAndSongsWindow()
    : Browse(QStringLiteral("BrowseAlbumsAndSongs"), {&ALB, &CAT, &MUS}) {
    setCountTitle([] { return QStringLiteral("Albums (%1) and Songs (%2)").arg(ALB.records()).arg(MUS.records()); });
    setTabEntry(QStringLiteral("AlbumTab"));
    setForm(QString::fromLatin1(kAlbumForm));
    // The album form takes an insert with an album in the buffer as a copy of it.
    setCopyRequest(InsertRecord);
}

BrowseAlbumsAndSongsWindow::~BrowseAlbumsAndSongsWindow() = default;

QWidget *BrowseAlbumsAndSongsWindow::buildWindow() {
    WindowBuilder b(*this, QStringLiteral("Meta-Browser"), {328, 160});
    const AlbumSortTabs sortTabs = buildAlbumSortTabs(b);
    ListControl *albumList =
        b.list(QStringLiteral("Browse:1"), albumListFormat(), 90, QStringLiteral("Right-Click for Options"));
    Buttons buttons = editButtons(b, QStringLiteral("Copy record"));
    buttons.close = b.button(QStringLiteral("Cl&ose"));
    wizard_ = b.button(QStringLiteral("Wi&zard"));
    QLineEdit *locator = locatorEntry(b);
    songControl_ = b.list(kSongListName, albumTrackListFormat(), 70);
    songControl_->setWidestText(kTrackTimeColumn, WidestTrackTime());
    setButtons(buttons);

    const QList<PopupItem> wizardItem{{wizard_->text(), wizard_}, {}};
    setPopup(QList<PopupItem>{{QStringLiteral("&Add"), buttons.add},
                              {QStringLiteral("&Change"), buttons.change},
                              {QStringLiteral("&Delete"), buttons.remove},
                              {},
                              {QStringLiteral("Cop&y"), buttons.copy},
                              {}} +
             wizardItem + albumLabelItems(QStringLiteral("Quick CD Insert")));
    songPopup_ = wizardItem + albumLabelItems(QStringLiteral("Quick CD Insert"));

    BrowseList &albums = makeList(albumList, ALB, albumListRow);
    albums.setLocatorControl(locator);
    addAlbumSortOrders(albums);
    setUpSongs();

    for (QPushButton *select : sortTabs.selectCategory)
        on(select, EventKind::Accepted, [this] {
            chooseFilter(CAT, BrowseCategories);
        });
    on(wizard_, EventKind::Accepted, [this] {
        if (runAlbumWizard(kAlbumWizard, true))
            refresh(true);
    });

    QWidget *w = b.finish();
    QTabWidget *tabs = w->findChild<QTabWidget *>();
    // The sheet holds no more than a button: the lists take the height.
    tabs->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    setSortTabs(tabs);
    QWidget *order[] = {albumList,      buttons.add,     buttons.copy,          buttons.change,
                        buttons.remove, buttons.close,   wizard_,               locator,
                        songControl_,   tabs->tabBar(),  sortTabs.selectCategory[0], sortTabs.selectCategory[1]};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    albumList->setFocus();
    return w;
}

bool BrowseAlbumsAndSongsWindow::openRoutine() {
    Browse::openRoutine();
    alertTyping(songControl_);
    return true;
}

// The album highlighted, or the list read again: its songs follow.
void BrowseAlbumsAndSongsWindow::refreshed() {
    wizard_->setEnabled(procedureRegistered(QString::fromLatin1(kAlbumWizard)));
    if (!songs_ || closing())
        return;
    albumsEmpty_ = list().empty();
    // Read again every time: the album form and the wizard change an album's songs too.
    songs_->refresh(0, true);
}

void BrowseAlbumsAndSongsWindow::closeRoutine() {
    if (songs_ && songControl_)
        saveListFormat(procedureName(), kSongListName, songControl_->format());
    songs_.reset();
    Browse::closeRoutine();
}

void BrowseAlbumsAndSongsWindow::setUpSongs() {
    songs_ = std::make_unique<BrowseList>(songControl_, MUS, songRow, QStringLiteral("BRW9"));
    songs_->addSortOrder({&MUS.KeyAlbumID,
                          QStringLiteral("MUS:AlbumID = BRW9::Sort1:Reset:ALB:AlbumID"),
                          {{QStringLiteral("ALB:AlbumID"), QStringLiteral("MUS:AlbumID"),
                            [this] { return QVariant(albumsEmpty_ ? kNoAlbum : qint64(ALB.AlbumID.value())); }}},
                          LocatorKind::FirstLetter,
                          1,
                          {-1, 0, 0},
                          1});
    songs_->setOnChange([this] {
        if (songs_->failed())
            closeWindow();
    });
    const QString design = replaceDatePictures(songControl_->format(), DateFormat.str());
    songControl_->setFormat(restoreListFormat(procedureName(), kSongListName, design));
    setToolbarList(songs_.get());
    on(songControl_, EventKind::Scroll, [this](const Event &e) { songs_->takeEvent(e); });
    on(songControl_, EventKind::NewSelection, [this](const Event &e) { songs_->takeEvent(e); });
    on(songControl_, EventKind::AlertKey, [this](const Event &e) {
        if (!e.text.isEmpty())
            songs_->typeLocator(e.text);
    });
    on(songControl_, EventKind::MouseRightUp, [this] { songPopup(); });
}

// The items act on the highlighted album, as the file holds it now.
void BrowseAlbumsAndSongsWindow::songPopup() {
    if (!list().empty() && !list().rereadCurrent() && list().failed())
        return;
    const ListPopupItem *item = listPopupChoice(songPopup_);
    if (!item)
        return;
    if (item->button)
        item->button->click();
    else
        item->action();
}

QTabWidget *BrowseAlbumsAndSongsWindow::tabs() const {
    return widget() ? widget()->findChild<QTabWidget *>() : nullptr;
}

void BrowseAlbumsAndSongs() { BrowseAlbumsAndSongsWindow().run(); }

} // namespace tbk
