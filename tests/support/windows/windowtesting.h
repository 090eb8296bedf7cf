#pragma once
// Driving logical threads and their windows from a test, which runs outside the threads on
// Qt's side: run the scheduler until every thread waits, find a thread's active window, fill
// entries, press buttons, answer message boxes, read a list's rows.
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
// Closes the popup menu the thread shows without a choice, as Escape does.
bool dismissMenu(int thread);
// Asks the window to close as the user would (the window's close box).
bool closeByUser(QWidget *window);

// Every row of the list as its cells' texts joined by "|".
QStringList listRows(const ListControl *list);

// Lets the scheduler end every thread a test left (their windows closed) so the next test
// starts with none.
void endAllThreads();

} // namespace tbk::windowtest
