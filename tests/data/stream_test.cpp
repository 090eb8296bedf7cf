// A run of writes in stream mode: what it wrote is there for everyone once it is flushed.
#include "support.h"

#include "runtime/data/driver.h"
#include "runtime/data/transaction.h"

#include <QFile>
#include <sqlite3.h>

using namespace tbk;
using namespace tbk::data;
using namespace datatest;

namespace {

// One of the file's settings as SQLite has it.
int pragmaOf(DataFile &f, const char *name) {
    sqlite3_stmt *st = nullptr;
    const QByteArray sql = QStringLiteral("PRAGMA %1.%2").arg(f.schemaName(), QLatin1String(name)).toUtf8();
    int value = -1;
    if (sqlite3_prepare_v2(driver::db(), sql.constData(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        value = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    return value;
}

// The file's page cache, in KiB.
int cacheKiB(DataFile &f) { return -pragmaOf(f, "cache_size"); }

class Stream : public testing::Test {
protected:
    void SetUp() override { createAndOpen({&CF, &MUS, &PLA}); }
    void TearDown() override { closeAll(); }
};

TEST_F(Stream, FlushLetsOtherProcessesWriteAndLeavesNoJournal) {
    addSongs(1, 1);
    MUS.stream();
    // The run keeps the keys in memory; the flush gives the memory back.
    EXPECT_EQ(cacheKiB(MUS), driver::kStreamCacheKiB);
    addSongs(2, 50);
    MUS.flush();
    EXPECT_EQ(cacheKiB(MUS), driver::kCacheKiB);
    EXPECT_EQ(runChild({QStringLiteral("touch"), QStringLiteral("1")}), 0);
    EXPECT_EQ(countsOf(QStringLiteral("tbkdata.dat")), std::make_pair(qint64(50), qint64(50)));
    EXPECT_FALSE(QFile::exists(QStringLiteral("tbkdata.dat-journal")));
    // And streaming again after the flush works as the first time.
    MUS.stream();
    addSongs(51, 60);
    MUS.close();
    EXPECT_EQ(runChild({QStringLiteral("touch"), QStringLiteral("60")}), 0);
}

// Between the commits of a long run in turns another station opens the files, reads, and gets
// its writes in (by themselves and in a transaction) while the run goes on.
TEST_F(Stream, ALongRunLeavesItsFilesToAnotherStationBetweenCommits) {
    MUS.stream();
    RunTransaction run({&MUS}, 600000);
    ASSERT_TRUE(run.start());
    addSongs(1, 10);
    ASSERT_TRUE(run.commit());
    auto station = startChild({QStringLiteral("station"), QStringLiteral("1000000")}, false);
    int next = 11;
    for (int turn = 0; turn < 20000 && !station->waitForFinished(1); ++turn, next += 10) {
        ASSERT_TRUE(run.start());
        addSongs(next, next + 9);
        ASSERT_TRUE(run.pause());
    }
    EXPECT_EQ(station->exitCode(), 0);
    ASSERT_TRUE(run.start());   // and the run goes on
    addSongs(next, next + 9);
    ASSERT_TRUE(run.commit());
    MUS.flush();
    EXPECT_EQ(countsOf(QStringLiteral("tbkdata.dat")).second, next + 9 + 2);
}

// A power cut in a run must not damage the files: its commits wait for the disk as any other.
TEST_F(Stream, CommitsWaitForTheDisk) {
    constexpr int full = 2;
    MUS.stream();
    addSongs(1, 10);
    EXPECT_EQ(pragmaOf(MUS, "synchronous"), full);
    MUS.flush();
}

// A run's transaction left open between its turns belongs to the run only while nobody else
// uses the connection: any other use commits it first, and its commit's failure is the run's.
TEST_F(Stream, ALingeringTransactionIsCommittedBeforeAnyoneElsesUse) {
    const auto songs = [] { return MUS.records(); };
    ASSERT_TRUE(beginTransaction(1, {&MUS}));
    addSongs(1, 1);
    lingerTransaction();
    ASSERT_TRUE(resumeTransaction());   // untouched: still the run's, so its rollback takes song 1
    ASSERT_TRUE(rollbackTransaction());
    EXPECT_EQ(songs(), 0);

    ASSERT_TRUE(beginTransaction(1, {&MUS}));
    addSongs(1, 2);
    lingerTransaction();
    // Another window's own transaction begins at once and is its own: its rollback keeps the run's.
    ASSERT_TRUE(beginTransaction(1, {&PLA}));
    addSongs(3, 3);
    ASSERT_TRUE(rollbackTransaction());
    EXPECT_FALSE(resumeTransaction());
    EXPECT_EQ(errorCode(), NoError);
    EXPECT_EQ(songs(), 2);

    // A plain read commits it too; a commit that fails is rolled back and told to the run only.
    ASSERT_TRUE(beginTransaction(1, {&MUS}));
    addSongs(3, 3);
    lingerTransaction();
    sqlite3_commit_hook(driver::db(), [](void *) { return 1; }, nullptr);
    EXPECT_EQ(songs(), 2);
    EXPECT_EQ(errorCode(), NoError);
    sqlite3_commit_hook(driver::db(), nullptr, nullptr);
    EXPECT_FALSE(resumeTransaction());
    EXPECT_EQ(errorCode(), DriverError);
    EXPECT_FALSE(inTransaction());
}

// Two runs at once (an import and the album copy): each resumes its own transaction only, and a
// failed commit loses the writes of the run it was, which is told.
TEST_F(Stream, InterleavedRunsLoseOnlyTheirOwnWritesToAFailedCommitAndAreTold) {
    const auto refuseCommits = [](bool on) {
        sqlite3_commit_hook(driver::db(), on ? +[](void *) { return 1; } : nullptr, nullptr);
    };
    RunTransaction a({&MUS}, 60000), b({&MUS}, 60000);
    ASSERT_TRUE(a.start());
    addSongs(1, 1);
    a.pause();
    refuseCommits(true);
    EXPECT_TRUE(b.start());   // its commit of A's failed: A's to hear of
    refuseCommits(false);
    addSongs(2, 2);
    b.pause();
    EXPECT_FALSE(a.start());
    EXPECT_EQ(errorCode(), DriverError);
    addSongs(3, 3);
    refuseCommits(true);
    EXPECT_FALSE(a.commit());
    refuseCommits(false);
    EXPECT_TRUE(b.commit());
    EXPECT_EQ(MUS.records(), 1);   // B's song
}

// Making a file and building a closed file's keys are no use of an open transaction's files:
// a run's lingering one is committed first, as for any other use.
TEST_F(Stream, CreateBuildKeysAndHoldReadsCommitALingeringTransactionFirst) {
    RunTransaction run({&MUS}, 60000);
    for (int song = 1; song <= 3; ++song) {
        ASSERT_TRUE(run.start());
        addSongs(song, song);
        run.pause();
        EXPECT_TRUE(song == 1 ? ALB.create() : song == 2 ? ALB.buildKeys() : PLA.holdReads()) << song;
    }
    PLA.releaseReads();
    EXPECT_TRUE(run.commit());
    EXPECT_EQ(MUS.records(), 3);
}

} // namespace
