#include "runtime/settings/profile.h"
#include "runtime/threads/dialogs.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/progresswindow.h"
#include "runtime/ui/windowevents.h"
#include "runtime/ui/windowbuilder.h"
#include "runtime/ui/windowplace.h"
#include "support/windows/manualclock.h"
#include "support/windows/scriptedwindow.h"
#include "support/windows/windowtesting.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <gtest/gtest.h>

using namespace tbk;
using namespace tbk::windowtest;

namespace {

class Rows : public ListRows {
public:
    int rowCount() const override { return 3; }
    QVariant field(int row, int) const override { return QStringLiteral("Song %1").arg(row + 1); }
};

// One window with a list on its own thread, for the test to poke at.
class WindowEventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        thread = startThread([this] {
            ScriptedWindow w("BrowseSongs", {"Change", "Close"}, true);
            window = &w;
            w.onOpen = [this](ScriptedWindow &self) {
                self.list()->setFormat("80L(2)|M~Title~@s20@");
                self.list()->setRows(&rows);
                self.alertKey(self.list(), Qt::Key_Insert);
                self.alertKey(self.list(), KeyMouseLeft2);
                self.alertKey(nullptr, QKeyCombination(Qt::ControlModifier, Qt::Key_Return).toCombined());
            };
            w.run();
            window = nullptr;
        });
        ASSERT_TRUE(runUntilIdle());
        ASSERT_TRUE(window);
        window->seen.clear();
        window->events.clear();
    }
    void TearDown() override { endAllThreads(); }

    QList<EventKind> kinds() const { return window->seen; }
    QWidget *control(const char *name) const { return window->widget()->findChild<QWidget *>(name); }
    QWidget *viewport() const { return window->list()->viewport(); }

    Rows rows;
    int thread = 0;
    ScriptedWindow *window = nullptr;
};

TEST(WindowLookup, FindsTheNewestOpenWindowOfAProcedure) {
    ScriptedWindow *songs = nullptr;
    ScriptedWindow *form = nullptr;
    const int t = startThread([&] {
        ScriptedWindow w("BrowseSongs");
        songs = &w;
        w.onEvent = [&](ScriptedWindow &, const Event &e) {
            if (e.kind != EventKind::User)
                return;
            // A second window of the same procedure, called on the same thread.
            ScriptedWindow called("BrowseSongs");
            form = &called;
            called.run();
            form = nullptr;
        };
        w.run();
        songs = nullptr;
    });
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(Window::find("browsesongs"), songs);
    EXPECT_EQ(Window::find("UpdateSong"), nullptr);
    ASSERT_TRUE(postToWindow(songs->frame(), Event::of(EventKind::User)));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(form);
    EXPECT_EQ(Window::find("BrowseSongs"), form);
    ASSERT_TRUE(pressButton(t, "Close"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(form, nullptr);
    EXPECT_EQ(Window::find("BrowseSongs"), songs);
    ASSERT_TRUE(pressButton(t, "Close"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(songs, nullptr);
    EXPECT_EQ(Window::find("BrowseSongs"), nullptr);
    endAllThreads();
}

} // namespace

TEST(WindowOpen, OpenWindowComesFirst) {
    QList<EventKind> seen;
    startThread([&] {
        ScriptedWindow w("Main");
        w.onEvent = [&](ScriptedWindow &self, const Event &e) {
            seen << e.kind;
            self.closeWindow();
        };
        w.run();
    });
    ASSERT_TRUE(runUntilIdle());
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.front(), EventKind::OpenWindow);
}

TEST_F(WindowEventsTest, AChangedEntryIsAcceptedAnUnchangedOneIsNot) {
    ASSERT_TRUE(fillEntry(thread, "Entry", "Abba"));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(kinds().contains(EventKind::Accepted));
    const Event &e = window->events[window->seen.indexOf(EventKind::Accepted)];
    EXPECT_EQ(e.control, control("Entry"));
    EXPECT_EQ(qobject_cast<QLineEdit *>(control("Entry"))->text(), "Abba");

    window->seen.clear();
    QTest::keyClick(control("Entry"), Qt::Key_Return);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_FALSE(kinds().contains(EventKind::Accepted));
}

TEST_F(WindowEventsTest, AlertedKeysAreTakenFromTheControl) {
    window->list()->setCurrentRow(0);
    ASSERT_TRUE(runUntilIdle());
    window->seen.clear();
    window->events.clear();
    QTest::keyClick(window->list(), Qt::Key_Insert);
    QTest::keyClick(window->list(), Qt::Key_Delete);   // not alerted
    QTest::keyClick(window->list(), Qt::Key_Return, Qt::ControlModifier);   // alerted on the window
    ASSERT_TRUE(runUntilIdle());
    QList<int> keys;
    for (const Event &e : window->events)
        if (e.kind == EventKind::AlertKey)
            keys << e.key;
    EXPECT_EQ(keys, (QList<int>{Qt::Key_Insert, QKeyCombination(Qt::ControlModifier, Qt::Key_Return).toCombined()}));
}

TEST_F(WindowEventsTest, TheListReportsNewSelectionsAndItsMouse) {
    QTest::keyClick(window->list(), Qt::Key_Down);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(kinds().contains(EventKind::NewSelection));

    window->seen.clear();
    const QPoint p = window->list()->visualRect(window->list()->listModel()->index(1, 0)).center();
    QTest::mousePress(viewport(), Qt::RightButton, {}, p);
    QTest::mouseRelease(viewport(), Qt::RightButton, {}, p);
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, p);
    QTest::mouseDClick(viewport(), Qt::LeftButton, {}, p);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(kinds().contains(EventKind::MouseRightDown));
    EXPECT_TRUE(kinds().contains(EventKind::MouseRightUp));
    EXPECT_TRUE(kinds().contains(EventKind::MouseLeftDown));
    EXPECT_TRUE(kinds().contains(EventKind::MouseLeftUp));
    bool doubleClick = false;
    for (const Event &e : window->events)
        doubleClick |= e.kind == EventKind::AlertKey && e.key == KeyMouseLeft2;
    EXPECT_TRUE(doubleClick);
}

TEST_F(WindowEventsTest, ResizingMovesTheControlsAndTellsTheWindow) {
    QWidget *close = control("Close");
    const QRect before = close->geometry();
    window->widget()->resize(800, 600);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(kinds().contains(EventKind::Sized));
    EXPECT_EQ(close->geometry(), QRect(before.x() * 2, before.y() * 2, before.width() * 2, before.height() * 2));
}

TEST_F(WindowEventsTest, TimerTicksInHundredthsUntilStopped) {
    window->setTimer(2);
    ASSERT_TRUE(runUntil([&] { return window->seen.count(EventKind::Timer) >= 3; }, 2000));
    window->setTimer(0);
    ASSERT_TRUE(runUntilIdle());
    const auto ticks = window->seen.count(EventKind::Timer);
    runFor(60);
    EXPECT_EQ(window->seen.count(EventKind::Timer), ticks);
}

TEST(MdiWindow, DocumentWindowsOfTwoThreadsShareTheFrameAndKeepTheirPlaces) {
    QMdiArea area;
    area.resize(800, 600);
    area.show();
    Window::setMdiArea(&area);
    QStringList log;
    auto browse = [&](const QString &name) {
        return [&, name] {
            ScriptedWindow w(name);
            w.setMdiChild(true);
            w.onEvent = [&](ScriptedWindow &, const Event &e) {
                if (e.kind == EventKind::Accepted && e.control && e.control->objectName() == "Change") {
                    ScriptedWindow form("Update" + name, {"OK", "Cancel"});
                    form.run();
                }
            };
            w.onClose = [&](ScriptedWindow &self) {
                log << name + (qobject_cast<QMdiSubWindow *>(self.frame()) ? " in frame" : " alone");
            };
            w.run();
        };
    };
    const int a = startThread(browse("BrowseSongs"));
    const int b = startThread(browse("BrowseAlbums"));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_EQ(area.subWindowList().size(), 2);
    QWidget *songs = activeWindow(a);
    QWidget *albums = activeWindow(b);
    ASSERT_TRUE(qobject_cast<QMdiSubWindow *>(songs));
    // A document window opens with room for its controls, not as a bare title bar.
    QWidget *content = static_cast<QMdiSubWindow *>(songs)->widget();
    EXPECT_GE(content->width(), content->minimumSizeHint().width());
    EXPECT_GE(content->height(), content->minimumSizeHint().height());
    EXPECT_GT(content->height(), 40);

    ASSERT_TRUE(pressButton(a, "Change"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_FALSE(songs->isEnabled());
    EXPECT_TRUE(albums->isEnabled());
    EXPECT_TRUE(area.isEnabled());
    ASSERT_TRUE(pressButton(a, "Cancel"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(songs->isEnabled());

    songs->setGeometry(30, 40, 350, 260);
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(pressButton(a, "Close"));
    ASSERT_TRUE(closeByUser(albums));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(threadNumbers().empty());
    log.sort();
    EXPECT_EQ(log, (QStringList{"BrowseAlbums in frame", "BrowseSongs in frame"}));
    EXPECT_EQ(getIni("BrowseSongs", "XPosit", "", kPositionFile), "30");
    EXPECT_EQ(getIni("BrowseSongs", "Width", "", kPositionFile), "350");
    Window::setMdiArea(nullptr);
}

// A list window opened the first time shows its list whole within the frame; the height it
// gains goes to the list, not to the empty pages above it.
TEST(MdiWindow, AListOpensWholeWithinTheFrameAndTakesTheHeightGained) {
    struct ListWindow : Window {
        ListWindow() : Window("BrowseWide") {
            setMdiChild(true);
            setKeepsPlace(false);   // every opening is a first
        }
        QWidget *createWindow() override {
            WindowBuilder b(*this, "Wide", {150, 100});
            for (const char *tab : {"One", "Two"}) {
                b.tab(tab);
                b.button(tab);
                b.endTab();
            }
            list = b.list("Browse", "150L(2)|M~A~@s30@150L(2)|M~B~@s30@150L(2)|M~C~@s30@", 60);
            b.button("Close");
            return b.finish();
        }
        ListControl *list = nullptr;
    };
    QMdiArea area;
    area.resize(1200, 500);
    area.show();
    Window::setMdiArea(&area);
    ListWindow *w = nullptr;
    startThread([&] {
        ListWindow window;
        w = &window;
        window.run();
    });
    ASSERT_TRUE(runUntilIdle());
    ASSERT_EQ(area.subWindowList().size(), 1);
    QMdiSubWindow *sub = area.subWindowList().first();
    EXPECT_GE(w->list->viewport()->width(), w->list->header()->length());
    EXPECT_LE(sub->frameGeometry().right(), area.viewport()->width());
    const int listHeight = w->list->height();
    sub->resize(sub->width(), sub->height() + 150);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(w->list->height(), listHeight + 150);
    // A narrower frame: the window stays within it.
    ASSERT_TRUE(closeByUser(sub) && runUntilIdle());
    area.resize(400, 500);
    startThread([&] {
        ListWindow window;
        window.run();
    });
    ASSERT_TRUE(runUntilIdle());
    ASSERT_EQ(area.subWindowList().size(), 1);
    EXPECT_LE(area.subWindowList().first()->width(), area.viewport()->width());
    ASSERT_TRUE(closeByUser(area.subWindowList().first()) && runUntilIdle());
    Window::setMdiArea(nullptr);
}

// A window of another thread opens in front of the frame as its child, so it goes when the
// frame goes, while its own thread still runs its procedure.
TEST(MdiWindow, AWindowWhoseFrameWentWithTheFrameStartsNoTimer) {
    ManualClock clock;
    auto *frame = new QMainWindow;
    auto *area = new QMdiArea(frame);
    frame->setCentralWidget(area);
    frame->show();
    Window::setMdiArea(area);
    ScriptedWindow *player = nullptr;
    int timerInCloseRoutine = -1;
    startThread([&] {
        ScriptedWindow w("CDPlayer");
        player = &w;
        w.onClose = [&](ScriptedWindow &self) {
            self.setTimer(5);
            timerInCloseRoutine = clock.pending();
            self.setTimer(0);
        };
        w.run();
    });
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(player);
    ASSERT_EQ(player->frame()->parentWidget(), frame);
    delete frame;
    Window::setMdiArea(nullptr);
    ASSERT_FALSE(player->frame());
    // The program ends: the window's close routine runs on its thread after the frame went.
    endAllThreads();
    EXPECT_EQ(timerInCloseRoutine, 0) << "-1: the close routine did not run";
    EXPECT_EQ(clock.pending(), 0);
}

TEST(ProgressWindowOnAThread, ALongBatchLetsOthersRunAndCanBeCancelled) {
    int steps = 0;
    bool stopped = false;
    int ticks = 0;
    const int batch = startThread([&] {
        ProgressWindow progress("Rebuilding", "Songs", true);
        progress.useRealStops(0, 1e9);
        for (double key = 0; !progress.cancelled(); key += 1000) {
            progress.passKey(key);
            ++steps;
        }
        stopped = true;
    });
    startThread([&] {
        for (int i = 0; i < 3; ++i) {
            waitTimer(1);
            ++ticks;
        }
    });
    ASSERT_TRUE(runUntil([&] { return ticks == 3; }, 3000));
    EXPECT_FALSE(stopped);
    ASSERT_TRUE(pressButton(batch, "Cancel"));
    ASSERT_TRUE(runUntil([&] { return stopped; }, 3000));
    EXPECT_GT(steps, 0);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(threadNumbers().empty());
}

TEST(WindowFocus, AWindowThatBecomesActiveGainsTheFocus) {
    ScriptedWindow *first = nullptr;
    ScriptedWindow *second = nullptr;
    auto open = [](ScriptedWindow *&out, const QString &name) {
        return [&out, name] {
            ScriptedWindow w(name);
            out = &w;
            w.run();
            out = nullptr;
        };
    };
    startThread(open(first, "BrowseSongs"));
    startThread(open(second, "BrowseAlbums"));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(first && second);
    first->seen.clear();
    first->widget()->activateWindow();
    ASSERT_TRUE(runUntil([&] { return first->seen.contains(EventKind::GainFocus); }, 2000));
    second->seen.clear();
    second->widget()->activateWindow();
    ASSERT_TRUE(runUntil([&] { return second->seen.contains(EventKind::GainFocus); }, 2000));
    endAllThreads();
}
