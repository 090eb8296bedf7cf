// Opening data files: creation, the crash marker, recovery, upgrade, key rebuild, the fatal
// ends, and the open counts.
#include "coretest.h"

#include "runtime/data/driver.h"
#include "runtime/data/errors.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <sqlite3.h>

using namespace tbk;
using namespace tbk::data;
using namespace coretest;

namespace {

class FileAccess : public CoreTest {
protected:
    // A songs file with two songs, closed again.
    static void songsFile() {
        ASSERT_TRUE(MUS.create());
        ASSERT_TRUE(MUS.open());
        for (int id : {1, 2}) {
            MUS.clear();
            MUS.ID = id;
            MUS.Title = QStringLiteral("song %1").arg(id);
            ASSERT_TRUE(MUS.add());
        }
        MUS.close();
    }
    static qint64 songs() {
        const bool wasOpen = MUS.isOpen();
        if (!wasOpen && !MUS.open())
            return -1;
        const qint64 n = MUS.records();
        if (!wasOpen)
            MUS.close();
        return n;
    }
};

TEST_F(FileAccess, AMissingFileIsCreatedAndTheMarkerEndsEmpty) {
    ASSERT_FALSE(QFile::exists("tbkdata.dat"));
    EXPECT_TRUE(run([] { OpenDataFile(MUS); }).empty());
    EXPECT_TRUE(MUS.isOpen());
    EXPECT_EQ(MUS.records(), 0);
    EXPECT_TRUE(QFile::exists("tbkdata.dat"));
    EXPECT_EQ(marker(), "");
    EXPECT_TRUE(exitCodes.empty());
}

TEST_F(FileAccess, AFileAlreadyOpenCountsAsOpened) {
    songsFile();
    ASSERT_TRUE(MUS.open());
    EXPECT_TRUE(run([] { OpenDataFile(MUS); }).empty());
    EXPECT_TRUE(MUS.isOpen());
    EXPECT_EQ(songs(), 2);
    EXPECT_EQ(marker(), "");
}

TEST_F(FileAccess, TheFileIsClosedOnlyByItsLastUser) {
    run([] {
        openForUse(MUS);
        openForUse(MUS);
    });
    EXPECT_EQ(FileUseCount(MUS), 2);
    EXPECT_EQ(FileUseCount(A_S), 0);
    closeAfterUse(MUS);
    EXPECT_TRUE(MUS.isOpen());
    closeAfterUse(MUS);
    EXPECT_FALSE(MUS.isOpen());
    closeAfterUse(MUS);   // one close too many changes nothing
    EXPECT_EQ(FileUseCount(MUS), 0);
    run([] {
        FilesInUse use{&MUS, &PLA};
        EXPECT_EQ(FileUseCount(MUS), 1);
    });
    EXPECT_FALSE(MUS.isOpen());
    EXPECT_FALSE(PLA.isOpen());
}

TEST_F(FileAccess, AThreadWaitsForAnotherThreadsOpenOfTheSameFile) {
    songsFile();
    sqlOn("tbkdata.dat", "DROP INDEX k_songsbytitle");
    QStringList done;
    const int a = startThread([&] { openForUse(MUS); done << "a"; }, 1 << 20);
    const int b = startThread([&] { openForUse(MUS); done << "b"; }, 1 << 20);
    ASSERT_TRUE(windowtest::runUntilIdle());
    // The first open asks about the keys; the second waits for it instead of asking too.
    EXPECT_EQ(windowtest::messageText(a), "tbkdata key file is invalid.  Do you want to rebuild the key?");
    EXPECT_EQ(windowtest::messageText(b), "");
    EXPECT_TRUE(threadExists(b));
    ASSERT_TRUE(windowtest::answerMessage(a, ButtonYes));
    ASSERT_TRUE(windowtest::runUntilIdle());
    EXPECT_EQ(done, QStringList({"a", "b"}));
    EXPECT_EQ(FileUseCount(MUS), 2);
    EXPECT_TRUE(MUS.isOpen());
}

TEST_F(FileAccess, TheMarkerStaysWhenTheProcessDiesDuringTheOpen) {
    songsFile();
    // Held exclusively here, the child's open waits in its lock recovery until it is killed.
    ASSERT_TRUE(MUS.open(Exclusive));
    auto child = startChild({"open"});
    ASSERT_TRUE(waitForLine(*child, "opening"));
    ASSERT_TRUE(windowtest::runUntil([] { return marker() == "tbkdata"; }, 5000));
    QThread::msleep(200);
    EXPECT_EQ(child->state(), QProcess::Running);
    child->kill();
    ASSERT_TRUE(child->waitForFinished(5000));
    EXPECT_EQ(marker(), "tbkdata");

    // The next open that succeeds clears it.
    MUS.close();
    EXPECT_TRUE(run([] { OpenDataFile(MUS); }).empty());
    EXPECT_EQ(marker(), "");
}

TEST_F(FileAccess, ALockHeldElsewhereIsWaitedForAfterRecover) {
    songsFile();
    auto child = startChild({"hold", "800"});
    ASSERT_TRUE(waitForLine(*child, "ready"));
    EXPECT_TRUE(run([] { OpenDataFile(MUS); }).empty());
    EXPECT_TRUE(MUS.isOpen());
    EXPECT_EQ(marker(), "");
    EXPECT_EQ(MUS.send("HELD"), "OFF");
    child->waitForFinished(5000);
    MUS.send("Recover=0");
}

TEST_F(FileAccess, AFileAnotherStationHoldsEndsTheProgramWithoutACrashMarker) {
    songsFile();
    // An open file keeps the connection, whose waits for a lock are cut short.
    ASSERT_TRUE(CAT.create() && CAT.open());
    sqlite3_busy_timeout(driver::db(), 50);
    sqlite3 *other = nullptr;   // another station's lock, which outlasts the recovery
    ASSERT_EQ(sqlite3_open("tbkdata.dat", &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const auto shown = run([] { OpenDataFile(MUS); });
    sqlite3_close(other);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "File (tbkdata) could not be opened.  Error: File Is Already Locked (32).");
    EXPECT_EQ(shown[1].text, "Disk Error");
    EXPECT_EQ(marker(), "");
}

TEST_F(FileAccess, DamagedKeysAreRebuiltWhenTheUserAgrees) {
    songsFile();
    sqlOn("tbkdata.dat", "DROP INDEX k_songsbyartist");
    const auto shown = run([] { OpenDataFile(MUS); }, {ButtonYes});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Invalid Key");
    EXPECT_EQ(shown[0].text, "tbkdata key file is invalid.  Do you want to rebuild the key?");
    EXPECT_TRUE(MUS.isOpen());
    EXPECT_EQ(songs(), 2);
    EXPECT_EQ(marker(), "");
    EXPECT_TRUE(exitCodes.empty());
}

TEST_F(FileAccess, TheFatalEndsOfAnOpen) {
    // Each case prepares the folder; the open then shows the warning and the halt text, ends
    // the program and leaves the marker as given.
    struct Case {
        const char *name;
        std::function<void()> prepare;
        int answer;
        const char *warning;
        const char *halt;
        const char *marker;
    };
    const Case cases[] = {
        {"no to a key rebuild", [] { songsFile(); sqlOn("tbkdata.dat", "DROP INDEX k_keyid"); }, ButtonNo,
         "tbkdata key file is invalid.  Do you want to rebuild the key?", "Invalid Key!", "tbkdata"},
        {"failed key rebuild",
         [] {
             songsFile();
             sqlOn("tbkdata.dat", "DROP INDEX k_keyid; INSERT INTO records(\"ID\",\"Title\") VALUES(1,'twin')");
         },
         ButtonYes, "Error: (Creates Duplicate Key (40)) repairing key for tbkdata.  Press OK to end this application.",
         "Error Rebuilding Key!", "tbkdata"},
        {"newer layout",
         [] {
             songsFile();
             sqlOn("tbkdata.dat", "UPDATE tbk_meta SET value='99' WHERE name='registration';"
                                  "UPDATE tbk_meta SET value='newer' WHERE name='layout'");
         },
         ButtonOK, "Error: (Invalid Record Declaration (47)) accessing tbkdata.  Press OK to end this application.",
         "Invalid File!", ""},
        {"not a database",
         [] {
             QFile f("tbkdata.dat");
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write(QByteArray(4096, 'x'));
         },
         ButtonOK, "File (tbkdata) could not be opened.  Error: file is not a database (26).", "Disk Error", ""},
        {"a damaged file",
         [] {
             songsFile();
             // Scribble over the page type of the file's own table of facts.
             sqlite3 *db = nullptr;
             sqlite3_stmt *st = nullptr;
             ASSERT_EQ(sqlite3_open("tbkdata.dat", &db), SQLITE_OK);
             ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT (rootpage - 1) * (SELECT page_size FROM pragma_page_size) "
                                              "FROM sqlite_master WHERE name = 'tbk_meta'", -1, &st, nullptr), SQLITE_OK);
             ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
             const qint64 at = sqlite3_column_int64(st, 0);
             sqlite3_finalize(st);
             sqlite3_close(db);
             QFile f("tbkdata.dat");
             ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.seek(at));
             f.write("\xff", 1);
         },
         ButtonOK, "File (tbkdata) could not be opened.  Error: database disk image is malformed (11).", "Disk Error",
         "tbkdata"},
        {"a database of another program", [] { sqlOn("tbkdata.dat", "CREATE TABLE t(x)"); }, ButtonOK,
         "File (tbkdata) could not be opened.  Error: Invalid Data File (36).", "Disk Error", ""},
        {"lock file unusable", [] { songsFile(); QFile::remove("tbkdata.dat-lock"); QDir().mkdir("tbkdata.dat-lock"); }, ButtonOK,
         "File (tbkdata) could not be opened.  Error: Access Denied (5).", "Disk Error", "tbkdata"},
        {"cannot create", [] { QDir().mkdir("tbkdata.dat-lock"); }, ButtonOK,
         "Error: (Access Denied (5)) creating tbkdata.  Press OK to end this application.", "File Creation Error!", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        closeAllDataFiles();
        QFile::remove("tbkdata.dat");
        QDir("tbkdata.dat-lock").removeRecursively();
        QFile::remove("tbkdata.dat-lock");
        exitCodes.clear();
        c.prepare();
        bool returned = false;
        const auto shown = run([&] { OpenDataFile(MUS); returned = true; }, {c.answer});
        // A Yes to the rebuild offer comes first when the rebuild then fails.
        ASSERT_EQ(shown.size(), c.answer == ButtonYes ? 3u : 2u);
        EXPECT_EQ(shown[shown.size() - 2].text, c.warning);
        EXPECT_EQ(shown.back().text, c.halt);
        EXPECT_FALSE(returned);
        EXPECT_EQ(exitCodes, std::vector<int>{1});
        EXPECT_FALSE(MUS.isOpen());
        EXPECT_EQ(marker(), c.marker);
    }
}

TEST_F(FileAccess, AnOlderLayoutIsUpgradedInPlace) {
    songsFile();
    sqlOn("tbkdata.dat", "UPDATE tbk_meta SET value='5' WHERE name='registration';"
                         "UPDATE tbk_meta SET value='older' WHERE name='layout'");
    EXPECT_TRUE(run([] { OpenDataFile(MUS); }).empty());
    EXPECT_TRUE(MUS.isOpen());
    EXPECT_EQ(songs(), 2);
    EXPECT_EQ(marker(), "");
}

} // namespace
