#pragma once
// What the benchmarks of windows share: a run offscreen with its own settings folder, and a
// settle that lets Qt and every logical thread do what they have to.
#include "bench/data/catalogue.h"
#include "core/fileaccess.h"
#include "runtime/threads/event.h"
#include "runtime/threads/scheduler.h"

#include <QString>

#include <functional>
#include <initializer_list>

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
    // The kept catalogue of `songs` songs with `files` open for the whole run, as the frame keeps
    // them; a window open on another catalogue is closed first. False when it was in use already.
    bool useCatalogue(int songs, std::initializer_list<data::DataFile *> files) {
        if (songs_ == songs)
            return false;
        close();
        useKeptCatalogue(songs);
        for (data::DataFile *f : files)
            openForUse(*f);
        songs_ = songs;
        return true;
    }
    // An event on the window's list (W has list()), as a key, a scroll or typing posts it.
    void postToList(EventKind kind, int key = 0, int value = 0, const QString &text = {}) const {
        Event e = Event::of(kind, window_->frame(), window_->list().control());
        e.key = key;
        e.value = value;
        e.text = text;
        postToWindow(window_->frame(), e);
    }
    W *operator->() const { return window_; }
    W &operator*() const { return *window_; }
    explicit operator bool() const { return window_ != nullptr; }

private:
    W *window_ = nullptr;
    int songs_ = 0;
};

// A field of /proc/self/status ("VmRSS:") in kilobytes; -1 when it cannot be read.
double statusKilobytes(const char *field);

// Times `step` and the settling after it, once per iteration; `before` runs untimed ahead of
// it. The run stops with an error as soon as `fine` answers false after a step.
void timeSteps(benchmark::State &state, const std::function<void()> &before, const std::function<void()> &step,
               const std::function<bool()> &fine, const char *error);
// Runs the registered benchmarks as a windowed program would (offscreen unless a platform is
// set), then `finish` (windows closed by then), then every data file closed.
int runWindowBenchmarks(int argc, char **argv, const std::function<void()> &finish = {});

} // namespace tbk::bench
