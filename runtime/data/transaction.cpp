#include "runtime/data/transaction.h"

#include "runtime/data/datafile.h"
#include "runtime/data/driver.h"
#include "runtime/values/pause.h"

#include <QElapsedTimer>
#include <QSet>

namespace tbk::data {

namespace {

// The connection holds one transaction at a time: none may begin while one waits to.
bool beginning = false;
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

bool inTransaction() { return driver::inTransaction(); }

} // namespace tbk::data
