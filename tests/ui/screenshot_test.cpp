// Not a check, so disabled: run with --gtest_also_run_disabled_tests, TBK_SCREENSHOT set and a
// real display (e.g. under xvfb-run with QT_QPA_PLATFORM=xcb); each shows a window with a list,
// a paged list or a form built from a table, and saves a picture of the screen there (the paged
// one next to the path, "-paged" added; TBK_SCREENSHOT_TAB: the tab the built form shows).
#include "pagedwindow.h"

#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "support/windows/controltesting.h"
#include "support/windows/listtesting.h"
#include "support/windows/scriptedwindow.h"
#include "support/windows/windowtesting.h"
#include "testform.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <gtest/gtest.h>

using namespace tbk;
using namespace tbk::windowtest;

namespace {
class SongRows : public ListRows {
public:
    int rowCount() const override { return 40; }
    QVariant field(int row, int field) const override {
        static const char *artists[] = {"Abba", "Blondie", "Chic", "Donna Summer", "Eurythmics"};
        switch (field) {
        case 1: return QString::fromLatin1(artists[row % 5]);
        case 2: return QStringLiteral("Song number %1").arg(row + 1);
        case 3: return qint64(row * 13 + 180);
        default: return {};
        }
    }
};
} // namespace

TEST(Screenshot, DISABLED_ListWindow) {
    const QString path = qEnvironmentVariable("TBK_SCREENSHOT");
    if (path.isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    SongRows rows;
    bool open = false;
    const int t = startThread([&] {
        ScriptedWindow w("BrowseSongs", {"Insert", "Change", "Delete", "Close"}, true);
        w.onOpen = [&](ScriptedWindow &self) {
            self.widget()->move(20, 20);
            self.list()->setFormat("60L(2)|M~Artist~@s20@100L(2)|M~Title~@s30@30R(2)|M~BPM~C(0)@n6@");
            self.list()->setRows(&rows);
            self.list()->setCurrentRow(2);
            open = true;
        };
        w.run();
    });
    ASSERT_TRUE(runUntil([&] { return open; }));
    runFor(500);
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    EXPECT_TRUE(shot.save(path));
    ASSERT_TRUE(pressButton(t, "Close"));
    ASSERT_TRUE(runUntilIdle());
}

TEST(Screenshot, DISABLED_PagedListWindow) {
    const QString path = qEnvironmentVariable("TBK_SCREENSHOT");
    if (path.isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    const QFileInfo file(path);
    const QString paged = file.path() + "/" + file.completeBaseName() + "-paged." + file.suffix();
    PagedWindow *window = nullptr;
    const int t = startThread([&] {
        PagedWindow w(1000);
        window = &w;
        w.run();
        window = nullptr;
    });
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(window);
    window->widget()->move(20, 20);
    // Somewhere in the middle, so the thumb stands away from both ends.
    window->list()->setFocus();
    ASSERT_TRUE(dragThumb(window->list(), 40));
    ASSERT_TRUE(runUntilIdle());
    pressListKey(window->list(), Qt::Key_Down);
    pressListKey(window->list(), Qt::Key_Down);
    runFor(500);
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    EXPECT_TRUE(shot.save(paged));
    ASSERT_TRUE(pressButton(t, "Close"));
    ASSERT_TRUE(runUntilIdle());
}

TEST(Screenshot, DISABLED_BuiltForm) {
    const QString path = qEnvironmentVariable("TBK_SCREENSHOT");
    if (path.isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    bool open = false;
    const int t = startThread([&] {
        TestForm w;
        w.onOpen = [&](TestForm &self) {
            self.widget()->move(20, 20);
            self.controls().load([](const QString &field) -> QVariant {
                if (field == "MUS:Artist")
                    return "Chic";
                if (field == "MUS:Title")
                    return "Le Freak";
                if (field == "MUS:Media")
                    return "LP";
                if (field == "MUS:ReleaseDate")
                    return 71266;
                if (field == "MUS:TrackNumber")
                    return 3;
                if (field == "MUS:Live")
                    return 1;
                if (field == "MUS:EndType")
                    return "Fast";
                return {};
            });
            open = true;
        };
        w.run();
    });
    ASSERT_TRUE(runUntil([&] { return open; }));
    const QString tab = qEnvironmentVariable("TBK_SCREENSHOT_TAB");
    if (!tab.isEmpty())
        ASSERT_TRUE(chooseTab(t, tab));
    else
        ASSERT_TRUE(clickInto(t, "MUS:Title"));
    runFor(500);
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    EXPECT_TRUE(shot.save(path));
    ASSERT_TRUE(pressButton(t, "Cancel"));
    ASSERT_TRUE(runUntilIdle());
}
