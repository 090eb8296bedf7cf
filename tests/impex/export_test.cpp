// The export as the user runs it: the window, the file dialog, the progress window and the file
// it leaves, and the run's failures.
#include "impextest.h"

#include "impex/exportfields.h"
#include "impex/exportrun.h"
#include "impex/exportsongs.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/messagebox.h"
#include "runtime/data/view.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/values/picture.h"
#include "runtime/values/text.h"
#include "support/windows/controltesting.h"
#include "support/windows/listtesting.h"
#include "support/windows/scriptedanswers.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

using namespace tbk;
using namespace tbk::windowtest;
using namespace impextest;

namespace {

QString quoted(const QString &s) { return QLatin1Char('"') + s + QLatin1Char('"'); }

QString headerLine() {
    QStringList names;
    for (const ExportField &f : exportableFields())
        names << quoted(f.field);
    return names.join(QLatin1Char(','));
}

ListControl *list(int thread, const QString &name) {
    return qobject_cast<ListControl *>(findControl(activeWindow(thread), name));
}

bool clickRowWith(ListControl *l, int row, Qt::KeyboardModifiers modifiers) {
    const QModelIndex i = l->model()->index(row, 0);
    l->scrollTo(i);
    QTest::mouseClick(l->viewport(), Qt::LeftButton, modifiers, l->visualRect(i).center());
    return runUntilIdle();
}

QStringList rowsOf(int thread, const QString &name) { return listRows(list(thread, name)); }

QStringList markedRows(int thread, const QString &name) {
    QStringList out;
    ListControl *l = list(thread, name);
    for (const QModelIndex &i : l->selectionModel()->selectedRows())
        out << l->rowTexts(i.row()).join(QLatin1Char('|'));
    return out;
}

QList<ExportField> fieldsNamed(const QStringList &names) {
    QList<ExportField> out;
    for (const QString &n : names)
        for (const ExportField &f : exportableFields())
            if (f.field == n)
                out << f;
    return out;
}

// The run on a thread of its own, with the files open through their counts as the window has them.
int startRun(const QString &file, const QList<ExportField> &fields, bool header, bool *reached = nullptr) {
    return startThread([=] {
        FilesInUse files{&CAT, &MUS};
        const bool r = RunExportToFile(file, fields, header);
        if (reached)
            *reached = r;
    }, kMinimumThreadStack);
}

QLabel *progressText(int thread) {
    QWidget *w = activeWindow(thread);
    return w && w->objectName() == "ProgressWindow" ? w->findChild<QLabel *>("Status") : nullptr;
}

} // namespace

TEST_F(ExportTest, EveryFieldWithTheHeaderInArtistOrder) {
    makeCatalogue([] {
        addCategory(1, "Rock");
        prepareSong(1, "Zappa", "Say \"Hi\"");
        MUS.ReleaseDate = 68242;
        MUS.Time = (3 * 60 + 21) * 100 + 1;
        MUS.BeatsPerMinute = 0;
        MUS.Notes = "line one\nline two";
        ASSERT_TRUE(MUS.add());
        prepareSong(2, "Abba", "Waterloo", 7);   // no category 7
        MUS.ChartNumber = 3;
        ASSERT_TRUE(MUS.add());
    });
    GlobalResponse = 0;
    const int t = startThread(ExportSongs);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(activeWindow(t)->windowTitle(), "Choose Fields for Export...");
    EXPECT_EQ(rowsOf(t, "All Fields").size(), 30);
    EXPECT_EQ(rowsOf(t, "Export Fields"), rowsOf(t, "All Fields"));
    EXPECT_EQ(controlValue(t, "HeaderRecord").toInt(), 1);
    EXPECT_EQ(focusedName(), "All Fields");
    EXPECT_EQ(list(t, "All Fields")->currentRow(), 0);

    ASSERT_TRUE(pressButton(t, "OK"));
    ASSERT_TRUE(runUntilIdle());
    auto *dialog = qobject_cast<QFileDialog *>(activeWindow(t));
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), "Export File");
    EXPECT_EQ(dialog->nameFilters(), (QStringList{"Export Files (*.CSV *.csv)", "All Files (*.*)"}));
    ASSERT_TRUE(chooseFile(t, "songs.csv"));
    ASSERT_TRUE(waitForEnd(t));
    EXPECT_EQ(GlobalResponse, RequestCompleted);

    const QStringList lines = QString::fromUtf8(fileBytes("songs.csv")).split('\n');
    ASSERT_EQ(lines.size(), 5);   // the header, Abba, Zappa over two lines (the memo's break), ""
    EXPECT_EQ(lines[0], headerLine());
    const QString noDate = quoted(formatPicture("@d2", 0));
    EXPECT_EQ(lines[1], "\"Abba\",\"Waterloo\",\"\",\"\",\"\",\"\"," + noDate + ",7,3,0,0," +
                            quoted(formatPicture("@t4", 0)) + ",\"\",\"\",\"\",\"\",0,\"\",\"\",\"\",\"\"," +
                            quoted(formatPicture("@d17-", 0)) + ",0,\"\",\"\",\"\",0,0,0,\"\"");
    EXPECT_TRUE(lines[2].startsWith(R"("Zappa","Say ""Hi""","","","","","10/31/1987",1,0,0,0,"00:03:21",)"))
        << lines[2].toStdString();
    EXPECT_TRUE(lines[2].endsWith(",\"line one")) << lines[2].toStdString();
    EXPECT_EQ(lines[3], "line two\",0,0,0,\"Rock\"");
    EXPECT_EQ(lines[4], "");
}

TEST_F(ExportTest, AnEmptySongsFileWithAndWithoutTheHeader) {
    makeCatalogue();
    for (const bool header : {true, false}) {
        GlobalResponse = 0;
        const int t = startThread(ExportSongs);
        ASSERT_TRUE(runUntilIdle());
        if (!header) {
            ASSERT_TRUE(clickCheck(t, "HeaderRecord"));
        }
        ASSERT_TRUE(pressButton(t, "OK"));
        ASSERT_TRUE(chooseFile(t, header ? "with.csv" : "without.csv"));
        ASSERT_TRUE(waitForEnd(t));
        EXPECT_EQ(GlobalResponse, RequestCompleted);
    }
    EXPECT_EQ(fileLines("with.csv"), QStringList{headerLine()});
    ASSERT_TRUE(QFile::exists("without.csv"));
    EXPECT_EQ(fileBytes("without.csv"), QByteArray());
}

TEST_F(ExportTest, ACancelledFileDialogWritesNothing) {
    makeSongs(3);
    GlobalResponse = 0;
    const int t = startThread(ExportSongs);
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(pressButton(t, "OK"));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(qobject_cast<QFileDialog *>(activeWindow(t)));
    activeWindow(t)->close();
    ASSERT_TRUE(waitForEnd(t));
    EXPECT_EQ(GlobalResponse, RequestCancelled);
    EXPECT_TRUE(QDir().entryList({"*.csv", "*.CSV"}, QDir::Files).isEmpty());
    EXPECT_EQ(FileUseCount(MUS), 0);
    EXPECT_FALSE(MUS.isOpen());
}

TEST_F(ExportTest, ChoosingFieldsOrderAndPictures) {
    makeCatalogue([] {
        addCategory(1, "Rock");
        prepareSong(1, "Abba", "Waterloo");
        MUS.Album = "Waterloo (Deluxe)";
        MUS.ReleaseDate = 68242;
        ASSERT_TRUE(MUS.add());
    });
    const int t = startThread(ExportSongs);
    ASSERT_TRUE(runUntilIdle());
    ListControl *all = list(t, "All Fields");
    ListControl *chosen = list(t, "Export Fields");

    // Every export field marked by a click and Shift+End, then removed.
    ASSERT_TRUE(clickRowWith(chosen, 0, {}));
    EXPECT_EQ(controlText(t, "PictureKind"), "Alpha-numeric");
    pressListKey(chosen, Qt::Key_End, Qt::ShiftModifier);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(markedRows(t, "Export Fields").size(), 30);
    ASSERT_TRUE(pressButton(t, "Remove"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(rowsOf(t, "Export Fields").isEmpty());
    EXPECT_EQ(controlText(t, "PictureKind"), "");

    // OK with nothing chosen: the message, and the window stays.
    ASSERT_TRUE(pressButton(t, "OK"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(activeWindow(t)->windowTitle(), "No Fields Selected for Export!");
    EXPECT_EQ(messageText(t), "You must select one or more fields to export.");
    ASSERT_TRUE(answerMessage(t, ButtonOK));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(activeWindow(t)->windowTitle(), "Choose Fields for Export...");
    EXPECT_EQ(activeWindow(t)->focusWidget(), all);

    // Artist, Release Date and Title by click and Ctrl+clicks; Add takes them in table order.
    ASSERT_TRUE(clickRowWith(all, 0, {}));
    ASSERT_TRUE(clickRowWith(all, 6, Qt::ControlModifier));
    ASSERT_TRUE(clickRowWith(all, 1, Qt::ControlModifier));
    pressListKey(all, Qt::Key_Space);   // Space takes Title's mark off again...
    pressListKey(all, Qt::Key_Space);   // ...and puts it back
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(pressButton(t, "Add ->"));
    ASSERT_TRUE(pressButton(t, "Add ->"));   // twice: no name twice
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(rowsOf(t, "Export Fields"), (QStringList{"MUS:Artist", "MUS:Title", "MUS:ReleaseDate"}));
    EXPECT_EQ(chosen->currentRow(), 0);

    // Release Date up one place: the highlight follows it.
    ASSERT_TRUE(clickRowWith(chosen, 2, {}));
    EXPECT_EQ(controlText(t, "PictureKind"), "@d2");
    ASSERT_TRUE(pressButton(t, "Shift Up"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(rowsOf(t, "Export Fields"), (QStringList{"MUS:Artist", "MUS:ReleaseDate", "MUS:Title"}));
    EXPECT_EQ(chosen->currentRow(), 1);

    // Its picture to a number: a picture without "@" is refused, a cancelled entry keeps the old.
    ASSERT_TRUE(pressButton(t, "Picture"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(activeWindow(t)->windowTitle(), "Enter Picture...");
    EXPECT_EQ(controlValue(t, "Picture").toString(), "@d2");
    ASSERT_TRUE(pressButton(t, "Cancel"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(controlText(t, "PictureKind"), "@d2");
    ASSERT_TRUE(pressButton(t, "Picture"));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(fillEntry(t, "Picture", "n4"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(activeWindow(t)->windowTitle(), "Invalid Picture!");
    EXPECT_EQ(messageText(t), "Pictures must begin with \"@\"");
    ASSERT_TRUE(answerMessage(t, ButtonOK));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(fillEntry(t, "Picture", "@n4"));
    ASSERT_TRUE(pressButton(t, "OK"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(controlText(t, "PictureKind"), "Numeric");

    // Title's picture to "@s10": nothing changes in the line.
    ASSERT_TRUE(clickRowWith(chosen, 2, {}));
    ASSERT_TRUE(pressButton(t, "Picture"));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(fillEntry(t, "Picture", "@s10"));
    ASSERT_TRUE(pressButton(t, "OK"));
    ASSERT_TRUE(runUntilIdle());

    ASSERT_TRUE(runUntilIdle());
    ASSERT_EQ(activeWindow(t)->windowTitle(), "Choose Fields for Export...");
    ASSERT_TRUE(pressButton(t, "OK"));
    ASSERT_TRUE(chooseFile(t, "three.csv"));
    ASSERT_TRUE(waitForEnd(t));
    EXPECT_EQ(fileLines("three.csv"),
              (QStringList{R"("MUS:Artist","MUS:ReleaseDate","MUS:Title")", R"("Abba",68242,"Waterloo")"}));
}

namespace {

// The lines the songs key gives, read song by song: Artist, Title and Mix quoted.
QStringList linesInKeyOrder() {
    QStringList out{R"("MUS:Artist","MUS:Title","MUS:Mix")"};
    FilesInUse files{&MUS};
    data::View v(MUS, MUS.SongsByArtist);
    EXPECT_TRUE(v.open());
    v.set();
    while (v.next())
        out << QStringList{quoted(clip(MUS.Artist.str())), quoted(MUS.Title.str()), quoted(MUS.Mix.str())}.join(',');
    return out;
}

// Resets the budget of lines kept in memory when the test ends.
struct LineBudget {
    explicit LineBudget(qsizetype bytes) { setExportLineBudget(bytes); }
    ~LineBudget() { setExportLineBudget(0); }
};

// Resets the length of the run's turns when the test ends.
struct TurnLength {
    explicit TurnLength(int ms) { setExportTurn(ms); }
    ~TurnLength() { setExportTurn(-1); }
};

} // namespace

TEST_F(ExportTest, SongsStoredInAnyOrderGoOutInArtistOrderWholeOrInParts) {
    // Added in no order: artists equal but for case and trailing blanks, beyond ASCII, blank;
    // equal keys, which go out in order of addition.
    makeCatalogue([] {
        addCategory(1, "Rock");
        QRandomGenerator r(7);
        const QStringList artists{"abba", "ABBA", "Abba  ", "\u00c9lan", "\u00e9lan", "zz", "B", "b", ""};
        for (int i = 1; i <= 600; ++i) {
            prepareSong(i, artists[r.bounded(int(artists.size()))], QStringLiteral("t%1").arg(r.bounded(20)));
            MUS.Mix = r.bounded(2) ? "x" : "";
            ASSERT_TRUE(MUS.add());
        }
    });
    const QStringList want = linesInKeyOrder();
    ASSERT_EQ(want.size(), 601);
    const QList<ExportField> fields = fieldsNamed({"MUS:Artist", "MUS:Title", "MUS:Mix"});
    ASSERT_TRUE(waitForEnd(startRun("whole.csv", fields, true)));
    EXPECT_EQ(fileLines("whole.csv"), want);
    // Room for a few lines only: the order goes out in many parts, each read anew.
    LineBudget small(300);
    ASSERT_TRUE(waitForEnd(startRun("parts.csv", fields, true)));
    EXPECT_EQ(fileBytes("parts.csv"), fileBytes("whole.csv"));
}

TEST_F(ExportTest, SongsChangedDuringTheRunGoOutAsTheyAreWhenTheirLineIsMade) {
    makeSongs(300);
    LineBudget small(2000);
    bool reached = false;
    const int run = startRun("changed.csv", fieldsNamed({"MUS:Artist", "MUS:Album"}), false, &reached);
    // Once the order is read: song 10 deleted, song 20 given an album, a song added that
    // would go first.
    bool changed = false;
    const int watcher = startThread([&] {
        for (QLabel *text = nullptr; !(text = progressText(run)) || text->text() != " 33% Completed";)
            yieldNow();
        for (int id : {10, 20}) {
            MUS.ID = id;
            ASSERT_TRUE(MUS.get(MUS.KEYID));
            MUS.Album = "Changed";
            ASSERT_TRUE(id == 10 ? MUS.remove() : MUS.put());
        }
        prepareSong(301, "Artist 0000", "Added");
        ASSERT_TRUE(MUS.add());
        changed = true;
    });
    ASSERT_TRUE(waitForEnd(run));
    ASSERT_TRUE(waitForEnd(watcher));
    ASSERT_TRUE(changed && reached);
    QStringList want;
    for (int i = 1; i <= 300; ++i)
        if (i != 10)
            want << QString(R"("Artist %1","%2")").arg(i, 4, 10, QChar('0')).arg(i == 20 ? "Changed" : "");
    EXPECT_EQ(fileLines("changed.csv"), want);
}

TEST_F(ExportTest, CancellingTheProgressWindowKeepsAWholeBeginningOfTheOrder) {
    // Stored in another order than the artists': the odd songs are the first half of that order.
    makeCatalogue([] {
        addCategory(1, "Rock");
        for (int i = 1; i <= 3000; ++i) {
            const int rank = i % 2 ? i / 2 : 1500 + i / 2 - 1;
            prepareSong(i, QString("Artist %1").arg(rank, 4, 10, QChar('0')), QString("Song %1").arg(rank));
            ASSERT_TRUE(MUS.add());
        }
    });
    // One part, as the run has it; short turns, so that Cancel comes while the lines are made
    // (half way) and while they are written (five sixths).
    TurnLength shortTurns(0);
    for (const int at : {50, 83}) {
        int shown = -1;
        const int watcher = startThread([&] {
            for (;;) {
                yieldNow();
                for (int t : threadNumbers())
                    if (QLabel *text = progressText(t); text && text->text().trimmed().section('%', 0, 0).toInt() >= at) {
                        shown = text->text().trimmed().section('%', 0, 0).toInt();
                        QTest::mouseClick(activeWindow(t)->findChild<QPushButton *>("Cancel"), Qt::LeftButton);
                        return;
                    }
            }
        });
        bool reached = false;
        const int run = startRun("part.csv", fieldsNamed({"MUS:Artist", "MUS:Title"}), true, &reached);
        ASSERT_TRUE(waitForEnd(run));
        ASSERT_TRUE(waitForEnd(watcher));
        EXPECT_TRUE(reached);
        EXPECT_LT(shown, 100);
        // The header and the songs from the first on, whole, up to the first line not yet made:
        // while the lines are made, the first half of the order only.
        const QStringList lines = fileLines("part.csv");
        EXPECT_EQ(lines.value(0), R"("MUS:Artist","MUS:Title")");
        if (at == 50) {
            EXPECT_GT(lines.size(), 2) << at;
            EXPECT_LE(lines.size(), 1501) << at;
        } else {
            EXPECT_EQ(lines.size(), 3001) << at;
        }
        for (int i = 1; i < lines.size(); ++i)
            ASSERT_EQ(lines[i], QString(R"("Artist %1","Song %2")").arg(i - 1, 4, 10, QChar('0')).arg(i - 1));
    }
}

TEST_F(ExportTest, AMissingFolderAndAFullDiskGiveTheirMessages) {
    makeSongs(1100);
    openForUse(MUS);
    openForUse(CAT);
    bool reached = true;
    const QString missing = QDir::current().filePath("no such folder/songs.csv");
    auto shown = runAnswering([&] { reached = RunExportToFile(missing, exportableFields(), true); });
    EXPECT_FALSE(reached);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Cannot CREATE " + missing);
    EXPECT_TRUE(shown[0].text.startsWith("Error #")) << shown[0].text.toStdString();
    EXPECT_EQ(shown[0].icon, QMessageBox::Question);
    EXPECT_FALSE(QFile::exists(missing));

    // Every write fails: Retry tries again, Abort ends the run, and the close says what was lost.
    shown = runAnswering([&] { reached = RunExportToFile("/dev/full", exportableFields(), true); },
                         {ButtonRetry, ButtonAbort, ButtonOK});
    EXPECT_TRUE(reached);
    ASSERT_EQ(shown.size(), 3u);
    for (int i : {0, 1}) {
        EXPECT_EQ(shown[i].caption, "Cannot ADD to /dev/full");
        EXPECT_EQ(shown[i].text, "Error #28 - No space left on device");
        EXPECT_EQ(shown[i].buttons, ButtonRetry | ButtonAbort);
        EXPECT_EQ(shown[i].defaultButton, ButtonAbort);
    }
    EXPECT_EQ(shown[2].caption, "Cannot CLOSE /dev/full");
    EXPECT_EQ(shown[2].text, "Error #28 - No space left on device");
    closeAfterUse(CAT);
    closeAfterUse(MUS);
}

TEST_F(ExportTest, ALongPathAndTwoExportsAtOnceEachWriteTheirWholeFile) {
    makeSongs(6000);
    // A path far longer than 80 characters, through the file dialog.
    const QString folder = QDir::current().filePath(QString("a folder with a rather long name/").repeated(3));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString longName = folder + "songs exported with a long name.csv";
    ASSERT_GT(longName.size(), 120);
    const int t = startThread(ExportSongs);
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(pressButton(t, "OK"));
    ASSERT_TRUE(chooseFile(t, longName));
    ASSERT_TRUE(waitForEnd(t));
    EXPECT_EQ(fileLines(longName).size(), 6001);

    // Two runs side by side, and a third, while the first holds its file, that would empty it:
    // the third waits for the first's progress window, which stands while the first writes.
    const QList<ExportField> two = fieldsNamed({"MUS:Title", "MUS:Artist"});
    bool reachedA = false, reachedB = false, reachedC = true;
    const int a = startRun("a.csv", exportableFields(), true, &reachedA);
    const int c = startThread([&] {
        while (!progressText(a))
            yieldNow();
        FilesInUse files{&CAT, &MUS};
        reachedC = RunExportToFile("a.csv", two, false);
    }, kMinimumThreadStack);
    const int b = startRun("b.csv", two, false, &reachedB);
    ASSERT_TRUE(runUntil([&] { return !messageText(c).isEmpty(); }));
    ASSERT_TRUE(activeWindow(c));
    EXPECT_EQ(activeWindow(c)->windowTitle(), "Cannot CREATE a.csv");
    ASSERT_TRUE(answerMessage(c, ButtonOK));
    ASSERT_TRUE(waitForEnd(c));
    EXPECT_FALSE(reachedC);
    ASSERT_TRUE(waitForEnd(a));
    ASSERT_TRUE(waitForEnd(b));
    EXPECT_TRUE(reachedA && reachedB);

    // Each file as a run of its own writes it.
    const int soloA = startRun("solo-a.csv", exportableFields(), true);
    ASSERT_TRUE(waitForEnd(soloA));
    const int soloB = startRun("solo-b.csv", two, false);
    ASSERT_TRUE(waitForEnd(soloB));
    EXPECT_EQ(fileLines("a.csv").size(), 6001);
    EXPECT_EQ(fileBytes("a.csv"), fileBytes("solo-a.csv"));
    EXPECT_EQ(fileLines("b.csv").size(), 6000);
    EXPECT_EQ(fileBytes("b.csv"), fileBytes("solo-b.csv"));
    EXPECT_EQ(fileLines("b.csv").value(41), R"("Song 42","Artist 0042")");
}
