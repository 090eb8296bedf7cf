// The add wizards' header: the songs' common values, primed as the song form primes a new song,
// OK's album and songs, and the closing rules.
#include "albums/addwizards.h"
#include "albums/addwizardwindow.h"
#include "cdaudio/readcompactdisc.h"
#include "core/datafiles.h"
#include "records/procedurecall.h"
#include "core/programsettings.h"
#include "core/referentialintegrity.h"
#include "core/standardwarnings.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadglobals.h"
#include "runtime/ui/windowbuilder.h"
#include "songs/lookuplists.h"
#include "songs/updatesong.h"

#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QWidget>

namespace tbk {

namespace {

const QString kArtist = QStringLiteral("MUS:Artist");
const QString kAlbum = QStringLiteral("MUS:Album");
const QString kMedia = QStringLiteral("MUS:Media");
const QString kCategory = QStringLiteral("CAT:Category");
const QString kAutoAdd = QStringLiteral("AutoAddToAlbums");

// The check box changes the setting for this wizard's run only.
void rereadAutoAddToAlbums() {
    AutoAddToAlbums = getIni(QString::fromLatin1(kSettingsSection), kAutoAdd, QStringLiteral("1"), ProgramIniFile.str());
}

data::Record blankRecord(data::DataFile &file) {
    const data::Record kept = file.record();
    file.clear();
    const data::Record blank = file.record();
    file.setRecord(kept);
    return blank;
}

void runAddWizard(AddWizardKind kind) {
    const data::Record source = MUS.record();
    AutoAddToAlbums = "1";
    if (GlobalRequest == ChangeRecord || GlobalRequest == DeleteRecord) {
        ProcedureCall call;
        ShowStandardWarningPlain(call.request() == ChangeRecord ? 20 : 21);
        rereadAutoAddToAlbums();
        return;
    }
    AddWizardWindow(kind, source).run();
}

} // namespace

AddWizardWindow::AddWizardWindow(AddWizardKind kind, data::Record source)
    : Form(kind == AddWizardKind::Compilation ? QStringLiteral("AddCompilation") : QStringLiteral("AddSingleArtist"),
           {&MUS, &MUS.KEYID, QStringLiteral("Unique Song ID"), DeleteSongRecord, UpdateSongRecord, CaptureSongLinks},
           {&AW, &ALB, &CAT, &MED}),
      kind_(kind), source_(std::move(source)),
      trackForm_(kind == AddWizardKind::Compilation ? UpdateAddWizard : UpdateAddWizardNoArtist) {
    setKeepsPlace(!compilation());
}

AddWizardWindow::~AddWizardWindow() = default;

QWidget *AddWizardWindow::createForm() {
    WindowBuilder b(*this, compilation() ? QStringLiteral("Add Compilation") : QStringLiteral("Add Album by Single Artist"),
                    {320, 170});
    b.tab(QStringLiteral("&General"));
    if (compilation()) {
        b.entry(QStringLiteral("&Compilation Name:"), kAlbum, QStringLiteral("@s50"));
    } else {
        b.entry(QStringLiteral("&Artist:"), kArtist, QStringLiteral("@s50"));
        b.entry(QStringLiteral("A&lbum:"), kAlbum, QStringLiteral("@s50"));
    }
    b.entry(QStringLiteral("&Release Date:"), QStringLiteral("MUS:ReleaseDate"), QStringLiteral("@d17b"));
    b.entry(QStringLiteral("&File Number:"), QStringLiteral("MUS:FileNumber"), QStringLiteral("@s20"));
    QComboBox *category = b.lookup(QStringLiteral("&Category:"), kCategory, QStringLiteral("@s30"));
    QComboBox *media = b.lookup(QStringLiteral("&Media:"), kMedia, QStringLiteral("@s20"));
    b.endTab();
    b.tab(QStringLiteral("&Songs"));
    buildTracks(b);
    b.endTab();
    b.check(QStringLiteral("Add Information to Album Database"), kAutoAdd);
    readCd_ = b.button(QStringLiteral("&Read Compact Disc Information"));
    editAll_ = b.button(QStringLiteral("Edit All Son&gs"));
    b.button(QStringLiteral("&OK"));
    b.button(QStringLiteral("Cancel"));
    QWidget *w = b.finish();
    tabs_ = w->findChild<QTabWidget *>();

    lookups_ = std::make_unique<LookupLists>(media, category, [this](const QString &f, const QVariant &v) {
        record().setValue(f, v);
    });
    setCheck(media, [this] { return checkMedia(); });
    setCheck(category, [this] { return checkCategory(); });
    on(tabs_, EventKind::NewSelection, [this] { refresh(); });
    return w;
}

void AddWizardWindow::primeFields() { MUS.Media = "CD"; }

void AddWizardWindow::primeFurther() { MUS.TrackNumber = nextTrackNumber(); }

// A copy takes its original's values; a wizard called without a request starts from a blank
// song, not from what another window left in the shared buffer, which every song would take.
void AddWizardWindow::startHeader() {
    data::Record &header = record().working();
    if (record().copying()) {
        const size_t keep[] = {size_t(MUS.ID.index()), size_t(MUS.Notes.index())};
        for (size_t i = 0; i < header.cells.size() && i < source_.cells.size(); ++i)
            if (i != keep[0] && i != keep[1])
                header.cells[i] = source_.cells[i];
        header.cells[keep[1]] = {};
    } else if (record().entryRequest() == 0) {
        header = blankRecord(MUS);
    }
    if (record().inserting() && record().value(kMedia).toString().isEmpty())
        record().setValue(kMedia, QStringLiteral("CD"));
}

void AddWizardWindow::formOpened() {
    widget()->setWindowTitle(compilation() ? QStringLiteral("Add Compilation")
                                           : QStringLiteral("Add Album by Single Artist"));
    instance_ = currentThreadNumber();
    threadGlobals().ThreadInstance = instance_;
    startHeader();
    if (!lookups_->fill()) {
        closeWindow();
        return;
    }
    if (!compilation() && record().value(kMedia).toString().isEmpty())
        record().setValue(kMedia, lookups_->mediaNames().value(0));
    controls().setValue(kAutoAdd, 1);
    on(controls().control(kAutoAdd), EventKind::Accepted, [this] {
        AutoAddToAlbums = controls().value(kAutoAdd).toInt() != 0 ? "1" : "";
    });
    on(controls().control(QStringLiteral("OK")), EventKind::Accepted, [this] { writeAlbum(); });
    on(controls().control(QStringLiteral("Cancel")), EventKind::Accepted, [this] { cancelWizard(); });
    on(readCd_, EventKind::Accepted, [this] { readCompactDisc(); });
    setUpTracks();
    if (tabs_)
        tabs_->setCurrentIndex(0);
}

int AddWizardWindow::checkMedia() {
    const QString name = controls().value(kMedia).toString();
    // The compilation's media is one of the list's or none, and it says nothing.
    return compilation() ? lookups_->checkMediaInList(name) : lookups_->checkMedia(name);
}

int AddWizardWindow::checkCategory() { return lookups_->checkCategory(controls().value(kCategory).toString()); }

void AddWizardWindow::refreshDisplay() {
    lookups_->showCategory(record().value(QStringLiteral("MUS:CategoryID")).toLongLong());
    refreshTracks(forceReload_);
    forceReload_ = false;
}

void AddWizardWindow::readCompactDisc() {
    takeCurrentRow();
    // The rows' artist comes from the album the reading is given: a blank one ("Various"), not
    // whatever album another window left in the shared buffer.
    data::Record album = blankRecord(ALB);
    if (ReadCompactDisc(0, 1, album) != 1)
        return;
    withAlbumBuffer(album, [this] { discSerial_ = ALB.CDIDENTIFIER.str(); });
    forceReload_ = true;
    refresh();
}

void AddWizardWindow::writeAlbum() {
    if (!takePendingEdits())
        return;
    takeCurrentRow();
    const data::Record header = record().working();
    const qint32 album = AddWizardAlbumStep(header, kind_, discSerial_, !AutoAddToAlbums.empty());
    AddWizardWriteSongs(header, kind_, album, instance_);
    // The header is never kept: closing removes it as a cancelled insert, without a question.
    record().cancel();
    closeWindow();
}

void AddWizardWindow::cancelWizard() {
    if (record().inserting()) {
        takePendingEdits();
        if (!record().working().sameValues(record().savedImage()) && ShowStandardWarningPlain(23) != ButtonYes) {
            if (tabs_)
                tabs_->setCurrentIndex(0);
            selectFirstField();
            return;
        }
    }
    record().cancel();
    closeWindow();
}

void AddWizardWindow::takeEvent(const Event &e) {
    if (e.kind == EventKind::CloseWindow || (e.kind == EventKind::AlertKey && e.key == Qt::Key_Escape)) {
        cancelWizard();
        return;
    }
    Form::takeEvent(e);
}

void AddWizardWindow::closeRoutine() {
    rereadAutoAddToAlbums();
    tracks_.reset();
    Form::closeRoutine();
}

void AddSingleArtist() { runAddWizard(AddWizardKind::SingleArtist); }

void AddCompilation() { runAddWizard(AddWizardKind::Compilation); }

} // namespace tbk
