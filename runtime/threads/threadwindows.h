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

// The thread that owns the window (0 when none).
int windowThread(const QWidget *window);
// The thread's newest open window (null when it has none).
QWidget *activeThreadWindow(int thread);
QList<QWidget *> threadWindowList(int thread);

} // namespace tbk
