#pragma once
// What the benchmarks of windows share: a run offscreen with its own settings folder, and a
// settle that lets Qt and every logical thread do what they have to.
#include "runtime/threads/event.h"
#include "runtime/threads/scheduler.h"

#include <functional>

namespace benchmark {
class State;
}

namespace tbk::bench {

// Qt's events and the ready threads, until no thread is busy; then the last paint.
void settleWindows();
// A window of type W (a tbk::Window) run on a thread of its own; reached through -> while open.
template <class W>
class BenchWindow {
public:
    void open() {
        startThread(
            [this] {
                W w;
                window_ = &w;
                w.run();
                window_ = nullptr;
            },
            kMinimumThreadStack);
        settleWindows();
    }
    void close() {
        if (window_) {
            postToWindow(window_->frame(), Event::of(EventKind::CloseWindow, window_->frame()));
            settleWindows();
        }
    }
    W *operator->() const { return window_; }
    explicit operator bool() const { return window_ != nullptr; }

private:
    W *window_ = nullptr;
};

// Times `step` and the settling after it, once per iteration; `before` runs untimed ahead of
// it. The run stops with an error as soon as `fine` answers false after a step.
void timeSteps(benchmark::State &state, const std::function<void()> &before, const std::function<void()> &step,
               const std::function<bool()> &fine, const char *error);
// Runs the registered benchmarks as a windowed program would (offscreen unless a platform is
// set), then `finish` (windows closed by then), then every data file closed.
int runWindowBenchmarks(int argc, char **argv, const std::function<void()> &finish = {});

} // namespace tbk::bench
