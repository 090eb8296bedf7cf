// Declarations, structure upgrades, files that are not ours, and the text files.
#include "support.h"

#include "runtime/data/driver.h"
#include "runtime/data/upgrader.h"
#include "support/filesizelimit.h"

#include <QFile>
#include <QFileInfo>

using namespace tbk;
using namespace tbk::data;
using namespace datatest;

namespace {

TEST(Declarations, MatchTheirRecordSizesAndKeys) {
    struct Expect { DataFile *file; const char *disk; int bytes; int memos; int keys; int registration; };
    const Expect table[] = {
        {&MUS, "tbkdata.dat", 661, 3, 12, 6}, {&A_S, "tbkdata.dat", 661, 3, 12, 6},
        {&ALB, "tbkalbum.dat", 796, 3, 7, 4}, {&CAT, "TBKCAT.dat", 36, 0, 2, 1},
        {&MED, "tbkmedia.dat", 20, 0, 1, 1}, {&PLD, "tbkplist.dat", 38, 1, 2, 1},
        {&PLA, "tbkpldet.dat", 65, 0, 2, 2}, {&LAB, "tbklabel.dat", 622, 6, 3, 2},
        {&FON, "tbkfont.dat", 134, 0, 2, 1}, {&TIP, "TBKTIPS.dat", 1028, 0, 2, 0},
        {&AW, "TBKAdWiz.dat", 113, 0, 1, 2}, {&CF, "TBKConf.dat", 120, 0, 1, 1},
    };
    for (const Expect &e : table) {
        const FileStructure &s = e.file->structure();
        int memos = 0;
        for (const FieldDecl &f : s.fields())
            memos += f.kind == FieldKind::Memo;
        EXPECT_EQ(e.file->name(), QLatin1String(e.disk));
        EXPECT_EQ(s.recordSize(), e.bytes) << e.disk;
        EXPECT_EQ(memos, e.memos) << e.disk;
        EXPECT_EQ(int(s.keys().size()), e.keys) << e.disk;
        EXPECT_EQ(s.registration(), e.registration) << e.disk;
        EXPECT_GE(s.primaryKey(), e.file == &MED || e.file == &CF ? -1 : 0) << e.disk;
    }
    EXPECT_EQ(MUS.structure().fields().size(), 31u);
    EXPECT_EQ(EVL.name(), QStringLiteral("TBKEvent.LOG"));
    EXPECT_EQ(EVL.recordLength(), 102);
    EXPECT_EQ(INP.recordLength(), 1024);
    EXPECT_EQ(TransferFile.recordLength(), 16000);
    EXPECT_EQ(registeredDataFiles().size(), 11u);
    EXPECT_EQ(CF.structure().ownerPassword(), QStringLiteral("q#7zm"));
}

class Layout : public testing::Test {
protected:
    void TearDown() override { closeAll(); }
};

// The songs file as an older program wrote it: no mix, a shorter title, another key.
FileStructure &olderSongs(int registration) {
    static FileStructure s(QStringLiteral("tbkdata"), 0);
    s = FileStructure(QStringLiteral("tbkdata"), registration);
    s.text(QStringLiteral("Artist"), 50).text(QStringLiteral("Title"), 60).longField(QStringLiteral("ID"))
        .text(QStringLiteral("FileNumber"), 20).memo(QStringLiteral("Notes"), 100)
        .key(QStringLiteral("ByTitle"), QStringLiteral("Title"), Duplicates);
    s.finish();
    return s;
}

void writeOldSongs(int registration, std::initializer_list<std::pair<int, const char *>> rows) {
    DataFile old(QStringLiteral("Old"), QStringLiteral("OLD"), olderSongs(registration));
    ASSERT_TRUE(old.create());
    ASSERT_TRUE(old.open());
    for (const auto &[id, title] : rows) {
        old.clear();
        old.field(QStringLiteral("ID")).setNumber(id);
        old.field(QStringLiteral("Artist")).setText(QStringLiteral("artist"));
        old.field(QStringLiteral("Title")).setText(QString::fromUtf8(title));
        old.field(QStringLiteral("FileNumber")).setText(QStringLiteral("F%1").arg(id));
        old.field(QStringLiteral("Notes")).setText(QStringLiteral("note %1").arg(id));
        ASSERT_TRUE(old.add());
    }
}

TEST_F(Layout, OlderFileIsUpgradedKeepingItsRows) {
    writeOldSongs(5, {{1, "first"}, {2, "second, with a title longer than fifty characters in all"}});
    EXPECT_FALSE(MUS.open());
    EXPECT_EQ(errorCode(), InvalidRecordDeclaration);
    ASSERT_TRUE(up_UpGradeFile(MUS)) << errorCode();
    EXPECT_EQ(countsOf(QStringLiteral("tbkdata.dat")), std::make_pair(qint64(2), qint64(2)));
    ASSERT_TRUE(MUS.open());
    EXPECT_EQ(MUS.records(), 2);
    MUS.clear();
    MUS.ID = 2;
    ASSERT_TRUE(MUS.get(MUS.KEYID));
    EXPECT_EQ(MUS.Title.str(), QStringLiteral("second, with a title longer than fifty characters"));
    EXPECT_EQ(MUS.FileNumber.str(), QStringLiteral("F2"));
    EXPECT_EQ(MUS.Notes.str(), QStringLiteral("note 2"));
    EXPECT_EQ(MUS.Mix.str(), QString());
    EXPECT_EQ(MUS.position(), 2);   // positions survive
    MUS.set(MUS.SongsByTitle);       // the new keys exist
    ASSERT_TRUE(MUS.next());
    EXPECT_EQ(MUS.ID.value(), 1);
}

TEST_F(Layout, UpgradeFailsForNewerFilesAndBrokenKeys) {
    writeOldSongs(7, {{1, "x"}});
    EXPECT_FALSE(up_UpGradeFile(MUS));
    EXPECT_EQ(errorCode(), InvalidRecordDeclaration);
    // Two rows with the same ID break the unique KEYID: nothing changes.
    writeOldSongs(5, {{3, "a"}, {3, "b"}});
    EXPECT_FALSE(up_UpGradeFile(MUS));
    EXPECT_EQ(errorCode(), DuplicateKey);
    EXPECT_EQ(errorKey(), QStringLiteral("KEYID"));
    DataFile old(QStringLiteral("Old"), QStringLiteral("OLD"), olderSongs(5));
    ASSERT_TRUE(old.open());
    EXPECT_EQ(old.records(), 2);
}

TEST_F(Layout, FilesThatAreNotOursAreReported) {
    {
        QFile f(QStringLiteral("tbkdata.dat"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    EXPECT_FALSE(MUS.open());
    EXPECT_EQ(errorCode(), DriverError);
    EXPECT_EQ(driverErrorCode(), 26);   // SQLite's "not a database"
    EXPECT_FALSE(driverErrorText().isEmpty());
    EXPECT_FALSE(up_UpGradeFile(MUS));
    // A database, but not one of our files.
    QFile::remove(QStringLiteral("tbkdata.dat"));
    DataFile other(QStringLiteral("Other"), QStringLiteral("OTH"), [] () -> FileStructure & {
        static FileStructure s(QStringLiteral("tbkdata"), 1);
        s = FileStructure(QStringLiteral("tbkdata"), 1);
        s.text(QStringLiteral("A"), 5);
        s.finish();
        return s;
    }());
    ASSERT_TRUE(other.create());
    ASSERT_TRUE(other.open());
    ASSERT_TRUE(driver::exec(QStringLiteral("DROP TABLE %1.tbk_meta").arg(other.schemaName()), {}));
    other.close();
    EXPECT_FALSE(MUS.open());
    EXPECT_EQ(errorCode(), InvalidDataFile);
    // Creating replaces it.
    EXPECT_TRUE(MUS.create());
    EXPECT_TRUE(MUS.open());
    EXPECT_EQ(MUS.records(), 0);
}

TEST_F(Layout, MissingKeysAreRebuilt) {
    createAndOpen({&CAT});
    ASSERT_TRUE(driver::exec(QStringLiteral("DROP INDEX %1.k_keycategory").arg(CAT.schemaName()), {}));
    CAT.close();
    EXPECT_FALSE(CAT.open());
    EXPECT_EQ(errorCode(), InvalidKeyFile);
    ASSERT_TRUE(CAT.buildKeys()) << errorCode();   // on the closed file
    ASSERT_TRUE(CAT.open());
    CAT.clear();
    CAT.CategoryID = 1;
    CAT.Category = "x";
    ASSERT_TRUE(CAT.add());
    CAT.CategoryID = 2;
    EXPECT_FALSE(CAT.add());       // the rebuilt key is unique again
    EXPECT_EQ(errorKey(), QStringLiteral("KeyCategory"));
    EXPECT_TRUE(CAT.buildKeys());  // and on the open one
    EXPECT_EQ(CAT.send(QStringLiteral("HELD")), QStringLiteral("OFF"));
}

TEST_F(Layout, RebuildRefusedByDuplicateRowsNamesTheKeyAndKeepsTheRows) {
    createAndOpen({&CAT});
    ASSERT_TRUE(driver::exec(QStringLiteral("DROP INDEX %1.k_keycategory").arg(CAT.schemaName()), {}));
    for (int id : {1, 2}) {
        CAT.clear();
        CAT.CategoryID = id;
        CAT.Category = "Jazz";
        ASSERT_TRUE(CAT.add()) << errorCode();
    }
    EXPECT_FALSE(CAT.buildKeys());
    EXPECT_EQ(errorCode(), DuplicateKey);
    EXPECT_EQ(errorKey(), QStringLiteral("KeyCategory"));
    EXPECT_EQ(CAT.records(), 2);
}

TEST_F(Layout, ConfigurationIsMadeAfterOtherFilesAndKeepsItsPassword) {
    createAndOpen({&MUS});          // the connection makes the main database first
    ASSERT_FALSE(CF.open());
    EXPECT_EQ(errorCode(), FileNotFound);
    createAndOpen({&CF});
    ASSERT_TRUE(driver::exec(QStringLiteral("UPDATE main.tbk_meta SET value='other' WHERE name='owner'"), {}));
    CF.close();
    EXPECT_FALSE(CF.open());
    EXPECT_EQ(errorCode(), InvalidDataFile);
}

TEST(Declarations, AnExampleThatCannotBeWrittenIsReported) {
    ASSERT_TRUE(up_UsingFile(QStringLiteral("MUS"), QStringLiteral("Tunebank"), MUS, 6));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), exampleFileName(MUS)));   // a full disk
    EXPECT_EQ(up_MakeExample(MUS), QStringLiteral("3"));
    EXPECT_EQ(errorCode(), AccessDenied);
    QFile::remove(exampleFileName(MUS));
    EXPECT_EQ(up_MakeExample(MUS), QString());
    EXPECT_GT(QFileInfo(exampleFileName(MUS)).size(), 0);
}

// A number beyond any whole number, from text or from a double, is held at the end of the
// field's range, with its sign kept.
TEST(Fields, NumbersBeyondRangeAreHeldAtTheEnd) {
    ALB.clear();
    const FieldRef decimal = ALB[QStringLiteral("CategoryID")];   // DECIMAL(6): 11 digits
    decimal.setText(QStringLiteral("1e30"));
    EXPECT_EQ(decimal.number(), 99999999999);
    decimal.setText(QStringLiteral("-1e30"));
    EXPECT_EQ(decimal.number(), -99999999999);
    decimal.setValue(QVariant(1e30));
    EXPECT_EQ(decimal.number(), 99999999999);
    const FieldRef text = ALB[QStringLiteral("Artist")];
    text.setText(QStringLiteral("1e30"));
    EXPECT_EQ(text.number(), std::numeric_limits<qint64>::max());
    text.setText(QStringLiteral("-1e30"));
    EXPECT_EQ(text.number(), std::numeric_limits<qint64>::min());
    ALB.clear();
}

TEST(TextFiles, EventLogLinesAndEndOfFile) {
    const QString e = QString::fromUtf8("\xc3\xa9");
    const QString face = QString::fromUtf8("\xf0\x9f\x98\x80");
    ASSERT_FALSE(EVL.open());
    EXPECT_EQ(errorCode(), FileNotFound);
    ASSERT_TRUE(EVL.create());
    ASSERT_TRUE(EVL.open());
    EVL.clear();
    EVL.LOGDATE = "10/02/1996";
    EVL.LOGTIME = "12:00";
    EVL.LOGLABEL = "MCI";
    EVL.LOGDATA = QString(70, QLatin1Char('d'));   // cut to its 50 characters
    ASSERT_TRUE(EVL.add());
    // Sizes are bytes: a character that does not fit whole is left out.
    EVL.LOGLABEL = QStringLiteral("x").repeated(27) + face;   // 31 bytes for 30
    EVL.LOGDATA = e.repeated(30);                             // 60 bytes for 50
    ASSERT_TRUE(EVL.add());
    EVL.close();
    QFile f(QStringLiteral("TBKEvent.LOG"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray line = f.readLine();
    EXPECT_EQ(line.size(), 102 + 1);
    EXPECT_TRUE(line.startsWith("10/02/1996  12:00     MCI"));
    line = f.readLine();
    EXPECT_EQ(line.size(), 102 + 1);
    EXPECT_EQ(line.mid(22, 30), QByteArray(27, 'x') + "   ");
    EXPECT_EQ(QString::fromUtf8(line.mid(52, 50)), e.repeated(25));
    f.close();
    ASSERT_TRUE(EVL.open());
    EVL.clear();
    ASSERT_TRUE(EVL.next());
    EXPECT_EQ(EVL.LOGLABEL.str(), QStringLiteral("MCI"));
    EXPECT_EQ(EVL.LOGDATA.str().size(), 50);
    ASSERT_TRUE(EVL.next());
    EXPECT_EQ(EVL.LOGLABEL.str(), QStringLiteral("x").repeated(27));
    EXPECT_EQ(EVL.LOGDATA.str(), e.repeated(25));
    EXPECT_FALSE(EVL.next());
    EXPECT_EQ(errorCode(), RecordNotAvailable);
    EVL.close();
}

TEST(TextFiles, AnOpenThatDeniesOthersShutsThemOutAndLinesGoOutWhole) {
    TransferTextFile own(QStringLiteral("TransferFile"), QString());
    TransferTextFile other(QStringLiteral("TransferFile"), QString());
    own.setName(QStringLiteral("t.csv"));
    other.setName(QStringLiteral("t.csv"));
    ASSERT_TRUE(own.create());
    ASSERT_TRUE(own.open(WriteOnly | DenyAll));
    own.setWriteBlock(20);
    own.RECORD = "\"one\"";
    ASSERT_TRUE(own.add());
    EXPECT_EQ(QFileInfo(QStringLiteral("t.csv")).size(), 0);   // gathered in memory
    EXPECT_FALSE(other.open(SharedReadOnly));
    EXPECT_EQ(errorCode(), FileLocked);
    EXPECT_FALSE(other.create());   // would empty the file the other open writes
    EXPECT_EQ(errorCode(), FileLocked);
    own.RECORD = "\"a longer second line\"";
    ASSERT_TRUE(own.add());
    EXPECT_EQ(QFileInfo(QStringLiteral("t.csv")).size(), 6 + 23);
    own.RECORD = "3";
    ASSERT_TRUE(own.add());
    own.close();
    EXPECT_EQ(errorCode(), NoError);
    QFile f(QStringLiteral("t.csv"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("\"one\"\n\"a longer second line\"\n3\n"));
    ASSERT_TRUE(other.open(SharedReadOnly));
    other.close();

    // A line that cannot be written is not added, and a block left over fails the close; both
    // say why.
    TransferTextFile full(QStringLiteral("TransferFile"), QString());
    full.setName(QStringLiteral("/dev/full"));
    ASSERT_TRUE(full.open(WriteOnly));
    EXPECT_FALSE(full.add());
    EXPECT_EQ(errorCode(), DriverError);
    EXPECT_EQ(driverErrorText(), "No space left on device");
    full.close();
    EXPECT_EQ(errorCode(), NoError);
    full.setWriteBlock(1000);
    ASSERT_TRUE(full.open(WriteOnly));
    ASSERT_TRUE(full.add());
    full.close();
    EXPECT_EQ(errorCode(), DriverError);
    EXPECT_EQ(driverErrorText(), "No space left on device");

    // A write the system takes only in part fails as a whole, with the system's reason.
    ASSERT_TRUE(own.open(WriteOnly));
    own.RECORD = QString(100, QLatin1Char('x'));
    {
        FileSizeLimit limit(40);
        EXPECT_FALSE(own.add());
    }
    EXPECT_EQ(errorCode(), DriverError);
    EXPECT_EQ(driverErrorText(), "File too large");
    own.close();
    EXPECT_EQ(QFileInfo(QStringLiteral("t.csv")).size(), 6 + 23 + 2);
}

TEST(TextFiles, LongLinesComeInPiecesAndNothingIsLost) {
    {
        QFile f(QStringLiteral("CDDB_LOG.TXT"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("210 rock 1234 Artist / Title\r\n");
        f.write(QByteArray(1500, 'a') + "\n");
        f.write("last");
    }
    INP.setName(QStringLiteral("CDDB_LOG.TXT"));
    ASSERT_TRUE(INP.open(SharedReadOnly));
    QStringList lines;
    while (INP.next())
        lines << INP.LINE.str();
    EXPECT_EQ(errorCode(), RecordNotAvailable);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("210 rock 1234 Artist / Title"));
    EXPECT_EQ(lines[1].size(), 1024);
    EXPECT_EQ(lines[2].size(), 1500 - 1024);
    EXPECT_EQ(lines[3], QStringLiteral("last"));
    EXPECT_FALSE(INP.add());   // read only
    INP.close();
}

TEST(TextFiles, APieceNeverSplitsACharacter) {
    const QString line = QString(1023, QLatin1Char('a')) + QString::fromUtf8("\xf0\x9f\x98\x80") + QStringLiteral("b");
    {
        QFile f(QStringLiteral("CDDB_LOG.TXT"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(line.toUtf8() + "\n");
    }
    INP.setName(QStringLiteral("CDDB_LOG.TXT"));
    ASSERT_TRUE(INP.open(SharedReadOnly));
    QString joined;
    while (INP.next())
        joined += INP.LINE.str();
    INP.close();
    EXPECT_EQ(joined, line);
}

TEST(TextFiles, ACharacterAcrossAFieldOrPieceEndGoesWholeToTheNext) {
    const QString e = QString::fromUtf8("\xc3\xa9");
    {
        QFile f(QStringLiteral("TBKEvent.LOG"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(22, ' ') + QByteArray(29, 'y') + e.toUtf8() + "data\n");
        f.close();
        f.setFileName(QStringLiteral("CDDB_LOG.TXT"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(e.repeated(600).toUtf8() + "\n");
    }
    ASSERT_TRUE(EVL.open());
    ASSERT_TRUE(EVL.next());
    EXPECT_EQ(EVL.LOGLABEL.str(), QString(29, QLatin1Char('y')));
    EXPECT_EQ(EVL.LOGDATA.str(), e + "data");
    EVL.close();

    INP.setName(QStringLiteral("CDDB_LOG.TXT"));
    ASSERT_TRUE(INP.open(SharedReadOnly));
    QStringList pieces;
    while (INP.next())
        pieces << INP.LINE.str();
    INP.close();
    ASSERT_EQ(pieces.size(), 2);
    EXPECT_EQ(pieces[0], e.repeated(512));   // 1024 bytes
    EXPECT_EQ(pieces[1], e.repeated(88));
}

TEST(TextFiles, ALineEndsBeforeACharacterPastItsSizeAndWithoutTrailingBlanks) {
    const QString e = QString::fromUtf8("\xc3\xa9");
    const QString smile = QString::fromUtf8("\xf0\x9f\x98\x80");
    struct Case {
        QByteArray line;
        QString text;
        int bytes;
        QByteArray want;
    };
    for (const Case &c : {Case{"x,", "ab  ", 10, "x,ab"}, Case{"", e.repeated(6), 5, e.repeated(2).toUtf8()},
                          Case{"", "a  " + smile, 4, "a"}, Case{"x ", "  ", 10, "x"}, Case{"", smile + "b", 4, smile.toUtf8()}}) {
        QByteArray line = c.line;
        appendLineEnd(line, c.text, c.bytes);
        EXPECT_EQ(line, c.want) << c.text.toStdString();
    }
}

} // namespace
