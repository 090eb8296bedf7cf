// Waiting for another process's lock suspends only the waiting thread: the other threads'
// windows go on taking their events, and the wait still ends as it did.
#include "coretest.h"

#include "core/referentialintegrity.h"
#include "runtime/data/errors.h"
#include "runtime/data/transaction.h"
#include "support/windows/scriptedwindow.h"

#include <QElapsedTimer>

using namespace tbk;
using namespace tbk::data;
using namespace coretest;
using tbk::windowtest::runUntil;

namespace {

struct Wait {
    bool ok = false;
    int error = -1;
    qint64 ms = 0;
    int ticks = 0;   // of the other window while the wait lasted
    bool ended = false;
};

class Waits : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        ASSERT_TRUE(CF.create());
        ASSERT_TRUE(MUS.create());
        ASSERT_TRUE(CF.open());
        ASSERT_TRUE(MUS.open());
        // Another thread's window with a timer every 5 hundredths.
        startThread(
            [this] {
                windowtest::ScriptedWindow w(QStringLiteral("Ticker"));
                w.onOpen = [](windowtest::ScriptedWindow &self) { self.setTimer(5); };
                w.onEvent = [this](windowtest::ScriptedWindow &, const Event &e) {
                    ticks += e.kind == EventKind::Timer;
                };
                w.run();
            },
            kMinimumThreadStack);
        ASSERT_TRUE(runUntil([this] { return ticks > 0; }));
    }
    void TearDown() override {
        if (child) {
            child->kill();
            child->waitForFinished(5000);
        }
        if (inTransaction())
            rollbackTransaction();
        CoreTest::TearDown();
    }

    void holdElsewhere(const char *how, int ms) {
        child = startChild({QString::fromLatin1(how), QString::number(ms)});
        ASSERT_TRUE(waitForLine(*child, "ready"));
    }

    // Starts the step on a thread of its own, measured while the ticker goes on.
    std::shared_ptr<Wait> startStep(const std::function<bool()> &step) {
        auto w = std::make_shared<Wait>();
        startThread(
            [this, w, step] {
                const int before = ticks;
                QElapsedTimer t;
                t.start();
                w->ok = step();
                w->error = errorCode();
                w->ms = t.elapsed();
                w->ticks = ticks - before;
                w->ended = true;
            },
            kMinimumThreadStack);
        return w;
    }
    Wait waitOnThread(const std::function<bool()> &step) {
        const auto w = startStep(step);
        EXPECT_TRUE(runUntil([w] { return w->ended; }, 20000));
        return *w;
    }

    int ticks = 0;
    std::unique_ptr<QProcess> child;
};

TEST_F(Waits, ATransactionWaitingForAnotherProcessLetsOtherWindowsRunAndEndsAsBefore) {
    holdElsewhere("lock", 5000);
    const Wait failed = waitOnThread([] { return beginTransaction(2, {&MUS}); });
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.error, FileLocked);
    EXPECT_GE(failed.ms, 1950);
    EXPECT_LT(failed.ms, 3500);
    EXPECT_GE(failed.ticks, 10) << "the other window stood still while the transaction waited";
    EXPECT_FALSE(inTransaction());
    child->kill();
    child->waitForFinished(5000);

    // Released meanwhile: the transaction begins as soon as it can.
    holdElsewhere("lock", 700);
    const Wait began = waitOnThread([] { return beginTransaction(2, {&MUS}); });
    EXPECT_TRUE(began.ok);
    EXPECT_EQ(began.error, NoError);
    EXPECT_GE(began.ms, 300);
    EXPECT_LT(began.ms, 1900);
    EXPECT_GE(began.ticks, 3);
    EXPECT_TRUE(inTransaction());
    EXPECT_TRUE(commitTransaction());
}

TEST_F(Waits, AnOpenRecoveringALockLetsOtherWindowsRunAndEndsAsBefore) {
    MUS.close();
    holdElsewhere("hold", 5000);
    const Wait failed = waitOnThread([] {
        MUS.send(QStringLiteral("Recover=1"));
        return MUS.open();
    });
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.error, FileLocked);
    EXPECT_GE(failed.ms, 950);
    EXPECT_GE(failed.ticks, 5);
    child->kill();
    child->waitForFinished(5000);

    // The opening routine's wait after 32 ends when the other process lets go.
    holdElsewhere("hold", 700);
    const Wait opened = waitOnThread([] {
        OpenDataFile(MUS);
        return MUS.isOpen();
    });
    EXPECT_TRUE(opened.ok);
    EXPECT_EQ(opened.error, NoError);
    EXPECT_GE(opened.ms, 300);
    EXPECT_GE(opened.ticks, 3);
    EXPECT_TRUE(exitCodes.empty());
}

TEST_F(Waits, WhileOneThreadWaitsAnotherCannotSlipATransactionOrAnOpenIn) {
    holdElsewhere("lock", 1500);
    const auto first = startStep([] { return beginTransaction(3, {&MUS}); });
    const Wait second = waitOnThread([] { return beginTransaction(3, {&MUS}); });
    EXPECT_FALSE(second.ok);
    EXPECT_EQ(second.error, TransactionActive);
    EXPECT_LT(second.ms, 300);
    ASSERT_TRUE(runUntil([first] { return first->ended; }, 10000));
    EXPECT_TRUE(first->ok);
    EXPECT_TRUE(commitTransaction());
    child->waitForFinished(5000);

    MUS.close();
    holdElsewhere("hold", 1000);
    const auto opening = startStep([] {
        MUS.send(QStringLiteral("Recover=5"));
        return MUS.open();
    });
    const Wait meanwhile = waitOnThread([] { return MUS.open(); });
    EXPECT_FALSE(meanwhile.ok);
    EXPECT_EQ(meanwhile.error, FileLocked);
    ASSERT_TRUE(runUntil([opening] { return opening->ended; }, 10000));
    EXPECT_TRUE(opening->ok);
}

TEST_F(Waits, AHaltDuringAWaitLeavesNoTransactionAndNoLockBehind) {
    holdElsewhere("lock", 5000);
    const auto transaction = startStep([] { return beginTransaction(2, {&MUS}); });
    windowtest::runFor(200);
    halt();
    ASSERT_TRUE(runUntil([this] { return !exitCodes.empty(); }, 5000));
    EXPECT_FALSE(transaction->ended);   // unwound, not returned
    child->kill();
    child->waitForFinished(5000);
    EXPECT_FALSE(inTransaction());
    EXPECT_TRUE(beginTransaction(1, {&MUS})) << errorCode();
    EXPECT_TRUE(rollbackTransaction());
}

TEST_F(Waits, AnUpdateWaitingForTheLockWritesItsOwnRecordWhateverOtherThreadsReadMeanwhile) {
    for (int id : {1, 2}) {
        MUS.clear();
        MUS.ID = id;
        MUS.Title = QStringLiteral("song %1").arg(id);
        ASSERT_TRUE(MUS.add());
    }
    const auto readSong = [](int id) {
        MUS.clear();
        MUS.ID = id;
        return MUS.get(MUS.KEYID);
    };
    holdElsewhere("lock", 700);
    const auto update = startStep([&] {
        if (!readSong(1))
            return false;
        MUS.Title = "mine";
        return UpdateSongRecord(false) == 0;
    });
    windowtest::runFor(100);
    // Another window reads a song into the shared buffer while the update waits.
    startThread([&] { readSong(2); });
    ASSERT_TRUE(runUntil([update] { return update->ended; }, 10000));
    EXPECT_TRUE(update->ok);
    ASSERT_TRUE(readSong(1));
    EXPECT_EQ(MUS.Title.str(), "mine");
    ASSERT_TRUE(readSong(2));
    EXPECT_EQ(MUS.Title.str(), "song 2");
}

} // namespace
