#pragma once
// A playlist's entries without a window: their total playing time, a song appended after the
// last entry, and the check of a dropped song.
#include <QString>
#include <QtGlobal>

#include <optional>

namespace tbk {

// The playing time of the playlist's entries, as a time value: the durations of their songs
// added (a time value is a duration plus one hundredth, which the total keeps once), or 0 when
// no entry has a song with a time. Entries whose song is gone add nothing. The entries and
// songs buffers are left as they were. False on a read error other than a missing song.
bool playlistTotalTime(qint32 playlist, qint32 &total);

// The song into the songs buffer; false, the buffer blank, when the identifier names none (the
// error then tells a missing song, 35, from a read error).
bool readSong(qint64 id);

// The song a drop names: a positive whole number that is the identifier of an existing song.
std::optional<qint32> droppedSong(const QString &text);

enum class Appended { Added, GaveUp, ReadError };
// Adds an entry for the song after the playlist's last entry (sequence 1 in an empty one) and
// leaves it in the entries buffer. Every third failed add asks by standard warning 25 whether
// to go on; a read error shows standard warning 35 naming the entries file.
Appended appendToPlaylist(qint32 playlist, qint32 song);

} // namespace tbk
