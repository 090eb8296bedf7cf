#include "cdaudio/readcompactdisc.h"

#include "cdaudio/mcicommand.h"
#include "core/albumdata.h"
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "core/programsettings.h"
#include "runtime/data/errors.h"
#include "runtime/data/transaction.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadglobals.h"
#include "runtime/ui/progresswindow.h"
#include "runtime/values/text.h"

#include <algorithm>
#include <vector>

namespace tbk {

namespace {

const QString kErrorTitle = QStringLiteral("Error");
const QString kNotReady = QStringLiteral("CD player not ready.");

void send(const char *command) { SendMciCommand(QString::fromLatin1(command)); }

// Shows the failure and closes the drive the reading opened: 0, the reading's result.
qint32 failReading(const QString &text) {
    message(text, kErrorTitle, MessageIcon::Hand);
    send("close cdaudio");
    return 0;
}

// The drive's answers to a reading. A failed request fails the whole reading: its "Error:" text
// would otherwise pass for a number and end up in the identifier or a song's time.
class DriveAnswers {
public:
    QString ask(const QString &command) {
        const QString answer = SendMciCommand(command);
        if (isMciFailure(answer))
            failed_ = true;
        return answer;
    }
    void failIf(bool failed) { failed_ = failed_ || failed; }
    bool failed() const { return failed_; }

private:
    bool failed_ = false;
};

// What a reading learns; stored only once all of it is known, so that a failure leaves the
// album, the track queue and the exchange file as they were.
struct DiscReading {
    qint32 trackCount = 0;
    QString serial;
    DiscTrackList tracks;
    QString discId;
    qint32 idLength = 0;          // the identifier's disc length in hundredths
    QString query;
    QList<qint32> trackTimes;     // time values, track 1 first
    qint32 discTime = 0;          // the disc length as a time value
};

// One step after the identification and one a track: four per cent each, whatever the count.
class ReadProgress {
public:
    ReadProgress() : window_(QStringLiteral("Reading CD"), QStringLiteral("Serial Number"), false) {}
    void setStatus(const QString &text) { window_.setText(text); }
    void step() {
        ++steps_;
        if (window_.percent() < 100)
            window_.showPercent(std::min(100, steps_ * 100 / 25));
        if (QWidget *w = window_.widget())
            w->repaint();
    }

private:
    ProgressWindow window_;
    int steps_ = 0;
};

bool identifyDisc(DriveAnswers &drive, DiscReading &r) {
    send("set cdaudio time format tmsf");
    r.trackCount = numberInRange<qint32>(numericValue(drive.ask(QStringLiteral("status cdaudio number of tracks"))));
    // A drive that answers no tracks has no disc it can read: nothing to identify or look up.
    if (drive.failed() || r.trackCount < 1)
        return false;
    bool failed = false;
    r.serial = ReadDiscSerial(r.trackCount, &failed);
    drive.failIf(failed);
    send("set cdaudio time format msf");
    for (qint32 t = 1; t <= r.trackCount && !drive.failed(); ++t) {
        const QString n = QString::number(t);
        const qint32 start = ParseMsfToFrames(drive.ask(QStringLiteral("status cdaudio position track ") + n));
        const qint32 length = ParseMsfToFrames(drive.ask(QStringLiteral("status cdaudio length track ") + n));
        r.tracks.push_back({quint32(start), quint32(length)});
    }
    if (drive.failed())
        return false;
    r.discId = ComputeDiscId(r.tracks, r.idLength);
    r.query = FormatDiscQueryLine(r.discId, r.tracks);
    send("set cdaudio time format tmsf");
    return true;
}

bool readTrackLengths(DriveAnswers &drive, DiscReading &r, ReadProgress &progress) {
    send("set cdaudio time format tmsf");
    for (qint32 t = 1; t <= r.trackCount; ++t) {
        progress.setStatus(QStringLiteral("Track %1 of %2").arg(t).arg(r.trackCount));
        r.trackTimes << ParseMciTime(drive.ask(QStringLiteral("status cdaudio length track ") + QString::number(t)));
        if (drive.failed())
            return false;
        yieldNow();
        progress.step();
    }
    r.discTime = ParseMciTime(drive.ask(QStringLiteral("status cdaudio length")));
    return !drive.failed();
}

void storeIdentity(const DiscReading &r, data::Record &album) {
    withAlbumBuffer(album, [&] {
        ALB.CDIDENTIFIER = r.serial;
        ALB.XCCD = r.discId;
        ALB.TOTALTIME = r.idLength;
        ALB.CDDBSTRING = r.query;
    });
    setDiscTrackQueue(r.tracks);
    const QString ini = QString::fromLatin1(kDiscSeekIni);
    // The whole line: the album's field keeps 255 characters, the agent reads it all.
    putIni(QStringLiteral("CDDB"), QStringLiteral("CDDB"), r.query, ini);
    putIni(QStringLiteral("Default"), QStringLiteral("AutomaticMode"),
           AutomaticLookup ? QStringLiteral("Y") : QStringLiteral("N"), ini);
}

QString trackTitle(qint32 t) { return QStringLiteral("Track ") + QString::number(t); }

void writeTracksToWizard(const DiscReading &r) {
    const QString artist = clip(ALB.Artist);
    const qint64 instance = threadGlobals().ThreadInstance;
    AW.stream();
    for (qint32 t = 1; t <= r.trackCount; ++t) {
        const auto locate = [&] {
            AW.clear();
            AW.Instance = instance;
            AW.Side = 1;   // the side the add wizards list their rows under
            AW.Track = t;
        };
        locate();
        if (AW.get(AW.KeyInstance)) {
            AW.TIME = r.trackTimes.value(t - 1);
            AW.put();
            continue;
        }
        locate();
        AW.ARTIST = artist.isEmpty() ? QStringLiteral("Various") : artist;
        AW.TITLE = trackTitle(t);
        AW.TIME = r.trackTimes.value(t - 1);
        AW.add();
    }
    AW.flush();
}

void writeTracksToSongs(const DiscReading &r) {
    MUS.stream();
    for (qint32 t = 1; t <= r.trackCount; ++t) {
        const qint32 time = r.trackTimes.value(t - 1);
        MUS.clear();
        MUS.AlbumID = ALB.AlbumID.value();
        MUS.Side = GLO.Side;
        MUS.TrackNumber = t;
        if (MUS.get(MUS.KeyAlbumID)) {
            MUS.Time = time;
            MUS.put();
        } else {
            primeTrackSong(t, time);
            MUS.add();
        }
    }
    MUS.flush();
}

} // namespace

DiscTrackList DiscTrackQueue() {
    DiscTrackList tracks;
    for (const TrackEntry &e : threadGlobals().TrackQueue)
        tracks.push_back({quint32(e.start), quint32(e.length)});
    return tracks;
}

void setDiscTrackQueue(const DiscTrackList &tracks) {
    QList<TrackEntry> &queue = threadGlobals().TrackQueue;
    queue.clear();
    for (const DiscTrack &t : tracks)
        queue.append({qint32(t.TRACKPOSITION), qint32(t.TRACKLENGTH)});
}

void withAlbumBuffer(data::Record &album, const std::function<void()> &fn) {
    ALB.setRecord(album);
    fn();
    album = ALB.record();
}

void StoreDiscIdentifier(data::Record &album) {
    withAlbumBuffer(album, [] {
        qint32 total = ALB.TOTALTIME;
        ALB.XCCD = ComputeDiscId(DiscTrackQueue(), total);
        ALB.TOTALTIME = total;
    });
}

void primeTrackSong(qint32 track, qint32 time) {
    qint32 id = 1;
    MUS.set(MUS.KEYID);
    if (MUS.previous())
        id = MUS.ID + 1;
    MUS.clear();
    MUS.ID = id;
    MUS.AlbumID = ALB.AlbumID.value();
    MUS.Side = GLO.Side;
    MUS.TrackNumber = track;
    MUS.Artist = ALB.Artist;
    MUS.Album = ALB.Album;
    MUS.Media = ALB.Media;
    MUS.FileNumber = ALB.FileNumber;
    MUS.ReleaseDate = ALB.ReleaseDate.value();
    MUS.CategoryID = ALB.CategoryID.value();
    MUS.Title = trackTitle(track);
    MUS.Time = time;
}

bool albumDataToSongs(const data::Record &album, const data::Record &took, int side, bool singleArtist) {
    const data::Record keptSong = MUS.record();
    const data::Record keptAlbum = ALB.record();
    ALB.setRecord(album);
    const qint32 id = ALB.AlbumID.value();
    std::vector<data::Record> songs;
    MUS.clear();
    MUS.AlbumID = id;
    MUS.Side = side < 0 ? 0 : side;
    MUS.setFromBuffer(MUS.KeyAlbumID);
    bool done = true;
    for (;;) {
        if (!MUS.next()) {
            done = data::errorCode() == data::RecordNotAvailable;
            break;
        }
        if (MUS.AlbumID.value() != id || (side >= 0 && MUS.Side.value() != side))
            break;
        songs.push_back(MUS.record());
    }
    if (done && !songs.empty())
        done = data::beginTransaction(2, {&MUS});
    if (done && !songs.empty()) {
        for (const data::Record &song : songs) {
            MUS.setRecord(song);
            takeAlbumData(false, took.cells.empty() ? nullptr : &took, singleArtist);
            if (!MUS.record().sameValues(song) && !MUS.put()) {
                done = false;
                break;
            }
        }
        if (done) {
            done = data::commitTransaction();
        } else {
            const int code = data::errorCode();
            data::rollbackTransaction();
            data::setError(code, MUS.label());
        }
    }
    MUS.setRecord(keptSong);
    ALB.setRecord(keptAlbum);
    return done;
}

qint32 ReadCompactDisc(quint8 identifyOnly, quint8 fillWizard, data::Record &album) {
    const QString opened = SendMciCommand(QStringLiteral("open cdaudio shareable"));
    const double device = numericValue(opened);
    if (device != 1 && device != 2) {
        message(QStringLiteral("CD player not available.  Ensure that no other program is using the CD-ROM drive."),
                kErrorTitle, MessageIcon::Hand);
        // A failed open opened nothing: a close now would close the device another window holds.
        if (!isMciFailure(opened))
            send("close cdaudio");
        return 0;
    }
    if (SendMciCommand(QStringLiteral("status cdaudio ready")).isEmpty())
        return failReading(kNotReady);
    if (SendMciCommand(QString(), 1) == QLatin1String("open"))
        return failReading(QStringLiteral("CD player door open."));

    ReadProgress progress;
    DriveAnswers drive;
    DiscReading reading;
    if (!identifyDisc(drive, reading))
        return failReading(kNotReady);
    if (identifyOnly && !fillWizard) {
        storeIdentity(reading, album);
        send("close cdaudio");
        return 1;
    }
    yieldNow();
    progress.step();
    if (!readTrackLengths(drive, reading, progress))
        return failReading(kNotReady);
    storeIdentity(reading, album);
    send("close cdaudio");

    // Opened before the album goes into the shared buffer: an open may have to ask the user.
    FilesInUse files;
    files.add(fillWizard ? static_cast<data::DataFile &>(AW) : MUS);
    withAlbumBuffer(album, [&] {
        ALB.TOTALTIME = reading.discTime;
        if (fillWizard)
            writeTracksToWizard(reading);
        else if (ALB.AlbumID != 0)
            writeTracksToSongs(reading);
    });
    return 1;
}

} // namespace tbk
