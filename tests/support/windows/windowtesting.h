#pragma once
// Driving logical threads and their windows from a test, which runs outside the threads on
// Qt's side: run the scheduler until every thread waits, find a thread's active window, fill
// entries, press buttons, answer message boxes, read a list's rows.
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace tbk {
class ListControl;
}

namespace tbk::windowtest {

// Runs Qt's events and the scheduler until no thread is ready to run; false when that did not
// happen within the time.
bool runUntilIdle(int timeoutMs = 5000);
// Runs Qt's events and the scheduler for a while (timers keep firing).
void runFor(int ms);
// Runs until the condition holds; false on time-out.
bool runUntil(const std::function<bool()> &condition, int timeoutMs = 5000);

// When TBK_SCREENSHOT names a path without extension (run under xvfb-run with
// QT_QPA_PLATFORM=xcb), the window moved to the screen's corner and a picture of the screen saved
// as that path, the suffix and ".png"; false when it could not be saved. Nothing otherwise.
bool saveScreenshot(QWidget *window, const QString &suffix);
// The same for the whole screen as it stands after `settleMs`, saved as TBK_SCREENSHOT and the
// suffix (extension included).
bool saveScreen(const QString &suffix, int settleMs = 500);

// The thread's newest open window (a message box or dialog included), or null.
QWidget *activeWindow(int thread);
// A control of the window by object name, or failing that by its text without "&".
QWidget *findControl(QWidget *window, const QString &nameOrText);

// Types the text into an entry of the thread's active window and presses Enter.
bool fillEntry(int thread, const QString &entry, const QString &text);
// Clicks a button of the thread's active window.
bool pressButton(int thread, const QString &button);
// Clicks the button with the runtime's code in the message box the thread shows.
bool answerMessage(int thread, int buttonCode);
// The text of the message box the thread shows (empty when none).
QString messageText(int thread);
// Chooses the item (by its text without "&") of the popup menu the thread shows; false when it
// shows none, has no such item or the item is greyed.
bool chooseMenuItem(int thread, const QString &item);
// Whether the item of the popup menu the thread shows carries a tick (false when there is no
// such item).
bool menuItemTicked(int thread, const QString &item);
// The items of the popup menu the thread shows, by their texts without "&": greyed ones
// after "~", separators as "-"; empty when it shows none.
QStringList menuItems(int thread);
// Closes the popup menu the thread shows without a choice, as Escape does.
bool dismissMenu(int thread);
// Asks the window to close as the user would (the window's close box).
bool closeByUser(QWidget *window);

// The frame's browse buttons (the frame window holds the toolbar). A button is pressed with the
// mouse, so a disabled one (or one of a disabled toolbar) is not pressed: false.
bool pressToolbarButton(QWidget *frame, int id);
bool pressToolbarButton(QWidget *frame, const QString &tooltip);
// The ids of the browse buttons that can be pressed now, in the toolbar's order.
QList<int> enabledToolbarButtons(QWidget *frame);
QString toolbarTooltip(QWidget *frame, int id);

// Dragging with the left button as the user does: the mouse goes where the window system sends
// it (the grabbing widget during a drag, else the widget under it). Points are in the control's
// coordinates; a null point is its centre. beginDrag presses and moves past the drag distance and
// tells whether a drag started.
bool beginDrag(QWidget *from, QPoint at = {});
void dragOver(QWidget *to, QPoint at = {});
void dropOn(QWidget *to, QPoint at = {});
// Escape during a drag; the button stays down until dropOn.
void pressEscape();
bool dragAndDrop(QWidget *from, QWidget *to, QPoint fromAt = {}, QPoint toAt = {});

// Every row of the list as its cells' texts joined by "|".
QStringList listRows(const ListControl *list);

// Lets the scheduler end every thread a test left (their windows closed) so the next test
// starts with none.
void endAllThreads();

} // namespace tbk::windowtest
