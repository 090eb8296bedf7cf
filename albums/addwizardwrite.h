#pragma once
// What an add wizard's OK writes: the album of its header (or the album the songs link to) and
// one song per work row of its owner, each row removed as its song is written. Both work on the
// shared buffers between their messages and put nothing of theirs there across a wait; the
// files must be open.
#include "runtime/data/record.h"

#include <QString>
#include <QtGlobal>

namespace tbk {

enum class AddWizardKind { SingleArtist, Compilation };

// The album artist of a compilation, and of CD rows of an album without artist.
inline const char *const kVariousArtist = "Various";

// The album step. `header` is the wizard's songs record (artist, album title, media, file number,
// release date, category, notes); a compilation's album is by "Various". With addAlbum the album
// is added with the disc serial (blanked when another album has it) and " (Copy)" after a title
// the artist has already; a title that is taken even so is refused with a message. Without it,
// the album of that artist and title is looked up. Returns the album the songs link to: 0 when
// none was found, refused or added.
qint32 AddWizardAlbumStep(const data::Record &header, AddWizardKind kind, const QString &discSerial, bool addAlbum);

// The write step: a song per work row of `owner`, in key order, made of the header's values with
// the row's track, title ("Track n" when blank), time (and its minutes and seconds as the first
// additional information) and, for a compilation, artist; linked to `albumID`. A row whose song
// was added is deleted; one whose song could not be added stays, with a message. Returns the
// number of songs added.
int AddWizardWriteSongs(const data::Record &header, AddWizardKind kind, qint32 albumID, qint64 owner);

// The minutes and seconds of a time value as "mm:ss" (hours dropped).
QString minutesAndSeconds(qint32 time);

} // namespace tbk
