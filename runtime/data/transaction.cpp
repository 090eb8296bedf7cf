#include "runtime/data/transaction.h"

#include "runtime/data/datafile.h"
#include "runtime/data/driver.h"

#include <QSet>

namespace tbk::data {

bool beginTransaction(int timeoutSeconds, const std::vector<DataFile *> &files) {
    clearError();
    if (driver::inTransaction()) {
        setError(TransactionActive);
        return false;
    }
    for (DataFile *f : files)
        if (!f->isOpen()) {
            setError(FileNotOpen, f->label());
            return false;
        }
    if (!driver::exec(QStringLiteral("BEGIN"), QString()))
        return false;
    driver::setBusyTimeout(qMax(0, timeoutSeconds) * 1000);
    QSet<QString> done;
    bool ok = true;
    for (DataFile *f : files) {
        if (done.contains(f->schemaName()))
            continue;
        done.insert(f->schemaName());
        // A write that changes nothing takes the file's write lock now.
        if (!driver::exec(QStringLiteral("DELETE FROM %1.tbk_meta WHERE 0").arg(f->schemaName()), f->label())) {
            ok = false;
            break;
        }
    }
    driver::setBusyTimeout(driver::defaultBusyTimeout());
    if (!ok) {
        const int code = errorCode();
        const QString file = errorFile();
        sqlite3_exec(driver::db(), "ROLLBACK", nullptr, nullptr, nullptr);
        setError(code == DriverError ? FileLocked : code, file);
        return false;
    }
    driver::setInTransaction(true);
    return true;
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
