// Not a check, so disabled: run with --gtest_also_run_disabled_tests, TBK_SCREENSHOT set and a
// real display (e.g. under xvfb-run with QT_QPA_PLATFORM=xcb); shows the export window with a
// few fields chosen and saves a picture of the screen there.
#include "impextest.h"

#include "impex/exportsongs.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "support/windows/listtesting.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>

using namespace tbk;
using namespace tbk::windowtest;
using namespace impextest;

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
    runFor(500);
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    EXPECT_TRUE(shot.save(path));
    ASSERT_TRUE(pressButton(t, "Cancel"));
    ASSERT_TRUE(waitForEnd(t));
}
