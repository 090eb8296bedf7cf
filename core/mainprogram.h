#pragma once
// The catalogue program's main body: the process-wide preparations every window relies on,
// then the frame for the life of the program.
#include <QString>

namespace tbk {

inline const char *const kHelpFileName = "tbk98.HLP";

// Runs on the program's first logical thread; returns when the frame has ended.
void MainProgram();

// The program's help file (no path: it is shared with the disc lookup agent).
void setHelpFile(const QString &name);
QString helpFile();
// Opens the help file with the desktop (beside the program, else in the catalogue's folder),
// or says on the calling thread that it cannot.
void showHelp();

// Registration with the structure upgrader and the crash-marker check, once per process.
void prepareStartup();

namespace detail {
// Lets a test run the once-per-process part of start-up again.
void forgetStartupPrepared();
} // namespace detail

} // namespace tbk
