#pragma once
// The comma-delimited import of songs: the file dialog, the window "Assign fields for
// Import..." and, on OK, the import run. Started on a thread of its own from the frame and the
// song lists.
namespace tbk {

// Leaves the global response 1 after an import run (also a cancelled one), else 2.
void ImportSongs();

} // namespace tbk
