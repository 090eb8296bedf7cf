#include "songs/updatesong.h"

#include "core/albumdata.h"
#include "core/datafiles.h"
#include "records/form.h"
#include "records/procedurecall.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "core/referentialintegrity.h"
#include "core/standardwarnings.h"
#include "runtime/data/errors.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/ui/windowbuilder.h"
#include "runtime/values/dates.h"
#include "runtime/values/picture.h"
#include "songs/lookuplists.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <memory>
#include <utility>
#include <vector>

namespace tbk {

quint8 AlbumSongMode = 0;
FixedString<20> EditLoopStatus;

namespace {

using data::Record;

std::function<QString()> &addModeChooser() {
    static std::function<QString()> chooser;
    return chooser;
}

const QString kArtist = QStringLiteral("MUS:Artist");
const QString kTitle = QStringLiteral("MUS:Title");
const QString kAlbum = QStringLiteral("MUS:Album");
const QString kMedia = QStringLiteral("MUS:Media");
const QString kTime = QStringLiteral("MUS:Time");
const QString kFileNumber = QStringLiteral("MUS:FileNumber");
const QString kReleaseDate = QStringLiteral("MUS:ReleaseDate");
const QString kCategoryID = QStringLiteral("MUS:CategoryID");
const QString kCategory = QStringLiteral("CAT:Category");
const QString kTrack = QStringLiteral("MUS:TrackNumber");
const QString kSide = QStringLiteral("MUS:Side");
const QString kChart = QStringLiteral("MUS:ChartNumber");
const QString kRating = QStringLiteral("MUS:Rating");
const QString kNotes = QStringLiteral("MUS:Notes");
const QString kAlbumID = QStringLiteral("MUS:AlbumID");
const QString kUserKey = QStringLiteral("MUS:UserDefinedKeyField");
const QString kDefaultButton = QStringLiteral("Default with Album Information");

// A wizard that takes the new song over; false when it is not there yet.
bool runWizard(const char *name) {
    const Procedure wizard = findProcedure(QString::fromLatin1(name));
    if (!wizard)
        return false;
    wizard();
    return true;
}

// The add-mode setting's hand-over of an insert to a wizard; true when a wizard ran.
bool divertedToWizard() {
    QString letter = AddMode.str().left(1).toUpper();
    if (letter == QLatin1String("A")) {
        const bool blank = MUS.Title.empty() && MUS.Artist.empty() && MUS.FileNumber.empty() && MUS.Album.empty();
        if (!blank || !addModeChooser())
            return false;
        letter = addModeChooser()().left(1).toUpper();
    }
    if (letter == QLatin1String("C"))
        return runWizard("AddCompilation");
    if (letter == QLatin1String("S"))
        return runWizard("AddSingleArtist");
    return false;
}

// The album data a new song of an album window takes, on the songs buffer.
void primeFromAlbum() {
    if (AlbumSongMode == 0)
        return;
    MUS.FileNumber = ALB.FileNumber.str();
    MUS.Album = ALB.Album.str();
    MUS.Artist = ALB.Artist.str();
    MUS.ReleaseDate = ALB.ReleaseDate.value();
    MUS.AlbumID = ALB.AlbumID.value();
    MUS.Side = GLO.Side;
}

class SongForm : public Form {
public:
    explicit SongForm(Record source)
        : Form(QStringLiteral("UpdateSong"),
               {&MUS, &MUS.KEYID, QStringLiteral("Unique Song ID"), DeleteSongRecord, UpdateSongRecord,
                CaptureSongLinks},
               {&ALB, &CAT, &MED}),
          source_(std::move(source)) {}

protected:
    QWidget *createForm() override;
    void primeFields() override {
        MUS.Media = "CD";
        primeFromAlbum();
    }
    void primeFurther() override {
        MUS.TrackNumber = nextTrackNumber();
        primeFromAlbum();
    }
    void formOpened() override;
    void refreshDisplay() override { showCategory(); }

private:
    QWidget *field(const QString &name) { return controls().control(name); }
    QString text(const QString &f) { return record().value(f).toString(); }
    qint64 number(const QString &f) { return record().value(f).toLongLong(); }
    void afterPriming();
    void copyAlbumData();
    void showCategory();
    int checkMedia();
    int checkCategory();
    int checkRange(const QString &f, int highest, const QString &name);
    bool linkAlbum();
    void songOk();
    void chooseAlbum();

    Record source_;
    std::unique_ptr<LookupLists> lookups_;
};

QWidget *SongForm::createForm() {
    WindowBuilder b(*this, QStringLiteral("Update the TuneBank Database"), {360, 200});
    b.tab(QStringLiteral("&General"));
    b.entry(QStringLiteral("&Artist:"), kArtist, QStringLiteral("@s50"));
    b.entry(QStringLiteral("&Title:"), kTitle, QStringLiteral("@s50"));
    b.entry(QStringLiteral("A&lbum:"), kAlbum, QStringLiteral("@s50"));
    QComboBox *media = b.lookup(QStringLiteral("&Media:"), kMedia, QStringLiteral("@s20"));
    QWidget *time = b.entry(QStringLiteral("T&ime:"), kTime, QStringLiteral("@t4b"));
    b.entry(QStringLiteral("&File Number:"), kFileNumber, QStringLiteral("@s20"));
    b.entry(QStringLiteral("&Release Date:"), kReleaseDate, QStringLiteral("@d17b"));
    QComboBox *category = b.lookup(QStringLiteral("Cate&gory:"), kCategory, QStringLiteral("@s30"));
    QSpinBox *track = b.spin(QStringLiteral("Trac&k Number:"), kTrack, 0, 255);
    b.entry(QStringLiteral("Si&de/Disc:"), kSide, QStringLiteral("@n2b"));
    b.column();
    b.entry(QStringLiteral("&Beats Per Minute:"), QStringLiteral("MUS:BeatsPerMinute"), QStringLiteral("@n_4b"));
    QWidget *chart = b.entry(QStringLiteral("Highest Chart Number:"), kChart, QStringLiteral("@n3b"));
    b.entry(QStringLiteral("Mi&x:"), QStringLiteral("MUS:Mix"), QStringLiteral("@s30"),
            QStringLiteral("Mix or version specific information"));
    b.entry(QStringLiteral("St&yle:"), QStringLiteral("MUS:Style"), QStringLiteral("@s30"));
    QWidget *rating = b.entry(QStringLiteral("Rati&ng:"), kRating, QStringLiteral("@n2b"));
    b.entry(QStringLiteral("In/O&ut:"), QStringLiteral("MUS:InOut"), QStringLiteral("@s20"));
    b.check(QStringLiteral("Ski&ps"), QStringLiteral("MUS:Skips"));
    b.check(QStringLiteral("Do &Not Play"), QStringLiteral("MUS:DoNotPlay"));
    b.check(QStringLiteral("Li&ve"), QStringLiteral("MUS:Live"));
    b.option(QStringLiteral("Type of Ending"), QStringLiteral("MUS:EndType"),
             {QStringLiteral("Slow"), QStringLiteral("Fast"), QStringLiteral("Abrupt")});
    b.endTab();
    b.tab(QStringLiteral("Recording/Performance"));
    b.memo(QStringLiteral("Recording Information:"), QStringLiteral("MUS:Recording"), 40,
           QStringLiteral("Recording Information (Engineer, Producer, Etc)"));
    b.entry(QStringLiteral("Composer:"), QStringLiteral("MUS:Composer"), QStringLiteral("@s80"));
    b.memo(QStringLiteral("Performance Notes:"), QStringLiteral("MUS:PerformanceNotes"), 40);
    b.endTab();
    b.tab(QStringLiteral("Custom"));
    b.entry(QStringLiteral("User Defined Key Field:"), kUserKey, QStringLiteral("@s30"),
            QStringLiteral("See File/Preferences/Customization to label this field to suit your needs"));
    for (int i = 1; i <= 3; ++i)
        b.entry(QStringLiteral("Additional Information %1:").arg(i),
                QStringLiteral("MUS:AdditionalInformation%1").arg(i), QStringLiteral("@s80"));
    b.endTab();
    b.tab(QStringLiteral("&Notes"));
    b.memo(QStringLiteral("Notes:"), kNotes, 100);
    b.endTab();
    b.button(QStringLiteral("Default with Album Information"));
    b.button(QStringLiteral("&OK"));
    b.button(QStringLiteral("Cancel"));
    QWidget *w = b.finish();

    lookups_ = std::make_unique<LookupLists>(media, category, [this](const QString &f, const QVariant &v) {
        record().setValue(f, v);
    });
    setCheck(media, [this] { return checkMedia(); });
    if (auto *entry = qobject_cast<PicturedField *>(FieldControl::of(time)))
        entry->setTypedText(shortTimeText);
    setCheck(category, [this] { return checkCategory(); });
    setCheck(track, [this] { return checkRange(kTrack, 99, QStringLiteral("Track")); });
    setCheck(chart, [this] { return checkRange(kChart, 100, QStringLiteral("Chart")); });
    setCheck(rating, [this] { return checkRange(kRating, 10, QStringLiteral("MUS:Rating")); });
    return w;
}

void SongForm::formOpened() {
    EditLoopStatus = "";
    if (!lookups_->fill()) {
        closeWindow();
        return;
    }
    if (record().inserting())
        afterPriming();
    if (!UDKPrompt.empty())
        if (QLabel *prompt = promptOf(field(kUserKey)))
            prompt->setText(clip(UDKPrompt.str()) + QLatin1Char(':'));
    if (AlbumSongMode != 0) {
        field(kDefaultButton)->setVisible(false);
        field(kAlbum)->setEnabled(false);
        field(kMedia)->setEnabled(false);
        if (AlbumSongMode == 2) {
            record().setValue(kArtist, ALB.Artist.str());
            field(kArtist)->setEnabled(false);
        }
    }
    if (text(kMedia).isEmpty())
        record().setValue(kMedia, lookups_->mediaNames().value(0));

    QObject *ok = field(QStringLiteral("OK"));
    on(ok, EventKind::Accepted, [this] { songOk(); });
    on(field(QStringLiteral("Cancel")), EventKind::Accepted, [this] {
        EditLoopStatus = "Cancel";
        cancelPressed();
    });
    on(field(kDefaultButton), EventKind::Accepted, [this] { chooseAlbum(); });
}

void SongForm::afterPriming() {
    if (record().copying()) {
        // The copy keeps everything of its source but the new identifier.
        const size_t id = size_t(MUS.ID.index());
        Record &w = record().working();
        for (size_t i = 0; i < w.cells.size() && i < source_.cells.size(); ++i)
            if (i != id)
                w.cells[i] = source_.cells[i];
    }
    if (text(kMedia).isEmpty())
        record().setValue(kMedia, QStringLiteral("CD"));
    if (AlbumSongMode != 0)
        copyAlbumData();
}

void SongForm::copyAlbumData() {
    const bool always = record().inserting() && !record().copying();
    const Record kept = MUS.record();
    record().toBuffer();
    takeFromAlbum(MUS.Notes, ALB.Notes, always);
    takeAlbumData(always, nullptr, true);
    MUS.AlbumID = ALB.AlbumID.value();
    MUS.Side = GLO.Side;
    record().fromBuffer();
    MUS.setRecord(kept);
    loadControls();
    showCategory();
}

void SongForm::showCategory() { lookups_->showCategory(number(kCategoryID)); }

int SongForm::checkMedia() { return lookups_->checkMedia(controls().value(kMedia).toString()); }

int SongForm::checkCategory() { return lookups_->checkCategory(controls().value(kCategory).toString()); }

int SongForm::checkRange(const QString &f, int highest, const QString &name) {
    const qint64 v = controls().value(f).toLongLong();
    if (v >= 0 && v <= highest)
        return 0;
    return ShowStandardWarning(10, name, QStringLiteral("0 and %1").arg(highest));
}

// Links a song without album to the album of its artist and title, adding that album when
// there is none. A song without either makes no album: the album key leaves such an album
// out, so every OK would add another.
bool SongForm::linkAlbum() {
    if (AutoAddToAlbums.empty() || number(kAlbumID) != 0)
        return true;
    const QString artist = text(kArtist);
    const QString album = text(kAlbum);
    if (artist.isEmpty() && album.isEmpty())
        return true;
    const Record kept = ALB.record();
    ALB.clear();
    ALB.Artist = artist;
    ALB.Album = album;
    bool linked = ALB.get(ALB.KEYALBUM);
    if (!linked) {
        qint32 last = 0;
        ALB.set(ALB.KEYALBUMID);
        if (ALB.previous())
            last = ALB.AlbumID.value();
        ALB.clear();
        ALB.AlbumID = last + 1;
        ALB.Notes = text(kNotes);
        ALB.FileNumber = text(kFileNumber);
        ALB.Artist = artist;
        ALB.Album = album;
        ALB.Media = text(kMedia);
        ALB.ReleaseDate = number(kReleaseDate);
        ALB.CategoryID = number(kCategoryID);
        linked = ALB.add();
        // Titled after what the user asked of the song: the album is only on its way.
        if (!linked)
            message(QStringLiteral("Unable to add album - ") + errorDescription(currentError()),
                    record().inserting() ? QStringLiteral("Record Insert Error") : QStringLiteral("Record Update Error"),
                    MessageIcon::Exclamation, ButtonOK);
    }
    if (linked)
        record().setValue(kAlbumID, ALB.AlbumID.value());
    ALB.setRecord(kept);
    return linked;
}

void SongForm::songOk() {
    // What the user left in the focused control counts for the album link as for the checks.
    if (!takePendingEdits())
        return;
    EditLoopStatus = "OK";
    if (!linkAlbum())
        return;
    okPressed();
}

void SongForm::chooseAlbum() {
    const Procedure picker = findProcedure(QStringLiteral("SelectAlbum"));
    if (!picker)
        return;
    if (callWithRequest(SelectRecord, picker) == RequestCompleted)
        copyAlbumData();
}

} // namespace

void setAddModeChooser(std::function<QString()> chooser) { addModeChooser() = std::move(chooser); }

qint32 nextTrackNumber() {
    const qint32 album = MUS.AlbumID;
    const quint8 side = MUS.Side;
    const Record kept = MUS.record();
    MUS.TrackNumber = 255;
    MUS.setFromBuffer(MUS.KeyAlbumID);
    qint32 track = 1;
    if (MUS.previous() && MUS.AlbumID.value() == album && MUS.Side.value() == side)
        track = MUS.TrackNumber.value() + 1;
    MUS.setRecord(kept);
    return track;
}

void UpdateSong() {
    if (MUS.Media.empty())
        MUS.Media = "CD";
    const Record source = MUS.record();
    if (GlobalRequest == InsertRecord && AlbumSongMode == 0 && divertedToWizard()) {
        ProcedureCall ended;   // takes what is left of the request; answers cancelled
        return;
    }
    SongForm(source).run();
}

} // namespace tbk
