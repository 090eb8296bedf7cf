// The list views shown offscreen: a dragged column order kept across a reopen, owner drawing
// through the events, a virtual list that asks only for the rows it shows, the agent's list.
#include "agent/extlistview.h"
#include "agent/fmcddb.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace tbk::agent;

namespace {

const QString kKey = QStringLiteral("Software\\TuneBank\\Drag");

std::unique_ptr<ExtendedListView> openSavingList() {
    auto l = std::make_unique<ExtendedListView>();
    l->SaveSettings().AutoSave = true;
    l->SaveSettings().RegistryKey = kKey;
    l->setColumns({"Category", "Disc ID", "Title"}, {100, 100, 300});
    l->setExtendedStyles(lvxHeaderDragDrop | lvxGridLines | lvxFullRowSelect);
    l->Loaded();
    l->resize(520, 160);
    l->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(l.get()));
    return l;
}

// Presses at one point of the header, moves in steps and lets go at another.
void dragHeader(QHeaderView *h, QPoint from, QPoint to) {
    QWidget *v = h->viewport();
    QTest::mousePress(v, Qt::LeftButton, {}, from);
    for (int i = 1; i <= 10; ++i)
        QTest::mouseMove(v, from + (to - from) * i / 10);
    QTest::mouseRelease(v, Qt::LeftButton, {}, to);
}

void fillRows(CustomEnhancedListView &l, int rows) {
    for (int r = 0; r < rows; ++r)
        l.addRow(QStringLiteral("cap%1").arg(r), r == rows - 1 ? QStringList{"only one"}
                                                                : QStringList{"one", "two"});
}

} // namespace

TEST(ListWidget, DraggedHeaderOrderAndWidthsComeBackAfterAReopen) {
    {
        auto l = openSavingList();
        QHeaderView *h = l->horizontalHeader();
        const int y = h->height() / 2;
        // The first column dragged behind the last, then the divider after "Title" pulled left.
        dragHeader(h, {50, y}, {h->length() - 5, y});
        ASSERT_EQ(l->ColumnOrder(), QList<int>({1, 2, 0}));
        const int divider = h->sectionViewportPosition(2) + h->sectionSize(2) - 1;
        dragHeader(h, {divider, y}, {divider - 120, y});
        EXPECT_EQ(l->columnWidth(2), 180);
        l->close();
    }
    auto l = openSavingList();
    EXPECT_EQ(l->ColumnOrder(), QList<int>({1, 2, 0}));
    EXPECT_EQ(l->horizontalHeader()->logicalIndex(0), 1);
    EXPECT_EQ(l->columnWidth(2), 180);
    EXPECT_EQ(l->columnWidth(0), 100);
    // Owner drawing and item texts follow the displayed order.
    l->addRow("rock", {"0801f802", "Artist / Album"});
    EXPECT_EQ(l->ItemColumnText(0, 0), "0801f802");
    EXPECT_EQ(l->ItemColumnText(0, 2), "rock");
}

TEST(ListWidget, OwnerDrawnItemsAndHeaderRaiseTheirEvents) {
    ExtendedListView l;
    l.setColumns({"A", "B", "C"}, {80, 80, 80});
    fillRows(l, 4);
    l.setExtendedStyles(lvxFullRowSelect);
    l.OnMeasureItem = [](CustomEnhancedListView *, int &h) { h = 24; };
    QList<int> items;
    QList<bool> fullRowAtStart;
    QSet<std::pair<int, int>> subItems;
    QList<int> after;
    l.OnDrawItem = [&](CustomEnhancedListView *, QPainter *canvas, int index, const QRect &rect,
                       QStyle::State, bool &defaultDrawing, bool &fullRowSelect) {
        items << index;
        fullRowAtStart << fullRowSelect;
        EXPECT_EQ(rect.width(), 240);
        EXPECT_EQ(rect.height(), 24);
        if (index == 0)
            canvas->fillRect(rect, Qt::red);   // drawn by the program alone
        else
            defaultDrawing = true;
    };
    l.OnDrawSubItem = [&](CustomEnhancedListView *, QPainter *, int index, int sub, const QRect &,
                          QStyle::State, bool &defaultDrawing) {
        subItems.insert({index, sub});
        defaultDrawing = true;
    };
    l.OnAfterDefaultDrawItem = [&](CustomEnhancedListView *, QPainter *, int index, const QRect &,
                                   QStyle::State) { after << index; };
    QList<std::pair<int, bool>> sections;
    l.setOnDrawHeader([&](CustomEnhancedListView *, QPainter *, int index, const QRect &, bool sel,
                          bool &defaultDrawing) {
        sections << std::pair{index, sel};
        defaultDrawing = index != 1;
    });
    l.setStyle(lvOwnerDrawFixed);
    EXPECT_EQ(l.verticalHeader()->defaultSectionSize(), 24);
    l.Loaded();
    l.resize(300, 200);
    const QImage shot = l.grab().toImage();

    EXPECT_EQ(items, QList<int>({0, 1, 2, 3}));   // once per row, not per cell
    EXPECT_EQ(fullRowAtStart, QList<bool>({true, true, true, true}));
    EXPECT_EQ(after, QList<int>({1, 2, 3}));
    EXPECT_EQ(subItems, (QSet<std::pair<int, int>>{{1, 0}, {1, 1}, {1, 2}, {2, 0}, {2, 1}, {2, 2},
                                                   {3, 0}, {3, 1}}));   // row 3 has no "C"
    EXPECT_EQ(sections, (QList<std::pair<int, bool>>{{0, false}, {1, false}, {2, false}}));
    const QPoint inRow0 = l.viewport()->mapTo(&l, QPoint(120, 12));
    EXPECT_EQ(shot.pixelColor(inRow0 * shot.devicePixelRatio()), QColor(Qt::red));
}

TEST(ListWidget, SortArrowsAndHeaderImagesAreDrawn) {
    ExtendedListView l;
    ImageList images;
    QPixmap green(12, 12);
    green.fill(Qt::green);
    images.add(green);
    l.setColumns({"Name", "Size"}, {120, 120});
    l.addRow("b", {"1"});
    l.addRow("a", {"2"});
    l.setSmallImages(&images);
    l.setAutoColumnSort(acsSort);
    l.Loaded();
    l.resize(300, 120);
    auto header = [&] { return l.horizontalHeader()->grab().toImage(); };
    auto countColour = [](const QImage &img, const QRect &r, QColor c) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += img.pixelColor(x, y) == c;
        return n;
    };
    l.setAutoColumnSort(acsNoSort);
    l.setShowSortArrows(true);
    const QImage plain = header();   // owner-drawn, no arrow without sorting
    l.setAutoColumnSort(acsSort);
    const QImage withArrow = header();
    const QRect first(0, 0, 120, plain.height()), second(120, 0, 120, plain.height());
    EXPECT_NE(withArrow.copy(first), plain.copy(first));     // the sorted column shows its arrow
    EXPECT_EQ(withArrow.copy(second), plain.copy(second));
    l.setReverseSortArrows(true);
    EXPECT_NE(header().copy(first), withArrow.copy(first));

    // An image in the second column's header, owner-drawn or not.
    l.ColumnsFormat().Add();
    EXPECT_EQ(countColour(header(), second, Qt::green), 0);   // no image index yet
    ExtendedListColumn &format = l.ColumnsFormat().Add();
    format.setImageIndex(0);
    EXPECT_EQ(countColour(header(), second, Qt::green), 144);
    l.setShowSortArrows(false);
    EXPECT_TRUE(l.ColumnFormatApplies(1));
    const QImage right = header();
    EXPECT_EQ(countColour(right, second, Qt::green), 144);
    format.setImageAlignment(ciaLeftOfText);
    const QImage left = header();
    EXPECT_EQ(countColour(left, second, Qt::green), 144);
    EXPECT_EQ(countColour(left, QRect(120, 0, 30, left.height()), Qt::green), 144);
    EXPECT_EQ(countColour(right, QRect(120, 0, 30, right.height()), Qt::green), 0);
    images.clear();   // the image list's change reaches the header
    EXPECT_EQ(countColour(header(), second, Qt::green), 0);
}

TEST(ListWidget, AVirtualListAsksOnlyForTheRowsItShows) {
    ExtendedListView l;
    l.setColumns({"Item", "Sub"}, {100, 100});
    l.setVirtualMode(true);
    l.setItemCount(100000);
    QSet<int> asked;
    QSet<int> masks;
    l.OnVMGetItemInfo = [&](ExtendedListView *, int item, int sub, int mask, int &, qintptr &,
                            int &state, int &, QString &text) {
        asked.insert(item);
        masks.insert(mask);
        if (mask & vmText)
            text = sub == 0 ? QStringLiteral("Item %1").arg(item) : QStringLiteral("Sub %1").arg(item);
        if (mask & vmState)
            state = item % 2 ? isUnchecked : isChecked;
    };
    QList<VMCacheHint> hints;
    l.OnVMCacheHint = [&](ExtendedListView *, const VMCacheHint &h) { hints << h; };
    l.Loaded();
    l.resize(260, 200);
    l.grab();
    ASSERT_EQ(l.rowCount(), 100000);
    const int last = l.rowAt(l.viewport()->height() - 1);
    ASSERT_GT(last, 3);
    ASSERT_FALSE(asked.isEmpty());
    EXPECT_EQ(*std::max_element(asked.begin(), asked.end()), last);
    EXPECT_EQ(*std::min_element(asked.begin(), asked.end()), 0);
    EXPECT_EQ(masks, QSet<int>({vmText}));
    ASSERT_FALSE(hints.isEmpty());
    EXPECT_EQ(hints.last().From, 0);
    EXPECT_EQ(hints.last().To, last);

    asked.clear();
    l.verticalScrollBar()->setValue(l.verticalScrollBar()->maximum());
    l.grab();
    ASSERT_FALSE(asked.isEmpty());
    EXPECT_GE(*std::min_element(asked.begin(), asked.end()), 100000 - (last + 2));
    EXPECT_EQ(hints.last().To, 99999);
    EXPECT_EQ(l.row(99998)->subItems, QStringList({"Sub 99998"}));

    // Check boxes come from the item's state; the count can shrink.
    l.setExtendedStyles(lvxCheckboxes);
    EXPECT_EQ(l.items()->index(4, 0).data(Qt::CheckStateRole), Qt::Checked);
    EXPECT_EQ(l.items()->index(5, 0).data(Qt::CheckStateRole), Qt::Unchecked);
    EXPECT_TRUE(masks.contains(vmState));
    l.setItemCount(10, icfNoScroll);
    EXPECT_EQ(l.rowCount(), 10);
    EXPECT_EQ(l.ItemCountFlags(), icfNoScroll);
}

TEST(ListWidget, VirtualSearchStateChangesAndActivation) {
    ExtendedListView l;
    l.setColumns({"Item"}, {100});
    l.setVirtualMode(true);
    l.setItemCount(1000);
    l.OnVMGetItemInfo = [](ExtendedListView *, int item, int, int, int &, qintptr &, int &, int &,
                           QString &text) { text = QString::number(item); };
    QList<VMFindInfo> finds;
    l.OnVMFindItem = [&](ExtendedListView *, const VMFindInfo &f, int &found) {
        finds << f;
        EXPECT_EQ(found, -1);
        found = f.Text == "42" ? 42 : -1;
    };
    QList<VMStateInfo> states;
    l.OnVMStateChanged = [&](ExtendedListView *, const VMStateInfo &s) { states << s; };
    int activated = 0;
    l.OnItemActivate = [&](ExtendedListView *) { ++activated; };
    l.Loaded();
    l.resize(200, 150);
    l.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&l));
    l.setFocus();
    QTest::keyClicks(&l, "42");
    ASSERT_EQ(finds.size(), 2);
    EXPECT_EQ(finds[0].Text, "4");
    EXPECT_EQ(finds[1].Text, "42");
    EXPECT_EQ(l.currentIndex().row(), 42);
    EXPECT_EQ(l.SelectionMark(), 42);
    ASSERT_FALSE(states.isEmpty());
    EXPECT_EQ(states.last().From, 42);
    EXPECT_EQ(states.last().To, 42);
    EXPECT_EQ(states.last().NewState, isSelected);
    QTest::keyClick(&l, Qt::Key_Return);
    EXPECT_EQ(activated, 1);
    // Leaving virtual mode clears the list.
    l.setVirtualMode(false);
    EXPECT_EQ(l.rowCount(), 0);
    EXPECT_EQ(l.ItemCount(), 0);
}

TEST(ListWidget, HotTrackingAndClickActivation) {
    ExtendedListView l;
    l.setColumns({"A"}, {100});
    fillRows(l, 5);
    l.setExtendedStyles(lvxUnderlineHot);
    QList<int> hot;
    l.OnHotTrack = [&](ExtendedListView *, int &item, int, QPoint, bool &allow) {
        hot << item;
        allow = item != 2;
    };
    int activated = 0;
    l.OnItemActivate = [&](ExtendedListView *) { ++activated; };
    l.Loaded();
    l.resize(200, 150);
    l.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&l));
    const auto rowPoint = [&](int r) { return l.visualRect(l.items()->index(r, 0)).center(); };
    QTest::mouseMove(l.viewport(), rowPoint(1));
    EXPECT_EQ(l.hotItem(), 1);
    QStyleOptionViewItem opt;
    l.adjustCellOption(opt, l.items()->index(1, 0));
    EXPECT_TRUE(opt.font.underline());
    QTest::mouseMove(l.viewport(), rowPoint(2));
    EXPECT_EQ(l.hotItem(), -1);   // refused
    EXPECT_EQ(hot, QList<int>({1, 2}));
    QTest::mouseClick(l.viewport(), Qt::LeftButton, {}, rowPoint(3));
    EXPECT_EQ(activated, 1);   // one click activates
    l.setExtendedStyles(lvxTwoClickActivate);
    QTest::mouseClick(l.viewport(), Qt::LeftButton, {}, rowPoint(4));
    EXPECT_EQ(activated, 1);   // the first click selects
    QTest::mouseClick(l.viewport(), Qt::LeftButton, {}, rowPoint(4));
    EXPECT_EQ(activated, 2);   // the second activates
}

TEST(ListWidget, TheAgentsListShowsGridLinesAndSelectsWholeRows) {
    TfmCDDB f;
    ExtendedListView *l = f.Results;
    EXPECT_EQ(l->ExtendedStyles(), lvxGridLines | lvxFullRowSelect);
    EXPECT_TRUE(l->showGrid());
    EXPECT_EQ(l->LastColumnClicked(), 0);
    EXPECT_EQ(l->AutoColumnSort(), acsNoSort);
    EXPECT_FALSE(l->SaveSettings().AutoSave);
    EXPECT_FALSE(l->VirtualMode());
    EXPECT_EQ(l->columnWidth(0), 100);
    EXPECT_EQ(l->columnWidth(1), 100);
    EXPECT_EQ(l->columnWidth(2), 300);
    EXPECT_EQ(l->items()->headerData(2, Qt::Horizontal, Qt::DisplayRole), "Title");
    f.show();   // clears the list
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    l->addRow("rock", {"0801f802", "B"});
    l->addRow("blues", {"12345678", "A"});
    emit l->horizontalHeader()->sectionClicked(0);   // no sorting on a click
    EXPECT_EQ(l->row(0)->caption, "rock");
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {},
                      l->visualRect(l->items()->index(1, 2)).center());
    EXPECT_EQ(l->selectedRow()->caption, "blues");
    EXPECT_EQ(l->selectionModel()->selectedIndexes().size(), 3);
    QStyleOptionViewItem opt;
    opt.state = QStyle::State_Selected;
    l->adjustCellOption(opt, l->items()->index(1, 2));
    EXPECT_TRUE(opt.state & QStyle::State_Selected);   // drawn selected across the row
}
