// More files open at once than one SQLite connection can attach: every file still reads and
// writes, transactions over several of them stay atomic, and a file in the middle of a run
// (streaming, holding its reads) is never let go of.
#include "support.h"

#include "runtime/data/transaction.h"

#include <QFile>

using namespace tbk;
using namespace tbk::data;
using namespace datatest;

namespace {

FileStructure &extraStructure(int n) {
    static std::vector<std::unique_ptr<FileStructure>> made;
    while (int(made.size()) < n) {
        auto s = std::make_unique<FileStructure>(QStringLiteral("extra%1").arg(made.size() + 1), 1);
        s->text(QStringLiteral("Name"), 20).longField(QStringLiteral("Number"));
        s->key(QStringLiteral("ByName"), QStringLiteral("Name"), Unique);
        s->finish();
        made.push_back(std::move(s));
    }
    return *made[size_t(n - 1)];
}

// Files beyond the catalogue's own, as the query wizard's file is.
DataFile Extra1(QStringLiteral("Extra1"), QStringLiteral("EX1"), extraStructure(1));
DataFile Extra2(QStringLiteral("Extra2"), QStringLiteral("EX2"), extraStructure(2));
DataFile Extra3(QStringLiteral("Extra3"), QStringLiteral("EX3"), extraStructure(3));

int attachLimit() { return sqlite3_limit(driver::db(), SQLITE_LIMIT_ATTACHED, -1); }

// A record whose every field is made from n, so that records of different n differ in every key.
void fill(DataFile &f, int n) {
    f.clear();
    const auto &fields = f.structure().fields();
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].kind == FieldKind::Text || fields[i].kind == FieldKind::Memo)
            f.cell(int(i)).s = QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')).right(fields[i].size);
        else
            f.cell(int(i)).n = n;
    }
}

// The files the connection has attached now.
QStringList attachedNames() {
    QStringList names;
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(driver::db(), "PRAGMA database_list", -1, &st, nullptr) == SQLITE_OK)
        while (sqlite3_step(st) == SQLITE_ROW)
            names << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 1)));
    sqlite3_finalize(st);
    return names;
}

class Attach : public testing::Test {
protected:
    void SetUp() override {
        setMainFile(&CF);
        for (const RegisteredFile &r : registeredDataFiles())
            files.push_back(r.file);
        files.push_back(&Extra1);
        files.push_back(&Extra2);
        files.push_back(&Extra3);
        for (DataFile *f : files) {
            ASSERT_TRUE(f->create()) << f->label().toStdString() << " " << errorCode() << " " << driverErrorText().toStdString();
            ASSERT_TRUE(f->open()) << f->label().toStdString() << " " << errorCode() << " " << driverErrorText().toStdString();
        }
        // More open files than the connection can attach besides its main database.
        ASSERT_GT(int(files.size()) - 1, attachLimit());
    }
    void TearDown() override {
        if (inTransaction())
            rollbackTransaction();
        closeAll();
    }

    // Adds record n to each file in turn, then reads every one back by position.
    void writeAndReadAll(int n) {
        std::vector<Position> at;
        std::vector<qint64> before;
        for (DataFile *f : files)
            before.push_back(f->records());
        for (DataFile *f : files) {
            fill(*f, n);
            ASSERT_TRUE(f->add()) << f->label().toStdString() << " " << errorCode() << " " << driverErrorText().toStdString();
            at.push_back(f->position());
        }
        for (size_t i = 0; i < files.size(); ++i) {
            DataFile &f = *files[i];
            f.clear();
            ASSERT_TRUE(f.get(at[i])) << f.label().toStdString() << " " << errorCode();
            fill(f, n);
            EXPECT_TRUE(f.record().sameValues(Record{f.record().cells})) << f.label().toStdString();
            EXPECT_EQ(f.records(), before[i] + 1) << f.label().toStdString();
        }
    }

    std::vector<DataFile *> files;
};

TEST_F(Attach, EveryOpenFileReadsAndWritesBeyondTheLimit) {
    for (int n = 1; n <= 3; ++n)
        writeAndReadAll(n);
    // In key order too, each file after all the others were used.
    for (DataFile *f : files) {
        if (f->structure().keys().empty())
            continue;
        f->set(f->keyAt(0));
        int seen = 0;
        while (f->next())
            ++seen;
        EXPECT_EQ(errorCode(), RecordNotAvailable) << f->label().toStdString();
        EXPECT_EQ(seen, 3) << f->label().toStdString();
    }
    // Changed and removed through a file that was let go of and taken back meanwhile.
    ASSERT_TRUE(Extra1.get(1));
    Extra1.cell(1).n = 77;
    for (DataFile *f : files)
        EXPECT_GE(f->records(), 0);
    ASSERT_TRUE(Extra1.put()) << errorCode();
    for (DataFile *f : files)
        EXPECT_GE(f->records(), 0);
    ASSERT_TRUE(Extra1.get(1));
    EXPECT_EQ(Extra1.cell(1).n, 77);
    ASSERT_TRUE(Extra1.remove());
    for (DataFile *f : files)
        EXPECT_GE(f->records(), 0);
    EXPECT_EQ(Extra1.records(), 2);
    // Another process sees every write.
    closeAll();
    for (const char *name : {"extra1.dat", "extra3.dat", "tbkdata.dat", "TBKAdWiz.dat"})
        EXPECT_EQ(countsOf(QString::fromLatin1(name)).second, QString::fromLatin1(name) == "extra1.dat" ? 2 : 3) << name;
}

TEST_F(Attach, TransactionOverFilesThatWereLetGoOfIsAtomic) {
    writeAndReadAll(1);
    // The files least recently used are the ones let go of first.
    ASSERT_FALSE(attachedNames().contains(AW.schemaName()));
    ASSERT_TRUE(beginTransaction(1, {&AW, &ALB, &Extra3})) << errorCode() << " " << driverErrorText().toStdString();
    // A file let go of before the transaction began cannot be attached within it: an error, and
    // the transaction goes on.
    DataFile *away = nullptr;
    for (DataFile *f : files)
        if (!attachedNames().contains(f->schemaName()))
            away = f;
    ASSERT_TRUE(away);
    EXPECT_EQ(away->records(), -1);
    EXPECT_EQ(errorCode(), DriverError);
    fill(AW, 2);
    ASSERT_TRUE(AW.add());
    fill(ALB, 2);
    ASSERT_TRUE(ALB.add());
    fill(Extra3, 2);
    ASSERT_TRUE(Extra3.add());
    ASSERT_TRUE(rollbackTransaction());
    EXPECT_EQ(AW.records(), 1);
    EXPECT_EQ(ALB.records(), 1);
    EXPECT_EQ(Extra3.records(), 1);

    ASSERT_TRUE(beginTransaction(1, {&AW, &ALB, &Extra3}));
    fill(AW, 2);
    ASSERT_TRUE(AW.add());
    fill(Extra3, 2);
    ASSERT_TRUE(Extra3.add());
    ASSERT_TRUE(commitTransaction());
    // Everything else is used and let go of; what was committed stays.
    writeAndReadAll(3);
    EXPECT_EQ(AW.records(), 3);
    EXPECT_EQ(ALB.records(), 2);
    EXPECT_EQ(Extra3.records(), 3);
}

TEST_F(Attach, FileInTheMiddleOfARunIsKept) {
    writeAndReadAll(1);
    // Streaming: its lock and journal stay the run's own until the flush, however many files
    // are used meanwhile.
    Extra1.stream();
    fill(Extra1, 2);
    ASSERT_TRUE(Extra1.add());
    EXPECT_TRUE(QFile::exists(QStringLiteral("extra1.dat-journal")));
    // Holding its reads: kept while other files can make room.
    ASSERT_TRUE(MUS.holdReads());
    DataFile *away = nullptr;
    for (DataFile *f : files)
        if (!attachedNames().contains(f->schemaName()))
            away = f;
    ASSERT_TRUE(away);
    fill(*away, 2);
    ASSERT_TRUE(away->add()) << errorCode() << " " << driverErrorText().toStdString();
    EXPECT_TRUE(attachedNames().contains(MUS.schemaName()));
    EXPECT_EQ(sqlite3_txn_state(driver::db(), MUS.schemaName().toUtf8().constData()), SQLITE_TXN_READ);
    // Every other file used while the hold keeps them all locked: the hold gives way.
    for (DataFile *f : files)
        if (f != &Extra1 && f != &MUS && f != away) {
            fill(*f, 2);
            ASSERT_TRUE(f->add()) << f->label().toStdString() << " " << errorCode() << " " << driverErrorText().toStdString();
        }
    EXPECT_TRUE(QFile::exists(QStringLiteral("extra1.dat-journal")));
    EXPECT_TRUE(attachedNames().contains(Extra1.schemaName()));
    MUS.releaseReads();
    fill(MUS, 2);
    ASSERT_TRUE(MUS.add());
    fill(Extra1, 3);
    ASSERT_TRUE(Extra1.add());
    Extra1.flush();
    EXPECT_FALSE(QFile::exists(QStringLiteral("extra1.dat-journal")));
    EXPECT_EQ(Extra1.records(), 3);
    closeAll();
    EXPECT_EQ(countsOf(QStringLiteral("extra1.dat")), std::make_pair(qint64(3), qint64(3)));
    EXPECT_EQ(countsOf(QStringLiteral("tbkdata.dat")), std::make_pair(qint64(2), qint64(2)));
}

} // namespace
