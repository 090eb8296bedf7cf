#pragma once
// Procedures by name. The frame, the splash and the start-up reach the windows and processes
// of the other subsystems only through this table: each subsystem registers its procedures
// when the program starts, and a menu entry whose procedure is not registered stays disabled.
#include <QString>
#include <QStringList>

#include <functional>

namespace tbk {

using Procedure = std::function<void()>;

// Registers (or replaces) a procedure under its name; an empty procedure removes the name.
void registerProcedure(const QString &name, Procedure procedure);
bool procedureRegistered(const QString &name);
// The procedure, or an empty one when the name is not registered.
Procedure findProcedure(const QString &name);
// Runs the procedure on the calling thread; false (and nothing run) when it is not registered.
bool runProcedure(const QString &name);
QStringList registeredProcedures();

} // namespace tbk
