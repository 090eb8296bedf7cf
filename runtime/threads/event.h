#pragma once
// Events of a logical thread's windows. Qt's signals and events of a window are turned into
// these on the window's thread queue; the window's procedure takes them one at a time.
#include <QString>

class QObject;
class QWidget;

namespace tbk {

enum class EventKind {
    OpenWindow,     // first event of every window
    GainFocus,      // the window became the active one
    Sized,          // the window's size changed
    Accepted,       // a control's value was accepted (button pressed, entry left changed)
    Selected,       // a control received the focus
    NewSelection,   // a list's or tab's current item changed
    AlertKey,       // an alerted key was pressed (key holds the Qt key combination)
    Timer,          // the window's timer (hundredths of a second)
    CloseWindow,    // the user or the program asks the window to close
    CloseDown,      // the thread is asked to end (end of session, program end)
    MouseLeftDown,  // mouse on a list (the list box events 1145 to 1148); key: the keyboard
                    // modifiers held (Qt::KeyboardModifiers)
    MouseLeftUp,
    MouseRightDown,
    MouseRightUp,
    Scroll,         // a paged list asks its window to scroll (key: ScrollAction; value: thumb
                    // position 1-100 for ScrollThumb, else how many steps)
    Toolbar,        // a browse button of the frame's toolbar was pressed for this window (value: its id)
    Drop,           // something dragged was dropped on a control (text: the value; source: the
                    // drag's name)
    User,           // a program-defined event (code in value), as posted by another thread
};

// What a paged list asks of its window: the list itself never moves past its page.
enum ScrollAction : int {
    ScrollLineUp = 1,
    ScrollLineDown,
    ScrollPageUp,
    ScrollPageDown,
    ScrollTop,
    ScrollBottom,
    ScrollThumb,
};

struct Event {
    EventKind kind = EventKind::User;
    // The window the event belongs to; null: the thread's active window takes it.
    QWidget *window = nullptr;
    // The control it happened on, when any.
    QObject *control = nullptr;
    int key = 0;
    int value = 0;
    QString text;
    QString source;

    static Event of(EventKind k, QWidget *w = nullptr, QObject *c = nullptr) {
        Event e;
        e.kind = k;
        e.window = w;
        e.control = c;
        return e;
    }
};

} // namespace tbk
