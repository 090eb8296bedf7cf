// Not a check, so disabled: run with --gtest_also_run_disabled_tests, TBK_SCREENSHOT set and a
// real display (e.g. xvfb-run -a -s "-screen 0 1280x800x24" with QT_QPA_PLATFORM=xcb); it shows
// the frame with a song list that offers part of the browse buttons and the tooltip of one, and
// saves a picture of the screen there.
#include "framefixture.h"

#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "core/splash.h"
#include "setup/tips.h"
#include "runtime/threads/callprotocol.h"

#include "runtime/ui/browsetoolbar.h"
#include "support/windows/scriptedwindow.h"

#include <QAction>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QScreen>
#include <QToolBar>
#include <QToolTip>

using namespace tbk;
using namespace tbk::windowtest;

TEST_F(FrameTest, DISABLED_ScreenshotOfTheToolbar) {
    const QString path = qEnvironmentVariable("TBK_SCREENSHOT");
    if (path.isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    setting("Settings", "SetupWizardComplete", QStringLiteral("1"));
    setting("Settings", "ShowTips", QStringLiteral("0"));
    ASSERT_TRUE(startMainProgram());
    ASSERT_TRUE(postFrameCommand(-44));
    const int songs = startThread([] {
        ScriptedWindow w("BrowseSongs", {"Insert", "Change", "Delete", "Close"});
        w.setMdiChild(true);
        w.onOpen = [](ScriptedWindow &self) {
            self.resizer().free();
            self.frame()->setGeometry(30, 20, 420, 340);
            ToolbarState s;
            for (BrowseButton b : {ToolbarInsert, ToolbarChange, ToolbarDelete, ToolbarFirstPage, ToolbarPriorPage,
                                   ToolbarPriorRecord, ToolbarNextRecord, ToolbarNextPage, ToolbarLastPage,
                                   ToolbarLocate, ToolbarHelp})
                s.enable(b);
            self.setToolbarState(s.setTooltip(ToolbarInsert, "Insert a new Song"));
        };
        w.run();
    });
    ASSERT_TRUE(runUntilIdle());
    QWidget *frame = frameTable().window;
    frame->move(0, 0);
    frame->activateWindow();
    frame->findChild<QMdiArea *>()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(activeWindow(songs)));
    runFor(500);
    for (QAction *a : frame->findChildren<QAction *>())
        if (a->property(kBrowseButtonProperty).toInt() == ToolbarInsert) {
            QWidget *button = frame->findChild<QToolBar *>("BrowseToolbar")->widgetForAction(a);
            QToolTip::showText(button->mapToGlobal(button->rect().bottomLeft()), a->toolTip(), button);
        }
    runFor(500);
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    EXPECT_TRUE(shot.save(path));
    ASSERT_TRUE(pressButton(songs, "Close"));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(exitFrame());
}

// The same way: the tips list in the frame (debug mode) with its toolbar, and the tip of the day
// in front of it; TBK_SCREENSHOT names the first picture, the second gets "-tip" before ".png".
TEST_F(FrameTest, DISABLED_ScreenshotOfTheTips) {
    const QString path = qEnvironmentVariable("TBK_SCREENSHOT");
    if (path.isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    setting("Settings", "SetupWizardComplete", QStringLiteral("1"));
    setting("Settings", "ShowTips", QStringLiteral("0"));
    registerProcedure(QStringLiteral("UpdateTBKTips"), UpdateTBKTips);
    ASSERT_TRUE(startMainProgram());
    openForUse(TIP);
    const char *texts[] = {
        "Drag a song from the song list onto a playlist to add it there.",
        "Press Ctrl+' in a form to bring back the value you typed last.",
        "Right-click a list for the commands of its buttons.",
    };
    for (int i = 0; i < 3; ++i) {
        TIP.clear();
        TIP.ID = i + 1;
        TIP.TIP = QString::fromLatin1(texts[i]);
        ASSERT_TRUE(TIP.add());
    }
    DbgMode = 1;
    ASSERT_TRUE(runUntil([] { return !splashWindowOpen(); }));
    const int list = startThread([] { BrowseTBKTips(); });
    ASSERT_TRUE(runUntilIdle());
    QWidget *frame = frameTable().window;
    frame->move(0, 0);
    frame->activateWindow();
    frame->findChild<QMdiArea *>()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(activeWindow(list)));
    runFor(500);
    EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(path));

    DbgMode = 0;
    const int tip = startThread([] {
        GlobalRequest = ChangeRecord;
        UpdateTBKTips();
    });
    runFor(500);
    QString tipPath = path;
    tipPath.replace(QLatin1String(".png"), QLatin1String("-tip.png"));
    EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(tipPath));
    ASSERT_TRUE(pressButton(tip, "Close"));
    ASSERT_TRUE(pressButton(list, "Close"));
    ASSERT_TRUE(runUntilIdle());
    closeAfterUse(TIP);
    ASSERT_TRUE(exitFrame());
}
