#pragma once
// The album form: adds, changes, copies and deletes an album, with its track list.
namespace tbk {

void UpdateAlbum();

} // namespace tbk
