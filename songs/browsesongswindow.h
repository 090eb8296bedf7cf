#pragma once
// The song list's window, for what runs it other than the frame (a benchmark, screenshots).
#include "records/browse.h"
#include "runtime/ui/listcontrol.h"
#include "songs/songlistwindow.h"

#include <QString>

class QPushButton;
class QTabWidget;

namespace tbk {

class BrowseSongsWindow : public SongListWindow<Browse> {
public:
    BrowseSongsWindow();
    using Browse::list;
    QTabWidget *tabs() const { return tabs_; }

protected:
    QWidget *buildWindow() override;
    void refreshed() override;

private:
    QTabWidget *tabs_ = nullptr;
    QPushButton *print_ = nullptr;
};

} // namespace tbk
