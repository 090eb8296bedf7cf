#pragma once
// Working the controls of a thread's active window as a user does: a click gives a control the
// focus, keys fill it, Tab leaves it. Controls are found by name (the field name) or text.
// Each call lets Qt and the threads run until they are idle again.
#include <QString>
#include <QVariant>
#include <Qt>

class QWidget;

namespace tbk::windowtest {

// Makes the window the active one, so that the focus moves within it.
bool activate(QWidget *window);
// Clicks into the control, giving it the focus.
bool clickInto(int thread, const QString &control);
// Clicks into an entry, lookup, spin box or memo, replaces what it holds by typing the text
// and leaves it by Tab.
bool typeInto(int thread, const QString &control, const QString &text);
// Clicks into the control and leaves it by Tab without changing anything.
bool passThrough(int thread, const QString &control);
// Presses Tab in the control that has the focus.
bool pressTab();
// Presses the key in the control of the thread's active window that has the focus there.
bool pressFocusedKey(int thread, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
bool clickCheck(int thread, const QString &check);
// Clicks the button of an option group that shows the choice (text without "&").
bool chooseOption(int thread, const QString &group, const QString &choice);
// Opens a lookup's list and chooses the item with the mouse.
bool chooseFromList(int thread, const QString &lookup, const QString &item);
// Clicks the tab with this text (without "&").
bool chooseTab(int thread, const QString &tab);

// A control's runtime value (a tab control: the text of its present tab, without "&").
QVariant controlValue(int thread, const QString &control);
// What the control shows.
QString controlText(int thread, const QString &control);
// The name of the control with the focus: its object name, a tab bar by its tab control's, an
// option's button by its text without "&".
QString focusedName();

} // namespace tbk::windowtest
