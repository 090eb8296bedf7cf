#pragma once
// What a song takes of its album: one rule for every window that gives songs an album's data
// and for the update of a stored album.
#include "runtime/data/record.h"

namespace tbk {

// Which of the album's values a song may take: any (as takeFromAlbum says), or only those the
// album changed since `took` (a stored album changed: `took` is the album as it was stored).
enum class AlbumValues { Any, Changed };

// The album's value of a field (ALB's buffer) into the song's (MUS's buffer) where the song has
// none of its own: where its value is blank or 0, or still what it took from the album as `took`
// was (ALB's layout); always with `always`. With AlbumValues::Changed only a value that differs
// from took's is taken, and only where the song holds took's value (a blank is the song's own
// then), or always with `always`.
void takeFromAlbum(const data::FieldProxy &song, const data::FieldProxy &album, bool always,
                   const data::Record *took = nullptr, AlbumValues values = AlbumValues::Any);
// What every song of an album takes of it: the album title and media; the file number, release
// date and category as takeFromAlbum takes them; with `artist`, the artist too (a single-artist
// album; a compilation's songs keep theirs).
void takeAlbumData(bool always, const data::Record *took = nullptr, bool artist = false,
                   AlbumValues values = AlbumValues::Any);

} // namespace tbk
