#include "runtime/ui/listcontrol.h"
#include "support/windows/windowtesting.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
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
