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

bool startProgramWatched(const QString &name, const QStringList &arguments,
                         std::function<void(int status, const QString &said)> ended) {
    const QString path = locateProgram(name);
    if (path.isEmpty())
        return false;
    // No parent: the program's end must not kill a repair that is still running.
    auto *process = new QProcess;
    process->setProgram(path);
    process->setArguments(arguments);
    process->setWorkingDirectory(QDir::currentPath());
    // What it says in the order it says it, whichever channel it takes.
    process->setProcessChannelMode(QProcess::MergedChannels);
    QObject::connect(process, &QProcess::finished, process,
                     [process, ended = std::move(ended)](int code, QProcess::ExitStatus status) {
                         const QString said = QString::fromLocal8Bit(process->readAll()).trimmed();
                         process->deleteLater();
                         ended(status == QProcess::NormalExit ? code : -1, said);
                     });
    process->start();
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    return true;
}

} // namespace tbk
