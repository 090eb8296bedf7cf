// Records changed elsewhere (89), open modes, transactions and their locks, within one
// process and between two.
#include "support.h"

#include "runtime/data/transaction.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <chrono>
#include <csignal>
#include <thread>

#include <unistd.h>

using namespace tbk;
using namespace tbk::data;
using namespace datatest;

namespace {

class Stations : public testing::Test {
protected:
    void SetUp() override { createAndOpen({&CF, &MUS, &PLA, &PLD}); }
    void TearDown() override { closeAll(); }
    static void addSong(int id, const QString &title) {
        MUS.clear();
        MUS.ID = id;
        MUS.Title = title;
        ASSERT_TRUE(MUS.add());
    }
};

TEST_F(Stations, PutOverAChangedRecordGets89) {
    addSong(1, "one");
    MUS.clear();
    MUS.ID = 1;
    ASSERT_TRUE(MUS.get(MUS.KEYID));
    const Record formA = MUS.record();   // two windows read the same record
    MUS.Title = "changed by B";
    ASSERT_TRUE(MUS.put());
    MUS.setRecord(formA);
    MUS.Title = "changed by A";
    EXPECT_FALSE(MUS.put());
    EXPECT_EQ(errorCode(), RecordChanged);
    ASSERT_TRUE(MUS.reget());
    EXPECT_EQ(MUS.Title.str(), QStringLiteral("changed by B"));
    MUS.Title = "changed by A";
    EXPECT_TRUE(MUS.put());   // after reading again the put goes through
    EXPECT_TRUE(MUS.put());   // and the buffer follows its own writes
}

TEST_F(Stations, PutOverARecordAnotherProcessChangedGets89) {
    addSong(7, "seven");
    MUS.clear();
    MUS.ID = 7;
    ASSERT_TRUE(MUS.get(MUS.KEYID));
    ASSERT_EQ(runChild({QStringLiteral("touch"), QStringLiteral("7")}), 0);
    MUS.Title = "mine";
    EXPECT_FALSE(MUS.put());
    EXPECT_EQ(errorCode(), RecordChanged);
    ASSERT_TRUE(MUS.reget());
    EXPECT_EQ(MUS.Title.str(), QStringLiteral("seven!"));
}

TEST_F(Stations, ExclusiveOpenFailsWhileAnyoneHasTheFile) {
    // This process: the songs file is open through MUS; A_S shares the disk file.
    EXPECT_FALSE(A_S.open(Exclusive));
    EXPECT_EQ(errorCode(), FileLocked);
    ASSERT_TRUE(A_S.open());
    A_S.close();
    MUS.close();
    ASSERT_TRUE(MUS.open(Exclusive));
    EXPECT_FALSE(A_S.open());   // and an exclusive open keeps everyone else out
    EXPECT_EQ(errorCode(), FileLocked);
    MUS.close();
    ASSERT_TRUE(MUS.open());
    EXPECT_FALSE(MUS.open());
    EXPECT_EQ(errorCode(), FileAlreadyOpen);

    // Another process.
    MUS.close();
    auto child = startChild({QStringLiteral("hold")});
    EXPECT_FALSE(MUS.open(Exclusive));
    EXPECT_EQ(errorCode(), FileLocked);
    EXPECT_TRUE(MUS.open(SharedReadWrite));
    MUS.close();
    child->kill();
    child->waitForFinished();
    EXPECT_TRUE(MUS.open(Exclusive));
}

TEST_F(Stations, RecoverWaitsForALockToGo) {
    MUS.close();
    auto child = startChild({QStringLiteral("hold")});
    std::thread killer([pid = pid_t(child->processId())] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::kill(pid, SIGKILL);
    });
    EXPECT_EQ(MUS.send(QStringLiteral("Recover=10")), QString());
    QElapsedTimer t;
    t.start();
    EXPECT_TRUE(MUS.open(Exclusive)) << errorCode();
    EXPECT_GE(t.elapsed(), 250);
    killer.join();
    child->waitForFinished();
    MUS.close();
    // The wait served that open only.
    child = startChild({QStringLiteral("hold")});
    t.restart();
    EXPECT_FALSE(MUS.open(Exclusive));
    EXPECT_LT(t.elapsed(), 200);
    child->kill();
    child->waitForFinished();
}

TEST_F(Stations, ReadOnlyRefusesWrites) {
    MUS.close();
    ASSERT_TRUE(MUS.open(SharedReadOnly));
    MUS.clear();
    EXPECT_FALSE(MUS.add());
    EXPECT_EQ(errorCode(), AccessDenied);
    EXPECT_EQ(MUS.records(), 0);
}

TEST_F(Stations, ACatalogueNobodyMayWriteToIsAccessDeniedNotLocked) {
    addSong(1, "one");
    closeAll();
    const auto files = QDir::current().entryList(QDir::Files);
    for (const QString &name : files)
        ASSERT_TRUE(QFile::setPermissions(name, QFileDevice::ReadOwner | QFileDevice::ReadOther));
    const auto readAndEnter = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther |
                              QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(".", readAndEnter));
    // Root writes whatever the permissions: then the child gives up root.
    QProcess child;
    child.setProgram(QStringLiteral(TBK_DATA_CHILD));
    child.setArguments({QStringLiteral("begin")});
    child.setChildProcessModifier([] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
    });
    child.start();
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_EQ(child.exitCode(), 0);
    EXPECT_EQ(child.readAllStandardOutput().trimmed(), "5 Access Denied");
    ASSERT_TRUE(QFile::setPermissions(".", readAndEnter | QFileDevice::WriteOwner));
}

TEST_F(Stations, RollbackAndCommitOverSeveralFiles) {
    addSong(1, "kept");
    ASSERT_TRUE(beginTransaction(2, {&MUS, &PLA}));
    EXPECT_FALSE(beginTransaction(2, {&MUS}));
    EXPECT_EQ(errorCode(), TransactionActive);
    addSong(2, "dropped");
    PLA.clear();
    PLA.PlaylistID = 1;
    PLA.PlaylistSeq = 1;
    PLA.ID = 2;
    ASSERT_TRUE(PLA.add());
    PLD.clear();
    PLD.PlaylistID = 1;   // a file outside the list joins the transaction
    ASSERT_TRUE(PLD.add());
    ASSERT_TRUE(rollbackTransaction());
    EXPECT_EQ(MUS.records(), 1);
    EXPECT_EQ(PLA.records(), 0);
    EXPECT_EQ(PLD.records(), 0);

    ASSERT_TRUE(beginTransaction(2, {&MUS, &PLA}));
    addSong(3, "committed");
    ASSERT_TRUE(PLA.add());
    ASSERT_TRUE(commitTransaction());
    EXPECT_EQ(MUS.records(), 2);
    EXPECT_EQ(PLA.records(), 1);
    EXPECT_FALSE(commitTransaction());
    EXPECT_EQ(errorCode(), NoTransaction);
    EXPECT_FALSE(beginTransaction(1, {&MUS, &CAT}));   // CAT is not open
    EXPECT_EQ(errorCode(), FileNotOpen);
}

TEST_F(Stations, FilesOpenWhileAnotherWindowHoldsATransaction) {
    ASSERT_TRUE(CAT.create());
    closeAll();
    ASSERT_TRUE(CF.open());
    ASSERT_TRUE(MUS.open());
    ASSERT_TRUE(beginTransaction(1, {&MUS}));
    EXPECT_TRUE(CAT.open()) << errorCode() << " " << driverErrorText().toStdString();
    EXPECT_TRUE(PLA.open());
    EXPECT_TRUE(rollbackTransaction());
}

TEST_F(Stations, TransactionWaitsForTheOtherProcessThenFails) {
    auto child = startChild({QStringLiteral("lock"), QStringLiteral("2500")});
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(beginTransaction(1, {&MUS, &PLA}));
    EXPECT_EQ(errorCode(), FileLocked);
    EXPECT_GE(t.elapsed(), 900);
    EXPECT_LT(t.elapsed(), 2400);
    EXPECT_FALSE(inTransaction());
    // A longer time-out outlasts the other's transaction.
    EXPECT_TRUE(beginTransaction(5, {&MUS, &PLA}));
    EXPECT_TRUE(commitTransaction());
    child->waitForFinished();
}

TEST_F(Stations, WritesUnderAReadHoldCommitEachAndWaitForAnotherProcessesWrite) {
    addSong(1, "one");
    ASSERT_TRUE(MUS.holdReads());
    addSong(2, "two");
    EXPECT_EQ(countsOf(MUS.fullPath()).second, 2);   // committed, seen by another connection

    // The other process's write waits for our read lock, ours for its write: ours lets go.
    auto child = startChild({QStringLiteral("lock"), QStringLiteral("400")});
    MUS.clear();
    MUS.ID = 1;
    ASSERT_TRUE(MUS.get(MUS.KEYID));
    MUS.Title = "mine";
    QElapsedTimer t;
    t.start();
    EXPECT_TRUE(MUS.put()) << errorCode();
    EXPECT_GE(t.elapsed(), 200);
    child->waitForFinished();
    MUS.releaseReads();
    ASSERT_TRUE(MUS.reget());
    EXPECT_EQ(MUS.Title.str(), QStringLiteral("mine"));
}

// A process killed in the middle of transactions over the songs and playlist entries leaves
// both files before or after each transaction, never between.
TEST_F(Stations, KilledDuringTransactionsLeavesBothFilesConsistent) {
    int next = 1;
    int interrupted = 0;   // rounds killed with a transaction under way
    for (int round = 0; round < 12; ++round) {
        closeAll();
        auto child = startChild({QStringLiteral("pairs"), QString::number(next)});
        child->waitForFinished(int(QRandomGenerator::global()->bounded(5, 60)));
        ::kill(pid_t(child->processId()), SIGKILL);
        child->waitForFinished();
        interrupted += QFile::exists(QStringLiteral("tbkdata.dat-journal")) || QFile::exists(QStringLiteral("tbkpldet.dat-journal"));
        ASSERT_TRUE(CF.open());
        ASSERT_TRUE(MUS.open());
        ASSERT_TRUE(PLA.open());
        const qint64 songs = MUS.records();
        ASSERT_EQ(songs, PLA.records()) << "round " << round;
        // Every song has its entry.
        MUS.set(MUS.KEYID);
        while (MUS.next()) {
            PLA.clear();
            PLA.PlaylistID = 1;
            PLA.PlaylistSeq = MUS.ID.value();
            ASSERT_TRUE(PLA.get(PLA.KeyPlaylistID)) << "song " << MUS.ID.value();
        }
        next = int(songs) + 1;
    }
    EXPECT_GT(next, 1);
    EXPECT_GT(interrupted, 0) << "no kill landed inside a transaction";
}

} // namespace
