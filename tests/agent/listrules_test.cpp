// The list views' rules without showing them: the smart comparer, column-click sorting,
// sorting held by updates, saved widths and order, extended styles and the version check.
#include "agent/extlistview.h"
#include "runtime/settings/profile.h"

#include <QCollator>
#include <QHeaderView>
#include <gtest/gtest.h>

#include <memory>

using namespace tbk::agent;

namespace {

const QString kKey = QStringLiteral("Software\\TuneBank\\Matches");

QStringList column(const CustomEnhancedListView &l, int c) {
    QStringList out;
    for (int i = 0; i < l.rowCount(); ++i)
        out << columnText(*l.row(i), c);
    return out;
}

int compare(const QString &a, const QString &b, const char *locale = "en_US",
            AutoSortStyle style = assSmart) {
    const QLocale l{QLatin1String(locale)};
    QCollator collator(l);
    collator.setCaseSensitivity(Qt::CaseSensitive);
    return compareTexts(a, b, style, l, collator);
}

std::unique_ptr<ExtendedListView> savingList(int columns = 3) {
    auto l = std::make_unique<ExtendedListView>();
    l->SaveSettings().AutoSave = true;
    l->SaveSettings().RegistryKey = kKey;
    QStringList titles;
    for (int c = 0; c < columns; ++c)
        titles << QStringLiteral("C%1").arg(c);
    l->setColumns(titles, {100, 100, 300, 40});
    return l;
}

QString saved(const char *value) {
    return tbk::getIni(kKey + "\\Columns", QLatin1String(value), "<none>", kColumnsFile);
}

void save(const char *value, const QString &text) {
    tbk::putIni(kKey + "\\Columns", QLatin1String(value), text, kColumnsFile);
}

} // namespace

TEST(ListSorting, SmartComparerReadsDatesTimesAndNumbersBeforeText) {
    // Numbers by value only with the smart style; a number against a word is text.
    EXPECT_LT(compare("9", "10"), 0);
    EXPECT_GT(compare("9", "10", "en_US", assDefault), 0);
    EXPECT_LT(compare("-2.5", "1e3"), 0);
    EXPECT_LT(compare("10", "abc"), 0);
    EXPECT_GT(compare("2", "10 apples"), 0);       // not wholly a number: text
    EXPECT_LT(compare("1,000", "999"), 0);         // no group separators in a number: text
    EXPECT_EQ(compare("7", "7.0"), 0);
    // Dates and times in the locale's order and separators, ahead of numbers and text.
    EXPECT_LT(compare("12/31/2020", "1/5/2021"), 0);
    EXPECT_GT(compare("12/31/2020", "1/5/2021", "en_US", assDefault), 0);
    EXPECT_LT(compare("9:05", "10:30"), 0);
    EXPECT_GT(compare("11:59 PM", "12:30 AM"), 0);
    EXPECT_LT(compare("1/5/2021 9:00", "1/5/2021 10:00"), 0);
    EXPECT_LT(compare("31.12.2020", "5.1.2021", "de_DE"), 0);
    EXPECT_GT(compare("1.5", "12.4", "de_DE"), 0);   // 1 May after 12 April: dates, not numbers
    EXPECT_TRUE(readDateTime("1.5", QLocale("de_DE")).has_value());
    EXPECT_FALSE(readDateTime("1.5", QLocale("en_US")).has_value());
    // A text with a separator that does not convert is no date.
    EXPECT_FALSE(readDateTime("13/45/2020", QLocale("en_US")).has_value());
    EXPECT_FALSE(readDateTime("25:00", QLocale("en_US")).has_value());
    EXPECT_FALSE(readDateTime("a/b", QLocale("en_US")).has_value());
    EXPECT_LT(compare("13/45/2020", "2/1/2020"), 0);
    // Text is compared by case-sensitive locale rules, not by code points.
    EXPECT_LT(compare("apple", "Banana"), 0);
    EXPECT_NE(compare("a", "A"), 0);
}

TEST(ListSorting, SmartAndDefaultOrderOfAList) {
    ExtendedListView l;
    l.setLocale(QLocale("en_US"));
    l.setColumns({"Title", "Number"}, {100, 60});
    for (const char *n : {"10", "9", "100"})
        l.addRow(QStringLiteral("t") + n, {QLatin1String(n)});
    EXPECT_EQ(column(l, 1), QStringList({"10", "9", "100"}));   // nothing sorts before loading
    l.Loaded();
    EXPECT_EQ(l.LastColumnClicked(), 0);
    l.setAutoColumnSort(acsSort);
    l.SortColumn(1, true);
    EXPECT_EQ(column(l, 1), QStringList({"9", "10", "100"}));
    l.setAutoSortStyle(assDefault);   // sorts again by itself
    EXPECT_EQ(column(l, 1), QStringList({"10", "100", "9"}));
    // A comparer of the program's replaces both; its result is turned for descending.
    QList<int> columnsAsked;
    l.OnSortItems = [&](CustomEnhancedListView *, const ListRow &a, const ListRow &b, int c, int &r) {
        columnsAsked << c;
        r = int(a.caption.size()) - int(b.caption.size());
    };
    l.SortColumn(0, false);
    EXPECT_EQ(column(l, 1), QStringList({"100", "10", "9"}));
    EXPECT_EQ(columnsAsked.value(0), -1);
    // A comparer that throws counts as equal: the order stays and nothing escapes.
    l.OnSortItems = [](CustomEnhancedListView *, const ListRow &, const ListRow &, int, int &) {
        throw std::runtime_error("broken");
    };
    l.SortColumn(1, true);
    EXPECT_EQ(column(l, 1), QStringList({"100", "10", "9"}));
}

TEST(ListSorting, ColumnClicksToggleAndStartInTheChosenDirection) {
    ExtendedListView l;
    l.setColumns({"Name", "Size"}, {100, 60});
    for (auto [n, s] : {std::pair{"b", "2"}, {"c", "1"}, {"a", "3"}})
        l.addRow(QLatin1String(n), {QLatin1String(s)});
    l.setAutoColumnSort(acsSortToggle);
    QList<std::pair<int, bool>> sorts;
    l.OnSortBegin = [&](CustomEnhancedListView *, int c, bool asc) { sorts << std::pair{c, asc}; };
    int finished = 0;
    l.OnSortFinished = [&](CustomEnhancedListView *, int, bool) { ++finished; };
    QList<int> clicked;
    l.OnColumnClick = [&](CustomEnhancedListView *, int c) { clicked << c; };
    l.Loaded();   // sorted by the first column at load
    EXPECT_EQ(column(l, 0), QStringList({"a", "b", "c"}));

    emit l.horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(column(l, 1), QStringList({"1", "2", "3"}));
    emit l.horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(column(l, 1), QStringList({"3", "2", "1"}));
    EXPECT_EQ(l.LastColumnClicked(), 1);
    l.setAutoSortAscending(false);
    emit l.horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(column(l, 0), QStringList({"c", "b", "a"}));
    EXPECT_EQ(sorts, (QList<std::pair<int, bool>>{{0, true}, {1, true}, {1, false}, {0, false}}));
    EXPECT_EQ(finished, 4);
    EXPECT_EQ(clicked, QList<int>({1, 1, 0}));

    // A sort on request keeps its direction for the sorts that follow an insert.
    l.setAutoColumnSort(acsSort);
    l.SortColumn(1, false);
    l.addRow("d", {"0"});
    EXPECT_EQ(column(l, 1), QStringList({"3", "2", "1", "0"}));
    // Without automatic sorting a click sorts nothing but is still taken as the sorted column.
    l.setAutoColumnSort(acsNoSort);
    emit l.horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(column(l, 1), QStringList({"3", "2", "1", "0"}));
    EXPECT_EQ(l.LastColumnClicked(), 0);
}

TEST(ListSorting, InsertsBetweenBeginAndEndUpdateSortOnce) {
    ExtendedListView l;
    l.setColumns({"N"}, {60});
    l.setAutoColumnSort(acsSort);
    int sorts = 0;
    l.OnSortBegin = [&](CustomEnhancedListView *, int, bool) { ++sorts; };
    l.addRow("5", {});
    l.addRow("3", {});
    EXPECT_EQ(l.updateCount(), 1);   // held until loaded
    EXPECT_EQ(sorts, 0);
    l.Loaded();
    EXPECT_EQ(sorts, 1);
    l.BeginUpdate();
    l.BeginUpdate();
    for (const char *n : {"4", "1", "2"})
        l.addRow(QLatin1String(n), {});
    l.EndUpdate();
    EXPECT_EQ(sorts, 1);
    l.EndUpdate();
    EXPECT_EQ(sorts, 2);
    EXPECT_EQ(column(l, 0), QStringList({"1", "2", "3", "4", "5"}));
    l.EndUpdate();   // one too many leaves the count at 0
    EXPECT_EQ(l.updateCount(), 0);
    EXPECT_EQ(l.addRow("0", {}), 0);   // the new row's place after the resort
}

TEST(ListSettings, WidthsSavedAndLoadedUpToTheColumnCount) {
    {
        CustomEnhancedListView l;
        l.SaveSettings().AutoSave = true;
        l.SaveSettings().RegistryKey = kKey;
        l.setColumns({"Category", "Disc ID", "Title"}, {100, 100, 300});
        l.Loaded();
    }
    EXPECT_EQ(saved("Sizes"), "100,100,300");
    EXPECT_EQ(saved("Order"), "<none>");

    save("Sizes", "120,abc,80,999");
    {
        CustomEnhancedListView l;
        l.SaveSettings().AutoSave = true;
        l.SaveSettings().RegistryKey = kKey;
        l.setColumns({"A", "B", "C"}, {10, 20, 30});
        l.Loaded();
        EXPECT_EQ(l.columnWidth(0), 120);
        EXPECT_EQ(l.columnWidth(1), 0);   // a word reads as 0
        EXPECT_EQ(l.columnWidth(2), 80);
        l.SaveSettings().SaveColumnSizes = false;   // not written when off
        l.setColumnWidth(0, 55);
    }
    EXPECT_EQ(saved("Sizes"), "120,abc,80,999");
    {
        // Fewer entries than columns: the rest keep their widths; without AutoSave nothing is read.
        save("Sizes", "70");
        CustomEnhancedListView l;
        l.SaveSettings().AutoSave = true;
        l.SaveSettings().RegistryKey = kKey;
        l.setColumns({"A", "B"}, {10, 20});
        l.Loaded();
        EXPECT_EQ(l.columnWidth(0), 70);
        EXPECT_EQ(l.columnWidth(1), 20);
        l.SaveSettings().AutoSave = false;
    }
    EXPECT_EQ(saved("Sizes"), "70");
}

TEST(ListSettings, ColumnOrderSavedAndAMissingOrDamagedOneGivesTheIdentity) {
    {
        auto l = savingList();
        l->Loaded();
        l->setColumnOrder({2, 0, 1});
        l->setColumnWidth(2, 250);
    }
    EXPECT_EQ(saved("Order"), "2,0,1");
    EXPECT_EQ(saved("Sizes"), "250,100,100");   // in display order
    {
        auto l = savingList();
        l->Loaded();
        EXPECT_EQ(l->ColumnOrder(), QList<int>({2, 0, 1}));
        EXPECT_EQ(l->columnWidth(2), 250);
        EXPECT_EQ(l->columnWidth(0), 100);
        EXPECT_EQ(l->DisplayPosition(0), 1);
        EXPECT_EQ(l->ColumnAtPosition(0), 2);
    }
    const QList<int> identity{0, 1, 2};
    struct Case {
        const char *order;
        QList<int> expected;
    };
    const Case cases[] = {
        {nullptr, identity},          // missing
        {"", identity},               // empty
        {"2,x,0", identity},          // a word read as 0 would show column 0 twice
        {"1,0", identity},            // not every column
        {"0,1,5", identity},          // a column that is not there
        {"1,2,0,3", identity},        // more than there are
        {"1,2,0", {1, 2, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.order ? c.order : "missing");
        tbk::removeIni(kKey + "\\Columns", "Order", kColumnsFile);
        if (c.order)
            save("Order", QLatin1String(c.order));
        save("Sizes", "90,91,92");
        auto l = savingList();
        l->Loaded();
        EXPECT_EQ(l->ColumnOrder(), c.expected);
        QList<int> widths;
        for (int p = 0; p < 3; ++p)
            widths << l->columnWidth(l->ColumnAtPosition(p));
        EXPECT_EQ(widths, QList<int>({90, 91, 92}));
        l->SaveSettings().AutoSave = false;
    }
    EXPECT_EQ(columnOrderFrom("3,1,2,0", 4), QList<int>({3, 1, 2, 0}));
    EXPECT_EQ(columnOrderFrom("0,0,0,0", 4), QList<int>({0, 1, 2, 3}));
}

TEST(ListStyles, SetsAreNormalisedAndMappedOntoTheView) {
    EXPECT_EQ(normaliseExtendedStyles(lvxUnderlineHot), lvxUnderlineHot | lvxOneClickActivate);
    EXPECT_EQ(normaliseExtendedStyles(lvxUnderlineCold | lvxTwoClickActivate),
              lvxUnderlineCold | lvxTwoClickActivate | lvxOneClickActivate);
    EXPECT_EQ(normaliseExtendedStyles(lvxUnderlineHot | lvxTwoClickActivate),
              lvxUnderlineHot | lvxTwoClickActivate);
    EXPECT_EQ(extendedStylesFromBits(0xFFFFFFFF),
              normaliseExtendedStyles(ListViewExtendedStyles::fromInt(0x19FF)));
    EXPECT_EQ(int(extendedStylesFromBits(0x200 | 0x400 | 0x21)), 0x21);

    ExtendedListView l;
    l.setColumns({"A", "B"}, {50, 50});
    l.addRow("x", {"y"});
    EXPECT_FALSE(l.showGrid());
    EXPECT_FALSE(l.horizontalHeader()->sectionsMovable());
    l.setExtendedStyles(lvxUnderlineHot);
    EXPECT_EQ(l.ExtendedStyles(), lvxUnderlineHot | lvxOneClickActivate);
    l.setExtendedStyles(lvxGridLines | lvxCheckboxes | lvxHeaderDragDrop | lvxFlatScrollBar);
    EXPECT_TRUE(l.showGrid());
    EXPECT_TRUE(l.horizontalHeader()->sectionsMovable());
    EXPECT_TRUE(l.items()->flags(l.items()->index(0, 0)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(l.items()->flags(l.items()->index(0, 1)) & Qt::ItemIsUserCheckable);
    EXPECT_TRUE(l.ExtendedStyles().testFlag(lvxFlatScrollBar));   // kept, though it looks normal
    EXPECT_TRUE(l.items()->setData(l.items()->index(0, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(l.row(0)->checked);
    l.setExtendedStyles({});
    EXPECT_FALSE(l.items()->index(0, 0).data(Qt::CheckStateRole).isValid());
}

TEST(ListVersion, TheLibraryCheckComparesFourParts) {
    EXPECT_TRUE(comCtlVersionSufficient("5.80"));
    EXPECT_TRUE(comCtlVersionSufficient("6.0"));
    EXPECT_TRUE(comCtlVersionSufficient("4.70.0.0"));
    EXPECT_TRUE(comCtlVersionSufficient("4.71"));
    EXPECT_FALSE(comCtlVersionSufficient("4.0"));
    EXPECT_FALSE(comCtlVersionSufficient("4.69.9999.9999"));
    EXPECT_FALSE(comCtlVersionSufficient(""));
    EXPECT_FALSE(comCtlVersionSufficient("six"));
    EXPECT_FALSE(comCtlVersionSufficient("5.x"));
    EXPECT_FALSE(comCtlVersionSufficient("5.80.1.2.3"));

    ExtendedListView l;
    EXPECT_NO_THROW(l.setRequireComCtlUpdate(true));   // the Qt in use is new enough
    EXPECT_TRUE(l.RequireComCtlUpdate());
    EXPECT_STREQ(EELVOldComCtl().what(), "COMCTL32.DLL is older than required version");
    EXPECT_EQ(l.Version(), "ExtendedListView v3.07");
    l.setVersion("something else");
    EXPECT_EQ(l.Version(), "ExtendedListView v3.07");
    EXPECT_EQ(CustomEnhancedListView().Version(), "EnhancedListView v3.07");
}

TEST(ListDrawing, ArrowSizesFollowTheFont) {
    EXPECT_EQ(arrowSide(6), 0);
    EXPECT_EQ(arrowSide(7), 2);
    EXPECT_EQ(arrowSide(13), 8);
    EXPECT_EQ(arrowSide(14), 8);
    ExtendedListView l;
    const QImage up = l.arrowPicture(true).toImage(), down = l.arrowPicture(false).toImage();
    ASSERT_FALSE(up.isNull());
    EXPECT_EQ(up.width(), up.height());
    EXPECT_NE(up, down);
    l.setReverseSortArrows(true);
    EXPECT_EQ(l.arrowPicture(true).toImage(), down);
}
