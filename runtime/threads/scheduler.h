#pragma once
// Logical threads: cooperative fibers on the GUI thread. A thread runs until it waits (for an
// event of its window, an answer of a dialog, a timer); the scheduler then resumes the next
// thread that has something to do. Resuming happens only from a posted call on Qt's loop,
// never from inside a widget's signal, so a thread may delete its widgets freely.
#include "runtime/threads/event.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace tbk {

// Thrown inside a logical thread when the program is being halted: it unwinds the thread's
// procedures through their close routines. Never caught for good by procedure code.
struct HaltUnwind {};

// Every fiber gets at least this much stack, whatever the caller asks: Qt's layout and
// painting run on it.
constexpr std::size_t kMinimumThreadStack = std::size_t(1) << 20;

// Starts a procedure on a new logical thread with the lowest free number and returns that
// number (0 when the program is being halted). The new thread first runs when the caller waits.
int startThread(std::function<void()> procedure, std::size_t stackBytes = 25000);

// The calling logical thread's number; 0 outside any logical thread.
int currentThreadNumber();
bool threadExists(int number);
std::vector<int> threadNumbers();

// Queues an event for a thread; false when there is no such thread.
bool postEvent(int thread, Event e);
// Queues an event for the thread that owns the window (the window is set as its target).
bool postToWindow(QWidget *window, Event e);

// Suspends the calling thread until an event for the window arrives and returns it. Events
// without a window go to the thread's active window.
Event waitEvent(QWidget *window);
// Suspends the calling thread until done() holds. Whatever makes it hold must call
// wakeThread() for the waiting thread. Throws HaltUnwind when the program halts meanwhile,
// and std::logic_error when called outside any logical thread.
void suspendUntil(const std::function<bool()> &done);
void wakeThread(int number);
// Lets Qt and the other threads run once, then carries on.
void yieldNow();

namespace scheduler {
// True while a thread is ready to run or a run of the scheduler is pending.
bool busy();
// Resumes every ready thread until none is ready. Only from outside the logical threads.
void runReady();
// The threads a test or the program left behind are unwound (their windows closed) and freed.
void shutdown();
} // namespace scheduler

} // namespace tbk
