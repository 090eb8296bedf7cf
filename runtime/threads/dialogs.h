#pragma once
// Common dialogs, popup menus and timed waits that suspend only the calling logical thread.
// Called while the program halts, they show nothing and answer "cancelled".
#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

class QPrinter;

namespace tbk {

enum class FileDialogMode { Open, Save };

// The chosen file, or empty when cancelled. The filter is given as the runtime gives it:
// description and pattern pairs separated by "|" ("Text files|*.txt|All files|*.*").
QString fileDialog(const QString &title, const QString &startFile, const QString &filter,
                   FileDialogMode mode = FileDialogMode::Open);
// With a colour, the dialog offers the text colour too, preset with it and writing the chosen
// one back on OK.
std::optional<QFont> fontDialog(const QFont &initial, const QString &title = {}, QColor *colour = nullptr);
std::optional<QColor> colorDialog(const QColor &initial, const QString &title = {});
// True when the user confirmed; the printer then holds the choices.
bool printDialog(QPrinter *printer, const QString &title = {});

// Shows a popup menu at the mouse and returns the number of the chosen item (1 for the first),
// 0 when nothing was chosen. Items are separated by "|"; a "~" in front greys an item; a "+"
// in front gives it a tick and a "-" in front makes it one that could carry one; an item "-"
// alone is a separator line and takes no number.
int popupMenu(const QString &items);

// "Text|*.txt|All|*.*" -> "Text (*.txt);;All (*.*)".
QString qtFileFilter(const QString &filter);

// Suspends the calling thread for the given hundredths of a second of the timer clock.
void waitTimer(int hundredths);

} // namespace tbk
