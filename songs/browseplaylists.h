#pragma once
// The playlist list: every playlist by description, the way to the playlist form, the
// playlist prints and the playlist generator.
namespace tbk {

void BrowsePlayLists();

} // namespace tbk
