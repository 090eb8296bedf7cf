#pragma once
// The playlist form: adds, changes and deletes a playlist, with its ordered entries.
namespace tbk {

void UpdatePlaylist();

} // namespace tbk
