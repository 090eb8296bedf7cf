#pragma once
// The song form: adds, changes, copies and deletes one song, with its media and category
// lookups, range checks, the album data of the album windows that call it, and the hand-over
// of a new song to the add wizards.
#include "runtime/data/record.h"
#include "runtime/values/text.h"

#include <QString>
#include <QtGlobal>

#include <functional>

namespace tbk {

// Whether a new song takes the current album's data (0 none; 1 the album windows; 2 a
// single-artist album, whose artist every song takes; 3 a compilation). Shared by all threads.
extern quint8 AlbumSongMode;
// "OK" or "Cancel" as the song form was left; the album windows' edit-all loops read it.
extern FixedString<20> EditLoopStatus;

// The add-mode choice, asked when the setting leaves it open; returns the chosen text. Until
// its window is set here the form goes on as a normal form.
void setAddModeChooser(std::function<QString()> chooser);

// One more than the highest track number of the songs with the songs buffer's album and side
// (1 when there is none); the buffer is left as it was.
qint32 nextTrackNumber();

void UpdateSong();

} // namespace tbk
