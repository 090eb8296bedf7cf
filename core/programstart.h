#pragma once
// Starting another program of the system without waiting for it, with an argument list (never
// through a shell). A program named without a path is looked for in this program's own folder
// first, then along PATH.
#include <QString>
#include <QStringList>

#include <functional>

namespace tbk {

// The full path of the program to run, or empty when it is nowhere to be found.
QString locateProgram(const QString &name);
// Starts the program in the current directory; false when it could not be started.
bool startProgram(const QString &name, const QStringList &arguments);
// The same, watched: when the program ends, `ended` runs on Qt's loop with its exit status (-1
// when it did not end normally) and what it wrote to its standard output and error.
bool startProgramWatched(const QString &name, const QStringList &arguments,
                         std::function<void(int status, const QString &said)> ended);

} // namespace tbk
