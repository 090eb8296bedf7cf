#pragma once
// The album wizard: one album entered in three pages (its kind and number of discs, its
// information, then its songs a side or disc at a time, a CD's tracks read from the drive) and
// stored by Finish.
namespace tbk {

// Answers completed when the album was stored, leaving it in the buffer.
void AlbumWizard();

} // namespace tbk
