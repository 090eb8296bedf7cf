#pragma once
// The playlist form's window: the header with its notes (updateplaylist.cpp) and the list of
// its entries in sequence order with their total time (playlistentrylist.cpp).
#include "records/browse.h"
#include "records/form.h"
#include "records/sequencemover.h"
#include "runtime/ui/listcontrol.h"

#include <QPointer>

#include <memory>

namespace tbk {

class WindowBuilder;

class PlaylistForm : public Form {
public:
    PlaylistForm();
    ~PlaylistForm() override;

    // The entries list and its total, for what drives the form other than the user (a benchmark).
    BrowseList *entries() const { return entries_.get(); }
    qint32 totalTime() const { return total_; }

protected:
    QWidget *createForm() override;
    void formOpened() override;
    void refreshDisplay() override;
    void closeRoutine() override;

private:
    qint32 playlistID();
    // The header into its buffer, where the list's filter and the called windows read it;
    // nothing may wait between this and their reading it.
    void headerToBuffer();
    void ok();
    // A cancelled new playlist takes the entries added to it along.
    void dropCancelledPlaylist();

    // The entries list.
    void buildEntries(WindowBuilder &b);
    void setUpEntries();
    void refreshEntries(bool force = false);
    void entriesChanged();
    void entriesReloaded();
    void pressEntryButton(QPushButton *button);
    ListFormCall callEntryForm(qint32 request);
    void afterEntryCall(const ListFormCall &call);
    void addEntry();
    void changeEntry();
    void deleteEntry();
    void moveEntry(MoveMode mode);
    void dropSong(const QString &text);
    void chart();

    std::unique_ptr<BrowseList> entries_;
    QPointer<ListControl> entryList_;
    struct EntryButtons {
        QPushButton *up = nullptr, *top = nullptr, *down = nullptr, *bottom = nullptr;
        QPushButton *chart = nullptr, *add = nullptr, *change = nullptr, *remove = nullptr;
    } eb_;
    QPointer<QPushButton> ok_;
    qint32 total_ = 0;
};

} // namespace tbk
