#pragma once
// The song list's window, for what runs it other than the frame (a benchmark, screenshots).
#include "core/browse.h"
#include "runtime/ui/listcontrol.h"
#include "songs/songlists.h"

#include <QString>

class QPushButton;
class QTabWidget;

namespace tbk {

class BrowseSongsWindow : public Browse {
public:
    BrowseSongsWindow();
    using Browse::list;
    QTabWidget *tabs() const { return tabs_; }
    // The list filtered by a query's filter text, as when the wizard ran it.
    void search(const QString &filter);

protected:
    QWidget *buildWindow() override;
    bool openRoutine() override;
    void refreshed() override;

private:
    void startProcedure(const QString &name);

    QTabWidget *tabs_ = nullptr;
    QPushButton *import_ = nullptr, *export_ = nullptr, *print_ = nullptr;
    SongSearch search_;
};

} // namespace tbk
