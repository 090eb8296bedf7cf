#pragma once
// The explorer-style song list: the songs by artist in columns the user lays out and orders by a
// header click, searched through the query wizard, edited through the song form, dragged to
// other windows as "Songs"; it starts the import and the export and opens the frame's reports.
#include "impex/xplorebrowse.h"
#include "songs/songlists.h"

class QPushButton;

namespace tbk {

class XploreSongsWindow : public XploreBrowse {
public:
    // The search's field list may be another than the songs' own (a test of a refused one).
    explicit XploreSongsWindow(const QString &queryFields = {});
    using Browse::list;
    // The list filtered by a query's filter text, as when the wizard ran it.
    void search(const QString &filter);

protected:
    QWidget *buildExplorer() override;
    bool openRoutine() override;
    void refreshed() override;

private:
    void startProcedure(const QString &name);

    QPushButton *import_ = nullptr, *export_ = nullptr;
    SongSearch search_;
};

void XploreSongs();

} // namespace tbk
