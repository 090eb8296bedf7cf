#pragma once
// The playlist in the playlist header buffer, as a list with its total time or as a chart that
// renumbers its entries in print order. Called on the playlist list's own thread.
namespace tbk {

void PrintPlaylist();
void PrintPlaylistChart();

void registerPlaylistReports();

} // namespace tbk
