#pragma once
// The album picker: called with request 4, it answers 1 with the chosen album's whole record
// in the album buffer, or 2 when closed (the buffer then holds the highlighted album).
namespace tbk {

void SelectAlbum();

} // namespace tbk
