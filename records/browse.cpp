#include "records/browse.h"

#include "core/artwork.h"
#include "core/frame.h"
#include "records/listformats.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/dialogs.h"
#include "runtime/ui/browsetoolbar.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"
#include "runtime/ui/windowevents.h"
#include "runtime/values/text.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

namespace tbk {

namespace {
// The frame's Help command, which F1 chooses.
constexpr int kHelpCommand = -46;

bool usable(const QPushButton *b) { return usableButton(b); }

bool navigate(BrowseList &l, qint32 navigation) {
    switch (navigation) {
    case Browse::NavigateNext:
        return l.scroll(ScrollLineDown);
    case Browse::NavigateLastPage:
        return l.scroll(ScrollBottom);
    case Browse::NavigateFirstPage:
        return l.scroll(ScrollTop);
    case Browse::NavigateNextPage:
        return l.scroll(ScrollPageDown);
    case Browse::NavigatePriorPage:
        return l.scroll(ScrollPageUp);
    case Browse::NavigatePrior:
        return l.scroll(ScrollLineUp);
    default:
        return false;
    }
}
} // namespace

bool usableButton(const QPushButton *b) { return b && b->isVisible() && b->isEnabled(); }

namespace {
bool popupItemEnabled(const ListPopupItem &item) {
    return item.button ? usable(item.button) : !item.enabled || item.enabled();
}
} // namespace

const ListPopupItem *listPopupChoice(const QList<ListPopupItem> &items) {
    if (items.isEmpty())
        return nullptr;
    QStringList texts;
    QList<const ListPopupItem *> numbered;
    for (const ListPopupItem &item : items) {
        if (!item.button && !item.action) {
            texts << QStringLiteral("-");
            continue;
        }
        texts << (popupItemEnabled(item) ? item.text : QLatin1Char('~') + item.text);
        numbered << &item;
    }
    const int chosen = popupMenu(texts.join(QLatin1Char('|')));
    if (chosen < 1 || chosen > numbered.size() || !popupItemEnabled(*numbered[chosen - 1]))
        return nullptr;
    return numbered[chosen - 1];
}

QPushButton *listKeyButton(const Event &e, bool empty, QPushButton *add, QPushButton *change, QPushButton *remove) {
    if (e.key == Qt::Key_Insert)
        return add;
    if (empty)
        return nullptr;
    if (e.key == Qt::Key_Delete)
        return remove;
    if (e.key == KeyMouseLeft2 || (e.key & ~Qt::KeyboardModifierMask) == Qt::Key_Return ||
        (e.key & ~Qt::KeyboardModifierMask) == Qt::Key_Enter)
        return change;
    return nullptr;
}

QList<int> listButtonKeys() {
    return {KeyMouseLeft2, int(Qt::Key_Insert), int(Qt::Key_Delete),
            QKeyCombination(Qt::ControlModifier, Qt::Key_Return).toCombined(),
            QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Enter).toCombined()};
}

ListFormCall callListForm(BrowseList &l, qint32 request, const std::function<void()> &form, bool primed) {
    ListFormCall call{request, 0, l.currentPosition()};
    if (request == InsertRecord) {
        if (!primed)
            l.primeNew();
    } else if (!l.rereadCurrent()) {
        return call;
    }
    for (;;) {
        call.previous = l.currentPosition();
        NavigationRequest = Browse::NavigateNone;
        call.response = callWithRequest(call.request, form);
        qint32 navigation = NavigationRequest;
        NavigationRequest = Browse::NavigateNone;
        if (navigation == Browse::NavigateNone || l.failed())
            break;
        if (navigation == Browse::NavigateChangeToInsert) {
            if (call.request == ChangeRecord)
                call.request = InsertRecord;
            navigation = Browse::NavigateNext;
        }
        if (navigation == Browse::NavigateNext && call.request == InsertRecord) {
            l.primeNew();
            continue;
        }
        // The move starts from the record the form left, which it may have moved in the key.
        const data::Position handled = call.request == DeleteRecord ? call.previous : l.file().position();
        if (!l.reload(handled ? handled : call.previous) || !navigate(l, navigation) || !l.rereadCurrent())
            break;
    }
    return call;
}

void reloadAfterForm(BrowseList &l, const ListFormCall &call) {
    if (l.failed())
        return;
    if (call.response == RequestCompleted && call.request != DeleteRecord)
        l.reload(l.file().position());   // the written record
    else
        l.reload(call.previous);         // a deleted record's place, or where the list stood
}

Browse::Browse(const QString &procedureName, std::initializer_list<data::DataFile *> files)
    : Window(procedureName), fileList_(files) {
    // A browse opened for a choice runs in front of its caller, the others inside the frame.
    setMdiChild(!selectMode());
}

Browse::~Browse() = default;

BrowseList &Browse::makeList(ListControl *control, data::DataFile &file, BrowseList::RowMaker makeRow) {
    list_ = std::make_unique<BrowseList>(control, file, std::move(makeRow));
    list_->setOnChange([this] { listChanged(); });
    return *list_;
}

Browse::Buttons Browse::editButtons(WindowBuilder &b, const QString &copyTip) {
    Buttons buttons;
    buttons.add = b.button(QStringLiteral("&Add"));
    buttons.copy = b.button(QStringLiteral("Cop&y"), copyTip);
    buttons.change = b.button(QStringLiteral("&Change"));
    buttons.remove = b.button(QStringLiteral("&Delete"));
    return buttons;
}

void Browse::setButtons(const Buttons &buttons) { buttons_ = buttons; }

void Browse::setSortTabs(QTabWidget *tabs) { tabs_ = tabs; }

int Browse::tab() const { return tabs_ ? tabs_->currentIndex() + 1 : 1; }

void Browse::setCountTitle(const QString &before, const QString &after) {
    title_ = [this, before, after] { return before + QString::number(list_->file().records()) + after; };
}

void Browse::setForm(const QString &procedure) {
    formProcedure_ = procedure;
    form_ = [procedure] { runProcedure(procedure); };
}

void Browse::setForm(std::function<void()> form) {
    formProcedure_.clear();
    form_ = std::move(form);
}

bool Browse::formAvailable() const {
    return form_ && (formProcedure_.isEmpty() || procedureRegistered(formProcedure_));
}

void Browse::setPopup(QList<PopupItem> items) { popup_ = std::move(items); }

// ---------------------------------------------------------------- opening

QWidget *Browse::createWindow() {
    files_.emplace();
    for (data::DataFile *f : fileList_)
        files_->add(*f);
    QWidget *w = buildWindow();
    if (!w || !list_)
        return w;
    if (tabs_ && !tabEntry_.isEmpty() && SaveLastTab) {
        const int saved = getIni(QString::fromLatin1(kSettingsSection), tabEntry_, QString(), ProgramIniFile).toInt();
        if (saved >= 1 && saved <= tabs_->count())
            tabs_->setCurrentIndex(saved - 1);
    }
    if (selectMode())
        callerRecord_ = list_->file().record();
    ListControl *l = list_->control();
    const QString design = replaceDatePictures(l->format(), DateFormat.str());
    l->setFormat(keepsFormat_ ? restoreListFormat(procedureName(), l->objectName(), design) : design);

    if (QPushButton *s = buttons_.select) {
        s->setVisible(selectMode());
        s->setEnabled(selectMode());
        if (selectMode())
            s->setDefault(true);
    }
    const auto button = [this](QPushButton *b, std::function<void()> fn) {
        if (b)
            on(b, EventKind::Accepted, std::move(fn));
    };
    button(buttons_.add, [this] { callForm(InsertRecord); });
    button(buttons_.change, [this] { callForm(ChangeRecord); });
    button(buttons_.remove, [this] { callForm(DeleteRecord); });
    button(buttons_.copy, [this] { callForm(SelectRecord); });
    button(buttons_.select, [this] { select(); });
    button(buttons_.close, [this] { closeWindow(); });
    on(l, EventKind::Scroll, [this](const Event &e) { list_->takeEvent(e); });
    on(l, EventKind::NewSelection, [this](const Event &e) { list_->takeEvent(e); });
    on(l, EventKind::AlertKey, [this](const Event &e) { listKey(e); });
    on(l, EventKind::MouseRightUp, [this] { popup(); });
    if (tabs_)
        on(tabs_, EventKind::NewSelection, [this] { refresh(); });
    on(nullptr, EventKind::Toolbar, [this](const Event &e) { toolbar(e.value); });
    return w;
}

bool Browse::openRoutine() {
    if (!list_)
        return true;
    ListControl *l = list_->control();
    for (int key : listButtonKeys())
        alertKey(l, key);
    alertKey(l, Qt::Key_Backspace);
    alertTyping(l);
    return true;
}

void Browse::setTitle() {
    if (!title_ || !list_)
        return;
    const QString title = title_();
    if (widget())
        widget()->setWindowTitle(title);
    if (frame() && frame() != widget())
        frame()->setWindowTitle(title);
}

// ---------------------------------------------------------------- refreshing

void Browse::refresh(bool force) {
    if (!list_ || closing())
        return;
    setTitle();   // the count is kept by the file, reading it costs nothing
    const int order = tabs_ ? std::max(0, tabs_->currentIndex()) : 0;
    markSelectedTab();
    bool locate = false;
    if (!opened_) {
        opened_ = true;
        // Select mode opens at the caller's record, by the sort order's key.
        if (selectMode()) {
            list_->file().setRecord(callerRecord_);
            locate = true;
        }
    }
    list_->refresh(order, force, locate);
    if (!list_->failed())
        refreshed();
}

void Browse::markSelectedTab() {
    if (!boldTab_ || !tabs_ || tabs_->currentIndex() == markedTab_)
        return;
    if (markedTab_ < 0)
        tabs_->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab:selected { font-weight: 700; }"));
    else if (markedTab_ < tabs_->count())
        tabs_->setTabText(markedTab_, clip(tabs_->tabText(markedTab_)));
    markedTab_ = tabs_->currentIndex();
    if (markedTab_ >= 0)
        tabs_->setTabText(markedTab_, clip(tabs_->tabText(markedTab_)) + QStringLiteral("   "));
}

void Browse::listChanged() {
    if (list_->failed()) {
        closeWindow();
        return;
    }
    const bool rows = !list_->empty();
    const bool form = formAvailable();
    if (buttons_.add)
        buttons_.add->setEnabled(form);
    for (QPushButton *b : {buttons_.change, buttons_.remove, buttons_.copy})
        if (b)
            b->setEnabled(rows && form);
    if (buttons_.select && selectMode())
        buttons_.select->setEnabled(rows);
    if (usesToolbar_)
        offerToolbar();
    refreshed();
}

void Browse::offerToolbar() {
    ToolbarState state;
    state.enable(ToolbarInsert, usable(buttons_.add))
        .enable(ToolbarChange, usable(buttons_.change))
        .enable(ToolbarDelete, usable(buttons_.remove));
    for (BrowseButton b : {ToolbarFirstPage, ToolbarLastPage, ToolbarNextPage, ToolbarPriorPage, ToolbarNextRecord,
                           ToolbarPriorRecord, ToolbarLocate, ToolbarHelp})
        state.enable(b);
    if (!insertTooltip_.isEmpty())
        state.setTooltip(ToolbarInsert, insertTooltip_);
    setToolbarState(state);
}

void Browse::takeEvent(const Event &e) {
    switch (e.kind) {
    case EventKind::OpenWindow:
        refresh();
        justOpened_ = true;
        Window::takeEvent(e);
        return;
    case EventKind::Sized:
        refresh();
        break;
    case EventKind::GainFocus:
        // Nothing tells a browse of another window's changes: it reads its page again, unless
        // it has just read it for opening.
        if (!justOpened_)
            refresh(true);
        break;
    default:
        break;
    }
    justOpened_ = false;
    Window::takeEvent(e);
}

// ---------------------------------------------------------------- keys, popup, toolbar

void Browse::listKey(const Event &e) {
    if (takeListKey(e))
        return;
    if (!e.text.isEmpty()) {
        list_->typeLocator(e.text);
        return;
    }
    if (e.key == Qt::Key_Backspace) {
        list_->backspaceLocator();
        return;
    }
    QPushButton *change = selectMode() && e.key == KeyMouseLeft2 ? buttons_.select : buttons_.change;
    press(listKeyButton(e, list_->empty(), buttons_.add, change, buttons_.remove));
}

// A button pressed by a key, a menu item or the toolbar runs as if it were clicked, when it can be.
void Browse::press(QPushButton *button) {
    if (!usable(button))
        return;
    if (button == buttons_.add)
        callForm(InsertRecord);
    else if (button == buttons_.change)
        callForm(ChangeRecord);
    else if (button == buttons_.remove)
        callForm(DeleteRecord);
    else if (button == buttons_.copy)
        callForm(SelectRecord);
    else if (button == buttons_.select)
        select();
    else
        button->click();   // the subclass's own button: its Accepted event follows
}

void Browse::popup() {
    if (popup_.isEmpty())
        return;
    // The items act on the highlighted record as the file holds it now.
    if (list_ && !list_->empty() && !list_->rereadCurrent() && list_->failed())
        return;
    const ListPopupItem *item = listPopupChoice(popup_);
    if (!item)
        return;
    if (item->button)
        press(item->button);
    else
        item->action();
}

void Browse::toolbar(int button) {
    if (!list_ || !usesToolbar_)
        return;
    BrowseList &scrolled = toolbarList_ ? *toolbarList_ : *list_;
    switch (button) {
    case ToolbarInsert:
        press(buttons_.add);
        return;
    case ToolbarChange:
        press(buttons_.change);
        return;
    case ToolbarDelete:
        press(buttons_.remove);
        return;
    case ToolbarHelp:
        postFrameCommand(kHelpCommand);
        return;
    case ToolbarFirstPage:
        scrolled.scroll(ScrollTop);
        break;
    case ToolbarLastPage:
        scrolled.scroll(ScrollBottom);
        break;
    case ToolbarNextPage:
        scrolled.scroll(ScrollPageDown);
        break;
    case ToolbarPriorPage:
        scrolled.scroll(ScrollPageUp);
        break;
    case ToolbarNextRecord:
        scrolled.scroll(ScrollLineDown);
        break;
    case ToolbarPriorRecord:
        scrolled.scroll(ScrollLineUp);
        break;
    default:   // Locate: typing on the list locates
        break;
    }
    scrolled.control()->setFocus();
}

// ---------------------------------------------------------------- the form

void Browse::callForm(qint32 request) {
    if (!list_ || !formAvailable())
        return;
    // Copy sends the browse's copy request on the highlighted record.
    const bool copy = request == SelectRecord;
    if (copy) {
        request = copyRequest_;
        if (!list_->rereadCurrent())
            return;
    }
    const ListFormCall call = callListForm(*list_, request, form_, copy);
    if (list_->failed())
        return;
    reloadAfterForm(*list_, call);
    setTitle();
    refresh();
    list_->control()->setFocus();
}

// The list is selected again after every call, so that the frame's toolbar serves it. A window
// of several lists keeps the one that had the focus, and an entry whose check failed keeps it.
void Browse::calledWindowClosed() {
    const QWidget *focus = widget()->focusWidget();
    if (!list_ || qobject_cast<const ListControl *>(focus) || qobject_cast<const QLineEdit *>(focus) ||
        qobject_cast<const QComboBox *>(focus))
        return;
    list_->control()->setFocus();
}

void Browse::select() {
    if (!list_ || list_->empty() || !list_->rereadCurrent())
        return;
    call_.setResponse(RequestCompleted);
    closeWindow();
}

void Browse::chooseFilter(data::DataFile &file, void (*browse)()) {
    // A list closed without a choice leaves the buffer as it was: the row it highlighted last
    // is no choice of the user's.
    const data::Record before = file.record();
    if (callWithRequest(SelectRecord, browse) == RequestCompleted)
        list().retakeChosen(list().sortOrder());
    else
        file.setRecord(before);
    refresh();
}

// ---------------------------------------------------------------- closing

void Browse::closeRoutine() {
    if (tabs_ && !tabEntry_.isEmpty())
        putIni(QString::fromLatin1(kSettingsSection), tabEntry_, QString::number(tab()), ProgramIniFile);
    if (list_) {
        if (keepsFormat_ && list_->control())
            saveListFormat(procedureName(), list_->control()->objectName(), list_->control()->format());
        list_.reset();
    }
    files_.reset();
}

} // namespace tbk
