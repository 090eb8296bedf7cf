#include "pagedwindow.h"

#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "support/windows/listtesting.h"
#include "support/windows/windowtesting.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace tbk;
using namespace tbk::windowtest;

namespace {

QString songTitle(int song) { return songField(song, 1).toString(); }

// A paged window over 1000 songs on its own thread.
class PagedList : public ::testing::Test {
protected:
    void SetUp() override { open(1000); }
    void TearDown() override { endAllThreads(); }

    void open(int songs) {
        startThread([this, songs] {
            PagedWindow w(songs);
            window = &w;
            w.run();
            window = nullptr;
        });
        ASSERT_TRUE(runUntilIdle());
        ASSERT_TRUE(window);
        list = window->list();
        lines = list->linesFit();
        ASSERT_GE(lines, 5);
        window->scrolls.clear();
        window->seen.clear();
    }

    // Runs the window on what the user did.
    void settle() { ASSERT_TRUE(runUntilIdle()); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = {}) {
        pressListKey(list, k, m);
        settle();
    }
    QString titleAt(int row) const { return list->rowTexts(row).value(0).trimmed(); }
    // The page as the titles of its first and last rows.
    std::pair<QString, QString> page() const {
        const int n = list->listModel()->rowCount();
        return {titleAt(0), titleAt(n - 1)};
    }
    std::pair<QString, QString> pageFrom(int song) const { return {songTitle(song), songTitle(song + lines - 1)}; }
    QList<int> actions() const {
        QList<int> out;
        for (const Event &e : window->scrolls)
            out << e.key;
        return out;
    }

    PagedWindow *window = nullptr;
    ListControl *list = nullptr;
    int lines = 0;
};

} // namespace

TEST_F(PagedList, KeysMoveInsideThePageAndAskTheWindowPastItsEdges) {
    EXPECT_EQ(list->listModel()->rowCount(), lines);
    EXPECT_EQ(page(), pageFrom(0));

    // Up on the first song of all asks, and nothing moves.
    key(Qt::Key_Up);
    EXPECT_EQ(actions(), QList<int>{ScrollLineUp});
    EXPECT_EQ(page(), pageFrom(0));
    window->scrolls.clear();

    for (int i = 0; i < lines - 1; ++i)
        key(Qt::Key_Down);
    EXPECT_TRUE(window->scrolls.isEmpty());
    EXPECT_EQ(list->currentRow(), lines - 1);

    key(Qt::Key_Down);   // on the last row: one more song is read
    ASSERT_EQ(window->scrolls.size(), 1);
    const Event &e = window->scrolls.front();
    EXPECT_EQ(e.kind, EventKind::Scroll);
    EXPECT_EQ(e.control, list);
    EXPECT_EQ(e.key, ScrollLineDown);
    EXPECT_EQ(e.value, 1);
    EXPECT_EQ(page(), pageFrom(1));
    EXPECT_EQ(list->currentRow(), lines - 1);
    EXPECT_EQ(window->currentSong(), lines);

    for (int i = 0; i < lines - 1; ++i)
        key(Qt::Key_Up);
    EXPECT_EQ(page(), pageFrom(1));
    key(Qt::Key_Up);     // on the first row
    EXPECT_EQ(page(), pageFrom(0));
    EXPECT_EQ(window->currentSong(), 0);

    window->scrolls.clear();
    key(Qt::Key_PageDown);
    key(Qt::Key_PageDown);
    EXPECT_EQ(page(), pageFrom(2 * lines));
    key(Qt::Key_PageUp);
    EXPECT_EQ(page(), pageFrom(lines));
    key(Qt::Key_End);
    EXPECT_EQ(page(), pageFrom(1000 - lines));
    EXPECT_EQ(window->currentSong(), 999);
    key(Qt::Key_PageDown);   // at the bottom already: the page stays
    EXPECT_EQ(page(), pageFrom(1000 - lines));
    key(Qt::Key_Home);
    EXPECT_EQ(page(), pageFrom(0));
    key(Qt::Key_End, Qt::ControlModifier);
    key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(actions(), (QList<int>{ScrollPageDown, ScrollPageDown, ScrollPageUp, ScrollBottom, ScrollPageDown,
                                     ScrollTop, ScrollBottom, ScrollTop}));
    EXPECT_EQ(page(), pageFrom(0));
}

TEST_F(PagedList, TheThumbIsReportedOnceWhenLetGoAndItsEndsReachTheEnds) {
    ASSERT_TRUE(list->isThumbVisible());
    EXPECT_EQ(list->thumb(), 1);

    ASSERT_TRUE(dragThumb(list, 50));
    settle();
    ASSERT_EQ(window->scrolls.size(), 1);
    EXPECT_EQ(window->scrolls.front().key, ScrollThumb);
    EXPECT_EQ(window->scrolls.front().value, 50);
    EXPECT_EQ(titleAt(0), songTitle(49 * 999 / 99));
    EXPECT_EQ(list->thumb(), 50);

    ASSERT_TRUE(dragThumb(list, 100));
    settle();
    EXPECT_EQ(window->scrolls.back().value, 100);
    EXPECT_EQ(page(), pageFrom(1000 - lines));
    EXPECT_EQ(list->thumb(), 100);

    ASSERT_TRUE(dragThumb(list, 1));
    settle();
    EXPECT_EQ(window->scrolls.back().value, 1);
    EXPECT_EQ(page(), pageFrom(0));
    EXPECT_EQ(list->thumb(), 1);
    EXPECT_EQ(window->scrolls.size(), 3);
}

TEST_F(PagedList, TheThumbBarsArrowsAndTroughScrollLinesAndPages) {
    ASSERT_TRUE(dragThumb(list, 50));
    settle();
    window->scrolls.clear();
    const int thumb = list->thumb();

    ASSERT_TRUE(clickThumbBar(list, QStyle::SC_ScrollBarAddPage));
    settle();
    ASSERT_TRUE(clickThumbBar(list, QStyle::SC_ScrollBarSubPage));
    settle();
    ASSERT_TRUE(clickThumbBar(list, QStyle::SC_ScrollBarAddLine));
    settle();
    ASSERT_TRUE(clickThumbBar(list, QStyle::SC_ScrollBarSubLine));
    settle();
    EXPECT_EQ(actions(), (QList<int>{ScrollPageDown, ScrollPageUp, ScrollLineDown, ScrollLineUp}));
    // Back where it started: the bar did not step its thumb by itself.
    EXPECT_EQ(list->thumb(), thumb);
    EXPECT_EQ(titleAt(0), songTitle(49 * 999 / 99));
}

TEST_F(PagedList, TheWheelScrollsTheSystemsLinesPerWholeNotch) {
    const int perNotch = QApplication::wheelScrollLines();
    turnWheel(list, -120);
    settle();
    ASSERT_EQ(window->scrolls.size(), 1);
    EXPECT_EQ(window->scrolls.front().key, ScrollLineDown);
    EXPECT_EQ(window->scrolls.front().value, perNotch);

    // A touchpad's small steps make a line move only once they add up to a notch.
    window->scrolls.clear();
    for (int i = 0; i < 3; ++i)
        turnWheel(list, -30);
    settle();
    EXPECT_TRUE(window->scrolls.isEmpty());
    turnWheel(list, -30);
    settle();
    EXPECT_EQ(actions(), QList<int>{ScrollLineDown});

    // What was turned one way does not count towards the other.
    window->scrolls.clear();
    turnWheel(list, -90);
    turnWheel(list, 90);
    settle();
    EXPECT_TRUE(window->scrolls.isEmpty());
    turnWheel(list, 30);
    settle();
    ASSERT_EQ(actions(), QList<int>{ScrollLineUp});
    EXPECT_EQ(window->scrolls.front().value, perNotch);

    // Two notches at once.
    window->scrolls.clear();
    turnWheel(list, 240);
    settle();
    ASSERT_EQ(actions(), QList<int>{ScrollLineUp});
    EXPECT_EQ(window->scrolls.front().value, 2 * perNotch);
}

TEST_F(PagedList, WholeRowsFitBesideTheThumbBarAtAnySize) {
    auto check = [&] {
        const QRect viewport = list->viewport()->geometry();
        const int row = list->visualRect(list->listModel()->index(0, 0)).height();
        EXPECT_EQ(row, list->lineHeight());
        EXPECT_EQ(list->linesFit(), viewport.height() / row);
        EXPECT_EQ(list->listModel()->rowCount(), list->linesFit());
        const QRect last = list->visualRect(list->listModel()->index(list->linesFit() - 1, 0));
        EXPECT_LE(last.bottom(), list->viewport()->rect().bottom());
        // The thumb bar stands right of the rows and of the header, inside the list.
        const QRect bar(list->thumbBar()->mapTo(list, QPoint(0, 0)), list->thumbBar()->size());
        EXPECT_TRUE(list->thumbBar()->isVisible());
        EXPECT_GE(bar.left(), viewport.right());
        EXPECT_LE(bar.right(), list->rect().right());
        EXPECT_LE(bar.top(), list->header()->geometry().top());
        EXPECT_EQ(list->header()->width(), viewport.width());
    };
    check();
    QSignalSpy fit(list, &ListControl::linesFitChanged);
    window->widget()->resize(640, 500);
    settle();
    ASSERT_FALSE(fit.isEmpty());
    EXPECT_EQ(fit.back().at(0).toInt(), list->linesFit());
    EXPECT_GT(list->linesFit(), lines);
    check();
    EXPECT_EQ(titleAt(0), songTitle(0));

    // Shrunk, the page keeps its current song.
    for (int i = 0; i < list->linesFit() - 1; ++i)
        key(Qt::Key_Down);
    const int current = window->currentSong();
    window->widget()->resize(640, 250);
    settle();
    EXPECT_LT(list->linesFit(), lines);
    check();
    EXPECT_EQ(window->currentSong(), current);
}

TEST_F(PagedList, ARefillRedrawsRowsWithoutResettingTheList) {
    QSignalSpy reset(list->listModel(), &QAbstractItemModel::modelReset);
    QSignalSpy removed(list->listModel(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(list->listModel(), &QAbstractItemModel::rowsInserted);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_PageDown);
    EXPECT_EQ(list->currentRow(), 2);
    EXPECT_EQ(page(), pageFrom(lines));
    key(Qt::Key_End);
    EXPECT_EQ(reset.count(), 0);
    EXPECT_EQ(removed.count(), 0);
    EXPECT_EQ(inserted.count(), 0);
}

TEST_F(PagedList, ThumbBarHiddenWhileThePageIsNotFull) {
    EXPECT_TRUE(list->thumbBar()->isVisible());
    const int fullWidth = list->viewport()->width();
    endAllThreads();
    open(3);
    EXPECT_EQ(list->listModel()->rowCount(), 3);
    EXPECT_FALSE(list->isThumbVisible());
    EXPECT_FALSE(list->thumbBar()->isVisible());
    EXPECT_FALSE(list->verticalScrollBar()->isVisible());
    EXPECT_GT(list->viewport()->width(), fullWidth);
    EXPECT_FALSE(dragThumb(list, 50));
    // Past the last of three rows the window is asked, and has nothing more.
    key(Qt::Key_End);
    key(Qt::Key_Down);
    EXPECT_EQ(actions(), (QList<int>{ScrollBottom, ScrollLineDown}));
    EXPECT_EQ(list->currentRow(), 2);
}

TEST_F(PagedList, RowsAreWorkedWithTheMouseAsAUserDoes) {
    ASSERT_TRUE(selectRowByKey(list, 0, songTitle(3)));
    settle();
    EXPECT_EQ(window->currentSong(), 3);
    EXPECT_FALSE(selectRowByKey(list, 0, songTitle(lines + 5)));   // not on the page

    window->seen.clear();
    ASSERT_TRUE(rightClickRow(list, 1));
    settle();
    EXPECT_TRUE(window->seen.contains(EventKind::MouseRightUp));
    EXPECT_EQ(window->currentSong(), 1);

    window->seen.clear();
    ASSERT_TRUE(doubleClickRow(list, 4));
    settle();
    EXPECT_TRUE(window->seen.contains(EventKind::Accepted));
    EXPECT_EQ(window->currentSong(), 4);
}
