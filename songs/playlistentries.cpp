#include "songs/playlistentries.h"

#include "core/datafiles.h"
#include "records/keyrangewalk.h"
#include "core/standardwarnings.h"
#include "runtime/data/errors.h"

#include <limits>

namespace tbk {

namespace {

constexpr int kEntriesReadAhead = 256;
constexpr int kTriesBeforeAsking = 3;

// Keeps a file's read lock over a run of reads that does not wait, so that each read does not
// lock and unlock the disk file by itself.
class ReadHold {
public:
    explicit ReadHold(data::DataFile &file) : file_(file.holdReads() ? &file : nullptr) {}
    ~ReadHold() {
        if (file_)
            file_->releaseReads();
    }
    ReadHold(const ReadHold &) = delete;
    ReadHold &operator=(const ReadHold &) = delete;

private:
    data::DataFile *file_;
};

} // namespace

bool readSong(qint64 id) {
    MUS.clear();
    if (id <= 0) {
        data::setError(data::RecordNotFound, MUS.label());
        return false;
    }
    MUS.ID = id;
    if (MUS.get(MUS.KEYID))
        return true;
    MUS.clear();
    return false;
}

bool playlistTotalTime(qint32 playlist, qint32 &total) {
    const data::Record entry = PLA.record();
    const data::Record song = MUS.record();
    const int idField = PLA.ID.index();
    PLA.clear();
    PLA.PlaylistID = playlist;
    PLA.cell(PLA.PlaylistSeq.index()).n = std::numeric_limits<qint64>::min();
    const ReadHold entries(PLA), songs(MUS);
    KeyRangeWalk walk(PLA, PLA.KeyPlaylistID, 1, kEntriesReadAhead, {idField});
    qint64 durations = 0;
    bool timed = false, read = true;
    while (read && walk.next()) {
        if (readSong(PLA.cell(idField).n)) {
            if (MUS.Time.value() > 0) {
                durations += MUS.Time.value() - 1;
                timed = true;
            }
        } else {
            read = data::errorCode() == data::RecordNotFound;
        }
    }
    read = read && data::errorCode() == data::RecordNotAvailable;
    PLA.setRecord(entry);
    MUS.setRecord(song);
    total = timed ? qint32(std::min<qint64>(durations + 1, std::numeric_limits<qint32>::max())) : 0;
    return read;
}

std::optional<qint32> droppedSong(const QString &text) {
    bool number = false;
    const qint64 id = text.trimmed().toLongLong(&number);
    if (!number || id <= 0 || id > std::numeric_limits<qint32>::max())
        return std::nullopt;
    const data::Record song = MUS.record();
    const bool exists = readSong(id);
    MUS.setRecord(song);
    return exists ? std::optional<qint32>(qint32(id)) : std::nullopt;
}

Appended appendToPlaylist(qint32 playlist, qint32 song) {
    for (int failures = 0;;) {
        PLA.clear();
        PLA.PlaylistID = playlist;
        qint64 last = 0;
        if (!lastInRange(PLA, PLA.KeyPlaylistID, PLA.record(), last)) {
            ShowStandardWarningWithText(35, PLA.label());
            return Appended::ReadError;
        }
        PLA.PlaylistSeq = last + 1;
        PLA.ID = song;
        if (PLA.add())
            return Appended::Added;
        if (++failures % kTriesBeforeAsking == 0 && ShowStandardWarningPlain(25) != ButtonRetry)
            return Appended::GaveUp;
    }
}

} // namespace tbk
