// The rules of the two field lists, without a window.
#include "impex/exportfields.h"

#include <gtest/gtest.h>

using namespace tbk;

namespace {

// Marks as text, "x" for a marked row: "x.x.." is rows 0 and 2 of five.
ExportFieldList listWith(const char *marks, int anchor) {
    ExportFieldList l;
    for (int i = 0; marks[i]; ++i)
        l.rows.append({marks[i] == 'x', QStringLiteral("F%1").arg(i), QStringLiteral("@s10")});
    l.anchor = anchor;
    return l;
}

QString marksOf(const ExportFieldList &l) {
    QString out;
    for (const ExportField &f : l.rows)
        out += f.mark ? QLatin1Char('x') : QLatin1Char('.');
    return out;
}

struct MarkCase {
    const char *what;
    const char *before;
    int anchor;
    int current;             // the row the list shows when the click or key arrives
    bool click;
    int key;
    Qt::KeyboardModifiers modifiers;
    const char *after;
    int anchorAfter;
    int highlightAfter;
};

const Qt::KeyboardModifiers kNone = Qt::NoModifier;
const Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
const Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
const Qt::KeyboardModifiers kCtrlShift = Qt::ControlModifier | Qt::ShiftModifier;

const MarkCase kMarkCases[] = {
    {"plain click clears the others", "xx.x.", 0, 2, true, 0, kNone, "..x..", 2, 2},
    {"ctrl click toggles on", "x....", 0, 3, true, 0, kCtrl, "x..x.", 3, 3},
    {"ctrl click toggles off", "x..x.", 0, 3, true, 0, kCtrl, "x....", 3, 3},
    {"space toggles", ".....", -1, 1, false, Qt::Key_Space, kNone, ".x...", 1, 1},
    {"ctrl by itself toggles", ".x...", -1, 1, false, Qt::Key_Control, kCtrl, ".....", 1, 1},
    {"shift click marks anchor to row", "x....", 1, 3, true, 0, kShift, ".xxx.", 1, 3},
    {"shift click upwards", "....x", 4, 1, true, 0, kShift, ".xxxx", 4, 1},
    {"shift click without anchor is a click", "x.x..", -1, 3, true, 0, kShift, "...x.", 3, 3},
    {"shift down extends by one", ".x...", 1, 1, false, Qt::Key_Down, kShift, ".xx..", 1, 2},
    {"shift up stops at the top", "x....", 0, 0, false, Qt::Key_Up, kShift, "x....", 0, 0},
    {"shift end to the last row", ".x...", 1, 1, false, Qt::Key_End, kShift, ".xxxx", 1, 4},
    {"ctrl shift home to the first row", "...x.", 3, 3, false, Qt::Key_Home, kCtrlShift, "xxxx.", 3, 0},
    {"shift page down by a page", "x....", 0, 0, false, Qt::Key_PageDown, kShift, "xxx..", 0, 2},
    {"shift by itself re-marks the range", "x.x.x", 1, 3, false, Qt::Key_Shift, kShift, ".xxx.", 1, 3},
    {"other keys mark nothing", "x.x..", 0, 2, false, Qt::Key_A, kNone, "x.x..", 0, 2},
    {"ctrl shift click marks nothing", "x....", 0, 2, true, 0, kCtrlShift, "x....", 0, 2},
};

} // namespace

TEST(MarkingRules, EachClickAndKeyAsTheTableSays) {
    for (const MarkCase &c : kMarkCases) {
        ExportFieldList l = listWith(c.before, c.anchor);
        const MarkAction action = markActionFor(c.click, c.key, c.modifiers);
        const int current = c.click ? c.current : rowAfterKey(c.current, int(l.rows.size()), 2, c.key);
        SelectListRows(l, current, action);
        EXPECT_EQ(marksOf(l), QString::fromLatin1(c.after)) << c.what;
        EXPECT_EQ(l.anchor, c.anchorAfter) << c.what;
        EXPECT_EQ(l.highlight, c.highlightAfter) << c.what;
    }
}

TEST(ExportFieldLists, AddKeepsEachNameOnceAndRemoveMovesTheHighlightUp) {
    ExportFieldList all;
    all.rows = exportableFields();
    ASSERT_EQ(all.rows.size(), 30);
    EXPECT_EQ(all.rows[21].field, "MUS:LastPlayed");
    EXPECT_EQ(all.rows[21].picture, "@d17-");
    EXPECT_EQ(all.rows[29].field, "CAT:Category");

    ExportFieldList chosen;
    all.rows[3].mark = true;   // Album
    all.rows[0].mark = true;   // Artist
    AddExportFields(all, chosen);
    ASSERT_EQ(chosen.rows.size(), 2);
    EXPECT_EQ(chosen.rows[0].field, "MUS:Artist");   // in the order of "All Fields"
    EXPECT_EQ(chosen.rows[1].field, "MUS:Album");
    EXPECT_TRUE(chosen.rows[1].mark);
    EXPECT_EQ(chosen.highlight, 0);

    chosen.rows[0].mark = false;
    chosen.rows[1].mark = false;
    all.rows[1].mark = true;   // Title: new; Artist and Album: marked again, not added
    AddExportFields(all, chosen);
    ASSERT_EQ(chosen.rows.size(), 3);
    EXPECT_EQ(chosen.rows[2].field, "MUS:Title");
    EXPECT_EQ(marksOf(chosen), "xxx");
    EXPECT_TRUE(all.rows[0].mark);   // the marks of "All Fields" stay

    // Remove rows 0 and 2 with the highlight on row 2: it moves up past both.
    chosen.rows[1].mark = false;
    chosen.highlight = 2;
    chosen.anchor = 1;
    RemoveExportFields(chosen);
    ASSERT_EQ(chosen.rows.size(), 1);
    EXPECT_EQ(chosen.rows[0].field, "MUS:Album");
    EXPECT_EQ(chosen.highlight, 0);
    EXPECT_EQ(chosen.anchor, 0);

    chosen.rows[0].mark = true;
    RemoveExportFields(chosen);
    EXPECT_TRUE(chosen.rows.isEmpty());
    EXPECT_EQ(chosen.highlight, -1);
}

TEST(ExportFieldLists, ShiftMovesTheHighlightedEntryAndPictureKinds) {
    ExportFieldList l = listWith("x..", -1);
    l.highlight = 0;
    MoveExportFieldUp(l);   // at the top: nothing
    EXPECT_EQ(l.rows[0].field, "F0");
    MoveExportFieldDown(l);
    MoveExportFieldDown(l);
    MoveExportFieldDown(l);   // at the bottom: nothing
    EXPECT_EQ(l.rows[2].field, "F0");
    EXPECT_TRUE(l.rows[2].mark);   // the mark goes with the entry
    EXPECT_EQ(l.highlight, 2);
    MoveExportFieldUp(l);
    EXPECT_EQ(l.rows[1].field, "F0");
    EXPECT_EQ(l.highlight, 1);

    EXPECT_EQ(ShowPictureKind("@s50"), "Alpha-numeric");
    EXPECT_EQ(ShowPictureKind("@S10"), "Alpha-numeric");
    EXPECT_EQ(ShowPictureKind("@n_4b"), "Numeric");
    EXPECT_EQ(ShowPictureKind("@d17-"), "@d17-");
    EXPECT_EQ(ShowPictureKind("@t4"), "@t4");
}
