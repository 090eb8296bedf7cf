#pragma once
// Internal to runtime/threads: one logical thread and the scheduler's state.
#include "runtime/threads/event.h"
#include "runtime/threads/stackswitch.h"
#include "runtime/threads/threadglobals.h"

#include <QPointer>
#include <QWidget>
#include <boost/context/fiber.hpp>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace tbk::detail {

struct OwnedWindow {
    QPointer<QWidget> widget;
    bool disabledByUs = false;   // we disabled it while a later window of the thread was open
    QList<QPointer<QWidget>> parts;  // of a frame hosting other threads' windows: what we disabled
};

struct LogicalThread {
    int number = 0;
    boost::context::fiber fiber;   // the thread, while it is suspended
    boost::context::fiber back;    // the scheduler, while the thread runs
    std::function<void()> procedure;
    std::deque<Event> events;
    std::vector<OwnedWindow> windows;   // in opening order; the last one is active
    int windowsAdopted = 0;              // ever, so that a caller can tell a call opened one
    ThreadGlobals globals;
    StackBounds stack;          // the thread's own stack
    StackBounds schedulerStack; // where it returns to
    void *fakeStack = nullptr;  // the sanitizer's bookkeeping for the stack being left
    bool ready = false;
    bool deferred = false;   // yielded: resume after Qt's next turn
    bool finished = false;
};

LogicalThread *current();
LogicalThread *find(int number);
// Begins closing every thread; the exit hook gets the code once the last thread has ended.
void beginClosing(int exitCode);
bool closing();
void callExitHook(int code);

} // namespace tbk::detail
