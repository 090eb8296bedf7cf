#include "runtime/threads/callprotocol.h"
#include "runtime/threads/dialogs.h"
#include "runtime/threads/threadglobals.h"
#include "threadtestfixture.h"

#include <QElapsedTimer>
#include <stdexcept>

using namespace tbk;
using namespace tbk::windowtest;

TEST_F(ThreadTest, ANewThreadRunsOnlyWhenItsStarterWaits) {
    QStringList log;
    startThread([&] {
        log << "first starts";
        startThread([&] { log << "second runs"; });
        log << "first goes on";
    });
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(log, (QStringList{"first starts", "first goes on", "second runs"}));
    EXPECT_TRUE(threadNumbers().empty());
}

TEST_F(ThreadTest, NumbersAreTheLowestFreeOnesAndAreReused) {
    std::vector<bool> release(5, false);
    auto waitUntilReleased = [&](int i) {
        return [&, i] { suspendUntil([&, i] { return bool(release[i]); }); };
    };
    EXPECT_EQ(startThread(waitUntilReleased(0)), 1);
    EXPECT_EQ(startThread(waitUntilReleased(1)), 2);
    EXPECT_EQ(startThread(waitUntilReleased(2)), 3);
    ASSERT_TRUE(runUntilIdle());
    release[1] = true;
    wakeThread(2);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(threadNumbers(), (std::vector<int>{1, 3}));
    EXPECT_EQ(startThread(waitUntilReleased(3)), 2);
    EXPECT_EQ(startThread(waitUntilReleased(4)), 4);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(threadNumbers(), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(ThreadTest, EachThreadKeepsItsOwnGlobals) {
    std::vector<int> instances;
    bool go = false;
    auto body = [&](int track) {
        return [&, track] {
            threadGlobals().TrackQueue.append(TrackEntry{track, 100});
            threadGlobals().TransferBuffer << QString::number(track);
            suspendUntil([&] { return go; });
            EXPECT_EQ(threadGlobals().TrackQueue.size(), 1);
            EXPECT_EQ(threadGlobals().TrackQueue.front().start, track);
            EXPECT_EQ(threadGlobals().TransferBuffer, QStringList{QString::number(track)});
            instances.push_back(threadGlobals().ThreadInstance);
        };
    };
    const int a = startThread(body(150));
    const int b = startThread(body(33000));
    ASSERT_TRUE(runUntilIdle());
    go = true;
    wakeThread(a);
    wakeThread(b);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(instances, (std::vector<int>{a, b}));
    EXPECT_TRUE(threadGlobals().TrackQueue.isEmpty());   // outside any thread: untouched
}

TEST_F(ThreadTest, AnErrorEndsOnlyItsOwnThread) {
    bool otherDone = false;
    startThread([] { throw std::runtime_error("boom"); });
    startThread([&] {
        waitTimer(1);
        otherDone = true;
    });
    ASSERT_TRUE(runUntil([&] { return otherDone; }));
    EXPECT_TRUE(runUntilIdle());
    EXPECT_TRUE(threadNumbers().empty());
}

TEST_F(ThreadTest, WaitTimerSuspendsOnlyTheCallingThread) {
    QElapsedTimer clock;
    clock.start();
    qint64 sleeperWoke = -1;
    int otherSteps = 0;
    startThread([&] {
        waitTimer(5);   // hundredths: 50 ms
        sleeperWoke = clock.elapsed();
    });
    startThread([&] {
        for (int i = 0; i < 3; ++i) {
            ++otherSteps;
            yieldNow();
        }
    });
    ASSERT_TRUE(runUntil([&] { return otherSteps == 3; }));
    EXPECT_EQ(sleeperWoke, -1);
    ASSERT_TRUE(runUntil([&] { return sleeperWoke >= 0; }));
    EXPECT_GE(sleeperWoke, 45);
}

TEST_F(ThreadTest, CalleeTakesTheRequestAndLeavesItsResponse) {
    struct Case {
        qint32 localResponse;
        qint32 expected;
    } cases[] = {{0, RequestCancelled}, {RequestCompleted, RequestCompleted}, {RequestCancelled, RequestCancelled}};
    for (const Case &c : cases) {
        GlobalResponse = 99;
        qint32 seenRequest = -1;
        const qint32 response = callWithRequest(ChangeRecord, [&] {
            seenRequest = takeGlobalRequest();
            EXPECT_EQ(GlobalRequest, 0);
            EXPECT_EQ(GlobalResponse, 0);
            storeGlobalResponse(c.localResponse);
        });
        EXPECT_EQ(seenRequest, ChangeRecord);
        EXPECT_EQ(response, c.expected);
    }
}

TEST(FileFilter, RuntimePairsBecomeQtFilters) {
    EXPECT_EQ(qtFileFilter("Text files|*.txt|All files|*.*"), "Text files (*.txt);;All files (*.*)");
    EXPECT_EQ(qtFileFilter("Pictures|*.bmp;*.jpg"), "Pictures (*.bmp *.jpg)");
    EXPECT_EQ(qtFileFilter(""), "");
}

TEST_F(ThreadTest, AThreadWithoutWindowsTakesEventsPostedToIt) {
    QList<int> values;
    const int t = startThread([&] {
        for (int i = 0; i < 2; ++i)
            values << waitEvent(nullptr).value;
    });
    ASSERT_TRUE(runUntilIdle());
    for (int v : {5, 6}) {
        Event e;
        e.value = v;
        EXPECT_TRUE(postEvent(t, e));
    }
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(values, (QList<int>{5, 6}));
    EXPECT_FALSE(postEvent(t, Event{}));   // the thread has ended
}
