#pragma once
// The comma-delimited export of songs: the window "Choose Fields for Export..." and, on OK,
// the export run. Started on a thread of its own from the frame and the song lists.
namespace tbk {

// Leaves the global response 1 when a run reached its progress window, else 2.
void ExportSongs();

} // namespace tbk
