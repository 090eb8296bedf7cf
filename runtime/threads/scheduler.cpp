#include "runtime/threads/scheduler.h"

#include "runtime/threads/logicalthread.h"
#include "runtime/values/pause.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>
#include <QtDebug>
#include <boost/context/protected_fixedsize_stack.hpp>

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace ctx = boost::context;

namespace tbk {
namespace detail {
namespace {

struct SchedulerState {
    std::vector<std::unique_ptr<LogicalThread>> threads;
    LogicalThread *running = nullptr;
    bool runPosted = false;
    bool closing = false;
    int exitCode = 0;
    ThreadGlobals outsideGlobals;

    // Threads still suspended when the process ends are left as they are: unwinding them now
    // would run their close routines after Qt is gone.
    ~SchedulerState() {
        for (auto &t : threads)
            if (t->fiber)
                new ctx::fiber(std::move(t->fiber));
    }
};

SchedulerState &state() {
    static SchedulerState s;
    return s;
}

void scheduleRun() {
    auto &s = state();
    if (s.runPosted || !QCoreApplication::instance())
        return;
    s.runPosted = true;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [] {
            state().runPosted = false;
            scheduler::runReady();
        },
        Qt::QueuedConnection);
}

void makeReady(LogicalThread *t) {
    if (t->finished)
        return;
    t->ready = true;
    scheduleRun();
}

int lowestFreeNumber() {
    auto &s = state();
    for (int n = 1;; ++n) {
        auto used = std::any_of(s.threads.begin(), s.threads.end(),
                                [n](const auto &t) { return t->number == n; });
        if (!used)
            return n;
    }
}

// A guarded stack that tells its thread where it lies.
class RecordingStack {
public:
    RecordingStack(LogicalThread *t, std::size_t size) : thread_(t), stack_(size) {}
    ctx::stack_context allocate() {
        ctx::stack_context sc = stack_.allocate();
        thread_->stack.bottom = static_cast<char *>(sc.sp) - sc.size;
        thread_->stack.size = sc.size;
        return sc;
    }
    void deallocate(ctx::stack_context &sc) noexcept { stack_.deallocate(sc); }

private:
    LogicalThread *thread_;
    ctx::protected_fixedsize_stack stack_;
};

// Returns to the scheduler; comes back when the thread is resumed.
void yieldToScheduler() {
    LogicalThread *t = current();
    Q_ASSERT(t);
    beginSwitch(&t->fakeStack, t->schedulerStack);
    t->back = std::move(t->back).resume();
    endSwitch(t->fakeStack, nullptr);
}

void runProcedure(LogicalThread *t) {
    try {
        t->procedure();
    } catch (const ctx::detail::forced_unwind &) {
        throw;   // the fiber is being destroyed: let Boost finish it
    } catch (const HaltUnwind &) {
    } catch (const std::exception &e) {
        qCritical("Thread %d ended by an error: %s", t->number, e.what());
    } catch (...) {
        qCritical("Thread %d ended by an unknown error", t->number);
    }
}

// An event without a window goes to the thread's active window; a thread without windows
// takes it when it waits without one.
bool eventIsFor(const LogicalThread *t, const Event &e, const QWidget *window) {
    if (e.window)
        return e.window == window;
    const QWidget *active = nullptr;
    for (auto it = t->windows.rbegin(); it != t->windows.rend() && !active; ++it)
        active = it->widget;
    return active == window;
}

void removeFinished() {
    auto &s = state();
    s.threads.erase(std::remove_if(s.threads.begin(), s.threads.end(),
                                   [](const auto &t) { return t->finished && !t->fiber; }),
                    s.threads.end());
    if (s.closing && s.threads.empty()) {
        s.closing = false;
        callExitHook(s.exitCode);
    }
}

// A pause on a logical thread waits for a timer of its own, in real time whatever clock the
// windows' timers follow: what it waits for is another process.
bool pauseThread(int ms) {
    const int thread = currentThreadNumber();
    if (thread == 0)
        return false;
    auto over = std::make_shared<bool>(false);
    QTimer::singleShot(ms, QCoreApplication::instance(), [over, thread] {
        *over = true;
        wakeThread(thread);
    });
    suspendUntil([&] { return *over; });
    return true;
}

// Every program with logical threads links this file, so its threads pause by suspending.
[[maybe_unused]] const bool pauseInstalled = (setPauseHook(pauseThread), true);

} // namespace

LogicalThread *current() { return state().running; }

LogicalThread *find(int number) {
    for (auto &t : state().threads)
        if (t->number == number && !t->finished)
            return t.get();
    return nullptr;
}

void beginClosing(int exitCode) {
    auto &s = state();
    if (s.closing)
        return;
    s.closing = true;
    s.exitCode = exitCode;
    for (auto &t : s.threads)
        makeReady(t.get());
    if (s.threads.empty()) {
        s.closing = false;
        callExitHook(exitCode);
    }
}

bool closing() { return state().closing; }

} // namespace detail

using namespace detail;

ThreadGlobals &threadGlobals() {
    LogicalThread *t = current();
    return t ? t->globals : state().outsideGlobals;
}

int startThread(std::function<void()> procedure, std::size_t stackBytes) {
    auto &s = state();
    if (s.closing)
        return 0;
    auto t = std::make_unique<LogicalThread>();
    t->number = lowestFreeNumber();
    t->globals.ThreadInstance = t->number;
    t->procedure = std::move(procedure);
    LogicalThread *raw = t.get();
    t->fiber = ctx::fiber(std::allocator_arg,
                          RecordingStack(raw, std::max(stackBytes, kMinimumThreadStack)),
                          [raw](ctx::fiber &&sched) {
                              endSwitch(nullptr, &raw->schedulerStack);
                              raw->back = std::move(sched);
                              runProcedure(raw);
                              raw->finished = true;
                              // Leaving this stack for good.
                              beginSwitch(nullptr, raw->schedulerStack);
                              return std::move(raw->back);
                          });
    s.threads.push_back(std::move(t));
    makeReady(raw);
    return raw->number;
}

int currentThreadNumber() {
    LogicalThread *t = current();
    return t ? t->number : 0;
}

bool threadExists(int number) { return find(number) != nullptr; }

std::vector<int> threadNumbers() {
    std::vector<int> out;
    for (auto &t : state().threads)
        if (!t->finished)
            out.push_back(t->number);
    std::sort(out.begin(), out.end());
    return out;
}

bool postEvent(int thread, Event e) {
    LogicalThread *t = find(thread);
    if (!t)
        return false;
    if (e.kind == EventKind::Timer) {
        // A slow window sees one pending tick, not a backlog of them.
        for (const Event &q : t->events)
            if (q.kind == EventKind::Timer && q.window == e.window)
                return true;
    }
    t->events.push_back(std::move(e));
    makeReady(t);
    return true;
}

bool postToWindow(QWidget *window, Event e) {
    if (!window)
        return false;
    e.window = window;
    return postEvent(window->property("tbkThread").toInt(), std::move(e));
}

void suspendUntil(const std::function<bool()> &done) {
    LogicalThread *t = current();
    if (!t)
        throw std::logic_error("a blocking call needs a logical thread to suspend");
    for (;;) {
        if (closing())
            throw HaltUnwind{};
        if (done())
            return;
        yieldToScheduler();
    }
}

Event waitEvent(QWidget *window) {
    LogicalThread *t = current();
    std::deque<Event>::iterator found;
    suspendUntil([&] {
        found = std::find_if(t->events.begin(), t->events.end(),
                             [&](const Event &e) { return eventIsFor(t, e, window); });
        return found != t->events.end();
    });
    Event e = std::move(*found);
    t->events.erase(found);
    if (!e.window)
        e.window = window;
    return e;
}

void wakeThread(int number) {
    if (LogicalThread *t = find(number))
        makeReady(t);
}

void yieldNow() {
    LogicalThread *t = current();
    if (!t)
        return;
    t->deferred = true;
    yieldToScheduler();
    if (closing())
        throw HaltUnwind{};
}

namespace scheduler {

bool busy() {
    auto &s = state();
    if (s.runPosted)
        return true;
    return std::any_of(s.threads.begin(), s.threads.end(),
                       [](const auto &t) { return t->ready && !t->finished; });
}

void runReady() {
    auto &s = state();
    if (s.running) {
        scheduleRun();   // called from inside a thread: come back from the loop
        return;
    }
    for (;;) {
        auto it = std::find_if(s.threads.begin(), s.threads.end(),
                               [](const auto &t) { return t->ready && !t->finished; });
        if (it == s.threads.end())
            break;
        LogicalThread *t = it->get();
        t->ready = false;
        s.running = t;
        void *fake = nullptr;
        beginSwitch(&fake, t->stack);
        t->fiber = std::move(t->fiber).resume();
        endSwitch(fake, nullptr);
        s.running = nullptr;
        if (t->finished)
            removeFinished();
    }
    // A thread that yielded goes on after Qt has had its turn, not in this pass.
    for (auto &t : s.threads) {
        if (t->deferred) {
            t->deferred = false;
            makeReady(t.get());
        }
    }
}

void shutdown() {
    auto &s = state();
    if (s.threads.empty())
        return;
    beginClosing(0);
    runReady();
}

} // namespace scheduler
} // namespace tbk
