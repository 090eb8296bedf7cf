// The record count each file keeps: through writes, rollbacks, other processes, and whatever
// makes the table anew; files made before it was kept.
#include "support.h"

#include "runtime/data/transaction.h"

#include <QElapsedTimer>
#include <chrono>
#include <csignal>
#include <span>
#include <thread>
#include <vector>

using namespace tbk;
using namespace tbk::data;
using namespace datatest;

namespace {

const QString kSongs = QStringLiteral("tbkdata.dat");

class Count : public testing::Test {
protected:
    void SetUp() override { createAndOpen({&CF, &MUS}); }
    void TearDown() override { closeAll(); }
    static void removeSong(int id) {
        MUS.clear();
        MUS.ID = id;
        ASSERT_TRUE(MUS.get(MUS.KEYID));
        ASSERT_TRUE(MUS.remove());
    }
    static qint64 songsRead() {
        qint64 n = 0;
        MUS.set(MUS.KEYID);
        while (MUS.next())
            ++n;
        EXPECT_EQ(errorCode(), RecordNotAvailable);
        return n;
    }
    // The songs file as a program that kept no count left it.
    static void forgetCount() {
        closeAll();
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(kSongs.toUtf8().constData(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, "DROP TRIGGER tbk_count_add; DROP TRIGGER tbk_count_remove; DROP TABLE tbk_count",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
        ASSERT_EQ(countsOf(kSongs).first, -1);
    }
};

TEST_F(Count, FollowsAddsRemovesAndRollbacks) {
    addSongs(1, 5);
    removeSong(2);
    removeSong(4);
    EXPECT_EQ(MUS.records(), 3);
    ASSERT_TRUE(beginTransaction(1, {&MUS}));
    addSongs(6, 7);
    removeSong(1);
    MUS.ID = 3;   // a song refused by its key counts for nothing
    EXPECT_FALSE(MUS.add());
    EXPECT_EQ(errorCode(), DuplicateKey);
    EXPECT_EQ(MUS.records(), 4);   // the transaction sees its own writes
    ASSERT_TRUE(rollbackTransaction());
    EXPECT_EQ(MUS.records(), 3);
    ASSERT_TRUE(beginTransaction(1, {&MUS}));
    addSongs(8, 8);
    ASSERT_TRUE(commitTransaction());
    EXPECT_EQ(MUS.records(), 4);
    // The songs file's triggers count in their own file, not in the main database.
    EXPECT_EQ(CF.records(), 0);
    closeAll();
    EXPECT_EQ(countsOf(kSongs), std::make_pair(qint64(4), qint64(4)));
}

// Many records added at once go in several to a statement; one a key refuses stops them there.
TEST_F(Count, RecordsAddedTogetherStopAtTheOneAKeyRefuses) {
    addSongs(1, 3);
    std::vector<Record> songs;
    for (int i = 0; i < 70; ++i) {
        MUS.clear();
        MUS.ID = i == 45 ? 2 : 10 + i;
        MUS.Title = QStringLiteral("new %1").arg(i);
        songs.push_back(MUS.record());
    }
    size_t added = 99;
    EXPECT_FALSE(MUS.add(songs, added));
    EXPECT_EQ(added, 45u);
    EXPECT_EQ(errorCode(), DuplicateKey);
    EXPECT_EQ(errorKey(), "KEYID");
    EXPECT_EQ(MUS.Title.str(), "new 45");
    EXPECT_EQ(MUS.records(), 48);
    EXPECT_EQ(songsRead(), 48);
    // The rest, after the refused one, all go in; the buffer holds the last, read back by its position.
    EXPECT_TRUE(MUS.add(std::span(songs).subspan(46), added));
    EXPECT_EQ(added, 24u);
    EXPECT_EQ(MUS.records(), 72);
    const Position last = MUS.position();
    MUS.clear();
    ASSERT_TRUE(MUS.get(last));
    EXPECT_EQ(MUS.Title.str(), "new 69");
}

// The other process adds songs in transactions until it is killed, maybe in the middle of one.
TEST_F(Count, FollowsAnotherProcessAndItsKilledTransaction) {
    createAndOpen({&PLA});
    EXPECT_EQ(MUS.records(), 0);
    auto child = startChild({QStringLiteral("pairs"), QStringLiteral("1")});
    QElapsedTimer t;
    t.start();
    while (MUS.records() < 20 && t.elapsed() < 10000)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::kill(pid_t(child->processId()), SIGKILL);
    child->waitForFinished();
    const qint64 n = MUS.records();
    EXPECT_GE(n, 20);
    EXPECT_EQ(n, songsRead());
    EXPECT_EQ(PLA.records(), n);
    addSongs(100000, 100000);
    EXPECT_EQ(MUS.records(), n + 1);
}

TEST_F(Count, AFileWithoutOneGetsItWhenOpenedOutsideATransaction) {
    addSongs(1, 3);
    forgetCount();
    // Inside a transaction the file cannot take it: the rows are counted instead.
    ASSERT_TRUE(CF.open());
    ASSERT_TRUE(beginTransaction(1, {&CF}));
    ASSERT_TRUE(MUS.open()) << errorCode();
    EXPECT_EQ(MUS.records(), 3);
    addSongs(4, 4);
    EXPECT_EQ(MUS.records(), 4);
    ASSERT_TRUE(rollbackTransaction());
    EXPECT_EQ(MUS.records(), 3);
    closeAll();
    EXPECT_EQ(countsOf(kSongs).first, -1);

    ASSERT_TRUE(MUS.open());
    EXPECT_EQ(errorCode(), NoError);
    EXPECT_EQ(MUS.records(), 3);
    addSongs(4, 5);
    removeSong(1);
    EXPECT_EQ(MUS.records(), 4);
    closeAll();
    EXPECT_EQ(countsOf(kSongs), std::make_pair(qint64(4), qint64(4)));
}

TEST_F(Count, StaysRightThroughPackAndKeyRebuild) {
    addSongs(1, 6);
    removeSong(3);
    ASSERT_TRUE(MUS.pack()) << errorCode();
    EXPECT_EQ(MUS.records(), 5);
    addSongs(7, 8);   // the new table counts too
    removeSong(1);
    EXPECT_EQ(MUS.records(), 6);
    EXPECT_EQ(MUS.records(), songsRead());
    // A key rebuild mends a count gone wrong, on the open file and on a closed one.
    ASSERT_TRUE(driver::exec(QStringLiteral("UPDATE %1.tbk_count SET n=99").arg(MUS.schemaName()), {}));
    ASSERT_TRUE(MUS.buildKeys());
    EXPECT_EQ(MUS.records(), 6);
    ASSERT_TRUE(driver::exec(QStringLiteral("UPDATE %1.tbk_count SET n=99").arg(MUS.schemaName()), {}));
    closeAll();
    ASSERT_TRUE(MUS.buildKeys());
    EXPECT_EQ(countsOf(kSongs), std::make_pair(qint64(6), qint64(6)));
    forgetCount();
    ASSERT_TRUE(MUS.buildKeys());
    EXPECT_EQ(countsOf(kSongs), std::make_pair(qint64(6), qint64(6)));
}

} // namespace
