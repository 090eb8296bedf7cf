#include "albums/albumsongs.h"

#include "core/datafiles.h"
#include "runtime/data/errors.h"
#include "runtime/data/transaction.h"
#include "runtime/values/text.h"

namespace tbk {

namespace {

// The identifiers of the album's songs, read through its key.
bool songsOf(qint32 albumID, QSet<qint32> &ids) {
    MUS.clear();
    MUS.AlbumID = albumID;
    MUS.setFromBuffer(MUS.KeyAlbumID);
    while (MUS.next()) {
        if (MUS.AlbumID.value() != albumID)
            return true;
        ids.insert(MUS.ID.value());
    }
    return data::errorCode() == data::RecordNotAvailable;
}

bool readSong(qint32 id) {
    MUS.clear();
    MUS.ID = id;
    return MUS.get(MUS.KEYID);
}

} // namespace

AssignResult assignSongsByMedia(qint32 albumID, const QString &media, const QString &fileNumber,
                                const std::function<void(qint32, qint32)> &moved) {
    AssignResult r;
    // One commit for the whole walk instead of one per song; what the walk wrote is kept
    // however it ends, as with single writes. Without the transaction it goes on streamed.
    const bool batched = data::beginTransaction(2, {&MUS});
    if (!batched)
        MUS.stream();
    MUS.clear();
    MUS.Media = media;
    MUS.FileNumber = fileNumber;
    MUS.setFromBuffer(MUS.SongsByMedia);
    for (;;) {
        if (!MUS.next()) {
            if (data::errorCode() != data::RecordNotAvailable) {
                r.end = AssignResult::ReadError;
                r.errorText = data::errorText();
            }
            break;
        }
        if (!sameText(MUS.Media.str(), media, Qt::CaseInsensitive)) {
            r.end = AssignResult::OtherMedia;
            break;
        }
        if (!sameText(MUS.FileNumber.str(), fileNumber, Qt::CaseInsensitive)) {
            r.end = AssignResult::OtherFileNumber;
            break;
        }
        const qint32 former = MUS.AlbumID.value();
        MUS.AlbumID = albumID;
        if (!MUS.put()) {
            r.end = AssignResult::ReadError;
            r.errorText = data::errorText();
            break;
        }
        if (former != albumID && moved)
            moved(MUS.ID.value(), former);
        ++r.assigned;
    }
    if (batched && !data::commitTransaction() && r.end != AssignResult::ReadError) {
        r.end = AssignResult::ReadError;
        r.errorText = data::errorText();
        r.assigned = 0;
    }
    if (!batched)
        MUS.flush();
    return r;
}

QPair<QString, QString> assignMessage(const AssignResult &r) {
    if (r.end == AssignResult::ReadError)
        return {QStringLiteral("Assignment Cancelled"), QStringLiteral("Error reading music database ") + r.errorText};
    if (r.assigned > 0)
        return {QStringLiteral("Process complete."), QString::number(r.assigned) + QStringLiteral(" songs assigned.")};
    const QString failed = QStringLiteral("Process failed.");
    switch (r.end) {
    case AssignResult::OtherMedia:
        return {failed, QStringLiteral("No songs with that media type were found.")};
    case AssignResult::OtherFileNumber:
        return {failed, QStringLiteral("No songs with that file number were found.")};
    default:
        return {failed, QStringLiteral("No songs with that media type and file number were found.")};
    }
}

qint32 copySongIntoAlbum(qint32 songID, qint32 albumID) {
    if (!readSong(songID) || MUS.AlbumID.value() == albumID)
        return 0;
    data::Record song = MUS.record();
    song.position = 0;
    song.version = 0;
    // The highest identifier, not the record count: once identifiers have gaps the count
    // names a song that exists, and that song would be moved instead of copied.
    MUS.set(MUS.KEYID);
    qint32 id = 1;
    if (MUS.previous())
        id = MUS.ID.value() + 1;
    else if (data::errorCode() != data::RecordNotAvailable)
        return -1;
    MUS.setRecord(song);
    MUS.ID = id;
    MUS.AlbumID = albumID;
    return MUS.add() ? id : -1;
}

bool deleteSongsOfAlbum(qint32 albumID) {
    QSet<qint32> ids;
    if (albumID == 0)
        return true;
    if (!songsOf(albumID, ids))
        return false;
    if (ids.isEmpty())
        return true;
    if (!data::beginTransaction(2, {&MUS}))
        return false;
    for (qint32 id : ids)
        if (!readSong(id) || !MUS.remove()) {
            const int code = data::errorCode();
            data::rollbackTransaction();
            data::setError(code, MUS.label());
            return false;
        }
    return data::commitTransaction();
}

bool AlbumSongsTaken::start(qint32 albumID) {
    album_ = albumID;
    before_.clear();
    moved_.clear();
    return songsOf(albumID, before_);
}

void AlbumSongsTaken::moved(qint32 songID, qint32 formerAlbum) {
    for (const auto &m : moved_)
        if (m.first == songID)
            return;   // moved in once already: the first former album is the one to return to
    moved_.append({songID, formerAlbum});
}

bool AlbumSongsTaken::giveBack() {
    if (album_ == 0)
        return true;
    QSet<qint32> now;
    if (!songsOf(album_, now) || !data::beginTransaction(2, {&MUS}))
        return false;
    bool ok = true;
    for (const auto &[id, former] : moved_) {
        now.remove(id);
        if (!readSong(id) || MUS.AlbumID.value() != album_)
            continue;   // gone, or moved on by the user since
        MUS.AlbumID = former;
        ok = ok && MUS.put();
    }
    for (qint32 id : now)
        if (!before_.contains(id))
            ok = ok && readSong(id) && MUS.remove();
    if (!ok) {
        const int code = data::errorCode();
        data::rollbackTransaction();
        data::setError(code, MUS.label());
        return false;
    }
    return data::commitTransaction();
}

} // namespace tbk
