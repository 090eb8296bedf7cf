#include "framefixture.h"

#include "runtime/threads/messagebox.h"
#include "runtime/threads/threadwindows.h"
#include "runtime/ui/browsetoolbar.h"
#include "support/windows/scriptedwindow.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>

using namespace tbk;
using namespace tbk::windowtest;

namespace {

struct Press {
    int thread;
    QString window;
    int button;
    QString control;   // the control that had the focus in the window
    bool operator==(const Press &) const = default;
};

void PrintTo(const Press &p, std::ostream *os) {
    *os << "{" << p.thread << ", " << p.window.toStdString() << ", " << p.button << ", "
        << p.control.toStdString() << "}";
}

// The frame with its splash gone, and windows on threads of their own that note the toolbar's
// presses they receive.
class ToolbarTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        setting("Settings", "SetupWizardComplete", QStringLiteral("1"));
        setting("Settings", "ShowTips", QStringLiteral("0"));
        ASSERT_TRUE(startMainProgram());
        ASSERT_TRUE(postFrameCommand(-44));   // the first command closes the splash
        ASSERT_TRUE(runUntilIdle());
        frame = frameTable().window;
        area = frame->findChild<QMdiArea *>();
        ASSERT_TRUE(area);
    }

    void TearDown() override {
        // The other threads' windows first: they live inside the frame.
        for (int t : threads) {
            if (QWidget *w = activeWindow(t))
                closeByUser(w);
        }
        runUntilIdle();
        if (frameTable().thread) {
            EXPECT_TRUE(exitFrame());
        }
        FrameTest::TearDown();
    }

    // A window on a new thread; a Change button press makes it offer `later` instead.
    int open(const QString &name, const ToolbarState &state, bool mdi = true, const ToolbarState &later = {}) {
        const int t = startThread([this, name, state, mdi, later] {
            ScriptedWindow w(name);
            w.setMdiChild(mdi);
            w.onOpen = [state](ScriptedWindow &self) { self.setToolbarState(state); };
            w.onEvent = [this, name, later](ScriptedWindow &self, const Event &e) {
                if (e.kind == EventKind::Toolbar)
                    presses << Press{currentThreadNumber(), name, e.value, e.control ? e.control->objectName() : ""};
                if (e.kind == EventKind::Accepted && e.control && e.control->objectName() == "Change")
                    self.setToolbarState(later);
            };
            w.run();
        });
        threads << t;
        EXPECT_TRUE(runUntilIdle());
        return t;
    }

    // As a click on the window's title does.
    void activate(int thread) {
        QWidget *w = threadWindowList(thread).front();
        if (auto *sub = qobject_cast<QMdiSubWindow *>(w)) {
            frame->activateWindow();
            area->setActiveSubWindow(sub);
        } else {
            w->activateWindow();
        }
        ASSERT_TRUE(runUntilIdle());
    }

    QList<int> enabled() const { return enabledToolbarButtons(frame); }

    QWidget *frame = nullptr;
    QMdiArea *area = nullptr;
    QList<int> threads;
    QList<Press> presses;
};

} // namespace

TEST_F(ToolbarTest, TheButtonsFollowTheFocusedWindowAndReachItsThread) {
    const int songs = open("BrowseSongs", ToolbarState()
                                              .enable(ToolbarInsert)
                                              .enable(ToolbarChange)
                                              .enable(ToolbarNextPage)
                                              .setTooltip(ToolbarInsert, "Insert a new Song"));
    const int albums = open("UpdateAlbum", ToolbarState().enable(ToolbarFirstPage).enable(ToolbarHistory));
    const int player = open("CDPlayer", ToolbarState());

    activate(songs);
    EXPECT_EQ(enabled(), (QList<int>{ToolbarInsert, ToolbarChange, ToolbarNextPage}));
    EXPECT_EQ(toolbarTooltip(frame, ToolbarInsert), "Insert a new Song");
    EXPECT_EQ(toolbarTooltip(frame, ToolbarChange), "Change the Record");
    ASSERT_TRUE(pressToolbarButton(frame, "Go to the Next Page"));
    ASSERT_TRUE(runUntilIdle());

    activate(albums);
    EXPECT_EQ(enabled(), (QList<int>{ToolbarFirstPage, ToolbarHistory}));
    EXPECT_EQ(toolbarTooltip(frame, ToolbarInsert), "Insert a new Record") << "the songs' wording went with them";
    EXPECT_FALSE(pressToolbarButton(frame, ToolbarInsert));
    // The history button acts on the control that has the focus.
    activeWindow(albums)->findChild<QWidget *>("Change")->setFocus();
    ASSERT_TRUE(pressToolbarButton(frame, ToolbarHistory));
    ASSERT_TRUE(runUntilIdle());

    activate(player);
    EXPECT_TRUE(enabled().isEmpty()) << "a window that declared nothing offers nothing";
    EXPECT_FALSE(pressToolbarButton(frame, ToolbarFirstPage));

    activate(songs);
    ASSERT_TRUE(pressToolbarButton(frame, ToolbarInsert));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(presses, (QList<Press>{{songs, "BrowseSongs", ToolbarNextPage, "Entry"},
                                     {albums, "UpdateAlbum", ToolbarHistory, "Change"},
                                     {songs, "BrowseSongs", ToolbarInsert, "Entry"}}));
}

TEST_F(ToolbarTest, AWindowsNewDeclarationShowsAtOnceWhileItHasTheFocus) {
    const int songs = open("BrowseSongs", ToolbarState().enable(ToolbarChange).enable(ToolbarDelete), true,
                           ToolbarState().enable(ToolbarDelete).setTooltip(ToolbarDelete, "Delete the Song"));
    const int labels = open("BrowseLabels", ToolbarState().enable(ToolbarLocate));
    activate(songs);
    EXPECT_EQ(enabled(), (QList<int>{ToolbarChange, ToolbarDelete}));
    ASSERT_TRUE(pressButton(songs, "Change"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(enabled(), QList<int>{ToolbarDelete});
    EXPECT_EQ(toolbarTooltip(frame, ToolbarDelete), "Delete the Song");

    // Once the window closes, what it offered goes with it.
    activate(labels);
    EXPECT_EQ(enabled(), QList<int>{ToolbarLocate});
    ASSERT_TRUE(pressButton(labels, "Close"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_FALSE(enabled().contains(ToolbarLocate));
}

TEST_F(ToolbarTest, AQuestionOnTheFramesThreadHoldsTheToolbarLikeTheMenu) {
    const int songs = open("BrowseSongs", ToolbarState().enable(ToolbarInsert));
    activate(songs);
    ASSERT_EQ(enabled(), QList<int>{ToolbarInsert});

    ASSERT_TRUE(postFrameCommand(-46));   // help without a help file: the frame asks
    ASSERT_TRUE(runUntilIdle());
    const int frameThread = frameTable().thread;
    ASSERT_FALSE(messageText(frameThread).isEmpty());
    // The list in the frame goes on and has the focus again, the toolbar still waits.
    activate(songs);
    EXPECT_TRUE(enabled().isEmpty());
    EXPECT_FALSE(pressToolbarButton(frame, ToolbarInsert));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(presses.isEmpty());

    ASSERT_TRUE(answerMessage(frameThread, ButtonOK));
    ASSERT_TRUE(runUntilIdle());
    activate(songs);
    EXPECT_EQ(enabled(), QList<int>{ToolbarInsert});
    ASSERT_TRUE(pressToolbarButton(frame, ToolbarInsert));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(presses, (QList<Press>{{songs, "BrowseSongs", ToolbarInsert, "Entry"}}));
}

TEST_F(ToolbarTest, ACalledWindowStaysInFrontOfTheFrameAndTakesTheButtons) {
    QWidget *formWindow = nullptr;
    const int songs = startThread([&] {
        ScriptedWindow browse("BrowseSongs");
        browse.setMdiChild(true);
        browse.onOpen = [](ScriptedWindow &self) { self.setToolbarState(ToolbarState().enable(ToolbarChange)); };
        browse.onEvent = [&](ScriptedWindow &, const Event &e) {
            if (e.kind != EventKind::Accepted || !e.control || e.control->objectName() != "Change")
                return;
            ScriptedWindow form("UpdateSong", {"OK", "Cancel"});
            form.onOpen = [&](ScriptedWindow &self) {
                formWindow = self.frame();
                self.setToolbarState(ToolbarState().enable(ToolbarHistory));
            };
            form.onEvent = [&](ScriptedWindow &, const Event &fe) {
                if (fe.kind == EventKind::Toolbar)
                    presses << Press{currentThreadNumber(), "UpdateSong", fe.value, ""};
            };
            form.run();
            formWindow = nullptr;
        };
        browse.run();
    });
    threads << songs;
    ASSERT_TRUE(runUntilIdle());
    QWidget *browse = activeWindow(songs);
    ASSERT_TRUE(qobject_cast<QMdiSubWindow *>(browse));
    activate(songs);
    ASSERT_TRUE(pressButton(songs, "Change"));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(formWindow);

    EXPECT_TRUE(formWindow->isWindow());
    EXPECT_EQ(formWindow->parentWidget(), frame) << "a transient of the frame, not of the browse it covers";
    EXPECT_TRUE(formWindow->isEnabled());
    EXPECT_TRUE(formWindow->isVisible());
    EXPECT_FALSE(browse->isEnabled());
    formWindow->activateWindow();
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(enabled(), QList<int>{ToolbarHistory});

    // Bringing the frame to the front (as a click on its toolbar does) finds the covered browse
    // as the active document; the buttons stay with the form over it.
    frame->activateWindow();
    area->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(browse));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(enabled(), QList<int>{ToolbarHistory});
    ASSERT_TRUE(pressToolbarButton(frame, ToolbarHistory));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(presses, (QList<Press>{{songs, "UpdateSong", ToolbarHistory, ""}}));

    ASSERT_TRUE(pressButton(songs, "Cancel"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_FALSE(formWindow);
    EXPECT_TRUE(browse->isEnabled());
    activate(songs);
    EXPECT_EQ(enabled(), QList<int>{ToolbarChange});
}
