// The import as the user runs it: the file dialog, the assignment window, the run on real files
// with what it adds to the songs and categories files, the round trip through the export, and
// the run's failures.
#include "impextest.h"

#include "core/programsettings.h"
#include "impex/exportfields.h"
#include "impex/exportrun.h"
#include "impex/importrun.h"
#include "impex/importsongs.h"
#include "runtime/data/driver.h"
#include "runtime/data/transaction.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/values/dates.h"
#include "runtime/values/picture.h"
#include "runtime/values/text.h"
#include "support/windows/controltesting.h"
#include "support/windows/listtesting.h"
#include "support/fulldisk.h"
#include "support/windows/scriptedanswers.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPushButton>
#include <sqlite3.h>

using namespace tbk;
using namespace tbk::windowtest;
using namespace impextest;

namespace {

using Assign = std::function<void(ImportFieldLists &)>;

void writeFile(const QString &name, const QByteArray &bytes) {
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Columns to targets by name: {"Field_1", "MUS:Artist"}, ...
Assign columnsTo(const QList<QPair<QString, QString>> &pairs) {
    return [pairs](ImportFieldLists &lists) {
        for (const auto &[column, target] : pairs)
            AssignImportField(lists, int(importTargetNames().indexOf(target)), lists.columnIndex(column));
    };
}

// The import as OK starts it, with the columns assigned by `assign`; the messages it showed.
std::vector<ShownMessage> importFile(const QString &file, const Assign &assign, bool strip,
                                     std::deque<int> answers = {ButtonNo}) {
    return runAnswering([&] {
        FilesInUse files{&CAT, &MUS};
        ImportTransfer t;
        const qint64 size = ImportOpenNamedFile(t, file);
        ASSERT_GT(size, 0);
        ImportFieldLists lists;
        ASSERT_TRUE(readImportColumns(t, lists));
        assign(lists);
        RunImport(t, lists, strip, size);
    }, std::move(answers));
}

std::vector<data::Record> songsById() {
    FilesInUse files{&MUS};
    std::vector<data::Record> out;
    MUS.set(MUS.KEYID);
    while (MUS.next())
        out.push_back(MUS.record());
    return out;
}

// The names of the fields in which two songs differ, those ignored apart.
QStringList differences(const data::Record &a, const data::Record &b, const QStringList &ignored = {}) {
    QStringList out;
    const auto &fields = MUS.structure().fields();
    for (size_t i = 0; i < a.cells.size(); ++i)
        if (!(a.cells[i] == b.cells[i]) && !ignored.contains(fields[i].name))
            out << fields[i].name;
    return out;
}

QStringList categories() {
    FilesInUse files{&CAT};
    return cataloguetest::rows(CAT, CAT.KeyCategoryID,
                               [] { return QString("%1=%2").arg(CAT.CategoryID.value()).arg(CAT.Category.str()); });
}

// Inserts into the file's records meeting the condition fail, behind the driver's back.
void refuseInserts(const QString &file, const QString &condition) {
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    data::registerCollation(db);
    const QString sql = "CREATE TRIGGER refuse BEFORE INSERT ON records WHEN " + condition +
                        " BEGIN SELECT RAISE(ABORT, 'refused'); END";
    EXPECT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

void exportAll(const QString &file) {
    runAnswering([&] {
        FilesInUse files{&CAT, &MUS};
        ASSERT_TRUE(RunExportToFile(file, exportableFields(), true));
    });
}

// The song every field of which the round trip carries: quotes, commas, memo line breaks, text
// beyond Latin, no category, bare years and low day numbers, times past an hour.
void prepareFullSong(int id) {
    prepareSong(id, QString("Artist %1, \"The\" Caf\u00e9 M\u00fcller").arg(id, 4, 10, QChar('0')),
                QString("Title \"%1\" \u6771\u4eac \u0391\u03b8\u03ae\u03bd\u03b1").arg(id), id % 4);
    MUS.Mix = "Mix, long";
    MUS.Album = QString("Album %1").arg(id % 7);
    MUS.Media = "CD";
    MUS.FileNumber = QString("F%1").arg(id);
    MUS.ReleaseDate = id % 5 == 0 ? 0 : id % 5 == 1 ? 1900 + id % 100 : id % 5 == 2 ? id % 3000 + 1 : 60000 + id;
    MUS.ChartNumber = id % 256;
    MUS.TrackNumber = id % 20;
    MUS.Side = id % 3;
    MUS.Time = (id * 37 % 20000) * 100 + id % 100 + 1;
    MUS.UserDefinedKeyField = "key";
    MUS.AdditionalInformation1 = "one";
    MUS.AdditionalInformation3 = "three \"3\"";
    MUS.BeatsPerMinute = id % 180;
    MUS.Style = "Pop";
    MUS.Recording = QString("Recorded\r\nin \"Studio\" %1").arg(id);
    MUS.Composer = "Composer";
    MUS.PerformanceNotes = "notes, with commas";
    MUS.LastPlayed = id % 3 == 0 ? 0 : id % 3 == 1 ? 70000 + id : 1950 + id % 70;
    MUS.Skips = id % 2;
    MUS.EndType = "Fade";
    MUS.InOut = "in/out";
    MUS.Notes = QString("First line\n\n\"Quoted\" line, %1\nlast").arg(id);
    MUS.Rating = id % 10;
    MUS.Live = 1;
    MUS.DoNotPlay = id % 2;
}

// The export's fields of those names, with their default pictures and the header.
void exportFields(const QString &file, const QStringList &names) {
    QList<ExportField> fields = exportableFields();
    fields.removeIf([&](const ExportField &f) { return !names.contains(f.field); });
    runAnswering([&] {
        FilesInUse files{&CAT, &MUS};
        ASSERT_TRUE(RunExportToFile(file, fields, true));
    });
}

std::vector<qint64> valuesOf(int field) {
    std::vector<qint64> out;
    for (const data::Record &r : songsById())
        out.push_back(r.cells[size_t(field)].n);
    return out;
}

class ImportTest : public ExportTest {
protected:
    void TearDown() override {
        DateFormat = "";
        ExportTest::TearDown();
    }
};

} // namespace

TEST_F(ImportTest, OurExportsHeaderAfterAutoImportsEverySongAgain) {
    makeCatalogue([] {
        for (int i = 1; i <= 3; ++i)
            addCategory(i, QString("Category %1").arg(i));
        prepareFullSong(1);
        ASSERT_TRUE(MUS.add());
        prepareFullSong(2);
        ASSERT_TRUE(MUS.add());
    });
    // A path far longer than 80 characters, through the file dialog.
    const QString folder = QDir::current().filePath(QString("a folder with a rather long name/").repeated(3));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + "songs exported with a long name.csv";
    exportAll(file);

    GlobalResponse = 0;
    const int t = startThread(ImportSongs);
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(activeWindow(t));
    EXPECT_EQ(activeWindow(t)->windowTitle(), "Import File");
    ASSERT_TRUE(chooseFile(t, file));
    ASSERT_TRUE(runUntilIdle());
    QWidget *window = activeWindow(t);
    ASSERT_EQ(window->windowTitle(), "Assign fields for Import...");
    auto *columns = qobject_cast<ListControl *>(findControl(window, "Import Fields"));
    auto *targets = qobject_cast<ListControl *>(findControl(window, "Target Fields"));
    const QStringList columnRows = listRows(columns);
    ASSERT_EQ(columnRows.size(), 30);
    EXPECT_EQ(columnRows[0], "Field_1|Alpha-num|MUS:Artist");
    EXPECT_EQ(columnRows[7], "Field_8|Numeric|MUS:CategoryID");   // unquoted in the first song's line
    EXPECT_EQ(columnRows[29], "Field_30|Alpha-num|CAT:Category");
    EXPECT_EQ(controlText(t, "RecordNumber").trimmed(), "1");
    EXPECT_EQ(controlValue(t, "StripHeader").toInt(), 0);
    EXPECT_EQ(focusedName(), "Import Fields");

    ASSERT_TRUE(pressButton(t, "Auto"));
    ASSERT_TRUE(runUntilIdle());
    // The dates and the time take the export's pictures; the numbers stay numbers.
    const QStringList typed = listRows(columns);
    EXPECT_EQ(typed[6], "Field_7|@d2|MUS:ReleaseDate");
    EXPECT_EQ(typed[7], "Field_8|Numeric|MUS:CategoryID");
    EXPECT_EQ(typed[11], "Field_12|@t4|MUS:Time");
    EXPECT_EQ(typed[21], "Field_22|@d17-|MUS:LastPlayed");
    const QStringList targetRows = listRows(targets);
    ASSERT_EQ(targetRows.size(), 29);
    for (int i = 0; i < 29; ++i)
        EXPECT_EQ(targetRows[i], QString("%1|=|Field_%2").arg(importTargetNames()[i]).arg(i + 1));
    EXPECT_EQ(controlValue(t, "StripHeader").toInt(), 1);

    // The highlight of one list follows the other's.
    ASSERT_TRUE(clickRow(columns, 7));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(targets->currentRow(), 7);
    ASSERT_TRUE(clickRow(targets, 2));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(columns->currentRow(), 2);

    ASSERT_TRUE(pressButton(t, "OK"));
    ASSERT_TRUE(runUntil([&] { return !messageText(t).isEmpty(); }));
    EXPECT_EQ(activeWindow(t)->windowTitle(), "Import Complete");
    EXPECT_EQ(messageText(t), "The Songs database has been updated.  Do you want to create Albums database entries "
                              "for the imported songs?");
    ASSERT_TRUE(answerMessage(t, ButtonNo));
    ASSERT_TRUE(waitForEnd(t));
    EXPECT_EQ(GlobalResponse, RequestCompleted);

    const std::vector<data::Record> songs = songsById();
    ASSERT_EQ(songs.size(), 4u);
    // The export writes in artist order: songs 1 and 2 come back as 3 and 4.
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(differences(songs[i], songs[2 + i], {"Time"}), QStringList{"ID"});
        EXPECT_EQ(songs[2 + i].cells[size_t(MUS.ID.index())].n, qint64(3 + i));
    }
}

TEST_F(ImportTest, AThousandSongsRoundTripThroughExportAndImport) {
    makeCatalogue([] {
        for (int i = 1; i <= 3; ++i)
            addCategory(i, QString("Category %1").arg(i));
        for (int id = 1; id <= 1000; ++id) {
            prepareFullSong(id);
            ASSERT_TRUE(MUS.add());
        }
    });
    // The short date with four-digit years.
    const QLocale locale;
    QLocale::setDefault(QLocale::c());
    exportAll("all.csv");
    const std::vector<data::Record> before = songsById();
    ASSERT_TRUE(MUS.create());   // the songs file empty again, the categories kept
    const auto shown = importFile("all.csv", AutoAssignImportFields, true);
    QLocale::setDefault(locale);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Import Complete");
    const std::vector<data::Record> after = songsById();
    ASSERT_EQ(after.size(), before.size());
    const auto second = [](const data::Record &r) { return (r.cells[size_t(MUS.Time.index())].n - 1) / 100; };
    for (size_t i = 0; i < after.size(); ++i) {
        ASSERT_EQ(differences(before[i], after[i], {"Time"}), QStringList()) << "song " << i + 1;
        ASSERT_EQ(second(before[i]), second(after[i])) << "song " << i + 1;
    }
    EXPECT_EQ(categories(), (QStringList{"1=Category 1", "2=Category 2", "3=Category 3"}));
}

TEST_F(ImportTest, TextsNumbersAndMediaAsTheLineGivesThem) {
    makeCatalogue();
    writeFile("in.csv", "\"Smith, John\",\"He said \"\"yes\"\"\",3,C,\"10/31/1987\",1987\n"
                        "\"a\"\"b\",,\"\",7\n"
                        "x,\"y\"z300,d,,,\n"
                        "Lonely,-5,99999999999,D\n"
                        "B,,-7,B\n");
    const QList<QPair<QString, QString>> common{{"Field_1", "MUS:Artist"}, {"Field_2", "MUS:Title"},
                                                {"Field_3", "MUS:TrackNumber"}, {"Field_3", "MUS:BeatsPerMinute"},
                                                {"Field_4", "MUS:Media"}};
    // An unquoted year is January 1 of it.
    for (const auto &[column, picture, date] : {std::tuple{"Field_5", "", 10},
                                               std::tuple{"Field_6", "", dayNumber(1987, 1, 1)},
                                               std::tuple{"Field_5", "@d2", 68242}}) {
        ASSERT_TRUE(MUS.create());
        importFile("in.csv", [&](ImportFieldLists &lists) {
            columnsTo(common)(lists);
            columnsTo({{column, "MUS:ReleaseDate"}})(lists);
            if (*picture)
                setColumnPicture(lists.columns[lists.columnIndex(column)], picture);
        }, false);
        const std::vector<data::Record> songs = songsById();
        ASSERT_EQ(songs.size(), 5u);
        EXPECT_EQ(songs[0].cells[size_t(MUS.ReleaseDate.index())].n, date) << column << picture;
    }
    const std::vector<data::Record> songs = songsById();
    QStringList seen;
    for (const data::Record &r : songs) {
        MUS.setRecord(r);
        seen << QString("%1|%2|%3|%4|%5").arg(MUS.Artist.str(), MUS.Title.str()).arg(MUS.TrackNumber.value())
                    .arg(MUS.BeatsPerMinute.value()).arg(MUS.Media.str());
    }
    EXPECT_EQ(seen, (QStringList{"Smith, John|He said \"yes\"|3|3|Cassette (Dolby-C)", "a\"b||0|0|7",
                                 "x|y|255|300|d", "Lonely|-5|255|2147483647|Cassette (DBX)",
                                 "B||0|-7|Cassette (Dolby-B)"}));
}

TEST_F(ImportTest, ShortTimesAfterAutoAreMinutesAndSecondsUnlessThePictureIsTyped) {
    makeCatalogue([] {
        prepareSong(1, "Own", "Own");
        MUS.Time = timeOf(0, 3, 28);
        ASSERT_TRUE(MUS.add());
    });
    exportFields("times.csv", {"MUS:Title", "MUS:Time"});
    QByteArray bytes = fileBytes("times.csv");
    ASSERT_TRUE(bytes.endsWith("\"Own\",\"00:03:28\"\n")) << bytes.constData();
    writeFile("times.csv", bytes + "\"Short\",\"3:28\"\n\"Long\",\"1:02:03\"\n");
    for (const bool typed : {false, true}) {
        ASSERT_TRUE(MUS.create());
        importFile("times.csv", [&](ImportFieldLists &lists) {
            AutoAssignImportFields(lists);
            if (typed)
                setColumnPicture(lists.columns[1], "@t4");
        }, true);
        // Typed, h:mm reads 3 hours 28 minutes.
        const qint64 shortTime = typed ? timeOf(3, 28, 0) : timeOf(0, 3, 28);
        EXPECT_EQ(valuesOf(MUS.Time.index()), (std::vector<qint64>{timeOf(0, 3, 28), shortTime, timeOf(1, 2, 3)}))
            << typed;
    }
}

TEST_F(ImportTest, YearOnlyExportWritesBareYearsAsNumbersAndTheImportTakesYearsInEitherMode) {
    makeCatalogue([] {
        for (const auto &[id, date] : {std::pair{1, 1999}, std::pair{2, 68242}, std::pair{3, 0}}) {
            prepareSong(id, QString("Artist %1").arg(id), "Song");
            MUS.ReleaseDate = date;
            ASSERT_TRUE(MUS.add());
        }
    });
    DateFormat = "n4b";
    exportFields("years.csv", {"MUS:Artist", "MUS:ReleaseDate"});
    QStringList years;
    for (const QString &line : fileLines("years.csv"))
        years << line.split(',').value(1);
    EXPECT_EQ(years, (QStringList{"\"MUS:ReleaseDate\"", "1999", "\"10/31/1987\"", "\"\""}));

    for (const auto &[format, year] : {std::pair{"n4b", 1999}, std::pair{"d6", dayNumber(1999, 1, 1)}}) {
        DateFormat = format;
        ASSERT_TRUE(MUS.create());
        importFile("years.csv", AutoAssignImportFields, true);
        EXPECT_EQ(valuesOf(MUS.ReleaseDate.index()), (std::vector<qint64>{year, 68242, 0})) << format;
    }
}

TEST_F(ImportTest, EachLineIsANewSongWithTheNextIdentifierAndItsCategory) {
    makeCatalogue([] {
        addCategory(1, "Rock");
        addCategory(3, "Jazz");
        for (int id : {1, 2, 7}) {
            prepareSong(id, "Old", "Song");
            ASSERT_TRUE(MUS.add());
        }
    });
    // What another window left in the shared buffer stays out of the songs.
    MUS.Title = "Leak";
    MUS.AlbumID = 5;
    writeFile("in.csv", "A,T1,rock\n\n"
                        "B\n"
                        "C,T3,3\n"
                        "D,T4,\"  \"\n"
                        "E,T5,Blues\n"
                        "F,T6,99\n"
                        "G,T7,blues\n"
                        "H,T8,0\n");
    const auto shown = importFile("in.csv", columnsTo({{"Field_1", "MUS:Artist"}, {"Field_2", "MUS:Title"},
                                                       {"Field_3", "MUS:CategoryID"}}), false);
    ASSERT_EQ(shown.size(), 1u);
    QStringList seen;
    for (const data::Record &r : songsById()) {
        MUS.setRecord(r);
        seen << QString("%1 %2|%3|%4|%5").arg(MUS.ID.value()).arg(MUS.Artist.str(), MUS.Title.str())
                    .arg(MUS.CategoryID.value()).arg(MUS.AlbumID.value());
    }
    EXPECT_EQ(seen, (QStringList{"1 Old|Song|1|0", "2 Old|Song|1|0", "7 Old|Song|1|0", "8 A|T1|1|0", "9 B||0|0",
                                 "10 C|T3|3|0", "11 D|T4|0|0", "12 E|T5|4|0", "13 F|T6|5|0", "14 G|T7|4|0",
                                 "15 H|T8|0|0"}));
    EXPECT_EQ(categories(), (QStringList{"1=Rock", "3=Jazz", "4=Blues", "5=99"}));

    // Into an empty categories file the first category added is 1.
    ASSERT_TRUE(CAT.create());
    importFile("in.csv", columnsTo({{"Field_3", "MUS:CategoryID"}}), false);
    EXPECT_EQ(categories(), (QStringList{"1=rock", "2=3", "3=Blues", "4=99"}));
    // A category named "0" is the one "0" names.
    {
        FilesInUse files{&CAT};
        addCategory(9, "0");
    }
    ASSERT_TRUE(MUS.create());
    importFile("in.csv", columnsTo({{"Field_3", "MUS:CategoryID"}}), false);
    MUS.setRecord(songsById().back());
    EXPECT_EQ(MUS.CategoryID.value(), 9);
}

TEST_F(ImportTest, FailedAddsAreReportedAndWhatWasAddedStays) {
    makeCatalogue([] { addCategory(1, "Rock"); });
    refuseInserts("TBKCAT.dat", "NEW.\"Category\" = 'Refused'");
    refuseInserts("tbkdata.dat", "NEW.\"Title\" = 'Refused'");
    QByteArray lines = "A,T1,Refused\nB,T2,Rock\n";
    for (int i = 3; i <= 60; ++i)
        lines += "S,T" + QByteArray::number(i) + ",Rock\n";
    lines += "X,Refused,Rock\nY,After,Rock\n";
    writeFile("in.csv", lines);
    const auto shown = importFile("in.csv", columnsTo({{"Field_1", "MUS:Artist"}, {"Field_2", "MUS:Title"},
                                                       {"Field_3", "MUS:CategoryID"}}), false,
                                  {ButtonOK, ButtonOK, ButtonYes});
    // The refused song ends the run as a refused commit does: no completion.
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "Record Insert Error");
    EXPECT_EQ(shown[1].caption, "Cannot ADD to Tunebank!");
    EXPECT_EQ(shown[1].text, "Error #19 - constraint failed\n\nThe Songs database holds 60 song(s) now.");
    EXPECT_EQ(shown[1].icon, QMessageBox::Question);
    const std::vector<data::Record> songs = songsById();
    ASSERT_EQ(songs.size(), 60u);   // the songs before the refused one, across batches
    MUS.setRecord(songs[0]);
    EXPECT_EQ(MUS.CategoryID.value(), 0);
    MUS.setRecord(songs[59]);
    EXPECT_EQ(MUS.Title.str(), "T60");
    EXPECT_EQ(categories(), QStringList{"1=Rock"});
}

TEST_F(ImportTest, ARefusedCommitEndsTheImportWithItsErrorAndTheSongsTheFileHolds) {
    makeSongs(3);
    QByteArray lines;
    for (int i = 1; i <= 200; ++i)
        lines += "A," + QByteArray::number(i) + "\n";
    writeFile("in.csv", lines);
    std::vector<ShownMessage> shown;
    {
        FilesInUse files{&MUS};   // the connection, and the hook on it, last the import
        sqlite3_commit_hook(data::driver::db(), [](void *) { return 1; }, nullptr);
        shown = importFile("in.csv", columnsTo({{"Field_1", "MUS:Artist"}, {"Field_2", "MUS:Title"}}), false,
                           {ButtonOK, ButtonNo});
        sqlite3_commit_hook(data::driver::db(), nullptr, nullptr);
    }
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Cannot ADD to Tunebank!");
    EXPECT_EQ(shown[0].text, "Error #19 - constraint failed\n\nThe Songs database holds 3 song(s) now.");
    EXPECT_EQ(songsById().size(), 3u);
}

TEST_F(ImportTest, AnAddRefusedByAnotherProgramsLockEndsTheImportWithItsError) {
    makeSongs(3);
    writeFile("in.csv", "A,1\nA,2\n");
    // Another program's write lock on the songs file, held through the run.
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open("tbkdata.dat", &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    const auto shown = importFile("in.csv", columnsTo({{"Field_1", "MUS:Artist"}, {"Field_2", "MUS:Title"}}), false,
                                  {ButtonOK, ButtonYes});
    sqlite3_close(other);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Cannot ADD to Tunebank!");
    EXPECT_EQ(shown[0].text, "Error #32 - File Is Already Locked\n\nThe Songs database holds 3 song(s) now.");
    EXPECT_EQ(songsById().size(), 3u);
}

TEST_F(ImportTest, ADiskFullInAnAddIsToldByItsOwnErrorThoughTheCommitThenFindsNoTransaction) {
    FullDisk disk;   // before the connection opens, which then writes through it
    makeSongs(3);
    QByteArray lines;
    for (int i = 1; i <= 200; ++i)
        lines += "A," + QByteArray::number(i) + "\n";
    writeFile("in.csv", lines);
    disk.fillAfter(16 * 1024);
    const auto shown = importFile("in.csv", columnsTo({{"Field_1", "MUS:Artist"}, {"Field_2", "MUS:Title"}}), false,
                                  {ButtonOK, ButtonYes});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Error #13 - database or disk is full\n\nThe Songs database holds 3 song(s) now.");
}

TEST_F(ImportTest, TwoImportsReadOneFileAtOnceAndAWriterIsShutOut) {
    writeFile("in.csv", "A,1\n");
    TransferTextFile writer(QStringLiteral("TransferFile"), QString());
    writer.setName("in.csv");
    auto shown = runAnswering([&] {
        ImportTransfer first, second;
        EXPECT_GT(ImportOpenNamedFile(first, "in.csv"), 0);
        EXPECT_GT(ImportOpenNamedFile(second, "in.csv"), 0);
        EXPECT_FALSE(writer.open(data::SharedReadWrite));
    });
    EXPECT_TRUE(shown.empty());
    // The other way round: a writer's open shuts an import out.
    ASSERT_TRUE(writer.open(data::SharedReadWrite));
    shown = runAnswering([] {
        ImportTransfer t;
        EXPECT_EQ(ImportOpenNamedFile(t, "in.csv"), -1);
    });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Error #32 - File Is Already Locked");
}

TEST_F(ImportTest, CancelKeepsEverySongAddedBeforeIt) {
    makeCatalogue();
    constexpr int kLines = 200000;   // far more than a few turns take, even on a loaded machine
    QByteArray lines;
    for (int i = 1; i <= kLines; ++i)
        lines += "A," + QByteArray::number(i) + "\n";
    writeFile("many.csv", lines);
    ImportOutcome outcome;
    bool done = false;
    const int t = startThread([&] {
        FilesInUse files{&CAT, &MUS};
        ImportTransfer transfer;
        const qint64 size = ImportOpenNamedFile(transfer, "many.csv");
        ImportFieldLists lists;
        if (size > 0 && readImportColumns(transfer, lists)) {
            columnsTo({{"Field_1", "MUS:Artist"}, {"Field_2", "MUS:Title"}})(lists);
            outcome = ImportFileSongs(transfer, lists, false, size);
        }
        ImportCloseFile(transfer);
        done = true;
    });
    ASSERT_TRUE(runUntil([&] { return done || (MUS.isOpen() && MUS.records() > 0); }, 20000));
    // Another window's transaction between two turns is its own, though the import's spans turns.
    bool added = false;
    startThread([&] {
        if (data::beginTransaction(2, {&CAT})) {
            CAT.clear();
            CAT.CategoryID = 7;
            CAT.Category = "Pop";
            added = CAT.add() && data::rollbackTransaction();
        }
    });
    ASSERT_TRUE(runUntil([&] { return added || done; }, 20000));
    EXPECT_TRUE(added);
    ASSERT_FALSE(done) << "the import ended before Cancel";
    ASSERT_TRUE(pressButton(t, "Cancel"));
    ASSERT_TRUE(runUntil([&] { return done; }, 20000));
    // Committed by the import itself, before it ended.
    EXPECT_FALSE(data::driver::inTransaction());
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_GT(outcome.added, 0);
    EXPECT_LT(outcome.added, kLines);
    const std::vector<data::Record> songs = songsById();
    ASSERT_EQ(qint64(songs.size()), outcome.added);
    for (size_t i = 0; i < songs.size(); ++i) {
        MUS.setRecord(songs[i]);
        ASSERT_EQ(MUS.Title.str(), QString::number(i + 1));
        ASSERT_EQ(MUS.ID.value(), qint32(i + 1));
    }
}

TEST_F(ImportTest, OverLongLinesAreSkippedAndNamedAndAHeaderAloneAddsNothing) {
    makeCatalogue();
    writeFile("long.csv", "a\n" + QByteArray(16001, 'x') + "\nb\n\n" + QByteArray(20000, 'y') + "\nc\n");
    auto shown = importFile("long.csv", columnsTo({{"Field_1", "MUS:Title"}}), false, {ButtonOK, ButtonNo});
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "Lines Skipped");
    EXPECT_EQ(shown[0].text,
              "2 line(s) longer than 16000 characters could not be imported and were skipped: line 2, 5.");
    EXPECT_EQ(songsById().size(), 3u);

    ASSERT_TRUE(MUS.create());
    writeFile("header.csv", "\"MUS:Artist\",\"MUS:Title\"\n");
    shown = importFile("header.csv", [](ImportFieldLists &lists) {
        EXPECT_EQ(lists.columns[1].picture, "@S1000");   // no second line to type the columns
        AutoAssignImportFields(lists);
    }, true);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Import Complete");
    EXPECT_TRUE(songsById().empty());
}

// With no line short enough to show, the import ends at once, and says why.
TEST_F(ImportTest, AFileOfOneOverLongLineSaysSo) {
    makeCatalogue();
    writeFile("one.csv", QByteArray(16001, 'x') + "\n");
    GlobalResponse = 0;
    const int t = startThread(ImportSongs);
    ASSERT_TRUE(chooseFile(t, "one.csv"));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(activeWindow(t)) << "ended without a word";
    EXPECT_EQ(activeWindow(t)->windowTitle(), "Lines Skipped");
    EXPECT_EQ(messageText(t), "1 line(s) longer than 16000 characters could not be imported and were skipped: line 1.");
    ASSERT_TRUE(answerMessage(t, ButtonOK));
    ASSERT_TRUE(waitForEnd(t));
    EXPECT_EQ(GlobalResponse, RequestCancelled);
}

TEST_F(ImportTest, TheWindowAssignsByHandShowsTheNextLinesAndRefusesAnEmptyChoice) {
    makeCatalogue();
    writeFile("empty.csv", "");
    writeFile("locked.csv", "a\n");
    writeFile("in.csv", "first,1,\"x\"\n\"second\",2\n");
    ImportTransfer holder;   // another open, denying others
    holder.file.setName("locked.csv");
    ASSERT_TRUE(holder.file.open(data::ReadOnly | data::DenyAll));

    // An empty file: the message, and the dialog again; a file that cannot be opened ends it.
    GlobalResponse = 0;
    int t = startThread(ImportSongs);
    ASSERT_TRUE(chooseFile(t, "empty.csv"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(activeWindow(t)->windowTitle(), "Attention!");
    EXPECT_EQ(messageText(t), "That file is empty!  Please pick another file.");
    ASSERT_TRUE(answerMessage(t, ButtonOK));
    ASSERT_TRUE(chooseFile(t, "locked.csv"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(activeWindow(t)->windowTitle().startsWith("Cannot OPEN "));
    EXPECT_TRUE(activeWindow(t)->windowTitle().endsWith("locked.csv"));
    EXPECT_TRUE(messageText(t).startsWith("Error #"));
    ASSERT_TRUE(answerMessage(t, ButtonOK));
    ASSERT_TRUE(waitForEnd(t));
    EXPECT_EQ(GlobalResponse, RequestCancelled);

    t = startThread(ImportSongs);
    ASSERT_TRUE(chooseFile(t, "in.csv"));
    ASSERT_TRUE(runUntilIdle());
    QWidget *window = activeWindow(t);
    auto *columns = qobject_cast<ListControl *>(findControl(window, "Import Fields"));
    auto *targets = qobject_cast<ListControl *>(findControl(window, "Target Fields"));
    EXPECT_EQ(listRows(columns), (QStringList{"Field_1|Alpha-num|first", "Field_2|Numeric|1", "Field_3|Alpha-num|x"}));

    ASSERT_TRUE(pressButton(t, "OK"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(activeWindow(t)->windowTitle(), "No Fields Selected for Import!");
    EXPECT_EQ(messageText(t), "You must select one or more fields to import.");
    ASSERT_TRUE(answerMessage(t, ButtonOK));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(window->focusWidget(), columns);

    // Field_2 to the track number, taken off and given again.
    ASSERT_TRUE(clickRow(columns, 1));
    ASSERT_TRUE(clickRow(targets, 9));
    ASSERT_TRUE(pressButton(t, "Assign"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(listRows(targets)[9], "MUS:TrackNumber|=|Field_2");
    EXPECT_EQ(window->focusWidget(), targets);
    ASSERT_TRUE(pressButton(t, "Unassign"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(listRows(targets)[9], "MUS:TrackNumber||");
    // One column for two targets: the second one clicked stays highlighted.
    for (int target : {9, 16}) {
        ASSERT_TRUE(clickRow(columns, 1));
        ASSERT_TRUE(clickRow(targets, target));
        ASSERT_TRUE(pressButton(t, "Assign"));
        ASSERT_TRUE(runUntilIdle());
    }
    for (auto [list, row] : {std::pair{targets, 9}, std::pair{columns, 0}, std::pair{targets, 16}}) {
        ASSERT_TRUE(clickRow(list, row));
        ASSERT_TRUE(runUntilIdle());
    }
    EXPECT_EQ(columns->currentRow(), 1);
    EXPECT_EQ(targets->currentRow(), 16);

    // A picture for Field_1.
    ASSERT_TRUE(clickRow(columns, 0));
    ASSERT_TRUE(pressButton(t, "Picture"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(controlValue(t, "Picture").toString(), "@S1000");
    ASSERT_TRUE(fillEntry(t, "Picture", "@d2"));
    ASSERT_TRUE(pressButton(t, "OK"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(listRows(columns)[0], "Field_1|@d2|first");
    EXPECT_EQ(window->focusWidget(), columns);

    // Next shows the second line and ends Auto; at the last line it ends itself.
    auto *next = qobject_cast<QPushButton *>(findControl(window, "Next"));
    ASSERT_TRUE(pressButton(t, "Next"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(controlText(t, "RecordNumber").trimmed(), "2");
    EXPECT_EQ(listRows(columns), (QStringList{"Field_1|@d2|second", "Field_2|Numeric|2", "Field_3|Alpha-num|x"}));
    EXPECT_FALSE(findControl(window, "Auto")->isEnabled());
    EXPECT_TRUE(next->isEnabled());
    ASSERT_TRUE(pressButton(t, "Next"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_FALSE(next->isEnabled());
    EXPECT_EQ(controlText(t, "RecordNumber").trimmed(), "2");
    EXPECT_EQ(listRows(columns)[0], "Field_1|@d2|second");

    ASSERT_TRUE(pressButton(t, "Cancel"));
    ASSERT_TRUE(waitForEnd(t));
    EXPECT_EQ(GlobalResponse, RequestCancelled);
    EXPECT_TRUE(songsById().empty());
}
