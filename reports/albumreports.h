#pragma once
// The album lists by title, artist, file number and category (each a standard report with its
// brief twin), and the songs of one album.
namespace tbk {

void PrintAlbums();
void PrintAlbumsBrief();
void PrintAlbumsByArtist();
void PrintAlbumsByArtistBrief();
void PrintAlbumsByFileNumber();
void PrintAlbumsByFileNumberBrief();
void PrintAlbumsByCategory();
void PrintAlbumsByCategoryBrief();
// The songs of the album in the album buffer; called on the album list's own thread.
void PrintAlbumsWithSongs();

// The standard members for the frame's menu, and the album list's Print.
void registerAlbumReports();

} // namespace tbk
