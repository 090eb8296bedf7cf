#pragma once
// A window's place (position, size, maximised state) kept in a settings file under the
// window's procedure name. Positions and sizes are pixels of the window's client area.
#include <QString>

class QWidget;

namespace tbk {

inline const char *const kPositionFile = ".\\POSITION.INI";

// Writes Maximize, XPosit, YPosit, Width and Height; a minimised window writes nothing, a
// maximised one its normal place.
void SaveWindowPosition(QWidget *window, const QString &file, const QString &section);
// Puts the window back where it was saved; no saved XPosit (or 0) leaves the designed place
// and state. A window that is not resizable keeps its designed size.
void RestoreWindowPosition(QWidget *window, const QString &file, const QString &section);

// A window is resizable unless its minimum and maximum sizes are the same.
bool isResizable(const QWidget *window);

} // namespace tbk
