#pragma once
// The program's help file: its name (shared with the disc lookup agent) and opening it.
#include <QString>

namespace tbk {

inline const char *const kHelpFileName = "tbk98.HLP";

// The program's help file (no path: it is shared with the disc lookup agent).
void setHelpFile(const QString &name);
QString helpFile();
// Opens the help file with the desktop (beside the program, else in the catalogue's folder),
// or says on the calling thread that it cannot.
void showHelp();

} // namespace tbk
