#pragma once
// The explorer-style album list: the albums by title in columns the user lays out and orders by
// a header click, edited through the album form, with the two add wizards, and from its popup
// the label wizard and the flap page of the highlighted album. It leaves the frame's browse
// buttons alone.
#include "impex/xplorebrowse.h"

class QPushButton;

namespace tbk {

class XploreAlbumsWindow : public XploreBrowse {
public:
    XploreAlbumsWindow();
    using Browse::list;

protected:
    QWidget *buildExplorer() override;
    void refreshed() override;

private:
    // A wizard on this thread, then the list read again with the new count.
    void runWizard(const char *name);

    QPushButton *singleArtist_ = nullptr, *compilation_ = nullptr;
};

void XploreAlbums();

} // namespace tbk
