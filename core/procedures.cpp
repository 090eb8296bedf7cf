#include "core/procedures.h"

#include <QHash>

namespace tbk {

namespace {

QHash<QString, Procedure> &table() {
    static QHash<QString, Procedure> procedures;
    return procedures;
}

} // namespace

void registerProcedure(const QString &name, Procedure procedure) {
    if (procedure)
        table().insert(name, std::move(procedure));
    else
        table().remove(name);
}

bool procedureRegistered(const QString &name) { return table().contains(name); }

Procedure findProcedure(const QString &name) { return table().value(name); }

bool runProcedure(const QString &name) {
    // A copy: the procedure may register or remove names while it runs.
    const Procedure p = findProcedure(name);
    if (!p)
        return false;
    p();
    return true;
}

QStringList registeredProcedures() {
    QStringList names = table().keys();
    names.sort();
    return names;
}

} // namespace tbk
