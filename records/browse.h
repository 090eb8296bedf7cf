#pragma once
// The browse window: what every list window of records does, written once. A browse states
// its files, builds its window (list, buttons, sort tabs) and declares its list's sort orders;
// the base takes the call's request, opens and closes the files through the open counts, keeps
// the list's layout, refreshes, locates, runs the keys, popup menu and frame toolbar on the
// list, calls the form with the navigation loop and answers select mode.
//
//     class BrowseThings : public Browse {
//     public:
//         BrowseThings() : Browse("BrowseThings", {&THG}) {}
//     protected:
//         QWidget *buildWindow() override {
//             WindowBuilder b(*this, "Things", {200, 120});
//             ListControl *l = b.list("Browse", "80L(2)|M~Name~@s30@");
//             Buttons buttons{b.button("&Add"), b.button("&Change"), b.button("&Delete")};
//             buttons.select = b.button("&Select");
//             buttons.close = b.button("Cl&ose");
//             makeList(l, THG, [] { return std::vector<QVariant>{THG.Name.str()}; })
//                 .addSortOrder({&THG.KeyName});
//             setButtons(buttons);
//             setForm("UpdateThing");
//             return b.finish();
//         }
//     };
#include "records/browselist.h"
#include "core/fileaccess.h"
#include "records/procedurecall.h"
#include "runtime/ui/window.h"

#include <QList>
#include <QPointer>
#include <QString>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

class QPushButton;
class QTabWidget;

namespace tbk {

class ToolbarState;
class WindowBuilder;

// An item of a list's popup menu: it presses its button, or runs its action while `enabled`
// allows (greyed otherwise); an item with neither is a separator.
struct ListPopupItem {
    QString text;
    QPushButton *button = nullptr;
    std::function<void()> action = {};
    std::function<bool()> enabled = {};
};
// Shows the popup (items that cannot act greyed) and returns the item chosen, or null.
const ListPopupItem *listPopupChoice(const QList<ListPopupItem> &items);
// The button a key alerted on a list presses (Insert: add; on a list with rows double click
// and Ctrl+Enter: change, Delete: remove), or null.
QPushButton *listKeyButton(const Event &e, bool empty, QPushButton *add, QPushButton *change, QPushButton *remove);
// The keys a list alerts for listKeyButton: double click, Insert, Delete, Ctrl+Enter (both keys).
QList<int> listButtonKeys();
bool usableButton(const QPushButton *b);

// A form called on a list's record with the navigation loop: the current row's record, or for
// an insert a new one (primed by the list unless `primed` says the caller filled the buffer).
struct ListFormCall {
    qint32 request = 0;
    qint32 response = 0;
    data::Position previous = 0;   // where the list stood before the last call
};
ListFormCall callListForm(BrowseList &l, qint32 request, const std::function<void()> &form, bool primed = false);
// The list reloaded on the record the form wrote, or where it stood (a deleted record's place).
void reloadAfterForm(BrowseList &l, const ListFormCall &call);

class Browse : public Window {
public:
    Browse(const QString &procedureName, std::initializer_list<data::DataFile *> files);
    ~Browse() override;

    // The request the browse was called with; 4 is select mode.
    qint32 request() const { return call_.request(); }
    bool selectMode() const { return call_.request() == SelectRecord; }
    qint32 response() const { return call_.response(); }
    // The list the buttons, keys and toolbar act on.
    BrowseList &list() const { return *list_; }

    // The form's codes of NavigationRequest that move on to another record.
    enum Navigation : qint32 {
        NavigateNone = 0,
        NavigateChangeToInsert = 2000,
        NavigateLastPage = 2004,
        NavigateFirstPage = 2005,
        NavigateNextPage = 2006,
        NavigatePriorPage = 2007,
        NavigateNext = 2008,
        NavigatePrior = 2009,
    };

protected:
    // The subclass builds its window and declares its list and buttons with the calls below;
    // the files are open by then.
    virtual QWidget *buildWindow() = 0;

    struct Buttons {
        QPushButton *add = nullptr;
        QPushButton *change = nullptr;
        QPushButton *remove = nullptr;
        QPushButton *copy = nullptr;
        QPushButton *select = nullptr;
        QPushButton *close = nullptr;
    };
    BrowseList &makeList(ListControl *control, data::DataFile &file, BrowseList::RowMaker makeRow);
    void setButtons(const Buttons &buttons);
    // Add, Copy, Change and Delete, in that order, as most lists have them (no close button).
    static Buttons editButtons(WindowBuilder &b, const QString &copyTip = {});
    // Tab n selects sort order n.
    void setSortTabs(QTabWidget *tabs);
    // The entry of the program settings' "Settings" section that keeps the selected tab (1 up):
    // written on closing, and selected again on opening when SaveLastTab is set.
    void setTabEntry(const QString &entry) { tabEntry_ = entry; }
    // The selected tab, 1 up (1 without tabs).
    int tab() const;
    // The title shows the file's record count between the two texts.
    void setCountTitle(const QString &before, const QString &after);
    // A title made afresh at every refresh (counts of several files).
    void setCountTitle(std::function<QString()> title) { title_ = std::move(title); }
    // The form that Add, Change, Delete and Copy call, by procedure name or directly. While
    // the named procedure is not registered, those buttons stay disabled.
    void setForm(const QString &procedure);
    void setForm(std::function<void()> form);
    // The popup menu of a right click on the list (see ListPopupItem). The highlighted record
    // is read again before the menu shows.
    using PopupItem = ListPopupItem;
    void setPopup(QList<PopupItem> items);
    void setKeepsListFormat(bool keeps) { keepsFormat_ = keeps; }
    // The selected sort tab's caption in bold with three blanks appended (the bold text needs
    // the room); a tab losing the selection gets its caption back clipped.
    void setBoldSelectedTab(bool bold) { boldTab_ = bold; }
    void setInsertTooltip(const QString &text) { insertTooltip_ = text; }
    // The list the frame toolbar's navigation buttons scroll, when not the browse's own.
    void setToolbarList(BrowseList *l) { toolbarList_ = l; }
    // The request Copy calls the form with: 4 (copy), or 1 for a form that takes an insert
    // with a record in the buffer as a copy of it.
    void setCopyRequest(qint32 request) { copyRequest_ = request; }
    // False: the frame's browse buttons offer nothing for this window.
    void setUsesToolbar(bool uses) { usesToolbar_ = uses; }

    // Sets the title, takes the sort order from the tab and reloads as the list's rules say.
    void refresh(bool force = false);
    // After every refresh and every change of the page or row (button states are set by then).
    virtual void refreshed() {}
    // A key alerted on the list, before the browse's own keys; true when taken.
    virtual bool takeListKey(const Event &) { return false; }
    // Add (1), Change (2), Delete (3) or Copy (4) through the form with its navigation loop.
    void callForm(qint32 request);
    // Loads the current row's record into the buffer and closes completed.
    void select();
    // A tab's "Select ..." button: the record chosen in the list `browse` (select mode) becomes
    // what the selected order's chosen reset fields hold; a cancelled choice leaves the buffer
    // and the list as they were.
    void chooseFilter(data::DataFile &file, void (*browse)());

    QWidget *createWindow() final;
    bool openRoutine() override;
    void takeEvent(const Event &e) override;
    void closeRoutine() override;
    void calledWindowClosed() override;

private:
    void listChanged();
    void offerToolbar();
    void listKey(const Event &e);
    void popup();
    void toolbar(int button);
    void press(QPushButton *button);
    void setTitle();
    void markSelectedTab();
    bool formAvailable() const;

    ProcedureCall call_;
    std::vector<data::DataFile *> fileList_;
    std::optional<FilesInUse> files_;
    std::unique_ptr<BrowseList> list_;
    Buttons buttons_;
    QPointer<QTabWidget> tabs_;
    QString tabEntry_;
    std::function<QString()> title_;
    std::function<void()> form_;
    QString formProcedure_;
    QList<PopupItem> popup_;
    bool keepsFormat_ = true;
    bool usesToolbar_ = true;
    bool boldTab_ = false;
    int markedTab_ = -1;
    QString insertTooltip_;
    BrowseList *toolbarList_ = nullptr;
    qint32 copyRequest_ = SelectRecord;
    data::Record callerRecord_;
    bool opened_ = false;
    bool justOpened_ = false;
};

} // namespace tbk
