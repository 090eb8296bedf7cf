// The album form's Songs tab: the album's songs in side and track order on the browse engine,
// and what keeps that order.
#include "albums/albumform.h"
#include "cdaudio/mcicommand.h"
#include "cdaudio/readcompactdisc.h"
#include "core/artwork.h"
#include "core/datafiles.h"
#include "records/listformats.h"
#include "records/movebuttons.h"
#include "core/programsettings.h"
#include "core/smallservices.h"
#include "runtime/data/errors.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/messagebox.h"
#include "runtime/ui/dragdrop.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/listformat.h"
#include "runtime/ui/windowbuilder.h"
#include "runtime/values/text.h"
#include "songs/browsesongs.h"
#include "songs/selectfilenumber.h"
#include "songs/updatesong.h"

#include <QPushButton>
#include <QSpinBox>

namespace tbk {

namespace {

const QString kProcedure = QStringLiteral("UpdateAlbum");
const QString kListName = QStringLiteral("Browse:2");
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

QString albumTrackListFormat() {
    return QStringLiteral(
        "[10L|@p(<)p@24L(1)|M@n3@](25)|M~Track~80L(2)|M~Artist~@s30@80L(2)|M~Title~@s30@23L(1)|M~Time~L(2)@s8@"
        "39L(2)|M~Media~@s20@48L(2)|M~File Number~L(0)@s20@46R(2)|M~Release Date~C(0)@d2@19R(2)|M~BPM~R(0)@n_4b@"
        "80L(2)|M~In/Out~L(0)@s20@");
}

void AlbumForm::buildTracks(WindowBuilder &b) {
    trackList_ = b.list(kListName, albumTrackListFormat(), 110);
    // The list, not the buttons beside it, takes the tab's width.
    trackList_->setMinimumWidth(480);
    b.column();
    tb_ = buildSongButtons(b, QStringLiteral("&Add"), QStringLiteral("Cop&y"), QStringLiteral("&Change"),
                           QStringLiteral("&Delete"));
    b.newButtonRow();
    readCd_ = b.button(QStringLiteral("Read CD &Information"));
    readCd_->setIcon(artworkIcon(QStringLiteral("Note.ico")));
    side_ = b.spin(QStringLiteral("Side/Disc:"), QStringLiteral("GLO:Side"), 1, 19);
    b.newButtonRow();
    reassign_ = b.button(QStringLiteral("Re-assign Songs"));
}

void AlbumForm::setUpTracks() {
    tracks_ = makeAlbumSongList(trackList_, trackRow);
    songList_ = std::make_unique<AlbumSongList>(*tracks_, tb_,
                                                AlbumSongList::Owner{[this] {
                                                                         AlbumSongMode = 1;
                                                                         albumToBuffer();
                                                                     },
                                                                     [this] { refresh(); }});
    tracks_->setOnChange([this] { trackListChanged(); });
    const QString design = replaceDatePictures(trackList_->format(), DateFormat.str());
    trackList_->setFormat(restoreListFormat(kProcedure, kListName, design));
    if (record().inserting())
        taken_.start(albumID());

    holdList(songList_->held());
    on(trackList_, EventKind::Drop, [this](const Event &e) { dropSong(e.text); });
    makeDragSource(trackList_, QString::fromLatin1(kSongsDrag), [this](QPoint at) { return dragValue(at); });
    acceptDrops(trackList_, {QString::fromLatin1(kSongsDrag)});

    on(reassign_, EventKind::Accepted, [this] { reassignSongs(); });
    on(readCd_, EventKind::Accepted, [this] { readCdInformation(); });
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
    if (!songList_->changed())
        closeWindow();
}

void AlbumForm::readCdInformation() {
    if (!tracks_->empty())
        tracks_->rereadCurrent();
    if (ReadCompactDisc(0, 0, record().working()) == 1)
        StoreDiscIdentifier(record().working());
    songsTook_ = record().working();
    redisplayAfterDisc();
}

// A new album's songs take what the user made of the album after a disc reading gave them its
// data; a song's own artist and notes stay.
void AlbumForm::completed() {
    if (record().inserting() && !albumDataToSongs(record().working(), songsTook_))
        showError(QStringLiteral("Error updating song database - ") + data::errorText());
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

} // namespace tbk
