#pragma once
// The song list's window, for what runs it other than the frame (a benchmark, screenshots).
#include "core/browse.h"
#include "runtime/querywizard/queryfields.h"
#include "runtime/ui/listcontrol.h"

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
    QPushButton *search_ = nullptr, *reset_ = nullptr, *import_ = nullptr, *export_ = nullptr, *print_ = nullptr;
    QueryFieldQueue queue_;
    bool queueFailed_ = false;
    QString filter_;
};

} // namespace tbk
