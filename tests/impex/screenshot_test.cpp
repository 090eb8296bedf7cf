// Not a check, so disabled: run with --gtest_also_run_disabled_tests, TBK_SCREENSHOT set and a
// real display (e.g. under xvfb-run with QT_QPA_PLATFORM=xcb); shows the export window with a
// few fields chosen, or the import window after Auto, and saves a picture of the screen there.
#include "impextest.h"

#include "impex/exportfields.h"
#include "impex/exportrun.h"
#include "impex/exportsongs.h"
#include "impex/importsongs.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "support/windows/listtesting.h"
#include "support/windows/scriptedanswers.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>

using namespace tbk;
using namespace tbk::windowtest;
using namespace impextest;

namespace {

void saveScreenThenCancel(int thread, const QString &path) {
    runFor(500);
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    EXPECT_TRUE(shot.save(path));
    ASSERT_TRUE(pressButton(thread, "Cancel"));
    ASSERT_TRUE(waitForEnd(thread));
}

} // namespace

TEST_F(ExportTest, DISABLED_ScreenshotOfTheFieldChoice) {
    const QString path = qEnvironmentVariable("TBK_SCREENSHOT");
    if (path.isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    makeSongs(3);
    const int t = startThread(ExportSongs);
    ASSERT_TRUE(runUntilIdle());
    QWidget *window = activeWindow(t);
    window->move(20, 20);
    auto *all = qobject_cast<ListControl *>(findControl(window, "All Fields"));
    auto *chosen = qobject_cast<ListControl *>(findControl(window, "Export Fields"));
    ASSERT_TRUE(clickRow(chosen, 0));
    ASSERT_TRUE(runUntilIdle());
    pressListKey(chosen, Qt::Key_End, Qt::ShiftModifier);
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(pressButton(t, "Remove"));
    ASSERT_TRUE(runUntilIdle());
    // Artist, Title, Album and Release Date chosen; Category marked, not yet added.
    ASSERT_TRUE(clickRow(all, 0));
    ASSERT_TRUE(runUntilIdle());
    pressListKey(all, Qt::Key_Down, Qt::ShiftModifier);
    ASSERT_TRUE(runUntilIdle());
    for (int row : {3, 6}) {
        const QModelIndex i = all->model()->index(row, 0);
        QTest::mouseClick(all->viewport(), Qt::LeftButton, Qt::ControlModifier, all->visualRect(i).center());
        ASSERT_TRUE(runUntilIdle());
    }
    ASSERT_TRUE(pressButton(t, "Add ->"));
    ASSERT_TRUE(runUntilIdle());
    all->scrollToBottom();
    const QModelIndex category = all->model()->index(29, 0);
    QTest::mouseClick(all->viewport(), Qt::LeftButton, {}, all->visualRect(category).center());
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(clickRow(chosen, 3));
    ASSERT_TRUE(runUntilIdle());
    saveScreenThenCancel(t, path);
}

TEST_F(ExportTest, DISABLED_ScreenshotOfTheImportAssignmentAfterAuto) {
    const QString path = qEnvironmentVariable("TBK_SCREENSHOT");
    if (path.isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    makeCatalogue([] {
        addCategory(1, "Rock");
        prepareSong(1, "Smith, John", "He said \"yes\"");
        MUS.ReleaseDate = 68242;
        ASSERT_TRUE(MUS.add());
    });
    runAnswering([] {
        FilesInUse files{&CAT, &MUS};
        RunExportToFile("songs.csv", exportableFields(), true);
    });
    const int t = startThread(ImportSongs);
    ASSERT_TRUE(chooseFile(t, "songs.csv"));
    ASSERT_TRUE(runUntilIdle());
    QWidget *window = activeWindow(t);
    window->move(20, 20);
    ASSERT_TRUE(pressButton(t, "Auto"));
    ASSERT_TRUE(runUntilIdle());
    auto *columns = qobject_cast<ListControl *>(findControl(window, "Import Fields"));
    ASSERT_TRUE(clickRow(columns, 1));
    ASSERT_TRUE(runUntilIdle());
    saveScreenThenCancel(t, path);
}
