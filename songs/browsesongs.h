#pragma once
// The song list: every song in eight sort orders with a locator each, filtered by media or
// category on two of them, searched through the query wizard, edited through the song form,
// and dragged to other windows as "Songs" (the dropped text is the song's MUS:ID).
#include <QString>

namespace tbk {

// The drag identifier of songs dragged between windows.
inline const char *const kSongsDrag = "Songs";

// The report each tab prints (tab 1 to 8; any other number prints by artist).
QString songReportOfTab(int tab);

void BrowseSongs();

} // namespace tbk
