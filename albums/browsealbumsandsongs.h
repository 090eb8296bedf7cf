#pragma once
// The albums-and-songs browser ("Meta-Browser"): the album list in five sort orders with every
// album operation, and beneath it the songs of the highlighted album by side and track, shown
// only.
#include "records/browse.h"

#include <QList>

#include <memory>

class QPushButton;
class QTabWidget;

namespace tbk {

class BrowseAlbumsAndSongsWindow : public Browse {
public:
    BrowseAlbumsAndSongsWindow();
    ~BrowseAlbumsAndSongsWindow() override;
    using Browse::list;
    BrowseList &songs() const { return *songs_; }
    QTabWidget *tabs() const;

protected:
    QWidget *buildWindow() override;
    bool openRoutine() override;
    void refreshed() override;
    void closeRoutine() override;

private:
    void setUpSongs();
    void songPopup();

    QPushButton *wizard_ = nullptr;
    ListControl *songControl_ = nullptr;
    std::unique_ptr<BrowseList> songs_;
    QList<ListPopupItem> songPopup_;
    bool albumsEmpty_ = true;
};

void BrowseAlbumsAndSongs();

} // namespace tbk
