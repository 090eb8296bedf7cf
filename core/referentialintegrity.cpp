#include "core/referentialintegrity.h"

#include "core/albumdata.h"
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "core/standardwarnings.h"
#include "runtime/data/transaction.h"

#include <QSet>

#include <functional>
#include <limits>
#include <optional>

namespace tbk {

using namespace tbk::data;

KeptLinks RISave;

void SaveErrorAndRollBack() {
    saveCurrentError();
    if (inTransaction())
        rollbackTransaction();
}

namespace {

constexpr int kTransactionTimeout = 2;
const QString kDelete = QStringLiteral("Delete");
const QString kUpdate = QStringLiteral("Update");
const QString kChangedElsewhere = QStringLiteral("Record Changed by Another Station");

// Why a routine gives up: the warning to show once everything is rolled back.
struct Failure {
    int warning;
    QString text;
    bool saveError = true;   // a refusal is no error: nothing to save
};
using Step = std::optional<Failure>;
const Step kDone;

Step readError(const DataFile &scanned) { return Failure{35, scanned.label()}; }
Step refused(int warning, const QString &referring) { return Failure{warning, referring, false}; }

// Text key values compare as the keys do: without case and trailing blanks.
bool sameKeyText(const QString &a, const QString &b) { return compareText(a, b, Qt::CaseInsensitive) == 0; }

// Reads `file` in the order of `key` from the key value the caller put into the buffer, while
// `same` holds, and keeps the positions of the records that `take` accepts. False on a read
// error other than the end of the file.
bool collect(DataFile &file, const Key &key, const std::function<bool()> &same,
             std::vector<Position> &out, const std::function<bool()> &take = {}) {
    file.setFromBuffer(key);
    while (file.next()) {
        if (!same())
            return true;
        if (!take || take())
            out.push_back(file.position());
    }
    return errorCode() == RecordNotAvailable;
}

// Whether the first record at the key value now in the buffer satisfies `same`.
bool anyWith(DataFile &file, const Key &key, const std::function<bool()> &same, bool &found) {
    found = false;
    file.setFromBuffer(key);
    if (file.next()) {
        found = same();
        return true;
    }
    return errorCode() == RecordNotAvailable;
}

// Opens the dependants for the routine (`file` is open already) and frames the transaction
// over the file and its dependants. False, the warning shown, when the transaction cannot begin.
bool beginOver(DataFile &file, std::initializer_list<DataFile *> dependants, bool withASongs, FilesInUse &use,
               const QString &action) {
    for (DataFile *d : dependants)
        use.add(*d);
    if (withASongs)
        use.add(A_S);
    std::vector<DataFile *> files{&file};
    files.insert(files.end(), dependants);
    if (beginTransaction(kTransactionTimeout, files))
        return true;
    SaveErrorAndRollBack();
    ShowStandardWarning(34, action, file.label());
    return false;
}

void rollBackFor(const Failure &f) {
    if (f.saveError)
        SaveErrorAndRollBack();
    else if (inTransaction())
        rollbackTransaction();
}

int deleteRecord(DataFile &file, std::initializer_list<DataFile *> dependants, bool withASongs,
                 const std::function<Step()> &checks = {}) {
    const Position kept = file.position();
    FilesInUse use;
    if (!beginOver(file, dependants, withASongs, use, kDelete))
        return 1;
    Step failure;
    if (!file.get(kept))
        failure = readError(file);
    else if (checks)
        failure = checks();
    if (!failure && !file.remove())
        failure = Failure{17, file.label()};
    if (!failure && !commitTransaction())
        failure = Failure{17, file.label()};
    if (!failure)
        return 0;
    // Rolled back before the warning: a message box must never hold the files.
    rollBackFor(*failure);
    ShowStandardWarningWithText(failure->warning, failure->text);
    return 1;
}

int updateRecord(DataFile &file, std::initializer_list<DataFile *> dependants, bool withASongs,
                 bool changedMessage, const std::function<Step()> &cascades = {}) {
    // Beginning may wait for another process's lock while other threads run and use the same
    // buffers: what is written is the caller's record and links as they were on entry.
    const Record mine = file.record();
    const KeptLinks links = RISave;
    FilesInUse use;
    if (!beginOver(file, dependants, withASongs, use, kUpdate))
        return 1;
    file.setRecord(mine);
    RISave = links;
    const Position kept = file.position();
    const qint64 versionRead = file.record().version;
    if (!file.put()) {
        const bool changed = errorCode() == RecordChanged;
        SaveErrorAndRollBack();
        if (!changed) {
            ShowStandardWarningWithText(15, file.label());
            return 1;
        }
        if (changedMessage)
            ShowStandardWarningPlain(38);
        else
            ShowStandardWarningWithText(15, kChangedElsewhere);
        file.watch();
        file.get(kept);
        return 2;
    }
    Step failure;
    if (cascades)
        failure = cascades();
    if (!failure && !commitTransaction())
        failure = Failure{15, file.label()};
    if (!failure)
        return 0;
    rollBackFor(*failure);
    // The write was undone: the buffer must again match the record on disk, or the next
    // write would be taken for a change by another station.
    Record r = file.record();
    r.version = versionRead;
    file.setRecord(r);
    ShowStandardWarningWithText(failure->warning, failure->text);
    return 1;
}

// Reads each kept record of `file` again and changes it; the first failure wins.
Step changeEach(DataFile &file, const std::vector<Position> &positions, const std::function<void()> &change) {
    for (Position p : positions) {
        if (!file.get(p))
            return readError(file);
        const Record before = file.record();
        change();
        if (!file.record().sameValues(before) && !file.put())
            return Failure{15, file.label()};
    }
    return kDone;
}

Step deleteEach(DataFile &file, const std::vector<Position> &positions) {
    for (Position p : positions) {
        if (!file.get(p))
            return readError(file);
        if (!file.remove())
            return Failure{17, file.label()};
    }
    return kDone;
}

// Refused when a playlist entry refers to the song now in MUS.
Step songInPlaylist() {
    const qint32 id = MUS.ID;
    PLA.clear();
    PLA.ID = id;
    bool found = false;
    if (!anyWith(PLA, PLA.KEYID, [id] { return PLA.ID.value() == id; }, found))
        return readError(PLA);
    return found ? refused(13, PLA.label()) : kDone;
}

} // namespace

// ---------------------------------------------------------------- captures

void CaptureSongLinks() {}
void CaptureAlbumLinks() {
    RISave.albumID = ALB.AlbumID;
    RISave.fileNumber = ALB.FileNumber.str();
    RISave.album = ALB.record();
}
void CaptureCategoryLinks() { RISave.categoryID = CAT.CategoryID; }
void CaptureMediaLinks() { RISave.media = MED.Media.str(); }
void CapturePlaylistMasterLinks() {}
void CapturePlaylistDetailLinks() {}
void CaptureTipLinks() {}
void CaptureLabelLinks() {}
void CaptureFontLinks() {}
void CaptureAddWizardLinks() {}

// ---------------------------------------------------------------- deletes

int DeleteSongRecord() {
    return deleteRecord(MUS, {&PLA}, false, [] { return songInPlaylist(); });
}

int DeleteAlbumRecord() {
    return deleteRecord(ALB, {&MUS, &PLA}, true, []() -> Step {
        const QString number = ALB.FileNumber;
        const qint32 id = ALB.AlbumID;
        // Songs of the album's file number that belong to no other album (the file-number key
        // allows several albums one number)...
        std::vector<Position> byNumber;
        if (!number.isEmpty()) {
            A_S.clear();
            A_S.FileNumber = number;
            if (!collect(A_S, A_S.KEYFILENUMBER, [&] { return sameKeyText(A_S.FileNumber, number); }, byNumber,
                         [&] { return A_S.AlbumID.value() == 0 || A_S.AlbumID.value() == id; }))
                return readError(A_S);
        }
        // ...and the album's own songs; an identifier 0 means "no album" and has none.
        std::vector<Position> byAlbum;
        if (id != 0) {
            MUS.clear();
            MUS.AlbumID = id;
            if (!collect(MUS, MUS.KeyAlbumID, [&] { return MUS.AlbumID.value() == id; }, byAlbum))
                return readError(MUS);
        }
        // The album's songs that its file number has not found already.
        const QSet<Position> numbered(byNumber.begin(), byNumber.end());
        std::vector<Position> rest;
        for (Position p : byAlbum)
            if (!numbered.contains(p))
                rest.push_back(p);
        // Every song the delete would remove is checked before any is deleted: one in a
        // playlist refuses the whole delete.
        for (const std::vector<Position> *list : {&byNumber, &rest})
            for (Position p : *list) {
                if (!MUS.get(p))
                    return readError(MUS);
                if (Step s = songInPlaylist())
                    return s;
            }
        if (Step s = deleteEach(A_S, byNumber))
            return s;
        return deleteEach(MUS, rest);
    });
}

int DeleteCategoryRecord() {
    return deleteRecord(CAT, {&ALB, &MUS}, false, []() -> Step {
        const qint64 id = CAT.CategoryID;
        bool found = false;
        ALB.clear();
        ALB.CategoryID = id;
        if (!anyWith(ALB, ALB.KEYCATEGORY, [id] { return ALB.CategoryID.value() == id; }, found))
            return readError(ALB);
        if (found)
            return refused(13, ALB.label());
        MUS.clear();
        MUS.CategoryID = qint32(id);
        if (!anyWith(MUS, MUS.SONGSBYCATEGORY, [id] { return MUS.CategoryID.value() == id; }, found))
            return readError(MUS);
        return found ? refused(13, MUS.label()) : kDone;
    });
}

int DeleteMediaRecord() {
    return deleteRecord(MED, {&MUS}, false, []() -> Step {
        const QString media = MED.Media;
        bool found = false;
        MUS.clear();
        MUS.Media = media;
        if (!anyWith(MUS, MUS.SongsByMedia, [&] { return sameKeyText(MUS.Media, media); }, found))
            return readError(MUS);
        return found ? refused(13, MUS.label()) : kDone;
    });
}

int DeletePlaylistMasterRecord() {
    return deleteRecord(PLD, {&PLA}, false, []() -> Step {
        const qint32 id = PLD.PlaylistID;
        std::vector<Position> entries;
        PLA.clear();
        PLA.PlaylistID = id;
        PLA.PlaylistSeq = std::numeric_limits<qint64>::min();   // from the smallest sequence
        if (!collect(PLA, PLA.KeyPlaylistID, [id] { return PLA.PlaylistID.value() == id; }, entries))
            return readError(PLA);
        return deleteEach(PLA, entries);
    });
}

int DeletePlaylistDetailRecord() { return deleteRecord(PLA, {}, false); }
int DeleteTipRecord() { return deleteRecord(TIP, {}, false); }
int DeleteLabelRecord() { return deleteRecord(LAB, {}, false); }
int DeleteFontRecord() { return deleteRecord(FON, {}, false); }
int DeleteAddWizardRecord() { return deleteRecord(AW, {}, false); }

// ---------------------------------------------------------------- updates

int UpdateMediaRecord(bool changedMessage) {
    return updateRecord(MED, {&MUS}, false, changedMessage, []() -> Step {
        const QString oldName = RISave.media;
        const QString newName = MED.Media;
        if (oldName == newName)
            return kDone;
        std::vector<Position> songs;
        MUS.clear();
        MUS.Media = oldName;
        if (!collect(MUS, MUS.SongsByMedia, [&] { return sameKeyText(MUS.Media, oldName); }, songs))
            return readError(MUS);
        return changeEach(MUS, songs, [&] { MUS.Media = newName; });
    });
}

int UpdateCategoryRecord(bool changedMessage) {
    return updateRecord(CAT, {&ALB, &MUS}, false, changedMessage, []() -> Step {
        const qint64 oldID = RISave.categoryID;
        const qint64 newID = CAT.CategoryID;
        if (oldID == newID)
            return kDone;
        bool found = false;
        ALB.clear();
        ALB.CategoryID = oldID;
        if (!anyWith(ALB, ALB.KEYCATEGORY, [oldID] { return ALB.CategoryID.value() == oldID; }, found))
            return readError(ALB);
        if (found) {
            CAT.CategoryID = oldID;
            return refused(12, ALB.label());
        }
        std::vector<Position> songs;
        MUS.clear();
        MUS.CategoryID = qint32(oldID);
        if (!collect(MUS, MUS.SONGSBYCATEGORY, [oldID] { return MUS.CategoryID.value() == oldID; }, songs))
            return readError(MUS);
        return changeEach(MUS, songs, [newID] { MUS.CategoryID = newID; });
    });
}

// The album's songs take what this change made of its data, where they hold what it was: the
// rule of a new album's songs. The songs buffer is left as it was.
Step albumDataToItsSongs(const Record &stored) {
    const qint32 id = ALB.AlbumID;
    if (id == 0 || stored.cells.empty())
        return kDone;
    const Record kept = MUS.record();
    // A single-artist album is one whose every song holds its artist; a compilation's songs
    // keep theirs.
    const QString artist = stored.cells[size_t(ALB.Artist.index())].s;
    bool singleArtist = true;
    std::vector<Position> songs;
    MUS.clear();
    MUS.AlbumID = id;
    Step s = readError(MUS);
    if (collect(MUS, MUS.KeyAlbumID, [id] { return MUS.AlbumID.value() == id; }, songs, [&] {
            singleArtist = singleArtist && MUS.Artist == artist;
            return true;
        }))
        s = changeEach(MUS, songs, [&] { takeAlbumData(false, &stored, singleArtist, AlbumValues::Changed); });
    MUS.setRecord(kept);
    return s;
}

int UpdateAlbumRecord(bool changedMessage) {
    return updateRecord(ALB, {&MUS}, true, changedMessage, []() -> Step {
        const qint32 oldID = RISave.albumID;
        const qint32 newID = ALB.AlbumID;
        const QString oldNumber = RISave.fileNumber;
        const QString newNumber = ALB.FileNumber;
        if (oldNumber != newNumber && !oldNumber.isEmpty()) {
            // Only songs of this album or of none: other albums may share the number.
            std::vector<Position> songs;
            A_S.clear();
            A_S.FileNumber = oldNumber;
            if (!collect(A_S, A_S.KEYFILENUMBER, [&] { return sameKeyText(A_S.FileNumber, oldNumber); }, songs,
                         [&] { return A_S.AlbumID.value() == 0 || A_S.AlbumID.value() == oldID; }))
                return readError(A_S);
            if (Step s = changeEach(A_S, songs, [&] { A_S.FileNumber = newNumber; }))
                return s;
        }
        // Songs with identifier 0 belong to no album: never carried over to one.
        if (oldID != newID && oldID != 0) {
            std::vector<Position> songs;
            MUS.clear();
            MUS.AlbumID = oldID;
            if (!collect(MUS, MUS.KeyAlbumID, [oldID] { return MUS.AlbumID.value() == oldID; }, songs))
                return readError(MUS);
            if (Step s = changeEach(MUS, songs, [newID] { MUS.AlbumID = newID; }))
                return s;
        }
        return albumDataToItsSongs(RISave.album);
    });
}

int UpdateSongRecord(bool changedMessage) { return updateRecord(MUS, {}, false, changedMessage); }
int UpdatePlaylistMasterRecord(bool changedMessage) { return updateRecord(PLD, {}, false, changedMessage); }
int UpdatePlaylistDetailRecord(bool changedMessage) { return updateRecord(PLA, {}, false, changedMessage); }
int UpdateTipRecord(bool changedMessage) { return updateRecord(TIP, {}, false, changedMessage); }
int UpdateLabelRecord(bool changedMessage) { return updateRecord(LAB, {}, false, changedMessage); }
int UpdateFontRecord(bool changedMessage) { return updateRecord(FON, {}, false, changedMessage); }
int UpdateAddWizardRecord(bool changedMessage) { return updateRecord(AW, {}, false, changedMessage); }

} // namespace tbk
