#include "impex/listboxformat.h"

#include "runtime/settings/profile.h"
#include "runtime/ui/listcontrol.h"
#include "support/qstringprint.h"

#include <QHeaderView>
#include <QTest>
#include <gtest/gtest.h>

#include <ostream>

namespace tbk {
namespace {

// Title (text), a colour column, BPM (number, icon), Year (hidden at first), Notes (not sortable).
constexpr XploreColumn kTable[] = {
    {"MUS:Title", "Song title", 120, "Title", "@s40", 'L', true, false, false, true, true},
    {"MUS:Artist", "Artist", 100, "Artist", "@s30", 'L', true, true, false, true, true},
    {"MUS:BPM", "Beats per minute", 24, "BPM", "@n3", 'R', true, false, true, true, false},
    {"MUS:Year", "Year", 20, "Year", "@n4", 'R', false, false, false, true, true},
    {"MUS:Notes", "Notes", 80, "Notes", "@s80", 'L', true, false, false, false, false},
};

QStringList fieldNames(const ColumnQueue &q) {
    QStringList out;
    for (const ColumnRecord &r : q)
        out << QStringLiteral("%1:%2#%3").arg(r.displayPosition).arg(r.fieldName).arg(r.fieldNumber);
    return out;
}

class ListboxFormatTest : public testing::Test {
protected:
    void SetUp() override {
        UnpackColumnTable(shown, all, kTable);
        design = BuildFormatString(shown);
    }
    ColumnQueue shown;
    FieldColumnQueue all;
    QString design;
};

TEST_F(ListboxFormatTest, UnpackNumbersFieldsPastColourAndIconColumns) {
    EXPECT_EQ(fieldNames(all), (QStringList{"0:MUS:Title#1", "0:MUS:Artist#2", "0:MUS:BPM#7",
                                            "0:MUS:Year#9", "0:MUS:Notes#10"}));
    EXPECT_EQ(fieldNames(shown), (QStringList{"1:MUS:Title#1", "2:MUS:Artist#2", "3:MUS:BPM#7", "4:MUS:Notes#10"}));
    EXPECT_FALSE(all[3].shown);
    EXPECT_EQ(design, "120LM|~Title~L@s40@#1#100L*M|~Artist~L@s30@#2#24RIM|~BPM~R@n3@#7#80LM|~Notes~L@s80@#10#");
}

TEST_F(ListboxFormatTest, FormatStringRoundTripsWithEditedProperties) {
    shown[1].header = "Band";
    shown[1].width = 64;
    shown[1].dataIndent = 2;
    shown[1].headerJustification = u'C';
    shown[1].headerIndent = 3;
    shown[1].fixed = true;
    shown[1].rightBorder = false;
    shown[2].picture.clear();
    const QString text = BuildFormatString(shown);
    EXPECT_TRUE(text.contains("64L(2)*FM~Band~C(3)@s30@#2#")) << text.toStdString();
    EXPECT_TRUE(text.contains("@S20@#7#")) << text.toStdString();

    ColumnQueue back;
    ASSERT_TRUE(ParseFormatString(text, all, back));
    EXPECT_EQ(fieldNames(back), fieldNames(shown));
    EXPECT_EQ(back[1].header, "Band");
    EXPECT_EQ(back[1].width, 64);
    EXPECT_EQ(back[1].dataIndent, 2);
    EXPECT_EQ(back[1].headerIndent, 3);
    EXPECT_TRUE(back[1].fixed && back[1].colour && !back[1].rightBorder);
    EXPECT_TRUE(back[2].icon);
    EXPECT_EQ(BuildFormatString(back), text);
}

TEST_F(ListboxFormatTest, ColumnsWithoutFieldMarksCountColourAndIconFields) {
    // Artist carries colours (fields 2 to 6), BPM an icon (7, 8): Year is field 9.
    ColumnQueue back;
    ASSERT_TRUE(ParseFormatString("40L~T~@s40@100L*~A~@s30@24RI~B~@n3@20R~Y~@n4@", all, back));
    EXPECT_EQ(fieldNames(back), (QStringList{"1:MUS:Title#1", "2:MUS:Artist#2", "3:MUS:BPM#7", "4:MUS:Year#9"}));
    EXPECT_TRUE(all[3].shown);
    EXPECT_FALSE(all[4].shown);
}

TEST_F(ListboxFormatTest, UnknownFieldOrEmptyFormatIsRefusedAndChangesNothing) {
    const ColumnQueue before = shown;
    EXPECT_FALSE(ParseFormatString("40L~T~@s40@#1#30L~X~@s9@#42#", all, shown));
    EXPECT_FALSE(ParseFormatString("garbage", all, shown));
    EXPECT_FALSE(ParseFormatString("", all, shown));
    EXPECT_EQ(fieldNames(shown), fieldNames(before));
    EXPECT_TRUE(all[0].shown && !all[3].shown);
}

TEST_F(ListboxFormatTest, HidingAllAndAddingBackRenumbersPositions) {
    shown.clear();
    EXPECT_EQ(BuildFormatString(shown), "");
    shown.append(all[3]);
    shown.append(all[0]);
    const QString text = BuildFormatString(shown);
    EXPECT_EQ(shown[0].displayPosition, 1);
    EXPECT_EQ(shown[1].displayPosition, 2);
    ColumnQueue back;
    ASSERT_TRUE(ParseFormatString(text, all, back));
    EXPECT_EQ(fieldNames(back), (QStringList{"1:MUS:Year#9", "2:MUS:Title#1"}));
}

TEST_F(ListboxFormatTest, SortTerms) {
    EXPECT_EQ(BuildSortOrder(shown, 1), "UPPER(MUS:Title)");
    EXPECT_EQ(BuildSortOrder(shown, 3), "MUS:BPM");
    shown[0].descending = shown[2].descending = true;
    EXPECT_EQ(BuildSortOrder(shown, 1), "-UPPER(MUS:Title)");
    EXPECT_EQ(BuildSortOrder(shown, 3), "-MUS:BPM");
    shown[0].picture = "@S40";   // the type letter in either case
    shown[0].descending = false;
    EXPECT_EQ(BuildSortOrder(shown, 1), "UPPER(MUS:Title)");
    EXPECT_EQ(BuildSortOrder(shown, 4), "") << "Notes cannot be ordered";
    EXPECT_EQ(BuildSortOrder(shown, 0), "");
    EXPECT_EQ(BuildSortOrder(shown, 5), "");
}

// The keys of the list under section "Xplore", suffix "?Browse".
class ListboxSettingsTest : public ListboxFormatTest {
protected:
    void SetUp() override {
        ListboxFormatTest::SetUp();
        list.resize(400, 200);
        list.setFormat(design);
        record.BSALLOWBBRESIZE = true;
    }
    QString ini(const char *prefix) {
        return getIni("Xplore", QLatin1String(prefix) + "?Browse", "<none>", ".\\POSITION.INI");
    }
    void close(int prevCol) {
        SaveOrigFormatString("Xplore", "?Browse", record);
        SaveListboxFormat("Xplore", "?Browse", list, prevCol);
    }
    ListControl list;
    ListFormatRecord record;
};

TEST_F(ListboxSettingsTest, FirstRunKeepsDesignAndClosingWritesEveryKey) {
    RestoreListboxFormat(list, record, "Xplore", "?Browse", all, shown);
    EXPECT_EQ(record.BSORIGFORMATSTRING, design);
    EXPECT_EQ(record.BSPREVCOL, 1);
    EXPECT_EQ(list.format(), design);
    close(record.BSPREVCOL);
    const QStringList keys = iniEntries("Xplore", ".\\POSITION.INI");
    EXPECT_EQ(keys.size(), 14) << keys.join(',').toStdString();
    EXPECT_EQ(ini("XploreOrigFormatString-"), design);
    EXPECT_EQ(ini("XploreFormatString-"), design);
    EXPECT_EQ(ini("XplorePrevCol-"), "1");
    EXPECT_EQ(ini("XploreWidth-"), "400");
}

TEST_F(ListboxSettingsTest, SavedLayoutIsRestoredOnlyWhileTheDesignIsUnchanged) {
    RestoreListboxFormat(list, record, "Xplore", "?Browse", all, shown);
    shown.removeAt(1);   // Artist hidden
    shown[0].header = "Song";
    list.setFormat(BuildFormatString(shown));
    list.setLineHeight(30);
    list.resize(300, 150);
    close(3);
    const QString edited = list.format();

    ListControl again;
    again.resize(400, 200);
    again.setFormat(design);
    ListFormatRecord r2;
    r2.BSALLOWBBRESIZE = true;
    ColumnQueue shown2;
    FieldColumnQueue all2;
    UnpackColumnTable(shown2, all2, kTable);
    RestoreListboxFormat(again, r2, "Xplore", "?Browse", all2, shown2);
    EXPECT_EQ(again.format(), edited);
    EXPECT_EQ(fieldNames(shown2), (QStringList{"1:MUS:Title#1", "2:MUS:BPM#7", "3:MUS:Notes#10"}));
    EXPECT_EQ(shown2[0].header, "Song");
    EXPECT_FALSE(all2[1].shown);
    EXPECT_EQ(again.lineHeightSetting(), 30);
    EXPECT_EQ(again.width(), 300);
    EXPECT_EQ(r2.BSPREVCOL, 3);

    // A new design ignores the layout once, keeps the saved sort column, and records itself.
    ListControl changed;
    const QString newDesign = design + "20R~Year~R@n4@#9#";
    changed.setFormat(newDesign);
    ListFormatRecord r3;
    UnpackColumnTable(shown2, all2, kTable);
    RestoreListboxFormat(changed, r3, "Xplore", "?Browse", all2, shown2);
    EXPECT_EQ(changed.format(), newDesign);
    EXPECT_EQ(changed.lineHeightSetting(), 0);
    EXPECT_EQ(r3.BSORIGFORMATSTRING, newDesign);
    EXPECT_EQ(r3.BSPREVCOL, 3);
}

TEST_F(ListboxSettingsTest, HandEditedFormatThatIsNotOursLeavesTheDesign) {
    RestoreListboxFormat(list, record, "Xplore", "?Browse", all, shown);
    close(2);
    putIni("Xplore", "XploreFormatString-?Browse", "50L~Gone~@s5@#77#", ".\\POSITION.INI");
    ListControl again;
    again.setFormat(design);
    ListFormatRecord r2;
    RestoreListboxFormat(again, r2, "Xplore", "?Browse", all, shown);
    EXPECT_EQ(again.format(), design);
    EXPECT_EQ(shown.size(), 4);
    EXPECT_EQ(r2.BSPREVCOL, 2);
}

TEST_F(ListboxSettingsTest, FitNeverNarrowsAndTheLastColumnTakesWhatIsLeft) {
    list.show();
    ReadColumnProperties(list, shown);
    const int lastOwn = list.header()->sectionSize(3);
    int sortColumn = 0;
    list.resize(2000, 200);
    FitColumnWidths(list, shown, sortColumn, 7);
    EXPECT_EQ(sortColumn, 3) << "BPM, field 7, is shown third";
    const QHeaderView *h = list.header();
    EXPECT_EQ(h->sectionPosition(3) + h->sectionSize(3), list.viewport()->width());
    EXPECT_GT(h->sectionSize(3), lastOwn);

    // A window narrower than the columns cuts none of them, nor do the saved widths shrink.
    const QList<int> before{h->sectionSize(0), h->sectionSize(1), h->sectionSize(2), h->sectionSize(3)};
    list.resize(80, 200);
    sortColumn = 0;
    FitColumnWidths(list, shown, sortColumn, 42);
    EXPECT_EQ(sortColumn, 0) << "field 42 is not shown";
    EXPECT_EQ((QList<int>{h->sectionSize(0), h->sectionSize(1), h->sectionSize(2), h->sectionSize(3)}), before);
    ColumnQueue saved;
    ASSERT_TRUE(ParseFormatString(list.format(), all, saved));
    EXPECT_EQ(saved[0].width, 120);
    EXPECT_EQ(saved[1].width, 100);
}

TEST_F(ListboxSettingsTest, ApplyGivesBackTheDesign) {
    RestoreListboxFormat(list, record, "Xplore", "?Browse", all, shown);
    ListFormatRecord designRecord = record;
    shown.removeAt(0);
    list.setFormat(BuildFormatString(shown));
    list.setLineHeight(40);
    designRecord.BSHEIGHT = 0;   // no place taken: the list keeps its own
    list.resize(250, 120);
    ApplyListboxFormat(list, shown, all, designRecord);
    EXPECT_EQ(list.format(), design);
    EXPECT_EQ(list.lineHeightSetting(), 0);
    EXPECT_EQ(list.width(), 250);
    EXPECT_EQ(fieldNames(shown), (QStringList{"1:MUS:Title#1", "2:MUS:Artist#2", "3:MUS:BPM#7", "4:MUS:Notes#10"}));
    EXPECT_TRUE(all[0].shown);
}

TEST_F(ListboxSettingsTest, HeaderHitsCellsBordersAndRows) {
    list.show();
    const QHeaderView *h = list.header();
    const int y = h->geometry().center().y();
    const int x0 = h->geometry().x();
    const HeaderHit cell = headerHitAt(list, {x0 + h->sectionSize(0) / 2, y});
    EXPECT_TRUE(cell.cell());
    EXPECT_EQ(cell.column, 0);
    const HeaderHit border = headerHitAt(list, {x0 + h->sectionSize(0) - 1, y});
    EXPECT_TRUE(border.headerRow && border.border && !border.cell());
    const HeaderHit row = headerHitAt(list, {x0 + 10, h->geometry().bottom() + 10});
    EXPECT_FALSE(row.headerRow);

    QFrame *marker = CreateHeaderMarker(list);
    EXPECT_TRUE(marker->isHidden());
    EXPECT_FALSE(marker->isEnabled());
    EXPECT_EQ(MarkPressedHeader(list, shown, marker, {x0 + h->sectionSize(0) / 2, y}), 1);
    EXPECT_TRUE(marker->isVisible());
    marker->hide();
    // BPM's header is not clickable.
    const int bpm = x0 + h->sectionPosition(2) + h->sectionSize(2) / 2;
    EXPECT_EQ(MarkPressedHeader(list, shown, marker, {bpm, y}), 0);
    EXPECT_TRUE(marker->isHidden());
}

TEST_F(ListboxSettingsTest, HookTellsAHeaderClickFromBordersRowsAndReleasesOutside) {
    list.show();
    ListboxHook *hook = SubclassListbox(list);
    QWidget *head = list.header()->viewport();
    const QHeaderView *h = list.header();
    const int y = head->height() / 2;
    const QPoint title(h->sectionSize(0) / 2, y);
    auto click = [&](QWidget *down, QPoint at, QWidget *up, QPoint to) {
        QTest::mousePress(down, Qt::LeftButton, {}, at);
        QTest::mouseRelease(up, Qt::LeftButton, {}, to);
    };
    click(head, title, head, title);
    EXPECT_TRUE(hook->headerClicked());
    EXPECT_EQ(hook->pressedAt(), head->mapTo(&list, title));
    // Released on the rows, still over the columns: it counts.
    click(head, title, head, QPoint(title.x(), y + 40));
    EXPECT_TRUE(hook->headerClicked());
    click(head, title, head, QPoint(title.x(), y + 1000));
    EXPECT_FALSE(hook->headerClicked()) << "released below the list";
    click(head, title, head, QPoint(-30, y));
    EXPECT_FALSE(hook->headerClicked()) << "released left of the list";
    click(head, QPoint(h->sectionSize(0) - 1, y), head, QPoint(h->sectionSize(0) - 1, y));
    EXPECT_FALSE(hook->headerClicked()) << "pressed on a sizing border";
    click(list.viewport(), QPoint(20, 5), list.viewport(), QPoint(20, 5));
    EXPECT_FALSE(hook->headerClicked()) << "pressed on a data row";
}

} // namespace
} // namespace tbk
