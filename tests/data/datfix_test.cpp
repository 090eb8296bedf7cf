// The repair program, run as the File Manager runs it.
#include "support.h"

#include "runtime/data/transaction.h"
#include "runtime/data/upgrader.h"

#include <QFile>

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

Outcome datfix(const QStringList &args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
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
    // The records left, checked whole, and the numbers missing among 1 .. kSongs.
    QList<qint64> missingAfterRepair() {
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
        for (; expected <= kSongs; ++expected)
            missing << expected;
        MUS.close();
        return missing;
    }
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

} // namespace
