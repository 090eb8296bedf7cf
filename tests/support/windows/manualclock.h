#pragma once
// A clock for window timers and timed waits that moves only when the test moves it, so that
// timer-driven windows are tested without waiting real seconds.
#include "runtime/threads/timerclock.h"

#include <QtGlobal>

#include <vector>

namespace tbk::windowtest {

class ManualClock : public TimerClock {
public:
    ManualClock();            // puts itself in
    ~ManualClock() override;  // real time again; its timers never fire
    ManualClock(const ManualClock &) = delete;
    ManualClock &operator=(const ManualClock &) = delete;

    std::unique_ptr<Timer> start(int hundredths, bool repeating, std::function<void()> fire) override;

    // Moves time on. Every timer that falls due meanwhile fires in the order they fall due (the
    // one started first first at the same moment), and the logical threads take what each
    // firing brought before the next fires, as they would in real time.
    void advance(int hundredths);
    // Hundredths since the clock was put in.
    qint64 now() const;
    // Timers started and not yet stopped (single ones not yet fired).
    int pending() const;

private:
    struct Entry {
        quint64 id;
        qint64 due;
        int interval;   // 0: fires once
        std::function<void()> fire;
    };
    struct State {
        qint64 now = 0;
        quint64 nextId = 1;
        std::vector<Entry> timers;
    };
    class ManualTimer;
    std::shared_ptr<State> state_;
};

} // namespace tbk::windowtest
