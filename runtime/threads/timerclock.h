#pragma once
// The time that window timers and timed waits follow: real time, unless a test puts in a
// clock of its own that it moves on by hand.
#include <functional>
#include <memory>

namespace tbk {

class TimerClock {
public:
    // A started timer; destroying it stops it.
    class Timer {
    public:
        virtual ~Timer() = default;
    };

    virtual ~TimerClock() = default;
    // Calls `fire` once the hundredths of a second have passed, and again after each further
    // interval when repeating, until the timer is destroyed (never from within `fire`).
    virtual std::unique_ptr<Timer> start(int hundredths, bool repeating, std::function<void()> fire) = 0;
};

// The clock in use.
TimerClock &timerClock();
// Puts a clock in; null puts real time back. The caller keeps it alive while it is in; a timer
// keeps the clock it was started on.
void setTimerClock(TimerClock *clock);

} // namespace tbk
