// The repair program, run as the File Manager runs it.
#include "support.h"

#include "runtime/data/transaction.h"
#include "runtime/data/upgrader.h"

#include <QFile>

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
    void SetUp() override {
        createAndOpen({&CF, &MUS});
        ASSERT_TRUE(up_UsingFile(QStringLiteral("MUS"), QStringLiteral("Tunebank"), MUS, 6));
        ASSERT_EQ(up_MakeExample(MUS), QString());
        ASSERT_TRUE(QFile::exists(QStringLiteral("tbkdata.dex")));
        MUS.clear();
        MUS.Notes = QString(1500, QLatin1Char('n'));   // rows of some size: many pages
        ASSERT_TRUE(beginTransaction(1, {&MUS}));
        for (int i = 1; i <= 400; ++i) {
            MUS.ID = i;
            MUS.Title = QStringLiteral("song %1").arg(i);
            ASSERT_TRUE(MUS.add());
        }
        ASSERT_TRUE(commitTransaction());
        closeAll();
    }
    void TearDown() override { closeAll(); }
    const QStringList command{QStringLiteral("tbkdata.dat"), QStringLiteral("/E:tbkdata.dex"), QStringLiteral("/K")};
};

TEST_F(Datfix, SoundFileKeepsEveryRecord) {
    const Outcome r = datfix(command);
    ASSERT_EQ(r.exit, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("no damage found"))) << r.output.toStdString();
    EXPECT_TRUE(QFile::exists(QStringLiteral("tbkdata.dat.bak")));
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
    ASSERT_EQ(r.exit, 0) << r.output.toStdString();
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
}

} // namespace
