#pragma once
// What the CD player knows of the drive and how it learns it: the poll at every timer event,
// the track sync, the disc serial and the look-up of the album it belongs to. Kept apart from
// the window so that it can be measured and tested on its own.
#include "runtime/data/record.h"

#include <QString>
#include <QtGlobal>

namespace tbk {

// A duration in hundredths as the player shows it: empty for 0, else h:mm:ss without leading
// zeros and colons while more than four characters remain ("3:25", "0:05", "1:02:03").
QString PlayerTimeText(qint32 hundredths);
// How much of the track is played, in percent within 0 to 100; 0 while the length is unknown.
int TrackPercent(qint32 position, qint32 length);
// The percentage a click x pixels from the bar's left edge stands for; 0 for a bar of no width.
int BarClickPercent(int x, int width);

// A drive answer read as a number: a failure's "Error:" text reads as 0.
qint32 mciNumber(const QString &answer);

class CdPlayerDrive {
public:
    // What a poll saw happen.
    struct PollResult {
        bool discCameIn = false;
        bool trackChanged = false;   // a new track is playing: the list follows it
    };
    PollResult poll();

    // The disc's serial and whether the catalogue holds it; the album found is kept in
    // album(). With no tracks the serial is "0" and nothing is looked up.
    enum class Identity { NoDisc, Known, Unknown };
    Identity identify();

    // The album of the last identification that found one (a cleared record otherwise).
    const data::Record &album() const { return album_; }
    qint32 albumId() const { return albumId_; }
    const QString &albumTitle() const { return albumTitle_; }
    const QString &serial() const { return serial_; }
    // The album as a form wrote it back.
    void takeAlbum(const data::Record &album);

    QString mode;            // the drive's mode at the last poll
    QString previousMode;    // the mode seen at the poll before
    QString status;          // "Init", "Sync" or empty
    quint8 currentTrack = 0;
    qint32 trackCount = 0;
    quint8 lastTrack = 0;
    // Hundredths of a second.
    qint32 trackPosition = 0;   // counted from 1
    qint32 trackLength = 0;
    qint32 discPosition = 0;
    qint32 discLength = 0;
    qint32 trackStart = 0;

    int percent() const { return TrackPercent(trackPosition, trackLength); }
    // The disc position in milliseconds ("status cdaudio position" in the "ms" format).
    qint32 positionMilliseconds();
    // The current track's length and start, in the "ms" format.
    void readTrackTimes();

private:
    void readPositions();

    data::Record album_;
    qint32 albumId_ = 0;
    QString albumTitle_;
    QString serial_;
};

} // namespace tbk
