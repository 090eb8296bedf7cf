#include "runtime/data/transaction.h"

#include "runtime/data/datafile.h"
#include "runtime/data/driver.h"
#include "runtime/values/pause.h"

#include <QElapsedTimer>
#include <QSet>

#include <optional>
#include <utility>

namespace tbk::data {

namespace {

// The connection holds one transaction at a time: none may begin while one waits to.
bool beginning = false;
// Why a lingering transaction ended before its run resumed it: its commit's error, if any.
struct LingerEnd {
    bool failed = false;
    int code = 0, driverCode = 0;
    QString driverText, file;
} lingerEnd;
constexpr qint64 kRetryMs = 20;

enum class Try { Locked, Busy, Failed };

// One try at the write locks of the files, without waiting. Locked leaves the transaction
// begun; otherwise nothing is held and the error is set.
Try lockFiles(const std::vector<DataFile *> &files) {
    for (DataFile *f : files)
        if (!f->isOpen()) {
            setError(FileNotOpen, f->label());
            return Try::Failed;
        }
    // Within the transaction SQLite attaches nothing: the files it names must be attached now.
    for (DataFile *f : files)
        if (!f->ensureAttached())
            return Try::Failed;
    if (!driver::exec(QStringLiteral("BEGIN"), QString()))
        return Try::Failed;
    QSet<QString> done;
    for (DataFile *f : files) {
        if (done.contains(f->schemaName()))
            continue;
        done.insert(f->schemaName());
        // A write that changes nothing takes the file's write lock now.
        if (!driver::exec(QStringLiteral("DELETE FROM %1.tbk_meta WHERE 0").arg(f->schemaName()), f->label())) {
            // The error stays the driver's: 32 for another's lock only, worth waiting for.
            sqlite3_exec(driver::db(), "ROLLBACK", nullptr, nullptr, nullptr);
            return errorCode() == FileLocked ? Try::Busy : Try::Failed;
        }
    }
    return Try::Locked;
}

} // namespace

bool beginTransaction(int timeoutSeconds, const std::vector<DataFile *> &files) {
    driver::settleLingering();
    clearError();
    if (driver::inTransaction() || beginning) {
        setError(TransactionActive);
        return false;
    }
    beginning = true;
    struct Done {
        ~Done() { beginning = false; }   // also when a halt ends the wait
    } done;
    const qint64 limit = qint64(qMax(0, timeoutSeconds)) * 1000;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        // SQLite's own wait would hold up every thread: it tries once, and the wait is ours.
        driver::setBusyTimeout(0);
        const Try attempt = lockFiles(files);
        driver::setBusyTimeout(driver::defaultBusyTimeout());
        if (attempt == Try::Locked) {
            clearError();   // of the tries before
            driver::setInTransaction(true);
            return true;
        }
        if (attempt == Try::Failed || waited.elapsed() >= limit)
            return false;
        pauseFor(int(qMin(kRetryMs, limit - waited.elapsed())));
    }
}

bool commitTransaction() {
    clearError();
    if (!driver::inTransaction()) {
        setError(NoTransaction);
        return false;
    }
    if (sqlite3_get_autocommit(driver::db())) {
        // SQLite already rolled back after an error: nothing was committed.
        driver::setInTransaction(false);
        setError(NoTransaction);
        return false;
    }
    if (!driver::exec(QStringLiteral("COMMIT"), QString()))
        return false;   // still active: the caller rolls back
    driver::setInTransaction(false);
    return true;
}

bool rollbackTransaction() {
    clearError();
    if (!driver::inTransaction()) {
        setError(NoTransaction);
        return false;
    }
    bool ok = true;
    if (!sqlite3_get_autocommit(driver::db()))
        ok = driver::exec(QStringLiteral("ROLLBACK"), QString());
    driver::setInTransaction(false);
    return ok;
}

bool inTransaction() {
    driver::settleLingering();
    return driver::inTransaction();
}

void lingerTransaction() {
    lingerEnd = {};
    if (driver::inTransaction())
        driver::setLingering(true);
}

bool resumeTransaction() {
    if (driver::lingering()) {
        driver::setLingering(false);
        return true;
    }
    if (std::exchange(lingerEnd.failed, false)) {
        if (lingerEnd.code == DriverError)
            setDriverError(lingerEnd.driverCode, lingerEnd.driverText, lingerEnd.file);
        else
            setError(lingerEnd.code, lingerEnd.file);
    }
    return false;
}

RunTransaction::RunTransaction(std::vector<DataFile *> files, int commitMs)
    : files_(std::move(files)), commitMs_(commitMs) {}

RunTransaction::~RunTransaction() { commit(); }

bool RunTransaction::start() {
    bool lost = false;
    if (begun_) {
        if (resumed())
            return true;
        lost = errorCode() != NoError;
    }
    {
        std::optional<KeptError> kept;
        if (lost)
            kept.emplace();
        // Another process's lock is waited for a moment only: the run goes on without.
        begun_ = beginTransaction(1, files_);
    }
    age_.start();
    return !lost;
}

void RunTransaction::pause() {
    if (begun_ && age_.elapsed() < commitMs_) {
        lingerTransaction();
        lingering_ = true;
    } else {
        commit();
    }
}

bool RunTransaction::commit() {
    if (!begun_)
        return true;
    if (!resumed())
        return errorCode() == NoError;
    begun_ = false;
    if (commitTransaction())
        return true;
    KeptError kept;
    rollbackTransaction();
    return false;
}

// False when someone else's use of the files committed it meanwhile (or failed to).
bool RunTransaction::resumed() {
    if (!std::exchange(lingering_, false))
        return true;
    clearError();
    begun_ = resumeTransaction();
    return begun_;
}

namespace driver {

void settleLingering() {
    if (!lingering())
        return;
    setLingering(false);
    // The caller's own operation follows: it must not see this commit's error.
    KeptError kept;
    if (commitTransaction())
        return;
    lingerEnd = {true, errorCode(), driverErrorCode(), driverErrorText(), errorFile()};
    rollbackTransaction();
}

} // namespace driver

} // namespace tbk::data
