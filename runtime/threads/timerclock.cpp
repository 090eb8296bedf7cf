#include "runtime/threads/timerclock.h"

#include <QTimer>

#include <algorithm>

namespace tbk {

namespace {

class RealTimer : public TimerClock::Timer {
public:
    RealTimer(int hundredths, bool repeating, std::function<void()> fire) {
        timer_.setSingleShot(!repeating);
        QObject::connect(&timer_, &QTimer::timeout, [fire = std::move(fire)] { fire(); });
        timer_.start(std::max(0, hundredths) * 10);
    }

private:
    QTimer timer_;
};

class RealClock : public TimerClock {
public:
    std::unique_ptr<Timer> start(int hundredths, bool repeating, std::function<void()> fire) override {
        return std::make_unique<RealTimer>(hundredths, repeating, std::move(fire));
    }
};

RealClock g_real;
TimerClock *g_clock = &g_real;

} // namespace

TimerClock &timerClock() { return *g_clock; }

void setTimerClock(TimerClock *clock) { g_clock = clock ? clock : &g_real; }

} // namespace tbk
