#include "runtime/process/process.h"

#include "runtime/threads/messagebox.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/window.h"
#include "runtime/values/text.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>

namespace tbk {

namespace {

struct Slot {
    int thread = -1;   // -1: free (0 is code outside any logical thread)
    QString program;
};

Slot &runSlot() {
    static Slot slot;
    return slot;
}

bool busyCursorSet = false;

bool runnable(const QFileInfo &f) { return f.isFile() && f.isExecutable(); }

} // namespace

ProgramRunClaim::ProgramRunClaim(const QString &program) {
    Slot &slot = runSlot();
    const int me = currentThreadNumber();
    if (slot.thread == -1) {
        slot = {me, program};
        held_ = outer_ = true;
        return;
    }
    if (slot.thread == me) {
        held_ = true;
        return;
    }
    message(QStringLiteral("Another window is waiting for %1 to end. Try again when it has ended.")
                .arg(slot.program),
            QStringLiteral("Information"), MessageIcon::Information);
}

ProgramRunClaim::~ProgramRunClaim() {
    if (outer_)
        runSlot() = {};
}

QStringList programSearchFolders() {
    QStringList folders{QCoreApplication::applicationDirPath()};
    for (const QString &f : qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders << f;
    return folders;
}

QString findProgram(const QString &name, const QStringList &folders) {
    if (name.isEmpty())
        return {};
    if (name.contains(QLatin1Char('/')))
        return runnable(QFileInfo(name)) ? QFileInfo(name).absoluteFilePath() : QString();
    for (const QString &folder : folders) {
        const QDir dir(folder);
        if (runnable(QFileInfo(dir, name)))
            return dir.absoluteFilePath(name);
        for (const QString &entry : dir.entryList(QDir::Files | QDir::Executable))
            if (entry.compare(name, Qt::CaseInsensitive) == 0 && runnable(QFileInfo(dir, entry)))
                return dir.absoluteFilePath(entry);
    }
    return {};
}

int RunProgramBusy(const ProgramRun &run, Window &caller) {
    QGuiApplication::setOverrideCursor(Qt::CrossCursor);
    busyCursorSet = true;
    return RunProgramAndWait(run, caller);
}

int RunProgramAndWait(const ProgramRun &run, Window &caller) {
    struct CursorBack {
        ~CursorBack() {
            if (busyCursorSet)
                QGuiApplication::restoreOverrideCursor();
            busyCursorSet = false;
        }
    } cursorBack;

    const QString commandLine = clip(run.commandLine.left(kCommandLineLength));
    const QStringList words = QProcess::splitCommand(commandLine);
    const ProgramRunClaim claim(words.value(0));
    if (!claim.held())
        return -1;

    QProcess process;
    process.setWorkingDirectory(QDir::currentPath());
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    const QString program = findProgram(words.value(0), programSearchFolders());
    bool started = false;
    if (!program.isEmpty() && run.wait) {
        process.start(program, words.mid(1));
        started = process.waitForStarted(10000);
    } else if (!program.isEmpty()) {
        // Nobody waits for it: it must outlive this call.
        started = QProcess::startDetached(program, words.mid(1), QDir::currentPath());
    }
    if (!started) {
        QApplication::beep();
        message(QStringLiteral("EXE, Batch File or PIF File Not Found:") + commandLine + run.notFoundEnding,
                QStringLiteral("Critical Error Message"), MessageIcon::Information);
    }
    if (run.wait && caller.frame()) {
        for (;;) {
            const Event e = waitEvent(caller.frame());
            if (e.kind == EventKind::Timer && (!started || process.state() == QProcess::NotRunning))
                break;
        }
    }
    return started ? 1 : 0;
}

} // namespace tbk
