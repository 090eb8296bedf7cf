// Window timers and timed waits on a test's own clock: no real seconds pass.
#include "runtime/threads/dialogs.h"
#include "runtime/threads/scheduler.h"
#include "support/windows/manualclock.h"
#include "support/windows/scriptedwindow.h"
#include "support/windows/windowtesting.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tbk;
using namespace tbk::windowtest;

namespace {

class ManualClockTest : public ::testing::Test {
protected:
    void TearDown() override { endAllThreads(); }

    // A window on its own thread whose timer ticks every `hundredths`; each tick is logged with
    // the clock's time when the window takes it.
    ScriptedWindow *openTicking(const QString &name, int hundredths) {
        auto slot = std::make_shared<ScriptedWindow *>(nullptr);
        startThread([this, name, hundredths, slot] {
            ScriptedWindow w(name);
            w.onOpen = [hundredths](ScriptedWindow &self) { self.setTimer(hundredths); };
            w.onEvent = [this, name](ScriptedWindow &, const Event &e) {
                if (e.kind == EventKind::Timer)
                    log << QStringLiteral("%1@%2").arg(name).arg(clock.now());
            };
            *slot = &w;
            w.run();
        });
        EXPECT_TRUE(runUntilIdle());
        return *slot;
    }

    ManualClock clock;
    QStringList log;
};

TEST_F(ManualClockTest, TenSecondsOfAWindowTimerComeAtOnceAndNoneInRealTime) {
    ScriptedWindow *w = openTicking(QStringLiteral("CDPlayer"), 50);
    ASSERT_TRUE(w);
    runFor(150);   // real time does not move the clock
    EXPECT_TRUE(log.isEmpty());
    clock.advance(1000);
    EXPECT_EQ(w->seen.count(EventKind::Timer), 20);
    EXPECT_EQ(log.first(), "CDPlayer@50");
    EXPECT_EQ(log.last(), "CDPlayer@1000");
    clock.advance(49);
    EXPECT_EQ(log.size(), 20);
    clock.advance(1);
    EXPECT_EQ(log.size(), 21);
    w->setTimer(0);
    EXPECT_EQ(clock.pending(), 0);
    clock.advance(500);
    EXPECT_EQ(log.size(), 21);
}

TEST_F(ManualClockTest, TimersOfSeveralWindowsFireInTheOrderTheyFallDue) {
    openTicking(QStringLiteral("A"), 30);
    openTicking(QStringLiteral("B"), 50);
    clock.advance(150);
    EXPECT_EQ(log, (QStringList{"A@30", "B@50", "A@60", "A@90", "B@100", "A@120", "A@150", "B@150"}));
}

TEST_F(ManualClockTest, WaitTimerEndsWhenTheClockHasMovedFarEnough) {
    bool woke = false;
    startThread([&] {
        waitTimer(300);
        woke = true;
    });
    ASSERT_TRUE(runUntilIdle());
    clock.advance(299);
    EXPECT_FALSE(woke);
    clock.advance(1);
    EXPECT_TRUE(woke);
}

TEST(TimerClock, RealTimeIsBackOnceTheTestClockIsGone) {
    { ManualClock gone; }
    bool woke = false;
    startThread([&] {
        waitTimer(2);
        woke = true;
    });
    EXPECT_TRUE(runUntil([&] { return woke; }, 2000));
    endAllThreads();
}

} // namespace
