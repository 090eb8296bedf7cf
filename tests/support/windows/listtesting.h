#pragma once
// Working a list control as a user does: clicks on its rows, keys, the wheel and its thumb bar
// go to the widgets that take them, and the list reacts as it would to the real ones.
#include <QString>
#include <QStringList>
#include <QStyle>

namespace tbk {
class ListControl;
}

namespace tbk::windowtest {

// Clicks the first row whose column (0 for the first shown) shows the text, blanks around
// it ignored; false when no row shown does.
bool selectRowByKey(ListControl *list, int column, const QString &text);
// false when the row is not shown. Ctrl or Shift held mark rows in a list that marks them.
bool clickRow(ListControl *list, int row, Qt::KeyboardModifiers modifiers = {});
bool doubleClickRow(ListControl *list, int row);
bool rightClickRow(ListControl *list, int row);
void pressListKey(ListControl *list, Qt::Key key, Qt::KeyboardModifiers modifiers = {});
// The items of the popup menu a right click on the list shows its thread (as menuItems gives
// them), the menu closed again without a choice; empty when none shows.
QStringList listPopupItems(int thread, ListControl *list);
// Turns the wheel over the rows by an angle in eighths of a degree (120 is one notch; away
// from the user is positive, as Qt counts it). Touchpads send small angles.
void turnWheel(ListControl *list, int angle);
// Drags the thumb of a paged list to a position (1 to 100) and lets it go there; false when
// the thumb bar is not shown.
bool dragThumb(ListControl *list, int position);
// Clicks a part of the thumb bar: an arrow (SC_ScrollBarSubLine, SC_ScrollBarAddLine) or the
// trough above or below the thumb (SC_ScrollBarSubPage, SC_ScrollBarAddPage); false when the
// bar is not shown or the part has no room.
bool clickThumbBar(ListControl *list, QStyle::SubControl part);
// Presses and releases the left button in the middle of a column's header cell; false when the
// list is busy longer than a test waits.
bool clickHeader(ListControl *list, int column);

} // namespace tbk::windowtest
