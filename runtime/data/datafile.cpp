#include "runtime/data/datafile.h"

#include "runtime/data/driver.h"
#include "runtime/data/schema.h"
#include "runtime/values/text.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tbk::data {

namespace {

int openFileCount = 0;

void bindCell(sqlite3_stmt *st, int i, const FieldDecl &f, const Cell &c) {
    if (f.kind == FieldKind::Text || f.kind == FieldKind::Memo) {
        const QByteArray u = c.s.toUtf8();
        sqlite3_bind_text(st, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
    } else {
        sqlite3_bind_int64(st, i, c.n);
    }
}

QString lockPath(const QString &path) { return path + QStringLiteral("-lock"); }

// Fetch this many rows per query when a filter may reject some (the filter runs with no
// statement active, so it may read files itself).
constexpr int kFilteredBatch = 32;

} // namespace

// ---------------------------------------------------------------- Key

const KeyDecl &Key::decl() const { return file_->structure().keys()[size_t(index_)]; }
QString Key::name() const { return file_->prefix() + QLatin1Char(':') + decl().name; }

// ---------------------------------------------------------------- identity

DataFile::DataFile(QString label, QString prefix, FileStructure &structure)
    : RecordBuffer(std::move(label), std::move(prefix), structure) {
    for (size_t i = 0; i < structure_->keys().size(); ++i)
        keys_.push_back(std::make_unique<Key>(this, int(i)));
}

DataFile::~DataFile() {
    close();
    if (mainFile() == this)
        setMainFile(nullptr);
}

std::vector<DataFile *> DataFile::all() {
    std::vector<DataFile *> r;
    for (RecordBuffer *b : RecordBuffer::all())
        if (auto f = dynamic_cast<DataFile *>(b))
            r.push_back(f);
    return r;
}

DataFile *DataFile::find(const QString &name) {
    for (DataFile *f : all())
        if (f->prefix_.compare(name, Qt::CaseInsensitive) == 0)
            return f;
    for (DataFile *f : all())
        if (f->label_.compare(name, Qt::CaseInsensitive) == 0)
            return f;
    return nullptr;
}

QString DataFile::name() const {
    if (!name_.isEmpty())
        return name_;
    const QString d = structure_->diskName();
    return d.contains(QLatin1Char('.')) ? d : d + QStringLiteral(".dat");
}

void DataFile::setName(const QString &diskName) {
    if (!open_)
        name_ = diskName;
}

QString DataFile::fullPath() const {
    if (open_)
        return path_;
    return QDir::cleanPath(QDir::current().absoluteFilePath(name()));
}

// ---------------------------------------------------------------- opening

bool DataFile::lock(bool exclusive) {
    const QByteArray lp = lockPath(fullPath()).toUtf8();
    lockFd_ = ::open(lp.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lockFd_ < 0) {
        setError(AccessDenied, label_);
        return false;
    }
    QElapsedTimer t;
    t.start();
    while (::flock(lockFd_, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        if (t.elapsed() >= qint64(recoverSeconds_) * 1000) {
            ::close(lockFd_);
            lockFd_ = -1;
            setError(FileLocked, label_);
            return false;
        }
        QThread::msleep(20);
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
    if (!lock((mode & 0xf0) != DenyNone))
        return false;
    alias_ = driver::attach(path_, label_);
    if (alias_.isEmpty()) {
        unlock();
        driver::releaseIfIdle();
        return false;
    }
    if (!verifyLayout()) {
        const int code = errorCode();
        const int dcode = driverErrorCode();
        const QString dtext = driverErrorText();
        driver::detach(path_);
        unlock();
        driver::releaseIfIdle();
        if (code == DriverError)
            setDriverError(dcode, dtext, label_);
        else
            setError(code, label_);
        return false;
    }
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
    st = driver::prepare(QStringLiteral("SELECT value FROM %1.tbk_meta WHERE name='layout'").arg(alias_), label_);
    if (!st)
        return false;
    QString layout;
    rc = sqlite3_step(st);
    if (rc == SQLITE_ROW)
        layout = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    sqlite3_reset(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        driver::fail(rc, label_);
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

bool DataFile::withExclusiveAttach(const std::function<bool()> &work) {
    if (!lock(true))
        return false;
    path_ = fullPath();
    alias_ = driver::attach(path_, label_);
    bool ok = !alias_.isEmpty();
    if (ok) {
        ok = work();
        const int code = errorCode(), dcode = driverErrorCode();
        const QString dtext = driverErrorText(), key = errorKey();
        driver::detach(path_);
        driver::releaseIfIdle();
        if (code == DuplicateKey) setDuplicateKeyError(label_, key);
        else if (code == DriverError) setDriverError(dcode, dtext, label_);
        else if (code) setError(code, label_);
    }
    alias_.clear();
    unlock();
    return ok;
}

bool DataFile::create() {
    clearError();
    if (open_) {
        setError(FileAlreadyOpen, label_);
        return false;
    }
    if (driver::inTransaction()) {
        setError(TransactionActive, label_);
        return false;
    }
    const QString path = fullPath();
    const bool isMain = driver::isMainPath(path);
    if (!isMain && QFileInfo::exists(path)) {
        // Replace whatever is there (also a file that is no database at all).
        if (!lock(true))
            return false;
        unlock();
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
        sql << schema::writeMeta(*structure_, alias_);
        sql << QStringLiteral("COMMIT");
        for (const QString &s : sql)
            if (!driver::exec(s, label_)) {
                driver::exec(QStringLiteral("ROLLBACK"), label_);
                return false;
            }
        return true;
    });
}

void DataFile::close() {
    if (!open_)
        return;
    driver::detach(path_);
    unlock();
    open_ = false;
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
    return true;
}

// ---------------------------------------------------------------- keys

const Key *DataFile::key(const QString &name) const {
    QString n = name;
    const qsizetype colon = n.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        if (n.left(colon).compare(prefix_, Qt::CaseInsensitive) != 0)
            return nullptr;
        n = n.mid(colon + 1);
    }
    const int i = structure_->keyIndex(n);
    return i < 0 ? nullptr : keys_[size_t(i)].get();
}

void DataFile::loadRow(sqlite3_stmt *st, Record &into) const {
    into.position = sqlite3_column_int64(st, 0);
    into.version = sqlite3_column_int64(st, 1);
    const auto &fields = structure_->fields();
    into.cells.resize(fields.size());
    for (size_t i = 0; i < fields.size(); ++i) {
        Cell &c = into.cells[i];
        if (fields[i].kind == FieldKind::Text || fields[i].kind == FieldKind::Memo) {
            const int n = sqlite3_column_bytes(st, int(i) + 2);
            c.s = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, int(i) + 2)), n);
            c.n = 0;
        } else {
            c.n = sqlite3_column_int64(st, int(i) + 2);
            c.s.clear();
        }
    }
}

// ---------------------------------------------------------------- sequential reading

void DataFile::set(const Key &k) { cursor_ = Cursor{k.index(), Cursor::None, {}, 0}; }

void DataFile::setFromBuffer(const Key &k) {
    Cursor c{k.index(), Cursor::Values, {}, 0};
    for (int i : k.decl().fields)
        c.values.push_back(buffer_.cells[size_t(i)]);
    cursor_ = c;
}

void DataFile::setAt(const Key &k, Position p) {
    Record saved = buffer_;
    if (get(p)) {
        Cursor c{k.index(), Cursor::AtRecord, {}, p};
        for (int i : k.decl().fields)
            c.values.push_back(buffer_.cells[size_t(i)]);
        cursor_ = c;
    } else {
        cursor_ = Cursor{k.index(), Cursor::None, {}, 0};
    }
    buffer_ = saved;
}

void DataFile::setPhysical(Position from) {
    cursor_ = from > 0 ? Cursor{-1, Cursor::AtRecord, {}, from} : Cursor{-1, Cursor::None, {}, 0};
}

bool DataFile::next() { return readNext(cursor_, true, {}); }
bool DataFile::previous() { return readNext(cursor_, false, {}); }

bool DataFile::readNext(Cursor &c, bool forward, const std::function<bool()> &accept,
                        const QString &condition, const QVariantList &binds) {
    if (!checkOpen(false))
        return false;
    const auto &fields = structure_->fields();
    const KeyDecl *k = c.key >= 0 ? &structure_->keys()[size_t(c.key)] : nullptr;
    QStringList keyCols;
    if (k)
        for (int i : k->fields)
            keyCols << schema::column(fields[size_t(i)]);
    const QString dir = forward ? QString() : QStringLiteral(" DESC");
    const QString orderBy = (QStringList(keyCols) << QStringLiteral("_rid")).join(dir + QLatin1Char(',')) + dir;
    const Record saved = buffer_;
    const int batch = accept ? kFilteredBatch : 1;
    for (;;) {
        QStringList where;
        const char *op = nullptr;
        const bool withRid = c.anchor != Cursor::Values || !k;
        switch (c.anchor) {
        case Cursor::None: break;
        case Cursor::Values:
        case Cursor::AtRecord: op = forward ? ">=" : "<="; break;
        case Cursor::After: op = forward ? ">" : "<"; break;
        }
        if (op) {
            QStringList lhs = keyCols;
            if (withRid)
                lhs << QStringLiteral("_rid");
            QStringList qs;
            for (int i = 0; i < lhs.size(); ++i)
                qs << QStringLiteral("?");
            where << QStringLiteral("(%1)%2(%3)").arg(lhs.join(QLatin1Char(',')), QLatin1String(op), qs.join(QLatin1Char(',')));
        }
        if (k && k->excludesBlanks())
            where << schema::inKeyCondition(*structure_, *k);
        if (!condition.isEmpty())
            where << QLatin1Char('(') + condition + QLatin1Char(')');
        const QString sql = QStringLiteral("SELECT _rid,_ver,%1 FROM %2.records%3 ORDER BY %4 LIMIT ?")
                                .arg(schema::columnList(*structure_), alias_,
                                     where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND ")),
                                     orderBy);
        sqlite3_stmt *st = driver::prepare(sql, label_);
        if (!st)
            return false;
        int b = 1;
        if (op) {
            if (k)
                for (size_t i = 0; i < k->fields.size() && i < c.values.size(); ++i)
                    bindCell(st, b++, fields[size_t(k->fields[i])], c.values[i]);
            if (withRid)
                sqlite3_bind_int64(st, b++, c.position);
        }
        for (const QVariant &v : binds)
            driver::bind(st, b++, v);
        sqlite3_bind_int(st, b, batch);
        std::vector<Record> rows;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            rows.emplace_back();
            loadRow(st, rows.back());
        }
        sqlite3_reset(st);
        if (rc != SQLITE_DONE) {
            driver::fail(rc, label_);
            buffer_ = saved;
            return false;
        }
        for (Record &r : rows) {
            buffer_ = std::move(r);
            c.anchor = Cursor::After;
            c.position = buffer_.position;
            c.values.clear();
            if (k)
                for (int i : k->fields)
                    c.values.push_back(buffer_.cells[size_t(i)]);
            if (!accept || accept()) {
                clearError();
                return true;
            }
        }
        if (int(rows.size()) < batch) {
            buffer_ = saved;
            setError(RecordNotAvailable, label_);
            return false;
        }
        // The whole batch was filtered out: go on after its last row.
    }
}

// ---------------------------------------------------------------- direct reading

bool DataFile::get(const Key &k) {
    if (!checkOpen(false))
        return false;
    const KeyDecl &kd = k.decl();
    const auto &fields = structure_->fields();
    bool allBlank = true;
    QStringList where;
    for (int i : kd.fields) {
        const Cell &c = buffer_.cells[size_t(i)];
        if (!c.s.isEmpty() || c.n != 0)
            allBlank = false;
        where << schema::column(fields[size_t(i)]) + QStringLiteral("=?");
    }
    if (kd.excludesBlanks()) {
        if (allBlank) {
            setError(RecordNotFound, label_);
            return false;
        }
        where << schema::inKeyCondition(*structure_, kd);
    }
    sqlite3_stmt *st = driver::prepare(
        QStringLiteral("SELECT _rid,_ver,%1 FROM %2.records WHERE %3 ORDER BY _rid LIMIT 1")
            .arg(schema::columnList(*structure_), alias_, where.join(QStringLiteral(" AND "))),
        label_);
    if (!st)
        return false;
    int b = 1;
    for (int i : kd.fields)
        bindCell(st, b++, fields[size_t(i)], buffer_.cells[size_t(i)]);
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
        loadRow(st, buffer_);
        sqlite3_reset(st);
        Cursor c{k.index(), Cursor::After, {}, buffer_.position};
        for (int i : kd.fields)
            c.values.push_back(buffer_.cells[size_t(i)]);
        cursor_ = c;
        return true;
    }
    sqlite3_reset(st);
    if (rc == SQLITE_DONE)
        setError(RecordNotFound, label_);
    else
        driver::fail(rc, label_);
    return false;
}

bool DataFile::get(Position p) {
    if (!checkOpen(false))
        return false;
    sqlite3_stmt *st = driver::prepare(
        QStringLiteral("SELECT _rid,_ver,%1 FROM %2.records WHERE _rid=?").arg(schema::columnList(*structure_), alias_),
        label_);
    if (!st)
        return false;
    sqlite3_bind_int64(st, 1, p);
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
        loadRow(st, buffer_);
        sqlite3_reset(st);
        return true;
    }
    sqlite3_reset(st);
    if (rc == SQLITE_DONE)
        setError(RecordNotFound, label_);
    else
        driver::fail(rc, label_);
    return false;
}

// ---------------------------------------------------------------- writing

void DataFile::failWrite(int rc) {
    if ((rc & 0xff) == SQLITE_CONSTRAINT) {
        // Name the key that refused: look for another record with the same values.
        const auto &fields = structure_->fields();
        for (const KeyDecl &k : structure_->keys()) {
            if (!k.unique())
                continue;
            QStringList where;
            for (int i : k.fields)
                where << schema::column(fields[size_t(i)]) + QStringLiteral("=?");
            if (k.excludesBlanks())
                where << schema::inKeyCondition(*structure_, k);
            where << QStringLiteral("_rid<>?");
            sqlite3_stmt *st = driver::prepare(
                QStringLiteral("SELECT 1 FROM %1.records WHERE %2 LIMIT 1").arg(alias_, where.join(QStringLiteral(" AND "))),
                label_);
            if (!st)
                break;
            int b = 1;
            for (int i : k.fields)
                bindCell(st, b++, fields[size_t(i)], buffer_.cells[size_t(i)]);
            sqlite3_bind_int64(st, b, buffer_.position);
            const bool found = sqlite3_step(st) == SQLITE_ROW;
            sqlite3_reset(st);
            if (found) {
                setDuplicateKeyError(label_, k.name);
                return;
            }
        }
    }
    driver::fail(rc, label_);
}

bool DataFile::add() {
    if (!checkOpen(true))
        return false;
    const auto &fields = structure_->fields();
    QStringList qs;
    for (size_t i = 0; i < fields.size(); ++i)
        qs << QStringLiteral("?");
    sqlite3_stmt *st = driver::prepare(QStringLiteral("INSERT INTO %1.records(%2) VALUES(%3)")
                                           .arg(alias_, schema::columnList(*structure_), qs.join(QLatin1Char(','))),
                                       label_);
    if (!st)
        return false;
    for (size_t i = 0; i < fields.size(); ++i)
        bindCell(st, int(i) + 1, fields[i], buffer_.cells[i]);
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) {
        const Position keep = buffer_.position;
        buffer_.position = 0;
        failWrite(rc);
        buffer_.position = keep;
        return false;
    }
    buffer_.position = sqlite3_last_insert_rowid(driver::db());
    buffer_.version = 0;
    return true;
}

bool DataFile::put() {
    if (!checkOpen(true))
        return false;
    if (buffer_.position == 0) {
        setError(RecordNotAvailable, label_);
        return false;
    }
    const auto &fields = structure_->fields();
    QStringList sets{QStringLiteral("_ver=_ver+1")};
    for (const FieldDecl &f : fields)
        sets << schema::column(f) + QStringLiteral("=?");
    sqlite3_stmt *st = driver::prepare(QStringLiteral("UPDATE %1.records SET %2 WHERE _rid=? AND _ver=?")
                                           .arg(alias_, sets.join(QLatin1Char(','))),
                                       label_);
    if (!st)
        return false;
    int b = 1;
    for (size_t i = 0; i < fields.size(); ++i)
        bindCell(st, b++, fields[i], buffer_.cells[i]);
    sqlite3_bind_int64(st, b++, buffer_.position);
    sqlite3_bind_int64(st, b, buffer_.version);
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) {
        failWrite(rc);
        return false;
    }
    if (sqlite3_changes(driver::db()) == 0) {
        setError(RecordChanged, label_);
        return false;
    }
    ++buffer_.version;
    return true;
}

bool DataFile::remove() {
    if (!checkOpen(true))
        return false;
    if (buffer_.position == 0) {
        setError(RecordNotAvailable, label_);
        return false;
    }
    sqlite3_stmt *st = driver::prepare(QStringLiteral("DELETE FROM %1.records WHERE _rid=?").arg(alias_), label_);
    if (!st)
        return false;
    sqlite3_bind_int64(st, 1, buffer_.position);
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) {
        driver::fail(rc, label_);
        return false;
    }
    if (sqlite3_changes(driver::db()) == 0) {
        setError(RecordNotFound, label_);
        return false;
    }
    buffer_.position = 0;
    return true;
}

// ---------------------------------------------------------------- the whole file

qint64 DataFile::records() {
    if (!checkOpen(false))
        return -1;
    sqlite3_stmt *st = driver::prepare(QStringLiteral("SELECT count(*) FROM %1.records").arg(alias_), label_);
    if (!st)
        return -1;
    const int rc = sqlite3_step(st);
    const qint64 n = rc == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
    sqlite3_reset(st);
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
    if (!checkOpen(true))
        return false;
    const bool own = !driver::inTransaction();
    if (own && !driver::exec(QStringLiteral("BEGIN"), label_))
        return false;
    for (const KeyDecl &k : structure_->keys()) {
        if (!driver::exec(QStringLiteral("DROP INDEX IF EXISTS %1.%2").arg(alias_, schema::indexName(k)), label_)
            || !driver::exec(schema::createIndex(*structure_, alias_, k), label_)) {
            if (errorCode() == DriverError && (driverErrorCode() & 0xff) == SQLITE_CONSTRAINT)
                setDuplicateKeyError(label_, k.name);
            if (own)
                sqlite3_exec(driver::db(), "ROLLBACK", nullptr, nullptr, nullptr);
            return false;
        }
    }
    return !own || driver::exec(QStringLiteral("COMMIT"), label_);
}

bool DataFile::pack() {
    if (!checkOpen(true))
        return false;
    if (driver::inTransaction()) {
        setError(TransactionActive, label_);
        return false;
    }
    const QString cols = schema::columnList(*structure_);
    QStringList sql{QStringLiteral("BEGIN")};
    sql << schema::createTable(*structure_, alias_, QStringLiteral("records_new"));
    sql << QStringLiteral("INSERT INTO %1.records_new(_rid,_ver,%2) SELECT row_number() OVER (ORDER BY _rid),_ver,%2 FROM %1.records")
               .arg(alias_, cols);
    sql << QStringLiteral("DROP TABLE %1.records").arg(alias_);
    sql << QStringLiteral("ALTER TABLE %1.records_new RENAME TO records").arg(alias_);
    for (const KeyDecl &k : structure_->keys())
        sql << schema::createIndex(*structure_, alias_, k);
    sql << QStringLiteral("UPDATE %1.sqlite_sequence SET seq=(SELECT count(*) FROM %1.records) WHERE name='records'").arg(alias_);
    sql << QStringLiteral("COMMIT");
    driver::finalizeAll();
    for (const QString &s : sql)
        if (!driver::exec(s, label_)) {
            sqlite3_exec(driver::db(), "ROLLBACK", nullptr, nullptr, nullptr);
            return false;
        }
    driver::finalizeAll();
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
    const qsizetype eq = c.indexOf(QLatin1Char('='));
    if (eq > 0 && c.left(eq).trimmed().compare(QLatin1String("RECOVER"), Qt::CaseInsensitive) == 0) {
        bool ok = false;
        const int n = c.mid(eq + 1).trimmed().toInt(&ok);
        if (ok && n >= 0)
            recoverSeconds_ = qMin(n, 3600);
    }
    return {};
}

QString DataFile::columnName(const FieldDecl &f) { return schema::column(f); }

} // namespace tbk::data
