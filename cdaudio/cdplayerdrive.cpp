#include "cdaudio/cdplayerdrive.h"

#include "cdaudio/discid.h"
#include "cdaudio/mcicommand.h"
#include "core/datafiles.h"
#include "runtime/values/text.h"

#include <algorithm>

namespace tbk {

namespace {

QString send(const char *command) { return SendMciCommand(QString::fromLatin1(command)); }

bool discInMode(const QString &mode) {
    return mode == QLatin1String("stopped") || mode == QLatin1String("playing") || mode == QLatin1String("seeking");
}

// Runs fn with the drive in the "ms" time format and leaves it in "tmsf", the player's own.
template <typename Fn>
void inMilliseconds(Fn fn) {
    send("set cdaudio time format ms");
    fn();
    send("set cdaudio time format tmsf");
}

} // namespace

QString PlayerTimeText(qint32 hundredths) {
    if (hundredths == 0)
        return QString();
    const qint64 seconds = std::max<qint64>(0, hundredths / 100);
    QString text = QStringLiteral("%1:%2:%3")
                       .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                       .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                       .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    while (text.size() > 4 && (text.front() == QLatin1Char('0') || text.front() == QLatin1Char(':')))
        text.remove(0, 1);
    return text;
}

// The track's length is 0 before the first track plays and after a failed request.
int TrackPercent(qint32 position, qint32 length) {
    if (length <= 0)
        return 0;
    return int(std::clamp<qint64>(qint64(position) * 100 / length, 0, 100));
}

int BarClickPercent(int x, int width) {
    if (width <= 0)
        return 0;
    return std::clamp(x * 100 / width, 0, 100);
}

qint32 mciNumber(const QString &answer) {
    return isMciFailure(answer) ? 0 : numberInRange<qint32>(numericValue(answer));
}

CdPlayerDrive::PollResult CdPlayerDrive::poll() {
    PollResult r;
    mode = SendMciCommand(QString(), 1);
    status.clear();
    if ((previousMode == QLatin1String("open") || previousMode.isEmpty()) && discInMode(mode)) {
        status = QStringLiteral("Init");
        r.discCameIn = true;
        currentTrack = numberInRange<quint8>(mciNumber(send("status cdaudio current track")));
        trackCount = mciNumber(send("status cdaudio number of tracks"));
        inMilliseconds([this] {
            discLength = mciNumber(send("status cdaudio length")) / 10;
            readTrackTimes();
        });
    }
    previousMode = mode;

    currentTrack = numberInRange<quint8>(mciNumber(send("status cdaudio current track")));
    if (currentTrack != lastTrack && mode == QLatin1String("playing")) {
        status = QStringLiteral("Sync");
        r.trackChanged = true;
        inMilliseconds([this] { readTrackTimes(); });
    }
    lastTrack = currentTrack;

    readPositions();
    if (trackLength < trackPosition)
        readPositions();
    return r;
}

void CdPlayerDrive::readTrackTimes() {
    const QString track = QString::number(currentTrack);
    trackLength = mciNumber(SendMciCommand(QStringLiteral("status cdaudio length track ") + track)) / 10;
    trackStart = mciNumber(SendMciCommand(QStringLiteral("status cdaudio position track ") + track)) / 10;
}

void CdPlayerDrive::readPositions() {
    inMilliseconds([this] {
        if (currentTrack != 0) {
            discPosition = mciNumber(send("status cdaudio position")) / 10;
            trackPosition = discPosition - trackStart + 1;
        } else {
            trackPosition = trackLength = discPosition = discLength = 0;
        }
    });
}

qint32 CdPlayerDrive::positionMilliseconds() { return mciNumber(send("status cdaudio position")); }

CdPlayerDrive::Identity CdPlayerDrive::identify() {
    trackCount = mciNumber(send("status cdaudio number of tracks"));
    if (trackCount == 0) {
        serial_ = QStringLiteral("0");
        return Identity::NoDisc;
    }
    send("set cdaudio time format tmsf");
    serial_ = ReadDiscSerial(trackCount);
    // The look-up borrows the shared album buffer between two waits and gives it back as it
    // was: another window may hold a record there.
    const data::Record held = ALB.record();
    ALB.clear();
    ALB.CDIDENTIFIER = serial_;
    const bool found = ALB.get(ALB.KEYCDIDENTIFIER);
    if (!found)
        ALB.clear();
    album_ = ALB.record();
    albumId_ = found ? ALB.AlbumID.value() : 0;
    albumTitle_ = found ? ALB.Album.str().trimmed() : QString();
    ALB.setRecord(held);
    return found ? Identity::Known : Identity::Unknown;
}

void CdPlayerDrive::takeAlbum(const data::Record &album) {
    const data::Record held = ALB.record();
    ALB.setRecord(album);
    album_ = album;
    albumId_ = ALB.AlbumID.value();
    albumTitle_ = ALB.Album.str().trimmed();
    ALB.setRecord(held);
}

} // namespace tbk
