#pragma once
// The songs listed in the order of one key: by chart number, by the user-defined key, by title
// and by artist, each a standard report with its brief twin.
namespace tbk {

void PrintSongsByChartNumber();
void PrintSongsByChartNumberBrief();
void PrintSongsByUserDefinedKey();
void PrintSongsByUserDefinedKeyBrief();
void PrintSongsByTitle();
void PrintSongsByTitleBrief();
void PrintSongsByArtist();
void PrintSongsByArtistBrief();

// The song filter of the lists that leave out the marked songs: true for a song whose artist
// contains "(*)", whose title contains "(Skips)", or that is marked skipped or not to be played.
bool songFiltered();

// The standard members by name, for the frame's menu and the song list's Print; the brief
// twins are called by their standard members alone.
void registerSongReports();

} // namespace tbk
