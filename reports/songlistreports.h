#pragma once
// The songs listed by media, by album, by beats per minute and the songs of one category, each
// a standard report with its brief twin.
namespace tbk {

void PrintSongsByMedia();
void PrintSongsByMediaBrief();
void PrintSongsByAlbum();
void PrintSongsByAlbumBrief();
// Asks for the category first; a choice not made ends the report with nothing printed.
void PrintSongsByCategory();
// The category in the categories buffer, as its standard member left it there.
void PrintSongsByCategoryBrief();
void PrintSongsByBPM();
void PrintSongsByBPMBrief();

// The standard members by name, for the frame's menu and the song list's Print.
void registerSongListReports();

} // namespace tbk
