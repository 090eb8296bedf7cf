#pragma once
// The album list: every album in five sort orders (two limited to a category of their own),
// edited through the album form, with the wizards, the album report, the label wizard
// and the flap printer. It reaches all of them by name, so each of its buttons and menu items
// stays disabled until its procedure is registered.
#include "records/browse.h"
#include "runtime/ui/listcontrol.h"

class QPushButton;
class QTabWidget;

namespace tbk {

class WindowBuilder;

inline const char *const kAlbumForm = "UpdateAlbum";
inline const char *const kAlbumWizard = "AlbumWizard";
inline const char *const kCddbWizard = "CDDBWizard";
inline const char *const kAlbumReport = "PrintAlbumsWithSongs";
inline const char *const kLabelWizard = "LabelWizard";

// What the album lists share: their columns and row, the five sort tabs ("Album", "Artist",
// "File #", "Category", "Cat/Art"; each category tab limited to its own category, taken from the
// category buffer when first shown and changed by its "Select Cate&gory" button) and their orders, the popup's label items.
QString albumListFormat();
std::vector<QVariant> albumListRow();
struct AlbumSortTabs {
    QPushButton *selectCategory[2] = {};
};
AlbumSortTabs buildAlbumSortTabs(WindowBuilder &b);
void addAlbumSortOrders(BrowseList &albums);
// "Create Label..." and the flap page of the album in the buffer captioned `flapCaption`, each
// greyed while its procedure is not registered.
QList<ListPopupItem> albumLabelItems(const QString &flapCaption);
// A wizard run by name on this thread, an insert when `insert`; false when it is not registered.
bool runAlbumWizard(const char *name, bool insert);

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
