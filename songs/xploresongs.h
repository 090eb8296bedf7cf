#pragma once
// The explorer-style song list: the songs by artist in columns the user lays out and orders by a
// header click, searched through the query wizard, edited through the song form, dragged to
// other windows as "Songs"; it starts the import and the export and opens the frame's reports.
#include "impex/xplorebrowse.h"
#include "songs/songlistwindow.h"

class QPushButton;

namespace tbk {

class XploreSongsWindow : public SongListWindow<XploreBrowse> {
public:
    // The search's field list may be another than the songs' own (a test of a refused one).
    explicit XploreSongsWindow(const QString &queryFields = {});
    using Browse::list;

protected:
    QWidget *buildExplorer() override;
};

void XploreSongs();

} // namespace tbk
