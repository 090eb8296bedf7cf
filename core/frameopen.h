#pragma once
// The start-up's and the frame's way to the shared opening routine and open counts. Kept in one
// place so that the frame follows whatever the routine does (crash marker, recovery, upgrade,
// creation, "Disk Error").
namespace tbk::data {
class DataFile;
}

namespace tbk {

// Counts the file up, opening it when it was not open.
void useDataFile(data::DataFile &file);
// Counts the file down, closing it at 0.
void releaseDataFile(data::DataFile &file);
// Opens the Configuration store for the rest of the run (no count).
void openConfigurationFile();

} // namespace tbk
