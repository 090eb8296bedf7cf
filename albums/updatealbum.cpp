#include "albums/updatealbum.h"

#include "albums/albumform.h"
#include "cdaudio/disclookup.h"
#include "cdaudio/readcompactdisc.h"
#include "core/artwork.h"
#include "core/datafiles.h"
#include "core/programsettings.h"
#include "core/referentialintegrity.h"
#include "core/smallservices.h"
#include "core/standardwarnings.h"
#include "runtime/data/errors.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/dialogs.h"
#include "runtime/threads/messagebox.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"
#include "runtime/values/text.h"
#include "songs/lookuplists.h"
#include "songs/updatesong.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSoundEffect>
#include <QSpinBox>
#include <QUrl>

namespace tbk {

namespace {

const QString kArtist = QStringLiteral("ALB:Artist");
const QString kAlbum = QStringLiteral("ALB:Album");
const QString kMedia = QStringLiteral("ALB:Media");
const QString kCategory = QStringLiteral("CAT:Category");
const QString kCategoryID = QStringLiteral("ALB:CategoryID");
const QString kWavFile = QStringLiteral("ALB:ASSOCIATEDWAVFILE");
const QString kImage = QStringLiteral("ALB:ASSOCIATEDIMAGE");
const QString kXccd = QStringLiteral("ALB:XCCD");
const QString kCdIdentifier = QStringLiteral("ALB:CDIDENTIFIER");
const QString kRating = QStringLiteral("ALB:RATING");
const QString kBrowseTip = QStringLiteral("Browse and select");
// The file dialog of the runtime worked on 80 characters.
constexpr int kDialogNameLength = 79;
constexpr int kImageWidth = 160, kImageHeight = 120;
constexpr int kSoundLoadHundredths = 200;
// The wait for the lookup agent ends on a timer event of the form.
constexpr int kLookupTimerHundredths = 10;

// One album record for the whole run, shared by every album form of every thread.
DittoStore &albumDitto() {
    static DittoStore store;
    return store;
}

} // namespace

AlbumForm::AlbumForm()
    : Form(QStringLiteral("UpdateAlbum"), albumFormFile(), {&CAT, &MED, &MUS}) {
    setResizeMode(2);
    useDitto(albumDitto(), Qt::Key_Apostrophe,
             {kArtist, kAlbum, kMedia, QStringLiteral("ALB:FileNumber"), QStringLiteral("ALB:ReleaseDate"), kWavFile,
              kImage, QStringLiteral("ALB:PLAYLIST"), kCdIdentifier, kXccd, kRating});
    record().setDittoBeforeWrite(true);
}

AlbumForm::~AlbumForm() = default;

qint32 AlbumForm::albumID() { return record().value(QStringLiteral("ALB:AlbumID")).toInt(); }

QWidget *AlbumForm::createForm() {
    WindowBuilder b(*this, {}, {330, 200});
    b.tab(QStringLiteral("&General"));
    b.entry(QStringLiteral("&Artist:"), kArtist, QStringLiteral("@s50"));
    b.entry(QStringLiteral("A&lbum:"), kAlbum, QStringLiteral("@s50"));
    QComboBox *media = b.lookup(QStringLiteral("&Media:"), kMedia, QStringLiteral("@s20"));
    QComboBox *category = b.lookup(QStringLiteral("&Category:"), kCategory, QStringLiteral("@s30"));
    b.entry(QStringLiteral("&File Number:"), QStringLiteral("ALB:FileNumber"), QStringLiteral("@s20"));
    b.entry(QStringLiteral("&Release Date:"), QStringLiteral("ALB:ReleaseDate"), QStringLiteral("@d2"));
    b.endTab();
    b.tab(QStringLiteral("&Songs"));
    buildTracks(b);
    b.endTab();
    b.tab(QStringLiteral("&Notes"));
    b.memo({}, QStringLiteral("ALB:Notes"), 100);
    b.endTab();
    b.tab(QStringLiteral("Associated &Files"));
    QLineEdit *wav = b.entry(QStringLiteral("WAV/MP3 File:"), kWavFile, QStringLiteral("@s128"));
    QPushButton *chooseWav = b.button(QStringLiteral("..."), kBrowseTip);
    chooseWav->setObjectName(QStringLiteral("ChooseWav"));
    b.newButtonRow();
    playWav_ = b.button(QStringLiteral("Play WAV file"));
    playWav_->setIcon(artworkIcon(QStringLiteral("NOTE.ICO")));
    b.newButtonRow();
    playAssociated_ = b.button(QStringLiteral("Play using associated player (Windows Explorer File Type)"));
    b.newButtonRow();
    openExplorer_ = b.button(QStringLiteral("Open using Windows Explorer"));
    QLineEdit *imageEntry = b.entry(QStringLiteral("Image:"), kImage, QStringLiteral("@s128"));
    QPushButton *chooseImage = b.button(QStringLiteral("..."), kBrowseTip);
    chooseImage->setObjectName(QStringLiteral("ChooseImage"));
    QPixmap blank(kImageWidth, kImageHeight);
    blank.fill(Qt::transparent);
    image_ = b.picture(blank);
    image_->setObjectName(QStringLiteral("Image"));
    image_->setAlignment(Qt::AlignCenter);
    b.entry(QStringLiteral("Playlist:"), QStringLiteral("ALB:PLAYLIST"), QStringLiteral("@s70"));
    b.endTab();
    b.tab(QStringLiteral("Compact &Disc"));
    b.group(QStringLiteral("TuneBank Pro CD Information"));
    readId_ = b.button(QStringLiteral("Read"));
    b.entry(QStringLiteral("CD Serial #:"), kCdIdentifier, QStringLiteral("@s24"));
    b.endGroup();
    b.group(QStringLiteral("CDDB (Internet)"));
    QLineEdit *xccd = b.entry(QStringLiteral("ID:"), kXccd, QStringLiteral("@s32"));
    lookUp_ = b.button(QStringLiteral("Get CD information from CDDB (Internet)"));
    b.endGroup();
    b.endTab();
    b.tab(QStringLiteral("&Other"));
    b.memo(QStringLiteral("Recording:"), QStringLiteral("ALB:Recording"), 40);
    b.memo(QStringLiteral("Performance:"), QStringLiteral("ALB:Performance"), 40);
    QSpinBox *rating = b.spin(QStringLiteral("Rating:"), kRating, 0, 99);
    b.endTab();
    b.button(QStringLiteral("&OK"));
    b.button(QStringLiteral("Cancel"));
    QWidget *w = b.finish();

    lookups_ = std::make_unique<LookupLists>(
        media, category, [this](const QString &f, const QVariant &v) { record().setValue(f, v); },
        LookupFields{kMedia, kCategoryID});
    // Both take back a name the list does not have, without a word.
    setCheck(media, [this] { return lookups_->checkMediaInList(controls().value(kMedia).toString()); });
    setCheck(category, [this] { return lookups_->findCategory(controls().value(kCategory).toString()); });
    setCheck(rating, [this, rating] {
        return rating->value() > 10 ? ShowStandardWarning(10, QStringLiteral("Rating"), QStringLiteral("0 and 10")) : 0;
    });
    on(wav, EventKind::Accepted, [this] { enablePlayButtons(); });
    on(chooseWav, EventKind::Accepted, [this] {
        chooseFile(kWavFile, QStringLiteral("Select WAV File"), QStringLiteral("WAV Files|*.WAV"));
    });
    on(chooseImage, EventKind::Accepted, [this] {
        chooseFile(kImage, QStringLiteral("Choose a File"), QStringLiteral("All Files|*.*"));
        showImage();
    });
    on(imageEntry, EventKind::Accepted, [this] { showImage(); });
    on(playWav_, EventKind::Accepted, [this] { playWav(); });
    on(playAssociated_, EventKind::Accepted, [this] { ShellOpenFile(QStringLiteral("play"), text(kWavFile)); });
    on(openExplorer_, EventKind::Accepted, [this] { ShellOpenFile(QStringLiteral("open"), text(kWavFile)); });
    on(readId_, EventKind::Accepted, [this] { readIdentification(); });
    on(lookUp_, EventKind::Accepted, [this] { lookUp(); });
    on(xccd, EventKind::Selected, [this] {
        if (text(kXccd).isEmpty())
            readWholeDisc();
    });
    if (QTabWidget *tabs = w->findChild<QTabWidget *>())
        on(tabs, EventKind::NewSelection, [this] { refresh(); });
    return w;
}

void AlbumForm::formOpened() {
    widget()->setWindowTitle(record().inserting() ? QStringLiteral("Adding an Album Record")
                                                  : QStringLiteral("Changing an Album Record"));
    AlbumSongMode = 1;
    GLO.Side = 1;
    if (!lookups_->fill()) {
        closeWindow();
        return;
    }
    if (text(kMedia).isEmpty() && !lookups_->mediaNames().isEmpty())
        record().setValue(kMedia, lookups_->mediaNames().first());
    showImage();
    enablePlayButtons();
    setUpTracks();
}

// The category's name of the album's identifier; blank when it has none or it is gone.
void AlbumForm::showCategory() { lookups_->showCategory(record().value(kCategoryID).toLongLong()); }

void AlbumForm::refreshDisplay() {
    showCategory();
    refreshTracks(forceReload_);
    forceReload_ = false;
}

void AlbumForm::enablePlayButtons() {
    const bool named = !text(kWavFile).isEmpty();
    for (QPushButton *b : {playWav_.data(), playAssociated_.data(), openExplorer_.data()})
        if (b)
            b->setEnabled(named);
}

void AlbumForm::chooseFile(const QString &field, const QString &title, const QString &filter) {
    const QString chosen = fileDialog(title, text(field).left(kDialogNameLength), filter);
    if (chosen.isEmpty())
        return;
    record().setValue(field, chosen);
    refresh();
    enablePlayButtons();
}

void AlbumForm::showImage() {
    if (!image_)
        return;
    const QString name = text(kImage);
    const QPixmap picture(findFileNoCase(name));
    if (name.isEmpty() || picture.isNull()) {
        image_->setPixmap(QPixmap());
        return;
    }
    image_->setPixmap(picture.scaled(kImageWidth, kImageHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

// Plays without waiting for the end; only the loading is waited for, to know whether the
// file can be played at all.
void AlbumForm::playWav() {
    const QString name = text(kWavFile);
    const QFileInfo file(findFileNoCase(name));
    bool played = false;
    if (file.isFile()) {
        if (!sound_)
            sound_ = new QSoundEffect(widget());
        sound_->stop();
        sound_->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
        for (int waited = 0; sound_ && sound_->status() == QSoundEffect::Loading && waited < kSoundLoadHundredths;
             waited += 5)
            waitTimer(5);
        played = sound_ && sound_->status() == QSoundEffect::Ready;
        if (played)
            sound_->play();
    }
    if (!played)
        message(QStringLiteral("Could not play ") + name + QLatin1Char('.'), QStringLiteral("Error"),
                MessageIcon::Exclamation, ButtonOK);
}

void AlbumForm::readIdentification() {
    const QString kept = text(kCdIdentifier);
    if (ReadCompactDisc(1, 0, record().working()) == 1)
        message(text(kCdIdentifier) != kept ? QStringLiteral("CD Identification updated.")
                                            : QStringLiteral("CD Identification not updated."),
                QStringLiteral("Process complete"), MessageIcon::Information, ButtonOK);
    redisplayAfterDisc();
}

void AlbumForm::readWholeDisc() {
    ReadCompactDisc(0, 0, record().working());
    songsTook_ = record().working();
    redisplayAfterDisc();
}

void AlbumForm::lookUp() {
    QString category = controls().value(kCategory).toString();
    setTimer(kLookupTimerHundredths);
    LookUpDiscForAlbum({*this, record().working(), category, [this] {
                            songsTook_ = record().working();
                            redisplayAfterDisc();
                        }});
    setTimer(0);
    if (tracks_ && !tracks_->empty())
        tracks_->rereadCurrent();
}

// Every control shows what the disc gave, the one with the focus too (the ID entry whose
// selection started the reading), and the track list is read again.
void AlbumForm::redisplayAfterDisc() {
    loadControls();
    forceReload_ = true;
    refresh();
}

void UpdateAlbum() {
    // An insert of a named album is a copy of it; the copy must not meet its original on the
    // unique keys.
    if ((GlobalRequest == InsertRecord || GlobalRequest == SelectRecord) && !ALB.Album.empty()) {
        ALB.Album = fit(clip(ALB.Album.str()) + QStringLiteral(" - Copy"), 50);
        ALB.CDIDENTIFIER = "";
    }
    AlbumForm().run();
}

} // namespace tbk
