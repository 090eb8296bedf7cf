#pragma once
// The windows a logical thread has open. Only the last one opened is enabled: a window opened
// by a modal call or a dialog is modal to its own thread only, the other threads' windows go on.
// Qt's own modality is not used, since it would block the whole frame.
#include <QList>

class QWidget;

namespace tbk {

// The calling thread takes the window as its newest one; its earlier windows are disabled
// until this one is released.
void adoptWindow(QWidget *window);
// Gives the window up; the thread's previous window is enabled again when it is the newest
// one left. Pending events for the window are dropped.
void releaseWindow(QWidget *window);

// How many windows the calling thread has adopted so far (0 outside a logical thread).
int windowsAdopted();
// True while a later window of the window's own thread is open over it.
bool windowCovered(const QWidget *window);
// The thread that owns the window (0 when none).
int windowThread(const QWidget *window);
// The window of a thread that holds the widget: the widget itself, the MDI child frame or the
// top-level window around it (null when no thread's window holds it).
QWidget *owningWindow(const QWidget *widget);
// The thread's newest open window (null when it has none).
QWidget *activeThreadWindow(int thread);
QList<QWidget *> threadWindowList(int thread);

} // namespace tbk
