#include "core/fileaccess.h"

#include "core/standardwarnings.h"
#include "runtime/data/upgrader.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"

#include <QHash>

#include <sqlite3.h>

namespace tbk {

using namespace tbk::data;

namespace {

struct Use {
    int count = 0;
    bool opening = false;        // OpenDataFile is under way (it may wait for the user)
    std::vector<int> waiting;    // threads that wait for that open to end
};

QHash<const DataFile *, Use> &uses() {
    static QHash<const DataFile *, Use> u;
    return u;
}

// The name the marker and the warnings give: the declared disk name.
QString diskName(const DataFile &file) { return file.structure().diskName(); }

void clearMarker() { setCrashMarker(QString()); }

bool openShared(DataFile &file) { return file.open(SharedReadWrite) || errorCode() == FileAlreadyOpen; }

// The driver rebuilds keys only through an open, and an open refuses a file whose keys are
// damaged; its in-place upgrade rebuilds every key of a file in the declared layout instead.
bool rebuildKeys(DataFile &file) { return file.upgrade(); }

bool upgradeAndOpen(DataFile &file) {
    up_UpGradeFile(file);
    return openShared(file);
}

} // namespace

void setCrashMarker(const QString &diskName) {
    putIni(QLatin1String(kCrashMarkerSection), QLatin1String(kCrashMarkerEntry), diskName, defaultSettingsFile());
}

void OpenDataFile(DataFile &file) {
    const QString name = diskName(file);
    setCrashMarker(name);
    openShared(file);
    if (errorCode() == FileLocked) {
        file.send(QStringLiteral("Recover=10"));
        openShared(file);
    }
    switch (errorCode()) {
    case NoError:
    case FileAlreadyOpen:
        clearMarker();
        return;
    case FileNotFound:
        clearMarker();
        if (upgradeAndOpen(file))
            return;
        // Only a file that is still missing is created: anything else must not be replaced.
        if (errorCode() != FileNotFound)
            break;
        if (!file.create()) {
            ShowStandardWarningWithText(4, name);
            return;
        }
        if (!openShared(file))
            ShowStandardWarningWithText(5, name);
        return;
    case InvalidKeyFile:
        if (ShowStandardWarningWithText(2, name) != ButtonYes)
            return;   // the warning has ended the program
        if (!rebuildKeys(file)) {
            ShowStandardWarningWithText(3, name);
            return;
        }
        openShared(file);
        break;
    case InvalidRecordDeclaration:
        clearMarker();
        if (upgradeAndOpen(file))
            return;
        ShowStandardWarningWithText(1, name);
        return;
    default:
        break;
    }
    const int code = errorCode();
    if (code != NoError && code != FileAlreadyOpen) {
        if (code == InvalidDataFile || code == InvalidKeyLength || code == DriverError) {
            clearMarker();
            if (upgradeAndOpen(file))
                return;
            // A damaged file keeps the marker, so that the next start offers its repair.
            if (errorCode() == DriverError && (driverErrorCode() & 0xff) == SQLITE_CORRUPT)
                setCrashMarker(name);
        }
        // Another station holds the file: nothing is wrong with it that a repair would mend.
        if (code == FileLocked)
            clearMarker();
        ShowStandardWarningWithText(30, name);
        halt(QStringLiteral("Disk Error"), kFatalExitCode);
        return;
    }
    clearMarker();
}

void openForUse(DataFile &file) {
    Use *use = &uses()[&file];
    const int self = currentThreadNumber();
    // Another thread's open of this file may be waiting for its user: wait for its end.
    while (use->opening && self != 0) {
        use->waiting.push_back(self);
        suspendUntil([&file] { return !uses()[&file].opening; });
        use = &uses()[&file];
    }
    if (use->count == 0) {
        use->opening = true;
        struct Done {
            const DataFile *file;
            ~Done() {
                Use &u = uses()[file];
                u.opening = false;
                const std::vector<int> waiting = std::move(u.waiting);
                u.waiting.clear();
                for (int t : waiting)
                    wakeThread(t);
            }
        } done{&file};
        OpenDataFile(file);
        use = &uses()[&file];
        if (!file.isOpen())
            return;   // the program is ending
    }
    ++use->count;
}

void closeAfterUse(DataFile &file) {
    Use &use = uses()[&file];
    if (use.count <= 0)
        return;
    if (--use.count == 0)
        file.close();
}

int FileUseCount(const DataFile &file) { return uses().value(&file).count; }

void closeAllDataFiles() {
    for (auto it = uses().begin(); it != uses().end(); ++it)
        it->count = 0;
    for (DataFile *f : DataFile::all())
        f->close();
}

FilesInUse::FilesInUse(std::initializer_list<DataFile *> files) {
    for (DataFile *f : files)
        add(*f);
}

FilesInUse::~FilesInUse() {
    for (auto it = files_.rbegin(); it != files_.rend(); ++it)
        closeAfterUse(**it);
}

void FilesInUse::add(DataFile &file) {
    openForUse(file);
    if (file.isOpen())
        files_.push_back(&file);
}

} // namespace tbk
