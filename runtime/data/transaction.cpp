#include "runtime/data/transaction.h"

#include "runtime/data/datafile.h"
#include "runtime/data/driver.h"
#include "runtime/values/pause.h"

#include <QElapsedTimer>
#include <QSet>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace tbk::data {

namespace {

// The connection holds one transaction at a time: none may begin while one waits to.
bool beginning = false;
// The run whose transaction lingers, and the runs whose lingering one failed to commit, with
// the commit's error, until each resumes: a failure is told to its own run, not the next one.
const void *lingerer = nullptr;
struct LingerFailure {
    const void *run;
    int code, driverCode;
    QString driverText, file;
};
std::vector<LingerFailure> lingerFailures;

void forgetFailure(const void *run) {
    std::erase_if(lingerFailures, [run](const LingerFailure &f) { return f.run == run; });
}

constexpr qint64 kRetryMs = 20;
// A long run lets a waiting station have its files for up to this long before it takes them
// again: a station's write takes milliseconds, and one waiting on yet another's lock must not
// hold the run up for long.
constexpr qint64 kGiveWayMs = 500;
constexpr int kGiveWayStepMs = 2;

enum class Try { Locked, Busy, Failed };

// One try at the write locks of the files, without waiting. Locked leaves the transaction
// begun; otherwise nothing is held and the error is set. Busy names the file another holds.
Try lockFiles(const std::vector<DataFile *> &files, DataFile *&busy) {
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
            busy = f;
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
        DataFile *busy = nullptr;
        const Try attempt = lockFiles(files, busy);
        driver::setBusyTimeout(driver::defaultBusyTimeout());
        if (attempt == Try::Locked) {
            clearError();   // of the tries before
            driver::setInTransaction(true);
            return true;
        }
        if (attempt == Try::Failed || waited.elapsed() >= limit)
            return false;
        driver::WaitMark mark(busy->fullPath());
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

void lingerTransaction(const void *run) {
    forgetFailure(run);
    if (driver::inTransaction()) {
        lingerer = run;
        driver::setLingering(true);
    }
}

bool resumeTransaction(const void *run) {
    if (driver::lingering() && lingerer == run) {
        driver::setLingering(false);
        return true;
    }
    // Another run's may linger: it stays, to be committed by whoever uses the files next.
    const auto failure = std::find_if(lingerFailures.begin(), lingerFailures.end(),
                                      [run](const LingerFailure &f) { return f.run == run; });
    if (failure != lingerFailures.end()) {
        if (failure->code == DriverError)
            setDriverError(failure->driverCode, failure->driverText, failure->file);
        else
            setError(failure->code, failure->file);
        lingerFailures.erase(failure);
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
        giveWay();
        // Another process's lock is waited for a moment only: the run goes on without.
        begun_ = beginTransaction(1, files_);
    }
    age_.start();
    return !lost;
}

bool RunTransaction::pause() {
    if (begun_ && age_.elapsed() < commitMs_ && !stationWaits()) {
        lingerTransaction(this);
        lingering_ = true;
        return true;
    }
    return commit();
}

bool RunTransaction::commit() {
    if (!begun_)
        return true;
    if (!resumed())
        return errorCode() == NoError;
    begun_ = false;
    if (commitTransaction()) {
        ++commits_;
        return true;
    }
    KeptError kept;
    rollbackTransaction();
    return false;
}

bool RunTransaction::stationWaits() const {
    return std::any_of(files_.begin(), files_.end(), [](const DataFile *f) { return f->otherStationWaits(); });
}

// A station that waits for the files gets them before the run takes them again: it marks its
// wait while it sleeps between tries, which come at most 20 ms apart.
void RunTransaction::giveWay() const {
    QElapsedTimer waited;
    waited.start();
    while (stationWaits() && waited.elapsed() < kGiveWayMs)
        pauseFor(kGiveWayStepMs);
}

// False when someone else's use of the files committed it meanwhile (or failed to).
bool RunTransaction::resumed() {
    if (!std::exchange(lingering_, false))
        return true;
    clearError();
    begun_ = resumeTransaction(this);
    if (!begun_ && errorCode() == NoError)
        ++commits_;
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
    lingerFailures.push_back({lingerer, errorCode(), driverErrorCode(), driverErrorText(), errorFile()});
    rollbackTransaction();
}

} // namespace driver

} // namespace tbk::data
