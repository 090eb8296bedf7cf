#include "core/programstart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace tbk {

QString locateProgram(const QString &name) {
    if (name.contains(QLatin1Char('/'))) {
        const QFileInfo f(name);
        return f.isFile() && f.isExecutable() ? f.absoluteFilePath() : QString();
    }
    const QString ownFolder = QCoreApplication::applicationDirPath();
    if (!ownFolder.isEmpty()) {
        const QString found = QStandardPaths::findExecutable(name, {ownFolder});
        if (!found.isEmpty())
            return found;
    }
    return QStandardPaths::findExecutable(name);
}

bool startProgram(const QString &name, const QStringList &arguments) {
    const QString path = locateProgram(name);
    if (path.isEmpty())
        return false;
    return QProcess::startDetached(path, arguments, QDir::currentPath());
}

} // namespace tbk
