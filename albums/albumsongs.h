#pragma once
// Songs the album form takes into its album without a window: all songs of a media and file
// number re-assigned, a song dropped from another list copied in, and what a cancelled new
// album hands back. Each works on the songs file's buffer and does not wait.
#include <QList>
#include <QPair>
#include <QSet>
#include <QString>
#include <QtGlobal>

#include <functional>

namespace tbk {

struct AssignResult {
    enum End { EndOfFile, OtherMedia, OtherFileNumber, ReadError };
    int assigned = 0;
    End end = EndOfFile;
    QString errorText;   // of a read error
};

// Gives every song filed under the media and file number the album, walking MUS:SongsByMedia
// from that value until the first song of another media or file number. Both are compared as
// the key compares them, without case. `moved` hears of each song taken from another album
// (its identifier and former album).
AssignResult assignSongsByMedia(qint32 albumID, const QString &media, const QString &fileNumber,
                                const std::function<void(qint32, qint32)> &moved);
// The message that reports a walk: caption and text.
QPair<QString, QString> assignMessage(const AssignResult &r);

// A copy of the song in the album, with the next identifier (the highest plus one): the
// identifier of the copy, 0 when there was nothing to copy (no such song, or it is the album's
// already), -1 when it could not be written (the error stays set).
qint32 copySongIntoAlbum(qint32 songID, qint32 albumID);

// Deletes every song of the album, all sides, in one transaction; false (nothing deleted, the
// error set) when that fails.
bool deleteSongsOfAlbum(qint32 albumID);

// The songs one call of the album form gave its album, to be given back when the call ends
// cancelled.
class AlbumSongsTaken {
public:
    // The songs the album holds before the call: they are not the call's.
    bool start(qint32 albumID);
    void moved(qint32 songID, qint32 formerAlbum);
    // Deletes the album's songs the call created and gives the moved ones their former album,
    // in one transaction; false (nothing changed, the error set) when that fails.
    bool giveBack();

private:
    qint32 album_ = 0;
    QSet<qint32> before_;
    QList<QPair<qint32, qint32>> moved_;
};

} // namespace tbk
