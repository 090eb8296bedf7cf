#include "runtime/ui/window.h"

#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadwindows.h"
#include "runtime/ui/windowevents.h"
#include "runtime/ui/windowplace.h"

#include <QWidget>

namespace tbk {

Window::Window(QString procedureName) : name_(std::move(procedureName)) {}

Window::~Window() {
    if (widget_)
        delete widget_.data();
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
    adoptWindow(widget_);
    events_ = new WindowEvents(widget_, &resizer_);
    events_->watchControls();
    widget_->show();
    resizer_.init(widget_, resizeMode_);
    RestoreWindowPosition(widget_, QString::fromLatin1(kPositionFile), name_);
    postToWindow(widget_, Event::of(EventKind::OpenWindow));
}

void Window::loop() {
    while (!loopEnds_)
        takeEvent(waitEvent(widget_));
}

void Window::takeEvent(const Event &e) {
    if (e.kind == EventKind::CloseWindow || e.kind == EventKind::CloseDown)
        closeWindow();
}

void Window::finish() {
    struct Release {
        Window *w;
        ~Release() {
            if (!w->widget_)
                return;
            if (w->events_)
                w->events_->setTimer(0);
            SaveWindowPosition(w->widget_, QString::fromLatin1(kPositionFile), w->name_);
            w->resizer_.free();
            releaseWindow(w->widget_);
            w->widget_->hide();
            w->widget_->deleteLater();
            w->widget_ = nullptr;
            w->events_ = nullptr;
        }
    } release{this};
    closeRoutine();
}

void Window::setTimer(int hundredths) {
    if (events_)
        events_->setTimer(hundredths);
}

void Window::alertKey(QObject *control, int key) {
    if (events_)
        events_->alertKey(control, key);
}

} // namespace tbk
