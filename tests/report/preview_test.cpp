// The page preview, worked offscreen as a user would.
#include "runtime/report/preview.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/scheduler.h"
#include "runtime/settings/profile.h"
#include "support/report/previewtesting.h"
#include "support/windows/controltesting.h"
#include "support/windows/windowtesting.h"

#include <QLabel>
#include <QScrollArea>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

using namespace tbk;
using namespace tbk::report;
using namespace tbk::report::test;
using namespace tbk::windowtest;

namespace {

class PreviewTest : public ::testing::Test {
protected:
    void TearDown() override { endAllThreads(); }

    // Opens the preview of that many pages on a thread of its own.
    QWidget *open(int pages, int zoomPercent = -1) {
        queue_ = numberedPages(pages);
        response_ = 0;
        thread_ = startThread([this, zoomPercent] {
            response_ = zoomPercent < 0 ? PreviewReport(queue_) : PRINTPREVIEW(queue_, zoomPercent, "RPTPREV.INI");
        });
        EXPECT_TRUE(runUntilIdle());
        return previewWindow(thread_);
    }
    // Sets the grid and the current page through the toolbar's spin boxes.
    void show(int across, int down, int page) {
        ASSERT_TRUE(typeInto(thread_, "Across", QString::number(across)));
        ASSERT_TRUE(typeInto(thread_, "Down", QString::number(down)));
        ASSERT_TRUE(typeInto(thread_, "Page", QString::number(page)));
    }
    int spin(const QString &name) {
        auto *s = qobject_cast<QSpinBox *>(findControl(activeWindow(thread_), name));
        return s ? s->value() : -1;
    }

    PreviewImageQueue queue_;
    int thread_ = 0;
    int response_ = 0;
};

} // namespace

TEST_F(PreviewTest, AOnePageReportShowsOneThumbnailWithTheViewMenuAndSpinBoxesDisabled) {
    QWidget *w = open(1);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), "Report Preview");
    const PreviewState s = previewState(w);
    EXPECT_EQ(s.pageText, "Page 1 of 1");
    EXPECT_EQ(s.zoomText, "No Zoom");
    EXPECT_EQ(s.thumbnails, QList<int>{1});
    EXPECT_FALSE(s.viewEnabled);
    for (const char *name : {"Page", "Across", "Down"})
        EXPECT_FALSE(findControl(w, name)->isEnabled()) << name;
    QTest::keyClick(w, Qt::Key_PageDown);   // does nothing
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(previewState(w).pageText, "Page 1 of 1");
    ASSERT_TRUE(pressButton(thread_, "Exit"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(response_, 2);
}

TEST_F(PreviewTest, SevenPagesTwoByTwoFromPageFiveHideTheFourthAndDisableNext) {
    QWidget *w = open(7);
    ASSERT_TRUE(w);
    EXPECT_EQ(findControl(w, "Page")->toolTip(), "Enter a page number from 1 to 7");
    show(2, 2, 5);
    PreviewState s = previewState(w);
    EXPECT_EQ(s.thumbnails, (QList<int>{5, 6, 7, 0}));
    EXPECT_EQ(s.pageText, "Pages 5-7 of 7");
    EXPECT_FALSE(s.nextEnabled);
    EXPECT_TRUE(s.previousEnabled);
    EXPECT_FALSE(previewCommand(w, "MenuNext"));

    // Previous from page 3 goes back to 1, not below.
    ASSERT_TRUE(typeInto(thread_, "Page", "3"));
    ASSERT_TRUE(previewCommand(w, "MenuPrevious"));
    s = previewState(w);
    EXPECT_EQ(s.pageText, "Pages 1-4 of 7");
    EXPECT_FALSE(s.previousEnabled);
    EXPECT_EQ(spin("Page"), 1);
    QTest::keyClick(w, Qt::Key_PageDown);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(previewState(w).thumbnails, (QList<int>{5, 6, 7, 0}));
    // The last page alone reads as one page.
    ASSERT_TRUE(typeInto(thread_, "Page", "7"));
    EXPECT_EQ(previewState(w).pageText, "Page 7 of 7");
}

TEST_F(PreviewTest, ClickingAThumbnailZoomsToItsPageAndClickingThePageReturnsToTheGrid) {
    QWidget *w = open(7);
    ASSERT_TRUE(w);
    show(2, 2, 4);
    ASSERT_TRUE(clickPage(w, 2));   // k = 2 at page 4
    PreviewState s = previewState(w);
    EXPECT_EQ(s.zoomedPage, 6);
    EXPECT_EQ(s.pageText, "Page 6 of 7");
    EXPECT_EQ(s.zoomText, "Zoom (Page Width)");
    EXPECT_TRUE(s.thumbnails.isEmpty());
    auto *area = w->findChild<QScrollArea *>("ZoomArea");
    EXPECT_EQ(area->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_LE(w->findChild<QLabel *>("ZoomImage")->width(), area->viewport()->width());
    // Next and Previous go one page at a time while zoomed.
    ASSERT_TRUE(previewCommand(w, "MenuPrevious"));
    EXPECT_EQ(previewState(w).zoomedPage, 5);

    ASSERT_TRUE(clickPage(w, -1));
    s = previewState(w);
    EXPECT_EQ(s.zoomText, "No Zoom");
    EXPECT_EQ(s.thumbnails, (QList<int>{5, 6, 7, 0}));

    // A change of Across while zoomed returns to the grid.
    ASSERT_TRUE(previewCommand(w, "MenuZoom5"));
    EXPECT_EQ(previewState(w).zoomText, "Zoom (100%)");
    ASSERT_TRUE(typeInto(thread_, "Across", "3"));
    s = previewState(w);
    EXPECT_EQ(s.zoomText, "No Zoom");
    EXPECT_EQ(s.thumbnails, (QList<int>{5, 6, 7, 0, 0, 0}));
}

TEST_F(PreviewTest, TheZoomButtonTicksTheChoiceInItsPopupAndSetsTheZoom) {
    QWidget *w = open(3);
    ASSERT_TRUE(w);
    ASSERT_TRUE(pressButton(thread_, "Zoom"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(menuItemTicked(thread_, "No Zoom"));
    EXPECT_FALSE(menuItemTicked(thread_, "100%"));
    ASSERT_TRUE(chooseMenuItem(thread_, "200%"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(previewState(w).zoomText, "Zoom (200%)");
    // 200% of a Letter page at the screen's resolution.
    EXPECT_EQ(w->findChild<QLabel *>("ZoomImage")->width(), qRound(8.5 * w->logicalDpiX() * 2));
    ASSERT_TRUE(pressButton(thread_, "Zoom"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(menuItemTicked(thread_, "200%"));
    ASSERT_TRUE(dismissMenu(thread_));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(previewState(w).zoomText, "Zoom (200%)");
}

TEST_F(PreviewTest, ValuesTypedBeyondTheLimitsArePutBackAtTheLimit) {
    QWidget *w = open(7);
    ASSERT_TRUE(w);
    ASSERT_TRUE(typeInto(thread_, "Across", "25"));
    EXPECT_EQ(spin("Across"), 10);
    ASSERT_TRUE(typeInto(thread_, "Down", "0"));
    EXPECT_EQ(spin("Down"), 1);
    ASSERT_TRUE(typeInto(thread_, "Page", "99"));
    EXPECT_EQ(spin("Page"), 7);
    EXPECT_EQ(previewState(w).thumbnails.size(), 10);
    EXPECT_EQ(previewState(w).pageText, "Page 7 of 7");
}

TEST_F(PreviewTest, JumpAndChangeDisplayWorkThroughTheirOwnWindows) {
    QWidget *w = open(7);
    ASSERT_TRUE(w);
    QAction *jump = w->findChild<QAction *>("MenuJump");
    jump->trigger();
    ASSERT_TRUE(runUntilIdle());
    QWidget *dialog = activeWindow(thread_);
    ASSERT_EQ(dialog->windowTitle(), "Jump to a Report Page");
    EXPECT_FALSE(w->isEnabled());   // modal to its thread
    ASSERT_TRUE(typeInto(thread_, "Page", "6"));
    ASSERT_TRUE(pressButton(thread_, "OK"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(previewState(w).pageText, "Page 6 of 7");
    jump->trigger();
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(typeInto(thread_, "Page", "2"));
    ASSERT_TRUE(pressButton(thread_, "Cancel"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(previewState(w).pageText, "Page 6 of 7");

    ASSERT_TRUE(previewCommand(w, "MenuChangeDisplay"));
    ASSERT_EQ(activeWindow(thread_)->windowTitle(), "Change the Report Display");
    ASSERT_TRUE(typeInto(thread_, "Across", "3"));
    ASSERT_TRUE(typeInto(thread_, "Down", "2"));
    ASSERT_TRUE(pressButton(thread_, "OK"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(previewState(w).thumbnails, (QList<int>{6, 7, 0, 0, 0, 0}));
    EXPECT_EQ(spin("Across"), 3);
    EXPECT_EQ(spin("Down"), 2);

    // A page beyond the last is the last, as the toolbar's spin box takes it.
    jump->trigger();
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(typeInto(thread_, "Page", "99"));
    ASSERT_TRUE(pressButton(thread_, "OK"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(previewState(w).pageText, "Page 7 of 7");
}

TEST_F(PreviewTest, EveryWayOutButPrintAnswersTwo) {
    const auto leave = [&](const std::function<void(QWidget *)> &how) {
        QWidget *w = open(2);
        EXPECT_TRUE(w);
        how(w);
        EXPECT_TRUE(runUntilIdle());
        EXPECT_FALSE(threadExists(thread_));
        return std::pair(response_, GlobalResponse);
    };
    EXPECT_EQ(leave([](QWidget *w) { previewCommand(w, "MenuExit"); }), std::pair(2, 2));
    EXPECT_EQ(leave([&](QWidget *) { pressButton(thread_, "Exit"); }), std::pair(2, 2));
    EXPECT_EQ(leave([](QWidget *w) { closeByUser(w); }), std::pair(2, 2));
    EXPECT_EQ(leave([&](QWidget *) { pressButton(thread_, "Print"); }), std::pair(1, 1));
    EXPECT_EQ(leave([](QWidget *w) { previewCommand(w, "MenuPrint"); }), std::pair(1, 1));

    // No page at all: answered at once, no window.
    PreviewImageQueue none;
    GlobalResponse = 1;
    EXPECT_EQ(PreviewReport(none), 2);
    EXPECT_EQ(GlobalResponse, 2);
}

TEST_F(PreviewTest, TheReportFramesPreviewOpensAtItsZoomAndKeepsItsPlaceInItsOwnFile) {
    QWidget *w = open(3, 100);
    ASSERT_TRUE(w);
    EXPECT_EQ(previewState(w).zoomText, "Zoom (100%)");
    EXPECT_EQ(previewState(w).zoomedPage, 1);
    ASSERT_TRUE(pressButton(thread_, "Exit"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_FALSE(getIni("PreviewReport", "Width", "", "RPTPREV.INI").isEmpty());
    EXPECT_TRUE(getIni("PreviewReport", "Width", "", ".\\POSITION.INI").isEmpty());
}

TEST(ThumbnailGrid, CellsKeepThePageAspectAndNeverShrinkBelowOneUnit) {
    // Width-bound: (400 - 5) / 2 = 197 wide, the height follows the aspect.
    EXPECT_EQ(thumbnailUnits(400, 600, 2, 2, 1.25), QSize(197, 246));
    // Height-bound: (300 - 18 - 5) / 2 = 138 high.
    EXPECT_EQ(thumbnailUnits(400, 300, 2, 2, 1.25), QSize(110, 138));
    // A short window: no cell of 0 or less.
    const QSize tiny = thumbnailUnits(20, 10, 10, 10, 1.3);
    EXPECT_GE(tiny.width(), 1);
    EXPECT_GE(tiny.height(), 1);
}
