#pragma once
// Dragging a value from one window's control to another's, also across threads. The drag runs
// on Qt's own loop (a system drag would run a loop of its own inside the source's thread): the
// source grabs the mouse, the cursor tells whether the control under it takes the drag, and the
// release posts a Drop event (text: the value, source: the drag's name, control: the control
// dropped on) to the thread of the window dropped on. Escape cancels.
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace tbk {

// Makes the control a drag source under the name. Moving the mouse past the system's start
// distance with the left button down drags the value that `value` gives for the press position
// (in the control's coordinates); an empty value drags nothing.
void makeDragSource(QWidget *control, const QString &name, std::function<QString(QPoint)> value);
// The control takes drops of drags with these names; a drag of any other name is refused there.
void acceptDrops(QWidget *control, const QStringList &names);

// True while a drag is under way.
bool dragging();

} // namespace tbk
