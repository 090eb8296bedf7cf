#pragma once
// The playlist entry form: adds, changes and deletes one entry of a playlist, the song it plays
// chosen through the song picker, with a short note.
namespace tbk {

void UpdatePlaylistDetails();

} // namespace tbk
