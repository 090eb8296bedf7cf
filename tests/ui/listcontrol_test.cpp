#include "runtime/ui/listcontrol.h"
#include "runtime/values/dates.h"
#include "support/qstringprint.h"
#include "support/windows/listtesting.h"
#include "support/windows/windowtesting.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <gtest/gtest.h>

#include <set>

using namespace tbk;

namespace {

// Rows made up on demand, counting which rows were asked for.
class CountingRows : public ListRows {
public:
    explicit CountingRows(int n) : n_(n) {}
    int rowCount() const override { return n_; }
    QVariant field(int row, int field) const override {
        asked.insert(row);
        switch (field) {
        case 1: return QStringLiteral("Artist %1").arg(row);
        case 2: return qint64(row * 7);
        case 3: return QVariant();
        default: return QStringLiteral("f%1").arg(field);
        }
    }
    mutable std::set<int> asked;

private:
    int n_;
};

const QString kFormat = QStringLiteral("80L(2)|M~Artist~@s10@40R(2)|M~Plays~C(1)@n6@30L~Blank~@s5@");

} // namespace

TEST(ListControl, GivesBackItsFormatUnchangedUntilTheUserResizesAColumn) {
    ListControl list;
    list.setFormat(kFormat);
    EXPECT_EQ(list.format(), kFormat);
    list.resize(400, 200);
    list.show();
    EXPECT_EQ(list.format(), kFormat);
    list.header()->resizeSection(1, list.unitsToPixels(60));
    EXPECT_EQ(list.format(), "80L(2)|M~Artist~@s10@60R(2)|M~Plays~C(1)@n6@30L~Blank~@s5@");
    // A column narrower than the header's smallest section is shown wider, but kept as given.
    const QString narrow = QStringLiteral("2L(2)|M~S~@s1@80L(2)|M~Artist~@s10@");
    list.setFormat(narrow);
    ASSERT_GT(list.header()->sectionSize(0), list.unitsToPixels(2));
    EXPECT_EQ(list.format(), narrow);
}

TEST(ListControl, ShowsHeadersJustificationAndPictures) {
    CountingRows rows(3);
    ListControl list;
    list.setFormat(kFormat);
    list.setRows(&rows);
    QAbstractItemModelTester tester(list.listModel(), QAbstractItemModelTester::FailureReportingMode::Warning);
    auto *m = list.listModel();
    EXPECT_EQ(m->columnCount(), 3);
    EXPECT_EQ(m->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Artist");
    EXPECT_EQ(m->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    EXPECT_EQ(m->data(m->index(0, 1), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
    EXPECT_EQ(windowtest::listRows(&list),
              (QStringList{"Artist 0|     0|", "Artist 1|     7|", "Artist 2|    14|"}));
    EXPECT_EQ(list.header()->sectionResizeMode(0), QHeaderView::Interactive);
    EXPECT_EQ(list.header()->sectionResizeMode(2), QHeaderView::Fixed);
}

TEST(ListControl, GroupHeadersStandOverTheirFirstColumnAtAnyDepth) {
    ListControl list;
    list.setFormat(QStringLiteral("[10L[10L10L]~In~]~Out~10L~Last~"));
    auto *m = list.listModel();
    QStringList headers;
    for (int c = 0; c < m->columnCount(); ++c)
        headers << m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(headers, (QStringList{"Out", "In", "", "Last"}));
}

TEST(ListControl, AGroupHeaderCoversItsColumnsUpToOneWithAHeaderOfItsOwn) {
    ListControl list;
    auto spans = [&](const QString &format) {
        list.setFormat(format);
        QList<int> out;
        for (int c = 0; c < list.listModel()->columnCount(); ++c)
            out << list.listModel()->headerSpan(c);
        return out;
    };
    EXPECT_EQ(spans(QStringLiteral("[10L|@p(<)p@24L(1)|M@n3@](25)|M~Track~80L(2)|M~Artist~@s30@")),
              (QList<int>{2, 0, 1}));
    EXPECT_EQ(spans(QStringLiteral("[10L[10L10L]~In~]~Out~10L~Last~")), (QList<int>{1, 2, 0, 1}));
    // A member's own header ends the group's; a column after the group is no member.
    EXPECT_EQ(spans(QStringLiteral("[10L10L~Own~10L]~G~10L")), (QList<int>{1, 1, 1, 1}));
    EXPECT_EQ(spans(QStringLiteral("[10L10L]10L10L~H~")), (QList<int>{1, 1, 1, 1}));
    // The group's header justification is the one its header is drawn with.
    list.setFormat(QStringLiteral("[10L10L]~Track~R"));
    EXPECT_EQ(list.listModel()->headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>() &
                  Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
}

// The group's header is drawn as one column of the group's whole width would draw it: no "Trac"
// cut at its first column's edge, no divider inside the group, after a member is resized too.
TEST(ListControl, AGroupHeaderIsDrawnAcrossAllItsColumns) {
    auto headerImage = [](const QString &format, const QList<int> &widths) {
        ListControl list;
        list.setFormat(format);
        list.resize(400, 120);
        list.show();
        for (int i = 0; i < widths.size(); ++i)
            list.header()->resizeSection(i, widths[i]);
        windowtest::runUntilIdle();
        return list.header()->grab().toImage();
    };
    const QString group = QStringLiteral("[10L@p(<)p@24L(1)|M@n3@](25)|M~Track~80L~Artist~");
    const QString single = QStringLiteral("34L~Track~80L~Artist~");
    const QImage grouped = headerImage(group, {30, 40, 120});
    const QImage whole = headerImage(single, {70, 120});
    ASSERT_FALSE(grouped.isNull());
    EXPECT_EQ(grouped.copy(0, 0, 190, grouped.height()), whole.copy(0, 0, 190, whole.height()));
    EXPECT_EQ(headerImage(group, {30, 80, 120}).copy(0, 0, 230, grouped.height()),
              headerImage(single, {110, 120}).copy(0, 0, 230, whole.height()));
    // A member resized alone is saved alone.
    ListControl list;
    list.setFormat(group);
    list.header()->resizeSection(1, list.unitsToPixels(40));
    const ListFormat savedFormat = ListFormat::parse(list.format());
    const auto saved = savedFormat.displayColumns();
    ASSERT_EQ(saved.size(), 3);
    EXPECT_EQ(saved[1]->width, 40);
    EXPECT_EQ(saved[2]->width, 80);
    EXPECT_TRUE(savedFormat.columns()[0].isGroup);
}

TEST(ListControl, ASourceOfManyRowsIsAskedOnlyForWhatIsShown) {
    CountingRows rows(100000);
    ListControl list;
    list.setFormat(kFormat);
    list.setRows(&rows);
    list.resize(400, 300);
    list.show();
    windowtest::runUntilIdle();
    list.setCurrentRow(50000);
    list.scrollTo(list.listModel()->index(50000, 0));
    windowtest::runUntilIdle();
    EXPECT_EQ(list.listModel()->rowCount(), 100000);
    EXPECT_LT(rows.asked.size(), 200u);
    EXPECT_TRUE(rows.asked.count(50000));
}

namespace {

// A page the test refills by hand.
class PageRows : public ListRows {
public:
    int rowCount() const override { return int(titles.size()); }
    QVariant field(int row, int field) const override {
        if (row < 0 || row >= titles.size())
            return {};
        return field == 1 ? QVariant(titles[row]) : field == 3 ? QVariant(colours.value(row, -1)) : QVariant();
    }
    QStringList titles;
    QList<qint64> colours;
};

QList<std::pair<int, int>> ranges(const QSignalSpy &spy) {
    QList<std::pair<int, int>> out;
    for (const auto &args : spy)
        out.append({args.at(0).toModelIndex().row(), args.at(1).toModelIndex().row()});
    return out;
}

} // namespace

TEST(ListControlPage, ARefillRedrawsOnlyChangedRowsAndKeepsTheCurrentRow) {
    PageRows rows;
    rows.titles = {"A", "B", "C", "D", "E", "F"};
    ListControl list;
    // The second column's colours come from fields 3 to 6.
    list.setFormat(QStringLiteral("40L~Title~@s10@40L|*~Colour~@s10@"));
    list.setRows(&rows);
    list.setPaged(true);
    QAbstractItemModelTester tester(list.listModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    list.listModel()->pageChanged();
    list.setCurrentRow(3);
    QSignalSpy reset(list.listModel(), &QAbstractItemModel::modelReset);
    QSignalSpy changed(list.listModel(), &QAbstractItemModel::dataChanged);
    QSignalSpy removed(list.listModel(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(list.listModel(), &QAbstractItemModel::rowsInserted);

    rows.titles = {"A", "b", "c", "D", "E", "f"};
    rows.colours = {-1, -1, -1, -1, 0xFF};   // a colour alone changes row 4 too
    list.listModel()->pageChanged();
    EXPECT_EQ(ranges(changed), (QList<std::pair<int, int>>{{1, 2}, {4, 5}}));
    EXPECT_EQ(list.currentRow(), 3);

    changed.clear();
    list.listModel()->pageChanged();   // nothing new
    EXPECT_TRUE(changed.isEmpty());

    rows.titles = {"A", "b"};
    list.listModel()->pageChanged();
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed.front().at(1).toInt(), 2);
    EXPECT_EQ(removed.front().at(2).toInt(), 5);
    EXPECT_EQ(list.currentRow(), 1);   // the current row was cut off: the last one left
    EXPECT_EQ(windowtest::listRows(&list), (QStringList{"A|", "b|"}));

    rows.titles = {"Z", "b", "x", "y"};
    list.listModel()->pageChanged();
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.front().at(1).toInt(), 2);
    EXPECT_EQ(inserted.front().at(2).toInt(), 3);
    EXPECT_EQ(ranges(changed), (QList<std::pair<int, int>>{{0, 0}}));
    EXPECT_EQ(list.currentRow(), 1);

    rows.titles.clear();
    list.listModel()->pageChanged();
    EXPECT_EQ(list.currentRow(), -1);
    EXPECT_EQ(reset.count(), 0);
}

TEST(ListControlPage, TheThumbBarMovesOnlyWhereItIsPut) {
    ListControl list;
    list.setFormat(kFormat);
    list.setPaged(true);
    list.resize(400, 300);
    list.show();
    QSignalSpy asked(&list, &ListControl::scrollRequested);
    list.setThumb(40);
    list.setThumb(0);   // below the first stop: at the top
    EXPECT_EQ(list.thumb(), 1);
    list.setThumb(40);
    EXPECT_TRUE(asked.isEmpty());
    ASSERT_TRUE(windowtest::clickThumbBar(&list, QStyle::SC_ScrollBarAddLine));
    ASSERT_TRUE(windowtest::clickThumbBar(&list, QStyle::SC_ScrollBarAddPage));
    EXPECT_EQ(asked.count(), 2);
    // Until the window answers, the thumb stays where it was put.
    EXPECT_EQ(list.thumb(), 40);
}

TEST(ListControlPage, AListThatIsNotPagedScrollsItselfAsBefore) {
    CountingRows rows(100);
    ListControl list;
    list.setFormat(kFormat);
    list.setRows(&rows);
    list.resize(400, 200);
    list.show();
    windowtest::runUntilIdle();
    QSignalSpy asked(&list, &ListControl::scrollRequested);
    list.setCurrentRow(0);
    windowtest::pressListKey(&list, Qt::Key_PageDown);
    windowtest::turnWheel(&list, -120);
    windowtest::pressListKey(&list, Qt::Key_End);
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(list.currentRow(), 99);
    EXPECT_TRUE(list.verticalScrollBar()->isVisible());
    EXPECT_GT(list.verticalScrollBar()->value(), 0);
    EXPECT_EQ(list.thumbBar(), nullptr);

    // Paged and back again, the list is its own scroller once more.
    list.setPaged(true);
    EXPECT_FALSE(list.verticalScrollBar()->isVisible());
    list.setPaged(false);
    windowtest::runUntilIdle();
    EXPECT_TRUE(list.verticalScrollBar()->isVisible());
    EXPECT_FALSE(list.thumbBar()->isVisible());
}

TEST(ListControlPage, APageMovedByRowsLooksAsIfRedrawnWhole) {
    PageRows rows;
    auto read = [&](int first) {
        rows.titles.clear();
        for (int i = first; i < first + 8; ++i)
            rows.titles << QStringLiteral("Row %1").arg(i);
    };
    read(10);
    QWidget top;
    top.resize(300, 300);
    auto *list = new ListControl(&top);
    list->setFormat(QStringLiteral("60L(2)|M~Title~@s10@"));
    list->setPaged(true);
    list->setRows(&rows);
    list->listModel()->pageChanged();
    list->setGeometry(0, 0, 300, 300);
    top.show();
    list->setCurrentRow(3);
    windowtest::runUntilIdle();
    // What the screen shows: the window's backing store, moved pixels included.
    auto screen = [&] { return top.screen()->grabWindow(top.winId()).toImage(); };
    QSignalSpy shifted(list->listModel(), &ListModel::pageShifted);
    for (int first : {11, 14, 12, 12, 30}) {
        read(first);
        list->listModel()->pageChanged();
        windowtest::runUntilIdle();
        const QImage shown = screen();
        list->viewport()->repaint();
        windowtest::runUntilIdle();
        EXPECT_EQ(shown, screen()) << "page from row " << first;
    }
    // 11 to 14 to 12 are moves; the same page again and a page with nothing in common are not.
    EXPECT_EQ(shifted.count(), 3);
    EXPECT_EQ(list->currentRow(), 3);
}

// Dialog units follow the font's letters, not its narrower average glyph: a time column of 23
// units holds " 5:01" whole, where it once showed "5...".
TEST(ListControl, AColumnSizedInDialogUnitsHoldsTheTextItWasMadeFor) {
    struct TimeRows : ListRows {
        int rowCount() const override { return 1; }
        QVariant field(int, int) const override { return QStringLiteral(" 5:01"); }
    } rows;
    ListControl list;
    list.setFormat(QStringLiteral("23L(1)|M~Time~L(2)@s8@"));
    list.setRows(&rows);
    QStyleOptionViewItem option;
    option.initFrom(&list);
    const QSize whole = list.itemDelegate()->sizeHint(option, list.listModel()->index(0, 0));
    EXPECT_GE(list.header()->sectionSize(0), whole.width() + list.unitsToPixels(1));
    // Widths the user leaves alone come back as the same units.
    for (int units : {10, 23, 80, 200})
        EXPECT_EQ(list.pixelsToUnits(list.unitsToPixels(units)), units);
}

// Times, dates and numbers show whole in the list's font at the song list's widths, an hour-long
// time included, and so does a time the window makes into text; a width other than the
// design's is the user's and stays, while the format given back is the design's text.
TEST(ListControl, PictureColumnsShowTheirWidestValueWholeUnlessTheUserSetTheWidth) {
    struct SongRows : ListRows {
        int rowCount() const override { return 1; }
        QVariant field(int, int field) const override {
            const QVariant values[] = {timeOf(1, 2, 3), dayNumber(2001, 6, 17), 4, QStringLiteral("10:01")};
            return values[field - 1];
        }
    } rows;
    const QString design =
        QStringLiteral("23R(2)|M~Time~@t4b@36R(2)|M~Released~@d2@12R(2)|M~Track~@n3b@20L(1)|M~Length~@s8@");
    ListControl list;
    list.setFormat(design);
    list.setWidestText(3, QStringLiteral("99:59"));
    list.setRows(&rows);
    QStyleOptionViewItem option;
    option.initFrom(&list);
    auto whole = [&](int column, int indent) {
        const QSize text = list.itemDelegate()->sizeHint(option, list.listModel()->index(0, column));
        return list.header()->sectionSize(column) >= text.width() + list.unitsToPixels(indent);
    };
    EXPECT_EQ(list.rowTexts(0), (QStringList{"01:02:03", "06/17/2001", "  4", "10:01"}));
    EXPECT_TRUE(whole(0, 2));
    EXPECT_TRUE(whole(1, 2));
    EXPECT_TRUE(whole(2, 2));
    EXPECT_TRUE(whole(3, 1));
    EXPECT_EQ(list.format(), design);
    // Kept with the user's time width and the design's date width.
    list.setFormat(QStringLiteral("15R(2)|M~Time~@t4b@36R(2)|M~Released~@d2@12R(2)|M~Track~@n3b@20L(1)|M~Length~@s8@"));
    EXPECT_EQ(list.header()->sectionSize(0), std::max(list.unitsToPixels(15), list.header()->minimumSectionSize()));
    EXPECT_TRUE(whole(1, 2));
    EXPECT_TRUE(list.format().startsWith("15R(2)|M~Time~@t4b@36R(2)"));
}
