#pragma once
// Two compact song lists in small print, one line a song: the whole catalogue, or the songs a
// query selects, on few pages. They ask whether to preview instead of the criteria, and read
// the criteria as the last criteria window left them.
namespace tbk {

void PrintPaperSaverByTitle();
void PrintPaperSaverByArtist();

void registerPaperSavers();

} // namespace tbk
