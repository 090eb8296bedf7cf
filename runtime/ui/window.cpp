#include "runtime/ui/window.h"

#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadwindows.h"
#include "runtime/ui/browsetoolbar.h"
#include "runtime/ui/windowevents.h"
#include "runtime/ui/windowplace.h"

#include <QGuiApplication>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace tbk {

namespace {
QPointer<QMdiArea> &mdiArea() {
    static QPointer<QMdiArea> area;
    return area;
}

// Big enough for what it shows (lists with all their columns), as far as the room allows; the
// lists took their columns after the layout was first made.
QSize openingSize(QWidget *w, QSize room) {
    for (QLayout *l : w->findChildren<QLayout *>())
        l->invalidate();
    const QSize designed = w->testAttribute(Qt::WA_Resized) ? w->size() : w->minimumSize();
    return designed.expandedTo(w->sizeHint()).boundedTo(room).expandedTo(w->minimumSize());
}

// From open to close, in opening order.
QList<Window *> &openWindows() {
    static QList<Window *> windows;
    return windows;
}
} // namespace

void Window::setMdiArea(QMdiArea *area) { mdiArea() = area; }

Window::Window(QString procedureName) : name_(std::move(procedureName)) {}

Window *Window::find(const QString &procedureName) {
    const QList<Window *> &windows = openWindows();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        if ((*it)->name_.compare(procedureName, Qt::CaseInsensitive) == 0)
            return *it;
    return nullptr;
}

Window::~Window() {
    openWindows().removeAll(this);
    if (frame_)
        delete frame_.data();
}

void Window::run() {
    // A close routine that calls another window while the program halts opens nothing.
    if (halting())
        return;
    open();
    if (!widget_)
        return;
    try {
        if (openRoutine())
            loop();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void Window::open() {
    loopEnds_ = false;
    widget_ = createWindow();
    if (!widget_)
        return;
    frame_ = widget_;
    if (mdiChild_ && mdiArea()) {
        const QRect designed = widget_->geometry();
        QMdiSubWindow *sub = mdiArea()->addSubWindow(widget_);
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        sub->setWindowTitle(widget_->windowTitle());
        // The document area gives a new child no size of its own: it would open as a bare title bar.
        const int border = sub->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub);
        const int title = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
        const QSize decoration(2 * border, title + border);
        const QSize content = openingSize(widget_, mdiArea()->viewport()->size() - decoration);
        sub->resize(content + decoration);
        sub->move(designed.topLeft());
        frame_ = sub;
    } else if (!widget_->parentWidget() && !(mdiArea() && widget_->isAncestorOf(mdiArea()))) {
        const QScreen *screen = mdiArea() ? mdiArea()->window()->screen() : QGuiApplication::primaryScreen();
        const int title = widget_->style()->pixelMetric(QStyle::PM_TitleBarHeight);
        widget_->resize(openingSize(widget_, screen->availableGeometry().size() - QSize(0, title)));
        // In front of the frame as its transient. Never the caller's: that one is disabled while
        // this is open and would disable it too.
        if (mdiArea()) {
            const QRect designed = widget_->geometry();
            widget_->setParent(mdiArea()->window(), widget_->windowFlags() | Qt::Window);
            widget_->setGeometry(designed);
        }
    }
    adoptWindow(frame_);
    openWindows().append(this);
    // Ahead of whatever showing the window makes Qt report.
    postToWindow(frame_, Event::of(EventKind::OpenWindow));
    events_ = new WindowEvents(frame_, widget_, &resizer_);
    events_->watchControls();
    frame_->show();
    if (!laidOut_)
        resizer_.init(widget_, resizeMode_);
    if (keepsPlace_)
        RestoreWindowPosition(frame_, QString::fromLatin1(kPositionFile), name_);
}

void Window::loop() {
    while (!loopEnds_) {
        const Event e = waitEvent(frame_);
        const int opened = windowsAdopted();
        if (!dispatch(e))
            takeEvent(e);
        if (!loopEnds_ && windowsAdopted() != opened && !windowCovered(frame_))
            calledWindowClosed();
    }
}

bool Window::dispatch(const Event &e) {
    if (e.kind == EventKind::Accepted && !controls_.passes(e.control))
        return true;
    return handlers_.dispatch(e);
}

void Window::on(QObject *control, EventKind kind, std::function<void()> fn) {
    handlers_.on(control, kind, fn ? HandlerTable::Handler([fn = std::move(fn)](const Event &) { fn(); }) : nullptr);
}

void Window::on(QObject *control, EventKind kind, HandlerTable::Handler fn) { handlers_.on(control, kind, std::move(fn)); }

void Window::takeEvent(const Event &e) {
    if (e.kind == EventKind::CloseWindow || e.kind == EventKind::CloseDown)
        closeWindow();
}

void Window::finish() {
    struct Release {
        Window *w;
        ~Release() {
            openWindows().removeAll(w);
            if (!w->frame_)
                return;
            if (w->events_)
                w->events_->setTimer(0);
            if (w->keepsPlace_)
                SaveWindowPosition(w->frame_, QString::fromLatin1(kPositionFile), w->name_);
            w->resizer_.free();
            releaseWindow(w->frame_);
            w->frame_->hide();
            w->frame_->deleteLater();
            w->frame_ = nullptr;
            w->widget_ = nullptr;
            w->events_ = nullptr;
            w->controls_.clear();
            w->handlers_.forgetControls();
        }
    } release{this};
    closeRoutine();
}

void Window::alertTyping(QObject *control) {
    if (events_)
        events_->alertTyping(control);
}

WindowEvents &Window::events() { return *events_; }

void Window::setToolbarState(const ToolbarState &state) { tbk::setToolbarState(frame_, state); }

void Window::setTimer(int hundredths) {
    if (events_)
        events_->setTimer(hundredths);
}

void Window::alertKey(QObject *control, int key) {
    if (events_)
        events_->alertKey(control, key);
}

} // namespace tbk
