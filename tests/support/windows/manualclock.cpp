#include "support/windows/manualclock.h"

#include "runtime/threads/scheduler.h"
#include "support/windows/windowtesting.h"

#include <algorithm>

namespace tbk::windowtest {

class ManualClock::ManualTimer : public TimerClock::Timer {
public:
    ManualTimer(std::weak_ptr<State> state, quint64 id) : state_(std::move(state)), id_(id) {}
    ~ManualTimer() override {
        if (auto s = state_.lock())
            std::erase_if(s->timers, [this](const Entry &e) { return e.id == id_; });
    }

private:
    std::weak_ptr<State> state_;
    quint64 id_;
};

ManualClock::ManualClock() : state_(std::make_shared<State>()) { setTimerClock(this); }

ManualClock::~ManualClock() {
    if (&timerClock() == this)
        setTimerClock(nullptr);
}

std::unique_ptr<TimerClock::Timer> ManualClock::start(int hundredths, bool repeating, std::function<void()> fire) {
    const int after = std::max(0, hundredths);
    const quint64 id = state_->nextId++;
    // A repeating timer of no interval would fire for ever within one advance.
    state_->timers.push_back(Entry{id, state_->now + after, repeating ? std::max(1, after) : 0, std::move(fire)});
    return std::make_unique<ManualTimer>(state_, id);
}

void ManualClock::advance(int hundredths) {
    const auto s = state_;
    const qint64 end = s->now + std::max(0, hundredths);
    const bool outsideThreads = currentThreadNumber() == 0;
    for (;;) {
        auto next = std::min_element(s->timers.begin(), s->timers.end(), [](const Entry &a, const Entry &b) {
            return a.due != b.due ? a.due < b.due : a.id < b.id;
        });
        if (next == s->timers.end() || next->due > end)
            break;
        s->now = next->due;
        // Firing may start and stop timers: take what it needs first.
        const std::function<void()> fire = next->fire;
        if (next->interval > 0)
            next->due += next->interval;
        else
            s->timers.erase(next);
        fire();
        if (outsideThreads)
            runUntilIdle();
    }
    s->now = end;
}

qint64 ManualClock::now() const { return state_->now; }

int ManualClock::pending() const { return int(state_->timers.size()); }

} // namespace tbk::windowtest
