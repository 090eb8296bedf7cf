// The repair program, run as the File Manager runs it.
#include "support.h"

#include "runtime/data/transaction.h"
#include "runtime/data/upgrader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <sys/resource.h>

#include <csignal>

#include <sys/resource.h>

using namespace tbk;
using namespace tbk::data;
using namespace datatest;

namespace {

struct Outcome {
    int exit;
    QString output;
};

// `fileSize`: the most any file the run writes may hold (RLIMIT_FSIZE), when given.
Outcome datfix(const QStringList &args, rlim_t fileSize = RLIM_INFINITY) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setChildProcessModifier([fileSize] {
        const rlimit limit{fileSize, fileSize};
        ::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    p.start(QStringLiteral(TBK_DATFIX), args);
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAll())};
}

class Datfix : public testing::Test {
protected:
    void SetUp() override { makeSongs(400, 1500); }   // rows of some size: many pages
    void TearDown() override { closeAll(); }

    // The songs file and its example file, `songs` records with `notes` characters of notes;
    // the pages made smaller first when `page` is given.
    void makeSongs(int songs, int notes, int page = 0) {
        createAndOpen({&CF, &MUS});
        ASSERT_TRUE(up_UsingFile(QStringLiteral("MUS"), QStringLiteral("Tunebank"), MUS, 6));
        ASSERT_EQ(up_MakeExample(MUS), QString());
        ASSERT_TRUE(QFile::exists(QStringLiteral("tbkdata.dex")));
        if (page) {
            MUS.close();
            ASSERT_EQ(sql(QStringLiteral("PRAGMA page_size=%1; VACUUM").arg(page)), 0);
            ASSERT_TRUE(MUS.open());
        }
        MUS.clear();
        MUS.Notes = QString(notes, QLatin1Char('n'));
        ASSERT_TRUE(beginTransaction(1, {&MUS}));
        for (int i = 1; i <= songs; ++i) {
            MUS.ID = i;
            MUS.Title = QStringLiteral("song %1").arg(i);
            ASSERT_TRUE(MUS.add());
        }
        ASSERT_TRUE(commitTransaction());
        closeAll();
    }
    // The first value of the first row, on the songs file read behind the driver's back.
    qint64 sql(const QString &text) {
        sqlite3 *db = nullptr;
        sqlite3_stmt *st = nullptr;
        qint64 v = -1;
        sqlite3_open(QFile::encodeName(QStringLiteral("tbkdata.dat")).constData(), &db);
        registerCollation(db);
        const QByteArray t = text.toUtf8();
        const char *rest = t.constData();
        while (*rest && sqlite3_prepare_v2(db, rest, -1, &st, &rest) == SQLITE_OK && st) {
            const int rc = sqlite3_step(st);
            v = rc == SQLITE_ROW ? sqlite3_column_int64(st, 0) : rc == SQLITE_DONE ? 0 : -1;
            sqlite3_finalize(st);
            st = nullptr;
        }
        sqlite3_close(db);
        return v;
    }
    // The page of the songs table at `path` in the table's tree (dbstat's path, "/000/" ...).
    qint64 pageAt(const QString &path) {
        return sql(QStringLiteral("SELECT pageno FROM dbstat WHERE name='records' AND path='%1'").arg(path));
    }
    static void patch(qint64 at, const QByteArray &bytes) {
        QFile f(QStringLiteral("tbkdata.dat"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek(at));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    // Where the bytes stand on a page of the table (not of a key), when they stand there once.
    qint64 onTablePage(const QByteArray &bytes) {
        QFile f(QStringLiteral("tbkdata.dat"));
        const QByteArray all = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        const qint64 page = sql(QStringLiteral("PRAGMA page_size"));
        QList<qint64> found;
        for (qsizetype at = all.indexOf(bytes); at >= 0; at = all.indexOf(bytes, at + 1))
            if (sql(QStringLiteral("SELECT count(*) FROM dbstat WHERE name='records' AND pageno=%1").arg(at / page + 1)) == 1)
                found << at;
        return found.size() == 1 ? found[0] : -1;
    }
    static QByteArray be(quint32 v, int bytes = 4) {
        QByteArray b;
        for (int i = bytes - 1; i >= 0; --i)
            b += char(v >> (8 * i));
        return b;
    }
    // The records left, checked whole, and the numbers missing among 1 .. songs.
    QList<qint64> missingAfterRepair(int songs) {
        EXPECT_EQ(sql(QStringLiteral("SELECT count(*) FROM records WHERE _rid<1")), 0);
        QList<qint64> missing;
        EXPECT_TRUE(MUS.open());
        MUS.set(MUS.KEYID);
        int expected = 1;
        while (MUS.next()) {
            EXPECT_EQ(MUS.Title.str(), QStringLiteral("song %1").arg(MUS.ID.value()));
            for (; expected < MUS.ID.value(); ++expected)
                missing << expected;
            ++expected;
        }
        for (; expected <= songs; ++expected)
            missing << expected;
        MUS.close();
        return missing;
    }
    const QStringList command{QStringLiteral("tbkdata.dat"), QStringLiteral("/E:tbkdata.dex"), QStringLiteral("/K")};
};

// Small records on small pages: the songs table is three pages deep.
class DatfixPages : public Datfix {
protected:
    static constexpr int kSongs = 3000, kPage = 512;
    void SetUp() override {
        makeSongs(kSongs, 0, kPage);
        ASSERT_GT(sql(QStringLiteral("SELECT count(*) FROM dbstat WHERE name='records' AND pagetype='internal'")), 2);
    }
    void overwrite(qint64 page) {
        QFile f(QStringLiteral("tbkdata.dat"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek((page - 1) * kPage);
        f.write(QByteArray(kPage, '\x5a'));
    }
    QList<qint64> missingAfterRepair() { return Datfix::missingAfterRepair(kSongs); }
};

TEST_F(Datfix, SoundFileKeepsEveryRecord) {
    const Outcome r = datfix(command);
    ASSERT_EQ(r.exit, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("no damage found"))) << r.output.toStdString();
    EXPECT_TRUE(QFile::exists(QStringLiteral("tbkdata.dat.bak")));
    ASSERT_TRUE(MUS.open());
    EXPECT_EQ(MUS.records(), 400);
}

TEST_F(Datfix, AWritePastTheFileSizeLimitStopsTheRepairWithItsMessageAndKeepsTheFile) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    // As a shell under "ulimit -f" starts it: the signal at its default action.
    p.setChildProcessModifier([] {
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit limit{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    p.start(QStringLiteral(TBK_DATFIX), command);
    ASSERT_TRUE(p.waitForFinished(30000));
    const std::string output = QString::fromLocal8Bit(p.readAll()).toStdString();
    ASSERT_EQ(p.exitStatus(), QProcess::NormalExit) << "ended by signal " << p.exitCode();
    EXPECT_NE(p.exitCode(), 0) << output;
    EXPECT_NE(output.find("datfix: "), std::string::npos) << output;
    ASSERT_TRUE(MUS.open());
    EXPECT_EQ(MUS.records(), 400);
}

TEST_F(Datfix, DamagedFileIsRebuiltFromWhatCanBeRead) {
    QByteArray original;
    {
        QFile f(QStringLiteral("tbkdata.dat"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        original = f.readAll();
        ASSERT_GT(original.size(), 40 * 4096);
        // Scribble over a few pages in the middle.
        f.seek(20 * 4096);
        f.write(QByteArray(3 * 4096, '\x5a'));
    }
    ASSERT_TRUE(MUS.open());
    MUS.set(MUS.KEYID);
    int readable = 0;
    bool failed = false;
    while (MUS.next())
        ++readable;
    failed = errorCode() != RecordNotAvailable;
    MUS.close();
    EXPECT_TRUE(failed || readable < 400);

    const Outcome r = datfix(command);
    ASSERT_EQ(r.exit, 6) << r.output.toStdString();   // records lost
    EXPECT_TRUE(r.output.contains(QStringLiteral("problem(s) found"))) << r.output.toStdString();
    const auto [kept, rows] = countsOf(QStringLiteral("tbkdata.dat"));
    EXPECT_EQ(kept, rows);
    ASSERT_TRUE(MUS.open());
    const qint64 n = MUS.records();
    EXPECT_GT(n, 300);
    EXPECT_LT(n, 400);
    // Every record left is whole and reachable through its keys.
    MUS.set(MUS.KEYID);
    qint64 seen = 0;
    while (MUS.next()) {
        ++seen;
        EXPECT_EQ(MUS.Title.str(), QStringLiteral("song %1").arg(MUS.ID.value()));
    }
    EXPECT_EQ(errorCode(), RecordNotAvailable);
    EXPECT_EQ(seen, n);
    QFile bak(QStringLiteral("tbkdata.dat.bak"));
    ASSERT_TRUE(bak.open(QIODevice::ReadOnly));
    EXPECT_NE(bak.readAll(), original);   // the copy is of the damaged file as found
}

TEST_F(Datfix, ASecondRepairKeepsTheFirstOnesBackup) {
    QByteArray first;
    {
        QFile f(QStringLiteral("tbkdata.dat"));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        first = f.readAll();
    }
    Outcome r = datfix(command);
    ASSERT_EQ(r.exit, 0) << r.output.toStdString();
    r = datfix(command);
    ASSERT_EQ(r.exit, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("tbkdata.dat.bak1"))) << r.output.toStdString();
    QFile bak(QStringLiteral("tbkdata.dat.bak"));
    ASSERT_TRUE(bak.open(QIODevice::ReadOnly));
    EXPECT_EQ(bak.readAll(), first);
    EXPECT_TRUE(QFile::exists(QStringLiteral("tbkdata.dat.bak1")));
}

TEST_F(Datfix, RefusesFilesThatAreNotOurs) {
    {
        QFile f(QStringLiteral("notes.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("just text\n");
    }
    Outcome r = datfix({QStringLiteral("notes.txt"), QStringLiteral("/K")});
    EXPECT_EQ(r.exit, 3);
    EXPECT_TRUE(r.output.contains(QStringLiteral("not a data file of this program"))) << r.output.toStdString();
    r = datfix({QStringLiteral("notes.txt"), QStringLiteral("/E:tbkdata.dex")});   // no page holds its rows
    EXPECT_EQ(r.exit, 3);
    r = datfix({QStringLiteral("missing.dat")});
    EXPECT_EQ(r.exit, 2);
    r = datfix({});
    EXPECT_EQ(r.exit, 1);
    // In use by the program: refused, nothing changed.
    ASSERT_TRUE(MUS.open());
    r = datfix(command);
    EXPECT_EQ(r.exit, 4);
    EXPECT_FALSE(QFile::exists(QStringLiteral("tbkdata.dat.bak")));
    MUS.close();
    // A database without the songs table: refused, and no copy left behind.
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open("other.dat", &db), SQLITE_OK);
    sqlite3_exec(db, "CREATE TABLE t(x)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    r = datfix({QStringLiteral("other.dat")});
    EXPECT_EQ(r.exit, 3);
    EXPECT_FALSE(QFile::exists(QStringLiteral("other.dat.bak")));
}

// An inner page of the table and one leaf elsewhere written over: the rows of every leaf still
// whole are kept, also those no path from the root reaches any more; the leaf's are named lost.
TEST_F(DatfixPages, KeepsEveryWholeLeafAndNamesTheRecordsLost) {
    const qint64 inner = sql(QStringLiteral("SELECT pageno FROM dbstat WHERE name='records' AND path='/001/'"));
    const qint64 leaf = sql(QStringLiteral("SELECT pageno FROM dbstat WHERE name='records' AND path='/000/002/'"));
    const qint64 onLeaf = sql(QStringLiteral("SELECT ncell FROM dbstat WHERE name='records' AND path='/000/002/'"));
    ASSERT_GT(inner, 0);
    ASSERT_GT(onLeaf, 0);
    overwrite(inner);
    overwrite(leaf);

    const Outcome r = datfix(command);
    EXPECT_EQ(r.exit, 6) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("20 or more problem(s) found"))) << r.output.toStdString();
    const QList<qint64> missing = missingAfterRepair();
    ASSERT_EQ(missing.size(), onLeaf);
    ASSERT_EQ(missing.last() - missing.first() + 1, onLeaf);
    EXPECT_TRUE(r.output.contains(QStringLiteral("%1 record(s) of tbkdata.dat could not be read (numbers %2-%3); tbkdata.dat.bak still holds them")
                                      .arg(onLeaf).arg(missing.first()).arg(missing.last())))
        << r.output.toStdString();
}

// A file cut to half its length: the rows of the leaves left whole come back.
TEST_F(DatfixPages, HalfLengthFileGivesBackTheRowsOfItsWholePages) {
    const qint64 pages = sql(QStringLiteral("PRAGMA page_count")) / 2;
    const qint64 whole = sql(QStringLiteral("SELECT sum(ncell) FROM dbstat WHERE name='records' AND pagetype='leaf' AND pageno<=%1").arg(pages));
    ASSERT_GT(whole, 0);
    ASSERT_TRUE(QFile::resize(QStringLiteral("tbkdata.dat"), pages * kPage));

    const Outcome r = datfix(command);
    EXPECT_EQ(r.exit, 6) << r.output.toStdString();
    EXPECT_EQ(missingAfterRepair().size(), kSongs - whole);
    EXPECT_TRUE(r.output.contains(QStringLiteral("%1 record(s) of tbkdata.dat could not be read").arg(kSongs - whole))) << r.output.toStdString();
}

// One bit of record 100's identifier changed makes it record 101's: the key refuses 101, which is
// counted lost, and 100, kept as read, is named as possibly damaged.
TEST_F(Datfix, ARecordAUniqueKeyRefusesIsLost) {
    const quint32 id = 0x7a3c5e10;
    ASSERT_EQ(sql(QStringLiteral("UPDATE records SET ID=%1 WHERE _rid=100; UPDATE records SET ID=%2 WHERE _rid=101").arg(id).arg(id + 1)), 0);
    const qint64 at = onTablePage(be(id));
    ASSERT_GE(at, 0);
    patch(at + 3, be(id + 1).right(1));

    const Outcome r = datfix(command);
    EXPECT_EQ(r.exit, 6) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("1 record(s) of tbkdata.dat left out, refused by a unique key")) && r.output.contains(QStringLiteral("(numbers 101)"))) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("1 record(s) of tbkdata.dat kept that may be damaged (numbers 100)"))) << r.output.toStdString();
    EXPECT_EQ(sql(QStringLiteral("SELECT ID FROM records WHERE _rid=100")), id + 1);
    EXPECT_EQ(sql(QStringLiteral("SELECT count(*) FROM records")), 399);
}

// A title changed on the table's page (its keys hold it otherwise) and a note's byte made one no
// text holds: both records are kept as read and named.
TEST_F(Datfix, ChangedValuesTheKeysOrTheTextShowAreNamed) {
    const qint64 title = onTablePage("song 150"), notes = onTablePage("song 200");
    ASSERT_GE(title, 0);
    ASSERT_GE(notes, 0);
    patch(title + 7, "p");
    patch(notes + 100, "\xff");

    const Outcome r = datfix(command);
    EXPECT_EQ(r.exit, 6) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("2 record(s) of tbkdata.dat kept that may be damaged (numbers 150, 200)"))) << r.output.toStdString();
    EXPECT_EQ(sql(QStringLiteral("SELECT count(*) FROM records")), 400);
}

// A column named otherwise in the table's definition: its values are still the column's.
TEST_F(Datfix, AColumnNamedOtherwiseKeepsItsValues) {
    ASSERT_EQ(sql(QStringLiteral("UPDATE records SET ChartNumber=7 WHERE _rid=5")), 0);
    QFile f(QStringLiteral("tbkdata.dat"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const qsizetype at = f.readAll().indexOf("\"ChartNumber\" INTEGER");
    ASSERT_GT(at, 0);
    patch(at + 11, "s");

    const Outcome r = datfix(command);
    EXPECT_EQ(r.exit, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("problem(s) found"))) << r.output.toStdString();
    EXPECT_EQ(sql(QStringLiteral("SELECT ChartNumber FROM records WHERE _rid=5")), 7);
}

// One overflow pointer led into another record's chain, and a chain led back to its own first
// page: SQLite reads all three records, which are kept and named as possibly damaged.
TEST_F(Datfix, TangledOverflowChainsNameTheirRecordsDamaged) {
    makeSongs(40, 2000, 512);
    const qint64 leaf = pageAt(QStringLiteral("/000/")), a = pageAt(QStringLiteral("/000/000+000000")),
                 b = pageAt(QStringLiteral("/000/001+000000")), c = pageAt(QStringLiteral("/000/002+000000"));
    ASSERT_GT(sql(QStringLiteral("SELECT count(*) FROM dbstat WHERE name='records' AND path LIKE '/000/002+%'")), 1);
    QFile f(QStringLiteral("tbkdata.dat"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray page = f.readAll().mid((leaf - 1) * 512, 512);
    ASSERT_EQ(page.count(be(a)), 1);
    patch((leaf - 1) * 512 + page.indexOf(be(a)), be(b));
    patch((c - 1) * 512, be(c));

    const Outcome r = datfix(command);
    EXPECT_EQ(r.exit, 6) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("3 record(s) of tbkdata.dat kept that may be damaged (numbers 1-3)"))) << r.output.toStdString();
    EXPECT_EQ(sql(QStringLiteral("SELECT count(*) FROM records")), 40);
}

// Page 1 written over (repaired without the example file: the structure the file keeps is found
// on its pages), or only its page size: every row comes back from the pages, and the count kept
// on them says that none was lost.
TEST_F(Datfix, ADamagedFirstPageStillGivesBackEveryRecord) {
    const std::pair<qint64, QByteArray> damage[] = {{0, QByteArray(4096, '\0')}, {16, QByteArray("\0\3", 2)}};
    for (const auto &[at, bytes] : damage) {
        makeSongs(400, 1500);
        patch(at, bytes);
        const Outcome r = datfix(at ? command : QStringList{QStringLiteral("tbkdata.dat")});
        EXPECT_EQ(r.exit, 0) << r.output.toStdString();
        EXPECT_TRUE(r.output.contains(QStringLiteral("400 record(s) kept"))) << r.output.toStdString();
        EXPECT_TRUE(missingAfterRepair(400).isEmpty());
    }
}

// The new file cannot be written whole: the run ends with the write's own error, the original
// as it was and no copy left.
TEST_F(Datfix, AFailedWriteEndsTheRunWithItsError) {
    // Records of half a page as rebuilt, on small pages that they fill: the rebuild outgrows the
    // original by more than its cache holds, and so fails while it copies.
    makeSongs(1600, 2000, 512);
    const qint64 size = QFileInfo(QStringLiteral("tbkdata.dat")).size();
    const Outcome r = datfix(command, rlim_t(size));
    EXPECT_EQ(r.exit, 5) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("cannot build the new file: disk I/O error; nothing was changed"))) << r.output.toStdString();
    EXPECT_FALSE(QFile::exists(QStringLiteral("tbkdata.dat.bak")));
    EXPECT_EQ(QFileInfo(QStringLiteral("tbkdata.dat")).size(), size);
}

// A process killed while its commit over the songs and the playlist entries wrote the songs
// file: once the next start has rolled back the other file and the commit's super-journal is
// gone, the backup with its journal still shows the songs as they were before that commit.
TEST_F(Datfix, TheBackupOfAFileCaughtInACommitOverSeveralFilesRollsBack) {
    createAndOpen({&CF, &PLA});
    closeAll();
    ASSERT_EQ(runChild({QStringLiteral("crash"), QStringLiteral("40")}), 99);
    ASSERT_TRUE(QFile::exists(QStringLiteral("tbkdata.dat-journal")));
    const Outcome r = datfix(command);
    EXPECT_EQ(r.exit, 0) << r.output.toStdString();
    EXPECT_TRUE(missingAfterRepair(400).isEmpty());
    ASSERT_TRUE(CF.open());
    ASSERT_TRUE(PLA.open());
    closeAll();
    ASSERT_TRUE(QDir().entryList({QStringLiteral("*-mj*")}).isEmpty());
    for (const QString &end : {QString(), QStringLiteral("-journal")}) {
        QFile::remove(QStringLiteral("tbkdata.dat") + end);
        ASSERT_TRUE(QFile::rename(QStringLiteral("tbkdata.dat.bak") + end, QStringLiteral("tbkdata.dat") + end));
    }
    EXPECT_EQ(sql(QStringLiteral("SELECT count(*) FROM records WHERE Title='song ' || _rid")), 400);
}

// Deleted records leave nothing on the pages, also where the library would keep them.
TEST_F(Datfix, DeletedRecordsLeaveNothingToFind) {
    createAndOpen({&CF});
    ASSERT_EQ(sqlite3_exec(driver::db(), "PRAGMA secure_delete=OFF", nullptr, nullptr, nullptr), SQLITE_OK);
    createAndOpen({&MUS});
    addSongs(1, 30);
    MUS.clear();
    MUS.ID = 7;
    ASSERT_TRUE(MUS.get(MUS.KEYID));
    ASSERT_TRUE(MUS.remove());
    closeAll();
    QFile f(QStringLiteral("tbkdata.dat"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.contains("song 8"));
    EXPECT_FALSE(bytes.contains("song 7"));
}

// Cell pointers into the page header and into the pointer array: no record is made of them (no
// record 0), and the two records they led to are named lost.
TEST_F(DatfixPages, ACellPointerOutsideThePageContentMakesNoRecord) {
    const qint64 leaf = pageAt(QStringLiteral("/000/002/")), other = pageAt(QStringLiteral("/001/002/"));
    const qint64 cells = sql(QStringLiteral("SELECT ncell FROM dbstat WHERE pageno=%1").arg(other));
    patch((leaf - 1) * kPage + 8, be(1, 2));
    patch((other - 1) * kPage + 10, be(quint32(8 + 2 * cells - 2), 2));

    const Outcome r = datfix(command);
    EXPECT_EQ(r.exit, 6) << r.output.toStdString();
    const QList<qint64> missing = missingAfterRepair();
    ASSERT_EQ(missing.size(), 2);
    EXPECT_TRUE(r.output.contains(QStringLiteral("2 record(s) of tbkdata.dat could not be read (numbers %1, %2)").arg(missing[0]).arg(missing[1])))
        << r.output.toStdString();
}

// A file cut within a leaf: the rows wholly in the part left come back, and the count of those
// lost is right.
TEST_F(DatfixPages, APartlyPresentLastPageKeepsTheRowsItStillHolds) {
    const qint64 leaf = sql(QStringLiteral("SELECT pageno FROM dbstat WHERE name='records' AND pagetype='leaf' ORDER BY pageno LIMIT 1 OFFSET 20"));
    const qint64 before = sql(QStringLiteral("SELECT sum(ncell) FROM dbstat WHERE name='records' AND pagetype='leaf' AND pageno<%1").arg(leaf));
    ASSERT_TRUE(QFile::resize(QStringLiteral("tbkdata.dat"), (leaf - 1) * kPage + kPage * 3 / 4));

    const Outcome r = datfix(command);
    EXPECT_EQ(r.exit, 6) << r.output.toStdString();
    const QList<qint64> missing = missingAfterRepair();
    EXPECT_LT(missing.size(), kSongs - before);
    EXPECT_TRUE(r.output.contains(QStringLiteral(" %1 record(s) of tbkdata.dat could not be read").arg(missing.size()))) << r.output.toStdString();
}

// The free list's first trunk pointed at a leaf, with the table's inner page written over: the
// leaf is not taken for a free page, and its rows come back with all the others.
TEST_F(DatfixPages, AFreeListPointerToALeafHidesNoRows) {
    const qint64 leaf = pageAt(QStringLiteral("/001/002/"));
    ASSERT_GT(leaf, 0);
    overwrite(pageAt(QStringLiteral("/001/")));
    patch(32, be(quint32(leaf)) + be(1));

    const Outcome r = datfix(command);
    EXPECT_EQ(r.exit, 0) << r.output.toStdString();
    EXPECT_TRUE(missingAfterRepair().isEmpty());
}

// The table's root and the page of its count written over: SQLite reads no row, the pages give
// them all back, and the key that lists every record says that none is lost.
TEST_F(DatfixPages, ARecordEveryKeyListsAndThePagesGaveBackIsNotLost) {
    overwrite(sql(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name='records'")));
    overwrite(sql(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name='tbk_count'")));

    const Outcome r = datfix(command);
    EXPECT_EQ(r.exit, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("problem(s) found"))) << r.output.toStdString();
    EXPECT_TRUE(missingAfterRepair().isEmpty());
}

} // namespace
