#include "albums/wizardshell.h"

#include "albums/albumsongs.h"
#include "cdaudio/mcicommand.h"
#include "cdaudio/readcompactdisc.h"
#include "core/artwork.h"
#include "core/datafiles.h"
#include "records/listformats.h"
#include "core/programsettings.h"
#include "core/smallservices.h"
#include "core/standardwarnings.h"
#include "runtime/data/errors.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/messagebox.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/listformat.h"
#include "runtime/ui/windowbuilder.h"
#include "runtime/values/dates.h"
#include "songs/updatesong.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

namespace tbk {

namespace {

const QString kMedia = QStringLiteral("ALB:Media");
const QString kCategory = QStringLiteral("CAT:Category");
const QString kListName = QStringLiteral("Browse:2");
const QString kFormat = QStringLiteral(
    "[10L|@p(<)p@24L(1)|M@n3@](25)|M~Track~80L(2)|M~Artist~@s30@80L(2)|M~Title~@s30@23L(1)|M~Time~L(2)@s8@"
    "46R(2)|M~Release Date~C(0)@d2@19R(2)|M~BPM~R(0)@n_4b@80L(2)|M~In/Out~L(0)@s20@");

std::vector<QVariant> songRow() {
    FormatReportSongTime(0, 1);
    return {MUS.Side.value(),        MUS.TrackNumber.value(),    MUS.Artist.str(),   FormatSongTitle().left(50),
            SongTimeText.str(),      MUS.ReleaseDate.value(),    MUS.BeatsPerMinute.value(), MUS.InOut.str(),
            GLO.Side,                MUS.ID.value(),             MUS.AlbumID.value()};
}

} // namespace

void enterAlbumWizard() {
    GlobalRequest = InsertRecord;
    ALB.CDIDENTIFIER = QString();
    ALB.Artist = QString();
    ALB.Album = QString();
    ALB.FileNumber = QString();
    ALB.XCCD = QString();
    GLO.Side = 1;
}

bool seedCategories() {
    if (CAT.records() != 0)
        return true;
    const data::Record kept = CAT.record();
    bool added = true;
    qint64 id = 0;
    for (const char *name : {"Rock", "Pop", "Jazz", "Classical", "Country"}) {
        CAT.clear();
        CAT.CategoryID = ++id;
        CAT.Category = QString::fromLatin1(name);
        added = CAT.add() && added;
    }
    CAT.setRecord(kept);
    return added;
}

AlbumWizardShell::AlbumWizardShell(const QString &procedureName, const QString &title, DittoStore &ditto)
    : Form(procedureName, albumFormFile(), {&CAT, &MED, &MUS}), title_(title) {
    useDitto(ditto, Qt::Key_Apostrophe,
             {QStringLiteral("ALB:Artist"), QStringLiteral("ALB:Album"), kMedia, QStringLiteral("ALB:FileNumber"),
              QStringLiteral("ALB:ReleaseDate")});
    record().setDittoBeforeWrite(true);
}

AlbumWizardShell::~AlbumWizardShell() = default;

void AlbumWizardShell::pageTop(WindowBuilder &b, const QString &picture, const QString &heading) {
    b.picture(artwork(picture));
    b.column();
    QLabel *label = b.text(heading, QStringLiteral("Heading%1").arg(++headings_));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
}

QLabel *AlbumWizardShell::heading(int page) const {
    return widget()->findChild<QLabel *>(QStringLiteral("Heading%1").arg(page));
}

QWidget *AlbumWizardShell::createForm() {
    WindowBuilder b(*this, title_, {340, 200});
    b.tab(QStringLiteral("Type"));
    buildTypePage(b);
    b.endTab();

    b.tab(QStringLiteral("General"));
    pageTop(b, QStringLiteral("001.GIF"), QStringLiteral("Step 2:  Enter the basic album information."));
    b.entry(QStringLiteral("&Artist*:"), QStringLiteral("ALB:Artist"), QStringLiteral("@s50"));
    b.entry(QStringLiteral("A&lbum*:"), QStringLiteral("ALB:Album"), QStringLiteral("@s50"));
    media_ = b.lookup(QStringLiteral("&Media:"), kMedia, QStringLiteral("@s20"));
    category_ = b.lookup(QStringLiteral("&Category:"), kCategory, QStringLiteral("@s30"));
    b.entry(QStringLiteral("&File Number:"), QStringLiteral("ALB:FileNumber"), QStringLiteral("@s20"));
    b.entry(QStringLiteral("&Release Date:"), QStringLiteral("ALB:ReleaseDate"), QStringLiteral("@d2"));
    buildGeneralRows(b);
    b.text(QStringLiteral("* - Required Field"));
    b.endTab();

    b.tab(QStringLiteral("Songs"));
    pageTop(b, QStringLiteral("001.GIF"), QStringLiteral("Step 3:  Enter the song details."));
    songControl_ = b.list(kListName, kFormat, 110);
    // The list, not the buttons beside it, takes the page's width.
    songControl_->setMinimumWidth(440);
    b.column();
    songButtons_ = buildSongButtons(b, QStringLiteral("Add"), QStringLiteral("Copy"), QStringLiteral("Edit"),
                                    QStringLiteral("Delete"));
    buildSongRows(b);
    b.endTab();

    QPushButton *cancel = steps_.addButtons(b);
    QWidget *w = b.finish();
    steps_.sheet = w->findChild<QTabWidget *>();
    setFormButtons(nullptr, cancel);
    setCheck(media_, [this] { return dropLists_.checkMedia(record(), controls().value(kMedia).toString()); });
    setCheck(category_,
             [this] { return dropLists_.checkCategory(record(), controls().value(kCategory).toString()); });
    on(steps_.next, EventKind::Accepted, [this] { nextPressed(); });
    on(steps_.back, EventKind::Accepted, [this] {
        rereadSong();
        showStep(step_ - 1);
    });
    on(steps_.finish, EventKind::Accepted, [this] { finishPressed(); });
    on(steps_.sheet, EventKind::NewSelection, [this] { pageChanged(); });
    return w;
}

void AlbumWizardShell::formOpened() {
    widget()->setWindowTitle(title_);
    AlbumSongMode = songMode_ = 1;
    GLO.Side = side_ = 1;
    // Only the first album of a run: later ones are primed from the first as it was primed.
    record().setValue(kMedia, QStringLiteral("CD"));
    if (DateFormat.str().toLower().contains(QLatin1Char('n')))
        record().setValue(QStringLiteral("ALB:ReleaseDate"), yearOf(today()));
    if (!seedCategories())
        ShowStandardWarningPlain(14);
    setUpSongs();
    showStep(1);
    if (!dropLists_.fill(record(), media_, category_)) {
        closeWindow();
        return;
    }
    wizardOpened();
}

void AlbumWizardShell::selectOnOpening() { steps_.next->setFocus(); }

void AlbumWizardShell::setUpSongs() {
    songs_ = makeAlbumSongList(songControl_, songRow, [this] { return QVariant(qint64(side_)); });
    songList_ = std::make_unique<AlbumSongList>(
        *songs_, songButtons_, AlbumSongList::Owner{[this] { prepareSongWork(); }, [this] { refresh(); }, true});
    songList_->setPopupTexts(QStringLiteral("&Edit"));
    songs_->setOnChange([this] {
        if (!songList_->changed())
            closeWindow();
    });
    const QString design = replaceDatePictures(songControl_->format(), DateFormat.str());
    songControl_->setFormat(restoreListFormat(procedureName(), kListName, design));
    holdList(songList_->held());
}

void AlbumWizardShell::prepareSongWork() {
    GLO.Side = side_;
    AlbumSongMode = songMode_;
    record().toBuffer();
}

void AlbumWizardShell::setSide(quint8 side) { GLO.Side = side_ = side; }

void AlbumWizardShell::pressEditAll() {
    if (songList_)
        songList_->press(songButtons_.editAll);
}

void AlbumWizardShell::showStep(int step) { step_ = steps_.show(step); }

// The sheet shows another page only through Next and Back, or when a field that failed its
// check on another page is selected: the step follows the page then.
void AlbumWizardShell::pageChanged() {
    const int page = steps_.sheet->currentIndex() + 1;
    if (page != step_)
        showStep(page);
    refresh();
}

void AlbumWizardShell::rereadSong() {
    if (songs_ && !songs_->empty())
        songs_->rereadCurrent();
}

void AlbumWizardShell::nextPressed() {
    beforeNext(step_);
    AlbumSongMode = songMode_;
    if (closing())
        return;
    rereadSong();
    showStep(step_ + 1);
}

void AlbumWizardShell::finishPressed() {
    rereadSong();
    if (controls().validateAll())
        return;
    storeControls();
    beforeStore();
    // The disc's serial another album has would refuse the album and keep the user from
    // finishing: no page shows it, and every reading gives it again.
    const QString serialField = QStringLiteral("ALB:CDIDENTIFIER");
    const QString serial = record().value(serialField).toString();
    const QString serialOwner = dropSerialOfAnotherAlbum(record().working());
    if (record().complete() != FormRecord::Next::Close) {
        // Refused for another key: the serial is dropped again, and told, when the album is stored.
        record().setValue(serialField, serial);
        return;
    }
    songsFollowAlbum();
    songsTook_ = {};
    if (!serialOwner.isEmpty())
        message(QStringLiteral("This CD's serial number belongs to the album %1. The album was stored without it.")
                    .arg(serialOwner),
                QStringLiteral("CD Serial Number"), MessageIcon::Information, ButtonOK);
    stored();
}

void AlbumWizardShell::songsFollowAlbum() {
    // The song mode of a single-artist album gives every song the album's artist.
    if (!albumDataToSongs(record().working(), songsTook_, -1, songMode_ == 2))
        showSongError();
    songsTook_ = record().working();
}

QString AlbumWizardShell::categoryText() { return controls().value(kCategory).toString(); }

void AlbumWizardShell::showCategory() {
    if (!category_ || category_->hasFocus())
        return;
    FieldControl::of(category_)->setValue(readCategoryName(record().value(QStringLiteral("ALB:CategoryID")).toLongLong()));
}

void AlbumWizardShell::refreshWithSongs() {
    forceSongs_ = true;
    refresh();
}

void AlbumWizardShell::refreshDisplay() {
    showCategory();
    if (!songs_ || closing())
        return;
    record().toBuffer();
    songs_->refresh(0, forceSongs_);
    forceSongs_ = false;
}

// Whichever way the wizard ends, the primed album goes with the songs its disc reading or the
// user gave it: left behind, they would be the next primed album's, which takes its identifier.
void AlbumWizardShell::deleteSongsOfPrimedAlbum() {
    const qint64 album = record().primedIdentifier();
    if (album != 0 && !deleteSongsOfAlbum(qint32(album)))
        showSongError();
}

void AlbumWizardShell::showSongError() {
    message(QStringLiteral("Error updating song database - ") + data::errorText(), QStringLiteral("Error"),
            MessageIcon::Exclamation, ButtonOK);
}

void AlbumWizardShell::closeRoutine() {
    deleteSongsOfPrimedAlbum();
    if (songs_ && songControl_)
        saveListFormat(procedureName(), kListName, songControl_->format());
    songList_.reset();
    songs_.reset();
    Form::closeRoutine();
}

} // namespace tbk
