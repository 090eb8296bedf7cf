#pragma once
// Reading the audio CD in the drive into an album: the disc serial, the CD database identifier
// and query (also left in ".\DISCSEEK.INI" for the lookup agent), the disc's length, and one
// song (or one add-wizard row) per track.
#include "cdaudio/discid.h"
#include "runtime/data/record.h"

#include <QString>
#include <QtGlobal>

#include <functional>

namespace tbk {

// The exchange settings file shared with the lookup agent.
inline const char *const kDiscSeekIni = ".\\DISCSEEK.INI";

// Reads the disc into `album`, the calling window's own album record (ALB's layout), and then,
// unless identifyOnly is set: with fillWizard, into this thread's add-wizard rows (side 1);
// without it, when the album has an identifier, into the album's songs on side GLO.Side (times
// of existing tracks updated, missing tracks added as "Track n"). Shows the progress window
// "Reading CD" meanwhile and lets the other threads run. The album record itself is never
// written to its file here.
// 1 when the disc was read. 0 after an error message, with the album, the thread's track queue
// and the exchange file as they were.
qint32 ReadCompactDisc(quint8 identifyOnly, quint8 fillWizard, data::Record &album);

// The calling thread's disc track queue as the identifier arithmetic takes it, and back.
DiscTrackList DiscTrackQueue();
void setDiscTrackQueue(const DiscTrackList &tracks);

// Runs fn with the record in ALB's buffer and takes the buffer back into the record after it:
// the shared buffer serves only between two waits, fn must not wait.
void withAlbumBuffer(data::Record &album, const std::function<void()> &fn);

// The identifier of the disc in this thread's track queue into the album's XCCD and the length
// the identifier counts, in hundredths, into its TOTALTIME.
void StoreDiscIdentifier(data::Record &album);

// Primes the songs buffer with a new song for a track the album's songs lack, from the album
// in ALB's buffer (artist, album title, media, file number, release date, category): the next
// song identifier, side GLO.Side, the title "Track n" and the time; every other field cleared.
void primeTrackSong(qint32 track, qint32 time);

// The album's data (`album`, ALB's layout) into its songs as every song of an album takes them
// (takeAlbumData), the artist too for a `singleArtist` album: the songs of side `side`, or of
// every side when it is negative. A song follows the album where it still holds what it took from
// the album as `took` was (none when `took` is empty). In one transaction and without waiting;
// false, the error set, when it failed. The buffers are left as they were.
bool albumDataToSongs(const data::Record &album, const data::Record &took, int side = -1, bool singleArtist = false);

} // namespace tbk

