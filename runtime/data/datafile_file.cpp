// Opening, creating and closing data files, and the operations on a whole file.
#include "runtime/data/datafile.h"

#include "runtime/data/driver.h"
#include "runtime/data/schema.h"
#include "runtime/data/transaction.h"
#include "runtime/values/pause.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tbk::data {

namespace {

int openFileCount = 0;

constexpr qint64 kLockRetryMs = 20;
constexpr int kCountWaitMs = 100;

} // namespace

// ---------------------------------------------------------------- opening

bool DataFile::lock(bool exclusive) {
    if (lockFd_ >= 0) {
        // Another thread's open of this file object is still waiting for the lock.
        setError(FileLocked, label_);
        return false;
    }
    const qint64 waitMs = qint64(recoverSeconds_) * 1000;
    // The share modes are advisory locks on a file beside the data file: SQLite's own locks are
    // POSIX locks on the data file, which any close() of another descriptor would drop.
    const QByteArray lp = driver::lockPath(fullPath()).toUtf8();
    lockFd_ = ::open(lp.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lockFd_ < 0 && (errno == EROFS || errno == EACCES)) {
        // A folder nobody may write to (a catalogue on read-only media) can still be read.
        lockFd_ = ::open(lp.constData(), O_RDONLY | O_CLOEXEC);
        if (lockFd_ < 0 && !exclusive && (errno == ENOENT || errno == EROFS || errno == EACCES))
            return true;
    }
    if (lockFd_ < 0) {
        setError(AccessDenied, label_);
        return false;
    }
    QElapsedTimer t;
    t.start();
    try {
        while (::flock(lockFd_, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
            if (t.elapsed() >= waitMs) {
                ::close(lockFd_);
                lockFd_ = -1;
                setError(FileLocked, label_);
                return false;
            }
            pauseFor(int(qMin<qint64>(kLockRetryMs, waitMs - t.elapsed())));
        }
    } catch (...) {
        // The program halts during the wait.
        ::close(lockFd_);
        lockFd_ = -1;
        throw;
    }
    return true;
}

void DataFile::unlock() {
    if (lockFd_ >= 0) {
        ::flock(lockFd_, LOCK_UN);
        ::close(lockFd_);
        lockFd_ = -1;
    }
}

bool DataFile::open(int mode) {
    clearError();
    if (open_) {
        setError(FileAlreadyOpen, label_);
        return false;
    }
    path_ = fullPath();
    if (!QFileInfo::exists(path_)) {
        setError(FileNotFound, label_);
        return false;
    }
    const bool locked = lock((mode & 0xf0) != DenyNone);
    recoverSeconds_ = 0;   // a recovery wait serves the next open only
    if (!locked)
        return false;
    attachment_ = driver::attach(path_, label_);
    if (!attachment_) {
        unlock();
        driver::releaseIfIdle();
        return false;
    }
    alias_ = attachment_->alias;
    if (!verifyLayout()) {
        // Letting go of the file touches no error state: verifyLayout's error stands.
        driver::detach(path_);
        attachment_ = nullptr;
        alias_.clear();
        unlock();
        driver::releaseIfIdle();
        return false;
    }
    counted_ = ensureCount();
    open_ = true;
    mode_ = mode;
    ++openFileCount;
    cursor_ = Cursor{};
    return true;
}

bool DataFile::verifyLayout() {
    sqlite3_stmt *st = driver::prepare(
        QStringLiteral("SELECT type,name FROM %1.sqlite_master").arg(alias_), label_);
    if (!st)
        return false;
    QSet<QString> names;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        names.insert(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 1))).toLower());
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) {
        driver::fail(rc, label_);
        return false;
    }
    if (names.isEmpty()) {
        setError(FileNotFound, label_);   // an empty database: never created
        return false;
    }
    if (!names.contains(QStringLiteral("records")) || !names.contains(QStringLiteral("tbk_meta"))) {
        setError(InvalidDataFile, label_);
        return false;
    }
    st = driver::prepare(QStringLiteral("SELECT name,value FROM %1.tbk_meta WHERE name IN ('layout','owner')").arg(alias_), label_);
    if (!st)
        return false;
    QString layout, owner;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const QString value = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 1)));
        (sqlite3_column_text(st, 0)[0] == 'l' ? layout : owner) = value;
    }
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) {
        driver::fail(rc, label_);
        return false;
    }
    if (owner != structure_->ownerPassword()) {
        setError(InvalidDataFile, label_);   // the declaration does not hold the file's password
        return false;
    }
    if (layout != structure_->layoutSignature()) {
        setError(InvalidRecordDeclaration, label_);
        return false;
    }
    for (const KeyDecl &k : structure_->keys())
        if (!names.contains(schema::indexName(k))) {
            setError(InvalidKeyFile, label_);
            return false;
        }
    return true;
}

bool DataFile::keepsCount() {
    const QStringList objects = schema::countObjects();
    sqlite3_stmt *st = driver::prepare(
        QStringLiteral("SELECT count(*) FROM %1.sqlite_master WHERE name IN (?,?,?)").arg(alias_), label_);
    if (!st)
        return false;
    for (int i = 0; i < objects.size(); ++i)
        driver::bind(st, i + 1, objects[i]);
    bool whole = sqlite3_step(st) == SQLITE_ROW && sqlite3_column_int(st, 0) == objects.size();
    sqlite3_reset(st);
    if (!whole)
        return false;
    st = driver::prepare(QStringLiteral("SELECT count(*) FROM %1.tbk_count").arg(alias_), label_);
    whole = st && sqlite3_step(st) == SQLITE_ROW && sqlite3_column_int(st, 0) == 1;
    if (st)
        sqlite3_reset(st);
    return whole;
}

bool DataFile::ensureCount() {
    bool ok = keepsCount();
    if (!ok && !driver::inTransaction()) {
        // Opening waits a moment for another process's write, not the full busy time.
        driver::setBusyTimeout(kCountWaitMs);
        ok = runScript(QStringList{QStringLiteral("BEGIN")} + schema::keepCount(alias_) + QStringList{QStringLiteral("COMMIT")});
        driver::setBusyTimeout(driver::defaultBusyTimeout());
    }
    clearError();
    return ok;
}

bool DataFile::withExclusiveAttach(const std::function<bool()> &work) {
    if (!lock(true))
        return false;
    path_ = fullPath();
    attachment_ = driver::attach(path_, label_);
    bool ok = attachment_ != nullptr;
    if (ok) {
        alias_ = attachment_->alias;
        ok = work();
        driver::detach(path_);
        driver::releaseIfIdle();
    }
    attachment_ = nullptr;
    alias_.clear();
    unlock();
    return ok;
}

bool DataFile::checkClosedOutsideTransaction() {
    clearError();
    if (open_) {
        setError(FileAlreadyOpen, label_);
        return false;
    }
    if (inTransaction()) {
        setError(TransactionActive, label_);
        return false;
    }
    return true;
}

bool DataFile::runScript(const QStringList &sql, qsizetype firstKeyIndex) {
    const auto &keys = structure_->keys();
    for (qsizetype i = 0; i < sql.size(); ++i) {
        if (driver::exec(sql[i], label_))
            continue;
        const qsizetype key = firstKeyIndex < 0 ? -1 : i - firstKeyIndex;
        if (key >= 0 && size_t(key) < keys.size() && (driverErrorCode() & 0xff) == SQLITE_CONSTRAINT)
            setDuplicateKeyError(label_, keys[size_t(key)].name);
        sqlite3_exec(driver::db(), "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    return true;
}

bool DataFile::create() {
    if (!checkClosedOutsideTransaction())
        return false;
    const QString path = fullPath();
    const bool isMain = driver::isMainPath(path);
    if (!isMain && QFileInfo::exists(path)) {
        // Replace whatever is there (also a file that is no database at all).
        if (!lock(true))
            return false;
        unlock();
        if (driver::connected() && !driver::dropAttachment(path)) {
            setError(FileLocked, label_);
            return false;
        }
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
    }
    return withExclusiveAttach([&] {
        QStringList sql{QStringLiteral("BEGIN")};
        sqlite3_stmt *st = driver::prepare(
            QStringLiteral("SELECT type,name FROM %1.sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%'").arg(alias_),
            label_);
        if (!st)
            return false;
        while (sqlite3_step(st) == SQLITE_ROW)
            sql << QStringLiteral("DROP TABLE %1.\"%2\"").arg(alias_, QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 1))).replace(QLatin1Char('"'), QStringLiteral("\"\"")));
        sqlite3_reset(st);
        sql << schema::createTable(*structure_, alias_, QStringLiteral("records"));
        for (const KeyDecl &k : structure_->keys())
            sql << schema::createIndex(*structure_, alias_, k);
        sql << schema::keepCount(alias_);
        if (!runScript(sql))
            return false;
        if (const int rc = schema::writeMeta(driver::db(), *structure_, alias_); rc != SQLITE_OK) {
            driver::fail(rc, label_);
            sqlite3_exec(driver::db(), "ROLLBACK", nullptr, nullptr, nullptr);
            return false;
        }
        return driver::commitOrRollback(label_);
    });
}

void DataFile::stream() {
    clearError();
    // The journal is kept between commits instead of made and deleted for each one; it still
    // holds every commit's undo until that commit is done, and commits still wait for the disk:
    // a power cut must not damage the file. Between commits the file is everyone's: other
    // stations read it and write to it, and the cache is kept unless one of them wrote.
    if (open_ && !streaming_ && ensureAttached() &&
        driver::exec(QStringLiteral("PRAGMA %1.journal_mode=PERSIST;PRAGMA %1.cache_size=-%2")
                         .arg(alias_).arg(driver::kStreamCacheKiB), label_)) {
        streaming_ = true;
        driver::keep(attachment_, true);
    }
}

void DataFile::flush() {
    clearError();
    if (open_ && streaming_ &&
        driver::exec(QStringLiteral("PRAGMA %1.journal_mode=DELETE;PRAGMA %1.cache_size=-%2").arg(alias_).arg(driver::kCacheKiB),
                     label_)) {
        streaming_ = false;
        driver::keep(attachment_, false);
    }
}

bool DataFile::otherStationWaits() const { return driver::othersWait(lockFd_); }

bool DataFile::holdReads() {
    if (readHold_)
        return true;
    if (!open_ || inTransaction() || !sqlite3_get_autocommit(driver::db()) || !ensureAttached())
        return false;
    // Its own statement, out of the caches: emptying them must not end the hold unseen.
    const QByteArray sql = QStringLiteral("SELECT name FROM %1.tbk_meta").arg(alias_).toUtf8();
    if (sqlite3_prepare_v2(driver::db(), sql.constData(), int(sql.size()), &readHold_, nullptr) != SQLITE_OK ||
        sqlite3_step(readHold_) != SQLITE_ROW) {
        releaseReads();
        return false;
    }
    return true;
}

void DataFile::releaseReads() {
    if (readHold_) {
        sqlite3_finalize(readHold_);
        readHold_ = nullptr;
    }
}

void DataFile::close() {
    if (!open_)
        return;
    releaseReads();
    flush();
    if (streaming_) {
        streaming_ = false;
        driver::keep(attachment_, false);
    }
    driver::detach(path_);
    unlock();
    open_ = false;
    attachment_ = nullptr;
    alias_.clear();
    --openFileCount;
    if (openFileCount == 0)
        driver::releaseIfIdle();
}

bool DataFile::checkOpen(bool write) {
    clearError();
    if (!open_) {
        setError(FileNotOpen, label_);
        return false;
    }
    if (write && (mode_ & 0x0f) == ReadOnly) {
        setError(AccessDenied, label_);
        return false;
    }
    return driver::use(attachment_, label_);
}

bool DataFile::ensureAttached() {
    if (!attachment_) {
        setError(FileNotOpen, label_);
        return false;
    }
    return driver::use(attachment_, label_);
}

// ---------------------------------------------------------------- the whole file

qint64 DataFile::records() {
    if (!checkOpen(false))
        return -1;
    sqlite3_stmt *st = counted_ ? statement(8u << 12, [&] { return QStringLiteral("SELECT n FROM %1.tbk_count").arg(alias_); })
                                : statement(7u << 12, [&] { return QStringLiteral("SELECT count(*) FROM %1.records").arg(alias_); });
    if (!st)
        return -1;
    const int rc = sqlite3_step(st);
    const qint64 n = rc == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
    sqlite3_reset(st);
    if (rc == SQLITE_DONE && counted_) {
        counted_ = false;   // its row was taken away behind our back: count the rows
        return records();
    }
    if (rc != SQLITE_ROW)
        driver::fail(rc, label_);
    return n;
}

qint64 DataFile::bytes() {
    if (!checkOpen(false))
        return -1;
    return QFileInfo(path_).size();
}

bool DataFile::buildKeys() {
    clearError();
    if (inTransaction()) {
        setError(TransactionActive, label_);
        return false;
    }
    auto rebuild = [this] {
        QStringList sql{QStringLiteral("BEGIN")};
        for (const KeyDecl &k : structure_->keys())
            sql << QStringLiteral("DROP INDEX IF EXISTS %1.%2").arg(alias_, schema::indexName(k));
        const qsizetype firstKey = sql.size();
        for (const KeyDecl &k : structure_->keys())
            sql << schema::createIndex(*structure_, alias_, k);
        // A rebuild is also the repair of a count gone wrong.
        sql << schema::keepCount(alias_);
        if (!runScript(sql, firstKey) || !driver::commitOrRollback(label_))
            return false;
        counted_ = true;
        return true;
    };
    if (open_)
        return checkOpen(true) && rebuild();
    // A file whose keys are damaged cannot be opened: rebuild it closed, for itself alone.
    if (!QFileInfo::exists(fullPath())) {
        setError(FileNotFound, label_);
        return false;
    }
    return withExclusiveAttach([&] {
        if (!verifyLayout() && errorCode() != InvalidKeyFile)
            return false;
        clearError();
        return rebuild();
    });
}

bool DataFile::pack() {
    if (!checkOpen(true))
        return false;
    if (inTransaction()) {
        setError(TransactionActive, label_);
        return false;
    }
    const QString cols = columns_;
    QStringList sql{QStringLiteral("BEGIN")};
    sql << schema::createTable(*structure_, alias_, QStringLiteral("records_new"));
    sql << QStringLiteral("INSERT INTO %1.records_new(_rid,_ver,%2) SELECT row_number() OVER (ORDER BY _rid),_ver,%2 FROM %1.records")
               .arg(alias_, cols);
    sql << QStringLiteral("DROP TABLE %1.records").arg(alias_);
    sql << QStringLiteral("ALTER TABLE %1.records_new RENAME TO records").arg(alias_);
    for (const KeyDecl &k : structure_->keys())
        sql << schema::createIndex(*structure_, alias_, k);
    sql << schema::keepCount(alias_);   // the triggers went with the old table
    sql << QStringLiteral("UPDATE %1.sqlite_sequence SET seq=(SELECT n FROM %1.tbk_count) WHERE name='records'").arg(alias_);
    sql << QStringLiteral("COMMIT");
    driver::finalizeAll();
    const bool ok = runScript(sql);
    driver::finalizeAll();
    if (!ok)
        return false;
    counted_ = true;
    sqlite3_exec(driver::db(), QStringLiteral("VACUUM %1").arg(alias_).toUtf8().constData(), nullptr, nullptr, nullptr);
    buffer_.position = 0;
    cursor_ = Cursor{};
    return true;
}

QString DataFile::send(const QString &command) {
    clearError();
    const QString c = command.trimmed();
    if (c.compare(QLatin1String("HELD"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("OFF");
    if (c.compare(QLatin1String("QUICKSCAN"), Qt::CaseInsensitive) == 0)
        return quickScan_ ? QStringLiteral("ON") : QStringLiteral("OFF");
    const qsizetype eq = c.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return {};
    const QString name = c.left(eq).trimmed();
    const QString value = c.mid(eq + 1).trimmed();
    if (name.compare(QLatin1String("RECOVER"), Qt::CaseInsensitive) == 0) {
        bool ok = false;
        const int n = value.toInt(&ok);
        if (ok && n >= 0)
            recoverSeconds_ = qMin(n, 3600);
    } else if (name.compare(QLatin1String("QUICKSCAN"), Qt::CaseInsensitive) == 0) {
        if (value.compare(QLatin1String("ON"), Qt::CaseInsensitive) == 0)
            quickScan_ = true;
        else if (value.compare(QLatin1String("OFF"), Qt::CaseInsensitive) == 0)
            quickScan_ = false;
    }
    return {};
}

} // namespace tbk::data
