#pragma once
// The add wizards: a whole album entered in one window, as a header of the songs' common values
// and a list of track rows kept in the work file under the thread's own number; OK writes a
// song per row and the album. Their track forms edit one row each.
#include <QString>

namespace tbk {

// Called with request 1 (the song form), 4 (copy of the song in the buffer) or none (the frame,
// the album explorer); requests 2 and 3 are refused. They always answer cancelled.
void AddSingleArtist();
void AddCompilation();

// A work row of the calling thread added (request 1), changed (2) or deleted (3); the row is in
// the work file's buffer. The first edits title, time and track; the second the artist as well.
void UpdateAddWizardNoArtist();
void UpdateAddWizard();

// Asks how a new song is entered: "Compilation", "Single Artist" or "Normal", blank-padded to 20
// characters. Leaves GlobalRequest as it is.
QString SelectAddMode();

} // namespace tbk
