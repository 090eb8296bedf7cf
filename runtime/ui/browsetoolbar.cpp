#include "runtime/ui/browsetoolbar.h"

#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadwindows.h"

#include <QAction>
#include <QApplication>
#include <QDynamicPropertyChangeEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QWindow>

namespace tbk {

namespace {

const char *const kStateProperty = "tbkToolbarState";

// Inside the frame's own bars the focus says nothing about which window the buttons are for.
bool inBars(const QWidget *w) {
    for (; w; w = w->parentWidget())
        if (qobject_cast<const QToolBar *>(w) || qobject_cast<const QMenuBar *>(w))
            return true;
    return false;
}

} // namespace

const QList<BrowseButtonInfo> &browseButtons() {
    static const QList<BrowseButtonInfo> buttons{
        {ToolbarInsert, "Insert", "Insert a new Record", "browse-insert", true},
        {ToolbarChange, "Change", "Change the Record", "browse-change", false},
        {ToolbarDelete, "Delete", "Delete the Record", "browse-delete", false},
        {ToolbarSelect, "Select", "Select the Record", "browse-select", false},
        {ToolbarFirstPage, "First Page", "Go to the First Page", "browse-first-page", true},
        {ToolbarPriorPage, "Prior Page", "Go to the Prior Page", "browse-prior-page", false},
        {ToolbarPriorRecord, "Prior Record", "Go to the Prior Record", "browse-prior-record", false},
        {ToolbarNextRecord, "Next Record", "Go to the Next Record", "browse-next-record", false},
        {ToolbarNextPage, "Next Page", "Go to the Next Page", "browse-next-page", false},
        {ToolbarLastPage, "Last Page", "Go to the Last Page", "browse-last-page", false},
        {ToolbarLocate, "Locate", "Locate a Record", "browse-locate", true},
        {ToolbarHistory, "History", "Previous value", "browse-history", false},
        {ToolbarHelp, "Help", "Help", "browse-help", false},
    };
    return buttons;
}

const BrowseButtonInfo *browseButton(int id) {
    for (const BrowseButtonInfo &b : browseButtons())
        if (b.id == id)
            return &b;
    return nullptr;
}

ToolbarState &ToolbarState::enable(BrowseButton button, bool on) {
    if (on)
        enabled_ |= bit(button);
    else
        enabled_ &= ~bit(button);
    return *this;
}

ToolbarState &ToolbarState::setTooltip(BrowseButton button, const QString &text) {
    tooltips_.insert(button, text);
    return *this;
}

QString ToolbarState::tooltip(int button) const {
    if (auto it = tooltips_.constFind(button); it != tooltips_.cend())
        return *it;
    const BrowseButtonInfo *b = browseButton(button);
    return b ? QString::fromLatin1(b->tooltip) : QString();
}

void setToolbarState(QWidget *window, const ToolbarState &state) {
    if (!window)
        return;
    QWidget *owner = owningWindow(window);
    (owner ? owner : window)->setProperty(kStateProperty, QVariant::fromValue(state));
}

ToolbarState toolbarState(const QWidget *window) {
    const QWidget *owner = owningWindow(window);
    if (!owner)
        owner = window;
    if (!owner)
        return {};
    QVariant v = owner->property(kStateProperty);
    // Declared before the window went into the document area: kept by its content.
    if (!v.isValid())
        if (auto *sub = qobject_cast<const QMdiSubWindow *>(owner); sub && sub->widget())
            v = sub->widget()->property(kStateProperty);
    return v.value<ToolbarState>();
}

ToolbarRouter::ToolbarRouter(QWidget *frame, QMdiArea *area) : QObject(frame), frame_(frame), area_(area) {
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now)
            follow(now);
    });
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow *window) {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (window && top->windowHandle() == window) {
                follow(top->focusWidget() ? top->focusWidget() : top);
                return;
            }
    });
    if (area)
        connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *sub) {
            if (sub)
                follow(sub);
        });
}

ToolbarRouter::~ToolbarRouter() {
    if (target_)
        target_->removeEventFilter(this);
}

void ToolbarRouter::addButton(BrowseButton id, QAction *action) {
    action->setProperty(kBrowseButtonProperty, int(id));
    actions_.insert(id, action);
    connect(action, &QAction::triggered, this, [this, id] { press(id); });
    show();
}

void ToolbarRouter::follow(QWidget *widget) {
    if (inBars(widget))
        return;
    QWidget *window = owningWindow(widget);
    if (!window)
        return;
    // The frame itself stands for its active document: it comes to the front with the focus on
    // none of its documents when a click on its toolbar brings it there.
    if (window == frame_ && area_ && area_->activeSubWindow())
        window = area_->activeSubWindow();
    // A window under a called window of its own thread acts through that one, as the user sees
    // when the frame comes to the front over a called window.
    if (windowCovered(window))
        if (QWidget *called = activeThreadWindow(windowThread(window)))
            window = called;
    setTarget(window);
}

void ToolbarRouter::setTarget(QWidget *window) {
    if (window != target_) {
        if (target_)
            target_->removeEventFilter(this);
        target_ = window;
        if (window) {
            window->installEventFilter(this);
            connect(window, &QObject::destroyed, this, &ToolbarRouter::show, Qt::UniqueConnection);
        }
    }
    show();
}

bool ToolbarRouter::eventFilter(QObject *watched, QEvent *event) {
    if (watched != target_)
        return false;
    switch (event->type()) {
    case QEvent::DynamicPropertyChange:
        if (static_cast<QDynamicPropertyChangeEvent *>(event)->propertyName() == kStateProperty)
            show();
        break;
    case QEvent::EnabledChange:
        show();
        break;
    case QEvent::Hide:
        // Closed by its procedure: a called window gives the buttons back to its caller, the
        // thread's window before it. A window minimised by the user keeps its buttons.
        if (!event->spontaneous()) {
            QWidget *caller = activeThreadWindow(windowThread(target_));
            setTarget(caller != target_ ? caller : nullptr);
        }
        break;
    default:
        break;
    }
    return false;
}

void ToolbarRouter::show() {
    const bool usable = target_ && target_->isEnabled() && !windowCovered(target_);
    const ToolbarState state = usable ? toolbarState(target_) : ToolbarState{};
    for (auto it = actions_.cbegin(); it != actions_.cend(); ++it) {
        if (!*it)
            continue;
        (*it)->setEnabled(state.enabled(it.key()));
        (*it)->setToolTip(state.tooltip(it.key()));
        (*it)->setStatusTip(state.tooltip(it.key()));
    }
}

void ToolbarRouter::press(int id) {
    if (!target_ || !target_->isEnabled() || windowCovered(target_) || !toolbarState(target_).enabled(id))
        return;
    // The control that has the focus in the window, for buttons that act on it (history).
    QWidget *focus = target_->focusWidget();
    Event e = Event::of(EventKind::Toolbar, target_,
                        focus && focus != target_ && target_->isAncestorOf(focus) ? focus : nullptr);
    e.value = id;
    postToWindow(target_, std::move(e));
}

} // namespace tbk
