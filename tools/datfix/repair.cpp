#include "tools/datfix/repair.h"

#include "runtime/data/declaration.h"
#include "runtime/data/driver.h"
#include "runtime/data/schema.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tbk::datfix {

namespace {

using data::FieldDecl;
using data::FieldKind;
using data::FileStructure;

struct Db {
    sqlite3 *h = nullptr;
    ~Db() { sqlite3_close_v2(h); }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(h)); }
};

bool exec(Db &db, const QString &sql) {
    return sqlite3_exec(db.h, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool looksLikeDatabase(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    return f.read(16) == QByteArray("SQLite format 3\0", 16);
}

QString metaValue(Db &db, const char *name) {
    sqlite3_stmt *st = nullptr;
    QString v;
    if (sqlite3_prepare_v2(db.h, "SELECT value FROM tbk_meta WHERE name=?", -1, &st, nullptr) == SQLITE_OK) {
        sqlite3_bind_text(st, 1, name, -1, SQLITE_STATIC);
        if (sqlite3_step(st) == SQLITE_ROW)
            v = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    }
    sqlite3_finalize(st);
    return v;
}

QStringList tableNames(Db &db, bool *ok) {
    QStringList names;
    sqlite3_stmt *st = nullptr;
    int rc = sqlite3_prepare_v2(db.h, "SELECT name FROM sqlite_master WHERE type='table'", -1, &st, nullptr);
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        if ((rc = sqlite3_step(st)) != SQLITE_ROW)
            break;
        names << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    }
    sqlite3_finalize(st);
    *ok = rc == SQLITE_DONE;
    return names;
}

QStringList integrityProblems(Db &db) {
    QStringList out;
    sqlite3_stmt *st = nullptr;
    int rc = sqlite3_prepare_v2(db.h, "PRAGMA integrity_check(20)", -1, &st, nullptr);
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        if ((rc = sqlite3_step(st)) != SQLITE_ROW)
            break;
        const QString line = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        if (line != QLatin1String("ok"))
            out << line;
    }
    if (rc != SQLITE_DONE && out.isEmpty())
        out << db.error();
    sqlite3_finalize(st);
    return out;
}

QStringList columnsOf(Db &db) {
    QStringList cols;
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db.h, "SELECT name FROM pragma_table_info('records')", -1, &st, nullptr) == SQLITE_OK)
        while (sqlite3_step(st) == SQLITE_ROW)
            cols << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return cols;
}

qint64 highestPosition(Db &db) {
    for (const char *sql : {"SELECT seq FROM sqlite_sequence WHERE name='records'", "SELECT max(_rid) FROM records"}) {
        sqlite3_stmt *st = nullptr;
        qint64 v = -1;
        if (sqlite3_prepare_v2(db.h, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            v = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
        if (v >= 0)
            return v;
    }
    return qint64(1) << 40;
}

// A backup never replaces an earlier one: that may hold the only copy of the rows an earlier
// repair could not read.
QString freeBackupName(const QString &name) {
    const QString base = name + QStringLiteral(".bak");
    QString backup = base;
    for (int n = 1; QFileInfo::exists(backup) || QFileInfo::exists(backup + QStringLiteral("-journal")); ++n)
        backup = base + QString::number(n);
    return backup;
}

class Lock {
public:
    explicit Lock(const QString &path) {
        fd_ = ::open((path + QStringLiteral("-lock")).toUtf8().constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        ok_ = fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
    }
    ~Lock() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool ok() const { return ok_; }

private:
    int fd_ = -1;
    bool ok_ = false;
};

// Copies every readable row of `from` into `to`, skipping over stretches that fail to read.
void copyRows(Db &from, Db &to, const FileStructure &s, Outcome &out) {
    const QStringList have = columnsOf(from);
    QStringList src{QStringLiteral("_rid")}, dst{QStringLiteral("_rid")};
    if (have.contains(QStringLiteral("_ver"))) {
        src << QStringLiteral("_ver");
        dst << QStringLiteral("_ver");
    }
    for (const FieldDecl &f : s.fields())
        for (const QString &c : have)
            if (c.compare(f.name, Qt::CaseInsensitive) == 0) {
                src << QLatin1Char('"') + c + QLatin1Char('"');
                dst << data::schema::column(f);
            }
    QStringList qs;
    for (int i = 0; i < dst.size(); ++i)
        qs << QStringLiteral("?");
    sqlite3_stmt *read = nullptr, *write = nullptr;
    const QByteArray rsql = QStringLiteral("SELECT %1 FROM records WHERE _rid>? ORDER BY _rid").arg(src.join(QLatin1Char(','))).toUtf8();
    const QByteArray wsql = QStringLiteral("INSERT OR IGNORE INTO records(%1) VALUES(%2)").arg(dst.join(QLatin1Char(',')), qs.join(QLatin1Char(','))).toUtf8();
    if (sqlite3_prepare_v2(to.h, wsql.constData(), -1, &write, nullptr) != SQLITE_OK
        || sqlite3_prepare_v2(from.h, rsql.constData(), -1, &read, nullptr) != SQLITE_OK) {
        out.unreadable++;
        sqlite3_finalize(read);
        sqlite3_finalize(write);
        return;
    }
    const qint64 highest = highestPosition(from);
    qint64 last = 0, step = 1;
    bool failing = false;
    while (last < highest) {
        sqlite3_reset(read);
        sqlite3_bind_int64(read, 1, last);
        int rc;
        while ((rc = sqlite3_step(read)) == SQLITE_ROW) {
            last = sqlite3_column_int64(read, 0);
            for (int i = 0; i < dst.size(); ++i)
                sqlite3_bind_value(write, i + 1, sqlite3_column_value(read, i));
            if (sqlite3_step(write) == SQLITE_DONE) {
                if (sqlite3_changes(to.h) == 1)
                    ++out.kept;
                else
                    ++out.duplicates;
            }
            sqlite3_reset(write);
            step = 1;
            failing = false;
        }
        if (rc == SQLITE_DONE)
            break;
        // Unreadable here: jump ahead, further each time, until rows come again.
        if (!failing)
            ++out.unreadable;
        failing = true;
        last += step;
        step = qMin<qint64>(step * 2, 1 << 20);
    }
    sqlite3_finalize(read);
    sqlite3_finalize(write);
}

} // namespace

Outcome run(const QStringList &args) {
    Outcome out;
    QString name, example;
    for (const QString &a : args) {
        if (a.startsWith(QLatin1String("/E:"), Qt::CaseInsensitive))
            example = a.mid(3);
        else if (a.compare(QLatin1String("/K"), Qt::CaseInsensitive) == 0)
            ;   // the original is always kept
        else if (name.isEmpty() && !a.startsWith(QLatin1Char('/')))
            name = a;
        else {
            out.exit = Usage;
            out.messages << QStringLiteral("unknown argument \"%1\"").arg(a);
        }
    }
    if (name.isEmpty() || out.exit == Usage) {
        out.exit = Usage;
        out.messages << QStringLiteral("usage: datfix <file> [/E:<example>.dex] [/K]");
        return out;
    }
    const QString path = QFileInfo(name).absoluteFilePath();
    if (!QFileInfo::exists(path)) {
        out.exit = Missing;
        out.messages << QStringLiteral("%1: file not found").arg(name);
        return out;
    }
    if (!looksLikeDatabase(path)) {
        out.exit = NotOurs;
        out.messages << QStringLiteral("%1 is not a data file of this program; nothing was changed").arg(name);
        return out;
    }
    Lock lock(path);
    if (!lock.ok()) {
        out.exit = InUse;
        out.messages << QStringLiteral("%1 is in use; close the program and try again").arg(name);
        return out;
    }
    // Keep the original exactly as found, with a journal left by a crash.
    const QString backup = freeBackupName(name);
    if (!QFile::copy(path, backup)) {
        out.exit = Unrecoverable;
        out.messages << QStringLiteral("cannot keep a copy of %1 as %2; nothing was changed").arg(name, backup);
        return out;
    }
    if (QFileInfo::exists(path + QStringLiteral("-journal")))
        QFile::copy(path + QStringLiteral("-journal"), backup + QStringLiteral("-journal"));

    Db from;
    if (sqlite3_open_v2(path.toUtf8().constData(), &from.h, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        out.exit = Unrecoverable;
        out.messages << QStringLiteral("cannot open %1: %2").arg(name, from.error());
        return out;
    }
    data::registerCollation(from.h);
    bool schemaOk = false;
    const QStringList tables = tableNames(from, &schemaOk);
    if (!schemaOk) {
        out.exit = Unrecoverable;
        out.messages << QStringLiteral("%1 is damaged beyond repair (%2); nothing was changed").arg(name, from.error());
        return out;
    }
    if (!tables.contains(QStringLiteral("records"))) {
        out.exit = NotOurs;
        out.messages << QStringLiteral("%1 is not a data file of this program; nothing was changed").arg(name);
        return out;
    }
    FileStructure structure(QString(), 0);
    QString why;
    QFile ex(example);
    bool haveStructure = !example.isEmpty() && ex.open(QIODevice::ReadOnly)
                         && data::schema::parseExample(QString::fromUtf8(ex.readAll()), structure, &why);
    if (!haveStructure)
        haveStructure = data::schema::parseExample(metaValue(from, "structure"), structure, &why);
    if (!haveStructure) {
        out.exit = NotOurs;
        out.messages << QStringLiteral("the structure of %1 is unknown (%2); nothing was changed").arg(name, why);
        return out;
    }

    out.problems = integrityProblems(from);
    const QString fixed = path + QStringLiteral(".fix");
    QFile::remove(fixed);
    {
        Db to;
        if (sqlite3_open_v2(fixed.toUtf8().constData(), &to.h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
            out.exit = Unrecoverable;
            out.messages << QStringLiteral("cannot write %1: %2; nothing was changed").arg(fixed, to.error());
            return out;
        }
        data::registerCollation(to.h);
        QStringList sql{QStringLiteral("BEGIN")};
        sql << data::schema::createTable(structure, QStringLiteral("main"), QStringLiteral("records"));
        for (const data::KeyDecl &k : structure.keys())
            sql << data::schema::createIndex(structure, QStringLiteral("main"), k);
        for (const QString &s : sql)
            if (!exec(to, s)) {
                out.exit = Unrecoverable;
                out.messages << QStringLiteral("cannot build the new file: %1; nothing was changed").arg(to.error());
                QFile::remove(fixed);
                return out;
            }
        copyRows(from, to, structure, out);
        bool counted = true;
        for (const QString &statement : data::schema::keepCount(QStringLiteral("main")))
            counted = counted && exec(to, statement);
        if (!counted || data::schema::writeMeta(to.h, structure, QStringLiteral("main")) != SQLITE_OK
            || !exec(to, QStringLiteral("COMMIT"))) {
            out.exit = Unrecoverable;
            out.messages << QStringLiteral("cannot write the new file: %1; nothing was changed").arg(to.error());
            QFile::remove(fixed);
            return out;
        }
    }
    sqlite3_close_v2(from.h);
    from.h = nullptr;
    QFile::remove(path + QStringLiteral("-journal"));
    if (::rename(fixed.toUtf8().constData(), path.toUtf8().constData()) != 0) {
        out.exit = Unrecoverable;
        out.messages << QStringLiteral("cannot replace %1; the rebuilt file is %2").arg(name, fixed);
        return out;
    }
    out.messages << (out.problems.isEmpty() ? QStringLiteral("%1: no damage found").arg(name)
                                            : QStringLiteral("%1: %2 problem(s) found, first: %3").arg(name).arg(out.problems.size()).arg(out.problems.first()));
    out.messages << QStringLiteral("%1 rebuilt: %2 record(s) kept, %3 duplicate(s) dropped, %4 unreadable stretch(es); the original is kept as %5")
                        .arg(name).arg(out.kept).arg(out.duplicates).arg(out.unreadable).arg(backup);
    return out;
}

} // namespace tbk::datfix
