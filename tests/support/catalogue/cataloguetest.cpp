#include "cataloguetest.h"

#include "runtime/data/errors.h"
#include "runtime/threads/halt.h"

namespace cataloguetest {

void openCatalogue(std::initializer_list<data::DataFile *> files) {
    setExitHook([](int) {});
    for (data::DataFile *f : files)
        openForUse(*f);
    GlobalRequest = 0;
    NavigationRequest = 0;
}

void closeCatalogue() {
    endAllThreads();
    closeAllDataFiles();
}

void addSong(qint32 id, const QString &title, qint32 album, int side, int track, const QString &fileNumber,
             const QString &media, const std::function<void()> &more) {
    MUS.clear();
    MUS.ID = id;
    MUS.Title = title;
    MUS.Media = media;
    MUS.FileNumber = fileNumber;
    MUS.AlbumID = album;
    MUS.Side = side;
    MUS.TrackNumber = track;
    if (more)
        more();
    ASSERT_TRUE(MUS.add()) << data::errorCode();
}

void addAlbum(qint32 id, const QString &artist, const QString &album, const QString &fileNumber,
              const QString &media, const QString &cd) {
    ALB.clear();
    ALB.AlbumID = id;
    ALB.Artist = artist;
    ALB.Album = album;
    ALB.FileNumber = fileNumber;
    ALB.Media = media;
    ALB.CDIDENTIFIER = cd;
    ASSERT_TRUE(ALB.add()) << data::errorCode();
}

void addCategory(qint64 id, const QString &name) {
    CAT.clear();
    CAT.CategoryID = id;
    CAT.Category = name;
    ASSERT_TRUE(CAT.add()) << data::errorCode();
}

void addMedia(const QString &name) {
    MED.clear();
    MED.Media = name;
    ASSERT_TRUE(MED.add()) << data::errorCode();
}

void addEntry(qint32 playlist, qint64 seq, qint64 song) {
    PLA.clear();
    PLA.PlaylistID = playlist;
    PLA.PlaylistSeq = seq;
    PLA.ID = song;
    ASSERT_TRUE(PLA.add()) << data::errorCode();
}

bool loadSong(qint32 id) {
    MUS.clear();
    MUS.ID = id;
    return MUS.get(MUS.KEYID);
}

bool loadAlbum(qint32 id) {
    ALB.clear();
    ALB.AlbumID = id;
    return ALB.get(ALB.KEYALBUMID);
}

QStringList rows(data::DataFile &f, const data::Key &k, const std::function<QString()> &row) {
    QStringList out;
    f.set(k);
    while (f.next())
        out << row();
    return out;
}

QStringList tracks(qint32 album) {
    QStringList out;
    MUS.clear();
    MUS.AlbumID = album;
    MUS.setFromBuffer(MUS.KeyAlbumID);
    while (MUS.next() && MUS.AlbumID.value() == album)
        out << QStringLiteral("%1.%2:%3").arg(MUS.Side.value()).arg(MUS.TrackNumber.value()).arg(MUS.Title.str());
    return out;
}

QStringList categories() {
    return rows(CAT, CAT.KeyCategoryID,
                [] { return QStringLiteral("%1:%2").arg(CAT.CategoryID.value()).arg(CAT.Category.str()); });
}

QStringList albums() {
    return rows(ALB, ALB.KEYALBUMID, [] {
        return QStringLiteral("%1:%2/%3").arg(ALB.AlbumID.value()).arg(ALB.Artist.str(), ALB.Album.str());
    });
}

QStringList media() { return rows(MED, MED.KeyMedia, [] { return MED.Media.str(); }); }

} // namespace cataloguetest
