// The album form's Songs tab: the album's songs in side and track order on the browse engine,
// and what keeps that order.
#include "albums/albumdisc.h"
#include "albums/albumform.h"
#include "cdaudio/mcicommand.h"
#include "core/artwork.h"
#include "core/datafiles.h"
#include "core/listformats.h"
#include "core/programsettings.h"
#include "core/sequencemover.h"
#include "core/smallservices.h"
#include "runtime/data/errors.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/messagebox.h"
#include "runtime/ui/dragdrop.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/listformat.h"
#include "runtime/ui/windowbuilder.h"
#include "runtime/ui/windowevents.h"
#include "runtime/values/text.h"
#include "songs/browsesongs.h"
#include "songs/editloop.h"
#include "songs/selectfilenumber.h"
#include "songs/updatesong.h"

#include <QPushButton>
#include <QSpinBox>

namespace tbk {

namespace {

const QString kProcedure = QStringLiteral("UpdateAlbum");
const QString kListName = QStringLiteral("Browse:2");
const QString kFormat = QStringLiteral(
    "[10L|@p(<)p@24L(1)|M@n3@](25)|M~Track~80L(2)|M~Artist~@s30@80L(2)|M~Title~@s30@23L(1)|M~Time~L(2)@s8@"
    "39L(2)|M~Media~@s20@48L(2)|M~File Number~L(0)@s20@46R(2)|M~Release Date~C(0)@d2@19R(2)|M~BPM~R(0)@n_4b@"
    "80L(2)|M~In/Out~L(0)@s20@");
// The song's identifier rides along after the shown columns, for a drag.
constexpr size_t kIdValue = 10;

std::vector<QVariant> trackRow() {
    FormatReportSongTime(0, 1);
    return {MUS.Side.value(),         MUS.TrackNumber.value(), MUS.Artist.str(),     FormatSongTitle().left(50),
            SongTimeText.str(),       MUS.Media.str(),         MUS.FileNumber.str(), MUS.ReleaseDate.value(),
            MUS.BeatsPerMinute.value(), MUS.InOut.str(),       MUS.ID.value(),       MUS.AlbumID.value()};
}

void showError(const QString &text) {
    message(text, QStringLiteral("Error"), MessageIcon::Exclamation, ButtonOK);
}

} // namespace

void AlbumForm::buildTracks(WindowBuilder &b) {
    trackList_ = b.list(kListName, kFormat, 110);
    // The list, not the buttons beside it, takes the tab's width.
    trackList_->setMinimumWidth(480);
    b.column();
    tb_.add = b.button(QStringLiteral("&Add"));
    b.newButtonRow();
    tb_.copy = b.button(QStringLiteral("Cop&y"), QStringLiteral("Copy record"));
    b.newButtonRow();
    tb_.change = b.button(QStringLiteral("&Change"));
    b.newButtonRow();
    tb_.remove = b.button(QStringLiteral("&Delete"));
    b.newButtonRow();
    tb_.editAll = b.button(QStringLiteral("Edit All Son&gs"));
    b.newButtonRow();
    const MoveButtons moves = moveButtons(b);
    tb_.up = moves.up;
    tb_.top = moves.top;
    tb_.down = moves.down;
    tb_.bottom = moves.bottom;
    b.newButtonRow();
    tb_.readCd = b.button(QStringLiteral("Read CD &Information"));
    tb_.readCd->setIcon(artworkIcon(QStringLiteral("Note.ico")));
    side_ = b.spin(QStringLiteral("Side/Disc:"), QStringLiteral("GLO:Side"), 1, 19);
    b.newButtonRow();
    tb_.reassign = b.button(QStringLiteral("Re-assign Songs"));
}

void AlbumForm::setUpTracks() {
    tracks_ = std::make_unique<BrowseList>(trackList_, MUS, trackRow, QStringLiteral("BRW2"));
    tracks_->addSortOrder({&MUS.KeyAlbumID, QStringLiteral("MUS:AlbumID = BRW2::Sort0:Reset:ALB:AlbumID"),
                           {{QStringLiteral("ALB:AlbumID"), QStringLiteral("MUS:AlbumID")}}, LocatorKind::FirstLetter,
                           1, {1, 0, 0}});
    tracks_->setOnChange([this] { trackListChanged(); });
    const QString design = replaceDatePictures(trackList_->format(), DateFormat.str());
    trackList_->setFormat(restoreListFormat(kProcedure, kListName, design));
    if (record().inserting())
        taken_.start(albumID());

    holdList({tracks_.get(),
              tb_.add,
              tb_.change,
              tb_.remove,
              {{QStringLiteral("&Add"), tb_.add},
               {QStringLiteral("&Change"), tb_.change},
               {QStringLiteral("&Delete"), tb_.remove},
               {},
               {QStringLiteral("Cop&y"), tb_.copy}},
              [this](QPushButton *b) { pressTrackButton(b); }});
    on(trackList_, EventKind::Drop, [this](const Event &e) { dropSong(e.text); });
    makeDragSource(trackList_, QString::fromLatin1(kSongsDrag), [this](QPoint at) { return dragValue(at); });
    acceptDrops(trackList_, {QString::fromLatin1(kSongsDrag)});

    for (QPushButton *b : {tb_.add, tb_.copy, tb_.change, tb_.remove, tb_.editAll, tb_.up, tb_.top, tb_.down,
                           tb_.bottom, tb_.reassign})
        on(b, EventKind::Accepted, [this, b] { pressTrackButton(b); });
    on(tb_.readCd, EventKind::Accepted, [this] { readCdInformation(); });
    tb_.readCd->setEnabled(bool(albumDiscReading().readCompactDisc));
    side_->setValue(GLO.Side);
    on(side_, EventKind::Accepted, [this] { GLO.Side = quint8(side_->value()); });
}

void AlbumForm::albumToBuffer() { record().toBuffer(); }

void AlbumForm::refreshTracks(bool force) {
    if (!tracks_ || closing())
        return;
    albumToBuffer();
    tracks_->refresh(0, force);
}

void AlbumForm::trackListChanged() {
    if (tracks_->failed()) {
        closeWindow();
        return;
    }
    const bool rows = !tracks_->empty();
    for (QPushButton *b : {tb_.copy, tb_.change, tb_.remove})
        b->setEnabled(rows);
}

void AlbumForm::pressTrackButton(QPushButton *button) {
    if (!button || !button->isEnabled() || !tracks_)
        return;
    if (button == tb_.add)
        addSong();
    else if (button == tb_.copy)
        copySong();
    else if (button == tb_.change)
        changeSong();
    else if (button == tb_.remove)
        deleteSong();
    else if (button == tb_.editAll)
        editAllSongs();
    else if (button == tb_.up)
        moveSong(1);
    else if (button == tb_.down)
        moveSong(2);
    else if (button == tb_.top)
        moveSong(3);
    else if (button == tb_.bottom)
        moveSong(4);
    else if (button == tb_.reassign)
        reassignSongs();
}

ListFormCall AlbumForm::callSongForm(qint32 request, bool primed) {
    AlbumSongMode = 1;
    albumToBuffer();
    return callListForm(*tracks_, request, UpdateSong, primed);
}

void AlbumForm::afterSongCall(const ListFormCall &call) {
    if (tracks_->failed())
        return;
    reloadAfterForm(*tracks_, call);
    refresh();
    trackList_->setFocus();
}

void AlbumForm::addSong() {
    bool highlighted = false;
    qint32 h = 0;
    quint8 side = 0;
    if (!tracks_->empty()) {
        if (!tracks_->rereadCurrent())
            return;
        highlighted = true;
        h = MUS.TrackNumber.value();
        side = MUS.Side.value();
    }
    const ListFormCall call = callSongForm(InsertRecord, false);
    // A new song on another side than the highlighted one stays where its side puts it: the
    // highlighted number says nothing of that side's order.
    if (call.response == RequestCompleted && call.request == InsertRecord && highlighted &&
        MUS.Side.value() == side && MUS.TrackNumber.value() != h + 1)
        insertAfter(MUS.ID.value(), h);
    afterSongCall(call);
}

void AlbumForm::copySong() {
    if (!tracks_->rereadCurrent())
        return;
    afterSongCall(callSongForm(InsertRecord, true));
}

void AlbumForm::changeSong() { afterSongCall(callSongForm(ChangeRecord, false)); }

void AlbumForm::deleteSong() {
    if (!tracks_->rereadCurrent())
        return;
    const qint32 d = MUS.TrackNumber.value();
    const quint8 side = MUS.Side.value();
    const ListFormCall call = callSongForm(DeleteRecord, false);
    if (call.response == RequestCompleted && d > 0)
        renumberFrom(side, d);
    afterSongCall(call);
}

void AlbumForm::readCdInformation() {
    const AlbumDiscReading &disc = albumDiscReading();
    if (!disc.readCompactDisc)
        return;
    if (!tracks_->empty())
        tracks_->rereadCurrent();
    albumToBuffer();
    if (disc.readCompactDisc(0, 0) == 1 && disc.computeDiscId) {
        qint32 length = 0;
        const QString id = disc.computeDiscId(length);
        ALB.XCCD = id;
        ALB.TOTALTIME = length;
    }
    record().fromBuffer();
    forceReload_ = true;
    refresh();
}

void AlbumForm::reassignSongs() {
    const QString fileNumber = text(QStringLiteral("ALB:FileNumber"));
    if (fileNumber.isEmpty()) {
        chooseOneSong();
    } else {
        const QString media = text(QStringLiteral("ALB:Media"));
        const int answer =
            message(QStringLiteral("Do you want to assign all songs with file number \"%1\" and media type \"%2\" to "
                                   "this album?")
                        .arg(clip(fileNumber), clip(media)),
                    QStringLiteral("Assign Songs To Album"), MessageIcon::Question, ButtonYes | ButtonNo | ButtonCancel,
                    ButtonNo);
        if (answer == ButtonNo) {
            chooseOneSong();
        } else if (answer == ButtonYes) {
            const AssignResult r = assignSongsByMedia(albumID(), media, fileNumber,
                                                      [this](qint32 id, qint32 former) { taken_.moved(id, former); });
            const auto [caption, text] = assignMessage(r);
            message(text, caption, r.assigned > 0 ? MessageIcon::Information : MessageIcon::Exclamation, ButtonOK);
        }
    }
    forceReload_ = true;
    refresh();
}

// One song chosen by its file number joins the album; false when none was chosen or written.
bool AlbumForm::chooseOneSong() {
    if (!tracks_->empty())
        tracks_->rereadCurrent();
    if (callWithRequest(SelectRecord, SelectFileNumber) != RequestCompleted)
        return false;
    const qint32 former = MUS.AlbumID.value();
    MUS.AlbumID = albumID();
    if (!MUS.put()) {
        showError(QStringLiteral("Error updating song database - ") + data::errorText());
        return false;
    }
    if (former != albumID())
        taken_.moved(MUS.ID.value(), former);
    return true;
}

void AlbumForm::dropSong(const QString &value) {
    bool number = false;
    const qint32 id = value.toInt(&number);
    if (!number)
        return;
    const qint32 copy = copySongIntoAlbum(id, albumID());
    if (copy < 0)
        showError(QStringLiteral("Error updating song database - ") + data::errorText());
    if (copy > 0)
        tracks_->reload(MUS.position());
    trackList_->setFocus();
}

QString AlbumForm::dragValue(QPoint at) const {
    const int row = trackList_->indexAt(trackList_->viewport()->mapFrom(trackList_, at)).row();
    if (row < 0 || row >= tracks_->rowCount())
        return {};
    return tracks_->reader().rows()[size_t(row)].values[kIdValue].toString();
}

void AlbumForm::closeRoutine() {
    if (record().inserting() && record().response() != RequestCompleted && !taken_.giveBack())
        showError(QStringLiteral("Error updating song database - ") + data::errorText());
    if (tracks_ && trackList_)
        saveListFormat(kProcedure, kListName, trackList_->format());
    tracks_.reset();
    Form::closeRoutine();
}

void AlbumForm::moveSong(int mode) {
    if (tracks_->empty() || !tracks_->rereadCurrent())
        return;
    const data::Position song = MUS.position();
    SequenceMover(albumTracks()).move(song, MoveMode(mode));
    tracks_->reload(song);
    trackList_->setFocus();
}

void AlbumForm::insertAfter(qint32 songID, qint32 h) {
    MUS.clear();
    MUS.ID = songID;
    if (MUS.get(MUS.KEYID))
        SequenceMover(albumTracks()).move(MUS.position(), MoveMode::InsertAfter, h);
}

void AlbumForm::renumberFrom(quint8 side, qint32 d) {
    MUS.clear();
    MUS.AlbumID = albumID();
    MUS.Side = side;
    SequenceMover(albumTracks()).renumber(MUS.record(), d);
}

void AlbumForm::editAllSongs() {
    if (!tracks_->empty())
        tracks_->rereadCurrent();
    const data::Position current = MUS.position();
    // The album's songs as they stand now: a song the form moves to another side or number is
    // not met again.
    std::vector<data::Position> songs;
    const qint32 album = albumID();
    MUS.clear();
    MUS.AlbumID = album;
    MUS.setFromBuffer(MUS.KeyAlbumID);
    while (MUS.next() && MUS.AlbumID.value() == album)
        songs.push_back(MUS.position());
    size_t next = 0;
    editAll(
        MUS,
        [&] {
            while (next < songs.size())
                if (MUS.get(songs[next++]))
                    return true;
            return false;
        },
        [this] {
            AlbumSongMode = 1;
            albumToBuffer();
            UpdateSong();
        });
    tracks_->reload(current);
    trackList_->setFocus();
    refresh();
}

} // namespace tbk
