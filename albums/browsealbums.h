#pragma once
// The album list: every album in five sort orders (two limited to the category in the category
// buffer), edited through the album form, with the wizards, the album report, the label wizard
// and the flap printer. It reaches all of them by name, so each of its buttons and menu items
// stays disabled until its procedure is registered.
#include "core/browse.h"
#include "runtime/ui/listcontrol.h"

class QPushButton;
class QTabWidget;

namespace tbk {

inline const char *const kAlbumForm = "UpdateAlbum";
inline const char *const kAlbumWizard = "AlbumWizard";
inline const char *const kCddbWizard = "CDDBWizard";
inline const char *const kAlbumReport = "PrintAlbumsWithSongs";
inline const char *const kLabelWizard = "LabelWizard";

class BrowseAlbumsWindow : public Browse {
public:
    BrowseAlbumsWindow();
    using Browse::list;
    QTabWidget *tabs() const { return tabs_; }

protected:
    QWidget *buildWindow() override;
    void refreshed() override;

private:
    // A wizard on this thread, then the list read again with the new count.
    void runWizard(const char *name, bool insert);
    void print();

    QTabWidget *tabs_ = nullptr;
    QPushButton *print_ = nullptr, *albumWizard_ = nullptr, *cddbWizard_ = nullptr;
};

void BrowseAlbums();

} // namespace tbk
