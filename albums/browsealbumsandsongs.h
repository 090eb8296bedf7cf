#pragma once
// The albums-and-songs browser ("Meta-Browser"): the album list in five sort orders with every
// album operation, and beneath it the songs of the highlighted album by side and track, shown
// only.
namespace tbk {

void BrowseAlbumsAndSongs();

} // namespace tbk
