#include "albums/addwizardwrite.h"

#include "albums/albumfields.h"
#include "core/datafiles.h"
#include "runtime/data/errors.h"
#include "runtime/threads/messagebox.h"
#include "runtime/values/picture.h"
#include "runtime/values/text.h"

#include <vector>

namespace tbk {

namespace {

constexpr int kFreeIdentifierTries = 10000;
const QString kErrorTitle = QStringLiteral("Error!");

void showError(const QString &text, const QString &title = kErrorTitle) {
    message(text, title, MessageIcon::Exclamation, ButtonOK);
}

// Whether another album holds the record's value of the key; the buffer is left as it was.
bool albumKeyTaken(const data::Record &album, const data::Key &key) {
    const data::Record kept = ALB.record();
    ALB.setRecord(album);
    const bool taken = ALB.get(key);
    ALB.setRecord(kept);
    return taken;
}

qint32 lastAlbumID() {
    ALB.set(ALB.KEYALBUMID);
    return ALB.previous() ? ALB.AlbumID.value() : 0;
}

// "[ID]", "[CD]", "[Album]", "[Artist]" for each unique key another album already holds.
QString duplicateTags(const data::Record &album) {
    const std::pair<const data::Key *, const char *> keys[] = {
        {&ALB.KEYALBUMID, "[ID]"}, {&ALB.KEYCDIDENTIFIER, "[CD]"}, {&ALB.KEYALBUM, "[Album]"}, {&ALB.KEYARTIST, "[Artist]"}};
    QString tags;
    for (const auto &[key, tag] : keys)
        if (albumKeyTaken(album, *key))
            tags += QLatin1String(tag);
    return tags;
}

// What the album step decided, shown once the buffers are back as they were.
struct AlbumOutcome {
    qint32 id = 0;
    QString error;
    QString errorTitle;
};

AlbumOutcome addHeaderAlbum(const data::Record &header, AddWizardKind kind, const QString &discSerial) {
    MUS.setRecord(header);
    ALB.clear();
    ALB.AlbumID = lastAlbumID() + 1;
    ALB.CDIDENTIFIER = discSerial;
    ALB.Notes = MUS.Notes.str();
    ALB.FileNumber = MUS.FileNumber.str();
    ALB.Artist = kind == AddWizardKind::Compilation ? QString::fromLatin1(kVariousArtist) : MUS.Artist.str();
    ALB.Album = MUS.Album.str();
    ALB.Media = MUS.Media.str();
    ALB.ReleaseDate = MUS.ReleaseDate.value();
    ALB.CategoryID = MUS.CategoryID.value();
    data::Record album = ALB.record();
    while (albumKeyTaken(album, ALB.KEYALBUMID)) {
        ++ALB.AlbumID;
        album = ALB.record();
    }
    if (!dropSerialOfAnotherAlbum(album).isEmpty())
        ALB.setRecord(album);
    if (albumKeyTaken(album, ALB.KEYALBUM)) {
        ALB.Album = clip(ALB.Album.str()) + QStringLiteral(" (Copy)");
        album = ALB.record();
    }
    if (albumKeyTaken(album, ALB.KEYARTIST))
        return {0, QStringLiteral("The artist and album information is a duplicate of information already in the database"),
                QStringLiteral("Warning")};
    ALB.setRecord(album);
    if (ALB.add())
        return {ALB.AlbumID.value(), {}, {}};
    const QChar cr = QLatin1Char('\r');
    const QString text = QStringLiteral("Error adding album information:") + cr + data::errorText() + cr;
    return {0, text + duplicateTags(album), QStringLiteral("Error")};
}

qint32 linkedAlbum(const data::Record &header, AddWizardKind kind) {
    MUS.setRecord(header);
    ALB.clear();
    ALB.Artist = kind == AddWizardKind::Compilation ? QString::fromLatin1(kVariousArtist) : MUS.Artist.str();
    ALB.Album = MUS.Album.str();
    return ALB.get(ALB.KEYALBUM) ? ALB.AlbumID.value() : 0;
}

// The owner's rows in key order, as they are before any is written. A read error ends them:
// its text is returned in `error`.
std::vector<data::Record> ownerRows(qint64 owner, QString &error) {
    std::vector<data::Record> rows;
    AW.clear();
    AW.Instance = owner;
    AW.setFromBuffer(AW.KeyInstance);
    while (AW.next()) {
        if (AW.Instance.value() != owner)
            return rows;
        rows.push_back(AW.record());
    }
    if (data::errorCode() != data::RecordNotAvailable)
        error = data::errorText();
    return rows;
}

// The first identifier from `id` on that no song has, once `id` is raised to the file's record
// count: a song added with the number below it met one.
qint32 freeSongID(qint32 id) {
    const qint64 count = MUS.records();
    if (id < count)
        id = qint32(count);
    for (int tries = 0; tries < kFreeIdentifierTries; ++tries) {
        MUS.clear();
        MUS.ID = id;
        if (!MUS.get(MUS.KEYID))
            break;
        ++id;
    }
    return id;
}

// The header with the row's values, on the songs buffer.
void songOfRow(const data::Record &header, const data::Record &row, AddWizardKind kind, qint32 albumID, qint32 id) {
    data::Record song = header;
    song.position = 0;
    song.version = 0;
    MUS.setRecord(song);
    AW.setRecord(row);
    MUS.ID = id;
    MUS.AlbumID = albumID;
    MUS.TrackNumber = AW.Track.value();
    MUS.Title = AW.TITLE.empty() ? QStringLiteral("Track ") + QString::number(AW.Track.value()) : AW.TITLE.str();
    if (AW.TIME.value() != 0) {
        MUS.Time = AW.TIME.value();
        MUS.AdditionalInformation1 = minutesAndSeconds(AW.TIME.value());
    }
    if (kind == AddWizardKind::Compilation)
        MUS.Artist = AW.ARTIST.str();
}

} // namespace

QString minutesAndSeconds(qint32 time) { return formatPicture(QStringLiteral("@t4"), time).right(5); }

qint32 AddWizardAlbumStep(const data::Record &header, AddWizardKind kind, const QString &discSerial, bool addAlbum) {
    const data::Record keptSong = MUS.record();
    const data::Record keptAlbum = ALB.record();
    AlbumOutcome outcome;
    if (addAlbum)
        outcome = addHeaderAlbum(header, kind, discSerial);
    else
        outcome.id = linkedAlbum(header, kind);
    MUS.setRecord(keptSong);
    ALB.setRecord(keptAlbum);
    if (!outcome.error.isEmpty())
        showError(outcome.error, outcome.errorTitle);
    return outcome.id;
}

int AddWizardWriteSongs(const data::Record &header, AddWizardKind kind, qint32 albumID, qint64 owner) {
    const data::Record keptSong = MUS.record();
    const data::Record keptRow = AW.record();
    QString readError;
    const std::vector<data::Record> rows = ownerRows(owner, readError);
    MUS.setRecord(header);
    qint32 id = MUS.ID.value() == 0 ? 1 : MUS.ID.value();
    int written = 0;
    AW.stream();
    MUS.stream();
    for (const data::Record &row : rows) {
        songOfRow(header, row, kind, albumID, id);
        bool added = MUS.add();
        if (!added && data::errorCode() == data::DuplicateKey) {
            const data::Record song = MUS.record();
            id = freeSongID(id);
            MUS.setRecord(song);
            MUS.ID = id;
            added = MUS.add();
        }
        if (added) {
            ++written;
            // Deleted by position: the row is the one read, whatever another window did meanwhile.
            if (AW.get(row.position))
                AW.remove();
        } else {
            const QString text = data::errorText();
            MUS.setRecord(keptSong);
            AW.setRecord(keptRow);
            showError(QStringLiteral("Error adding to music database from Wizard:  ") + text);
        }
        ++id;
    }
    MUS.flush();
    AW.flush();
    MUS.setRecord(keptSong);
    AW.setRecord(keptRow);
    if (!readError.isEmpty())
        showError(QStringLiteral("Error adding from Wizard:  ") + readError);
    return written;
}

} // namespace tbk
