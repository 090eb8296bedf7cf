#include "tools/datfix/repair.h"

#include "runtime/data/declaration.h"
#include "runtime/data/driver.h"
#include "runtime/data/schema.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

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

constexpr int kCheckLimit = 20;

// One line per problem: a row of the check's answer can hold several, a line each.
QStringList integrityProblems(Db &db) {
    QStringList out;
    sqlite3_stmt *st = nullptr;
    const QByteArray sql = "PRAGMA integrity_check(" + QByteArray::number(kCheckLimit) + ')';
    int rc = sqlite3_prepare_v2(db.h, sql.constData(), -1, &st, nullptr);
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        if ((rc = sqlite3_step(st)) != SQLITE_ROW)
            break;
        const QString text = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            if (line != QLatin1String("ok") && !line.startsWith(QLatin1String("*** in database")))
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

// The number of records the file's own count holds; -1 when it keeps none it keeps up.
qint64 recordCount(Db &db) {
    sqlite3_stmt *st = nullptr;
    qint64 n = -1;
    if (sqlite3_prepare_v2(db.h, "SELECT n FROM tbk_count WHERE (SELECT count(*) FROM sqlite_master WHERE type='trigger'"
                                 " AND tbl_name='records' AND name IN ('tbk_count_add','tbk_count_remove'))=2",
                           -1, &st, nullptr) == SQLITE_OK
        && sqlite3_step(st) == SQLITE_ROW)
        n = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return n;
}

// The positions the keys still list: they name the records whose rows could not be read.
QSet<qint64> positionsInKeys(Db &db, const FileStructure &s) {
    QSet<qint64> rids;
    for (const data::KeyDecl &k : s.keys()) {
        const QString cond = data::schema::inKeyCondition(s, k);
        const QByteArray sql = QStringLiteral("SELECT _rid FROM records INDEXED BY %1%2")
                                   .arg(data::schema::indexName(k), cond.isEmpty() ? QString() : QStringLiteral(" WHERE ") + cond)
                                   .toUtf8();
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db.h, sql.constData(), -1, &st, nullptr) == SQLITE_OK)
            while (sqlite3_step(st) == SQLITE_ROW)
                rids.insert(sqlite3_column_int64(st, 0));
        sqlite3_finalize(st);
    }
    return rids;
}

qint64 highestPosition(Db &db, const QSet<qint64> &read) {
    sqlite3_stmt *st = nullptr;
    qint64 v = -1;
    if (sqlite3_prepare_v2(db.h, "SELECT seq FROM sqlite_sequence WHERE name='records'", -1, &st, nullptr) == SQLITE_OK
        && sqlite3_step(st) == SQLITE_ROW)
        v = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return v >= 0 ? v : read.isEmpty() ? 0 : *std::max_element(read.begin(), read.end());
}

// The records that could not be read: the file's count says how many, its keys which ones (a
// damaged key page can name positions never given out: only those up to the highest count).
// -1 when neither knows and reading stopped at damage.
qint64 lostRecords(Db &db, const FileStructure &s, const QSet<qint64> &read, bool stopped, QList<qint64> *lost) {
    const qint64 highest = highestPosition(db, read);
    for (qint64 rid : positionsInKeys(db, s))
        if (rid >= 1 && rid <= highest && !read.contains(rid))
            *lost << rid;
    std::sort(lost->begin(), lost->end());
    const qint64 count = recordCount(db);
    if (count >= 0)
        return qMax<qint64>(0, count - read.size());
    return lost->isEmpty() && stopped ? -1 : lost->size();
}

// "3, 17-40, 52", the first few stretches only.
QString stretches(const QList<qint64> &sorted, int *count) {
    QStringList parts;
    *count = 0;
    for (qsizetype i = 0; i < sorted.size();) {
        qsizetype j = i;
        while (j + 1 < sorted.size() && sorted[j + 1] == sorted[j] + 1)
            ++j;
        if (++*count <= 10)
            parts << (i == j ? QString::number(sorted[i]) : QStringLiteral("%1-%2").arg(sorted[i]).arg(sorted[j]));
        i = j + 1;
    }
    return parts.join(QStringLiteral(", ")) + (*count > 10 ? QStringLiteral(", ...") : QString());
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

// The file's pages read directly, for the rows its damaged structure no longer leads to (or
// that SQLite will not read at all, as in a file cut short).
class Pages {
public:
    explicit Pages(const QString &path) : f_(path) {
        if (!f_.open(QIODevice::ReadOnly))
            return;
        const QByteArray h = f_.read(100);
        if (h.size() < 100)
            return;
        const auto *p = reinterpret_cast<const uchar *>(h.constData());
        size_ = be(p + 16, 2) == 1 ? 65536 : int(be(p + 16, 2));
        usable_ = size_ - p[20];
        if (size_ < 512 || (size_ & (size_ - 1)) || usable_ < 480 || be(p + 56, 4) > 1)   // UTF-8 only
            return;
        count_ = quint32(f_.size() / size_);
        // The count in the header holds when the file was last written by a version that keeps it.
        if (be(p + 28, 4) && be(p + 24, 4) == be(p + 92, 4))
            count_ = qMin(count_, be(p + 28, 4));
        for (quint32 trunk = be(p + 32, 4); trunk && trunk <= count_ && !free_.contains(trunk);) {
            free_.insert(trunk);
            const QByteArray t = page(trunk);
            const auto *q = reinterpret_cast<const uchar *>(t.constData());
            const quint32 n = be(q + 4, 4);
            if (n > quint32(usable_ / 4 - 2))
                break;
            for (quint32 i = 0; i < n; ++i)
                free_.insert(be(q + 8 + 4 * i, 4));
            trunk = be(q, 4);
        }
    }

    struct Value {
        int type = SQLITE_NULL;
        qint64 i = 0;
        double d = 0;
        QByteArray bytes;
    };

    // Calls `row(position, values)` for every row of every table leaf page in use whose cell
    // and record can be read whole.
    template <class F>
    void forEachRow(F row) {
        for (quint32 n = 1; n <= count_; ++n) {
            if (free_.contains(n))
                continue;
            const QByteArray pg = page(n);
            const auto *p = reinterpret_cast<const uchar *>(pg.constData()), *end = p + usable_;
            const int h = n == 1 ? 100 : 0;
            if (p[h] != 0x0d)
                continue;
            const int cells = int(be(p + h + 3, 2));
            for (int c = 0; c < cells && h + 8 + 2 * c + 2 <= usable_; ++c) {
                const uchar *cell = p + be(p + h + 8 + 2 * c, 2);
                quint64 length = 0, rid = 0;
                const int used = cell < end ? varint(cell, end, &length) : 0;
                const int more = used ? varint(cell + used, end, &rid) : 0;
                QByteArray payload;
                QList<Value> values;
                if (more && payloadOf(cell + used + more, end, length, payload) && decode(payload, values))
                    row(qint64(rid), values);
            }
        }
    }

private:
    static quint32 be(const uchar *p, int n) {
        quint32 v = 0;
        for (int i = 0; i < n; ++i)
            v = v << 8 | p[i];
        return v;
    }

    // The file format's variable-length integer; the bytes it takes, 0 when cut short.
    static int varint(const uchar *p, const uchar *end, quint64 *v) {
        quint64 r = 0;
        for (int i = 0; i < 9 && p + i < end; ++i) {
            if (i == 8) {
                *v = r << 8 | p[i];
                return 9;
            }
            r = r << 7 | (p[i] & 0x7f);
            if (!(p[i] & 0x80)) {
                *v = r;
                return i + 1;
            }
        }
        return 0;
    }

    QByteArray page(quint32 n) {
        QByteArray p;
        if (n >= 1 && n <= count_ && f_.seek(qint64(n - 1) * size_))
            p = f_.read(size_);
        if (p.size() != size_)
            p.fill('\0', size_);
        return p;
    }

    // The part of a row kept on its leaf page, then the chain of overflow pages.
    bool payloadOf(const uchar *at, const uchar *end, quint64 length, QByteArray &out) {
        const qint64 x = usable_ - 35, m = (usable_ - 12) * 32 / 255 - 23;
        qint64 local = qint64(length);
        if (length > quint64(x)) {
            const qint64 k = m + qint64((length - quint64(m)) % quint64(usable_ - 4));
            local = k <= x ? k : m;
        }
        if (length > (quint64(1) << 30) || end - at < local + (qint64(length) > local ? 4 : 0))
            return false;
        out = QByteArray(reinterpret_cast<const char *>(at), int(local));
        quint32 next = qint64(length) > local ? be(at + local, 4) : 0;
        for (quint32 hops = 0; out.size() < qint64(length); ++hops) {
            if (!next || next > count_ || hops > count_ || free_.contains(next))
                return false;
            const QByteArray o = page(next);
            out += o.mid(4, int(qMin<qint64>(usable_ - 4, qint64(length) - out.size())));
            next = be(reinterpret_cast<const uchar *>(o.constData()), 4);
        }
        return true;
    }

    static bool decode(const QByteArray &payload, QList<Value> &out) {
        const auto *p = reinterpret_cast<const uchar *>(payload.constData()), *end = p + payload.size();
        quint64 header = 0;
        const int used = varint(p, end, &header);
        if (!used || header > quint64(payload.size()))
            return false;
        const uchar *types = p + used, *data = p + header;
        while (types < p + header) {
            quint64 t = 0;
            const int n = varint(types, p + header, &t);
            if (!n || t == 10 || t == 11)
                return false;
            types += n;
            Value v;
            static const int sizes[] = {0, 1, 2, 3, 4, 6, 8, 8, 0, 0};
            const quint64 size = t >= 12 ? (t - 12) / 2 : quint64(sizes[t]);
            if (size > quint64(end - data))
                return false;
            if (t >= 1 && t <= 7) {
                quint64 u = (data[0] & 0x80) && t != 7 ? ~quint64(0) : 0;
                for (quint64 i = 0; i < size; ++i)
                    u = u << 8 | data[i];
                v.type = t == 7 ? SQLITE_FLOAT : SQLITE_INTEGER;
                v.i = qint64(u);
                std::memcpy(&v.d, &u, sizeof v.d);
            } else if (t == 8 || t == 9) {
                v.type = SQLITE_INTEGER;
                v.i = qint64(t - 8);
            } else if (t >= 12) {
                v.type = t & 1 ? SQLITE_TEXT : SQLITE_BLOB;
                v.bytes = QByteArray(reinterpret_cast<const char *>(data), int(size));
            }
            data += size;
            out << v;
        }
        return true;
    }

    QFile f_;
    int size_ = 0, usable_ = 0;
    quint32 count_ = 0;
    QSet<quint32> free_;
};

// Copies every readable row of `from` into `to`: in order of position while SQLite can read
// them; when it cannot, or the check found damage, from the table's pages themselves. `read`
// gets the position of every row read (kept or dropped as a duplicate). False when nothing can
// be written.
bool copyRows(Db &from, Db &to, const QString &path, const QStringList &have, const FileStructure &s, Outcome &out,
              QSet<qint64> &read, bool *stopped) {
    QList<int> src{int(have.indexOf(QStringLiteral("_rid")))};
    QStringList dst{QStringLiteral("_rid")};
    if (have.contains(QStringLiteral("_ver"))) {
        src << int(have.indexOf(QStringLiteral("_ver")));
        dst << QStringLiteral("_ver");
    }
    for (const FieldDecl &f : s.fields())
        for (int c = 0; c < have.size(); ++c)
            if (have[c].compare(f.name, Qt::CaseInsensitive) == 0) {
                src << c;
                dst << data::schema::column(f);
            }
    QStringList cols, qs;
    for (int c : src) {
        cols << QLatin1Char('"') + have[c] + QLatin1Char('"');
        qs << QStringLiteral("?");
    }
    sqlite3_stmt *write = nullptr;
    const QByteArray wsql = QStringLiteral("INSERT OR IGNORE INTO records(%1) VALUES(%2)").arg(dst.join(QLatin1Char(',')), qs.join(QLatin1Char(','))).toUtf8();
    if (sqlite3_prepare_v2(to.h, wsql.constData(), -1, &write, nullptr) != SQLITE_OK) {
        sqlite3_finalize(write);
        return false;
    }
    // A position read twice (a damaged page can lead to rows twice) is one record.
    auto put = [&](qint64 rid) {
        if (!read.contains(rid) && sqlite3_step(write) == SQLITE_DONE) {
            read.insert(rid);
            if (sqlite3_changes(to.h) == 1)
                ++out.kept;
            else
                ++out.duplicates;
        }
        sqlite3_reset(write);
    };
    sqlite3_stmt *rows = nullptr;
    const QByteArray rsql = QStringLiteral("SELECT %1 FROM records ORDER BY _rid").arg(cols.join(QLatin1Char(','))).toUtf8();
    int rc = sqlite3_prepare_v2(from.h, rsql.constData(), -1, &rows, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(rows)) == SQLITE_ROW) {
        for (int i = 0; i < src.size(); ++i)
            sqlite3_bind_value(write, i + 1, sqlite3_column_value(rows, i));
        put(sqlite3_column_int64(rows, 0));
        rc = SQLITE_OK;
    }
    sqlite3_finalize(rows);
    *stopped = rc != SQLITE_DONE;
    if (*stopped || !out.problems.isEmpty()) {
        Pages(path).forEachRow([&](qint64 rid, const QList<Pages::Value> &values) {
            // A row of this table: its position stands in as NULL, and no column may be NULL.
            if (read.contains(rid) || values.size() != have.size() || values[src[0]].type != SQLITE_NULL)
                return;
            for (int c = 0; c < values.size(); ++c)
                if (c != src[0] && values[c].type == SQLITE_NULL)
                    return;
            sqlite3_bind_int64(write, 1, rid);
            for (int i = 1; i < src.size(); ++i) {
                const Pages::Value &v = values[src[i]];
                if (v.type == SQLITE_INTEGER)
                    sqlite3_bind_int64(write, i + 1, v.i);
                else if (v.type == SQLITE_FLOAT)
                    sqlite3_bind_double(write, i + 1, v.d);
                else if (v.type == SQLITE_TEXT)
                    sqlite3_bind_text(write, i + 1, v.bytes.constData(), int(v.bytes.size()), SQLITE_TRANSIENT);
                else
                    sqlite3_bind_blob(write, i + 1, v.bytes.constData(), int(v.bytes.size()), SQLITE_TRANSIENT);
            }
            put(rid);
        });
    }
    sqlite3_finalize(write);
    return true;
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
    // Keep the original exactly as found, with a journal left by a crash: opening it may roll
    // that back. A refusal takes the copy away again.
    const QString backup = freeBackupName(name);
    const auto refuse = [&](int exit, const QString &message) {
        QFile::remove(backup);
        QFile::remove(backup + QStringLiteral("-journal"));
        out.exit = exit;
        out.messages << message;
        return out;
    };
    if (!QFile::copy(path, backup))
        return refuse(Unrecoverable, QStringLiteral("cannot keep a copy of %1 as %2; nothing was changed").arg(name, backup));
    if (QFileInfo::exists(path + QStringLiteral("-journal")))
        QFile::copy(path + QStringLiteral("-journal"), backup + QStringLiteral("-journal"));

    Db from;
    if (sqlite3_open_v2(path.toUtf8().constData(), &from.h, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return refuse(Unrecoverable, QStringLiteral("cannot open %1: %2; nothing was changed").arg(name, from.error()));
    data::registerCollation(from.h);
    // Lets SQLite read a file shorter than its header says, as far as it goes.
    exec(from, QStringLiteral("PRAGMA writable_schema=ON"));
    // The table list may break off at a damaged page: the rows can still be read if the
    // records table came before it.
    bool schemaOk = false;
    const QStringList tables = tableNames(from, &schemaOk);
    if (schemaOk && !tables.contains(QStringLiteral("records")))
        return refuse(NotOurs, QStringLiteral("%1 is not a data file of this program; nothing was changed").arg(name));
    const QString listing = schemaOk ? QStringLiteral("the table of records cannot be read") : from.error();
    const QStringList columns = columnsOf(from);
    if (!columns.contains(QStringLiteral("_rid")))
        return refuse(Unrecoverable, QStringLiteral("%1 is damaged beyond repair (%2); nothing was changed").arg(name, listing));
    FileStructure structure(QString(), 0);
    QString why;
    QFile ex(example);
    bool haveStructure = !example.isEmpty() && ex.open(QIODevice::ReadOnly)
                         && data::schema::parseExample(QString::fromUtf8(ex.readAll()), structure, &why);
    if (!haveStructure)
        haveStructure = data::schema::parseExample(metaValue(from, "structure"), structure, &why);
    if (!haveStructure)
        return refuse(NotOurs, QStringLiteral("the structure of %1 is unknown (%2); nothing was changed").arg(name, why));

    out.problems = integrityProblems(from);
    const QString fixed = path + QStringLiteral(".fix");
    QFile::remove(fixed);
    QSet<qint64> read;
    bool stopped = false;
    {
        Db to;
        if (sqlite3_open_v2(fixed.toUtf8().constData(), &to.h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
            return refuse(Unrecoverable, QStringLiteral("cannot write %1: %2; nothing was changed").arg(fixed, to.error()));
        data::registerCollation(to.h);
        QStringList sql{QStringLiteral("BEGIN")};
        sql << data::schema::createTable(structure, QStringLiteral("main"), QStringLiteral("records"));
        for (const data::KeyDecl &k : structure.keys())
            sql << data::schema::createIndex(structure, QStringLiteral("main"), k);
        bool built = true;
        for (const QString &s : sql)
            built = built && exec(to, s);
        const bool copied = built && copyRows(from, to, path, columns, structure, out, read, &stopped);
        for (const QString &statement : data::schema::keepCount(QStringLiteral("main")))
            built = built && exec(to, statement);
        if (!built || !copied || data::schema::writeMeta(to.h, structure, QStringLiteral("main")) != SQLITE_OK
            || !exec(to, QStringLiteral("COMMIT"))) {
            const QString error = to.error();
            sqlite3_close_v2(to.h);
            to.h = nullptr;
            QFile::remove(fixed);
            return refuse(Unrecoverable, QStringLiteral("cannot build the new file: %1; nothing was changed").arg(error));
        }
    }
    QList<qint64> lost;
    const qint64 missing = !out.problems.isEmpty() || stopped ? lostRecords(from, structure, read, stopped, &lost) : 0;
    sqlite3_close_v2(from.h);
    from.h = nullptr;
    QFile::remove(path + QStringLiteral("-journal"));
    if (::rename(fixed.toUtf8().constData(), path.toUtf8().constData()) != 0) {
        out.exit = Unrecoverable;
        out.messages << QStringLiteral("cannot replace %1; the rebuilt file is %2").arg(name, fixed);
        return out;
    }
    const qsizetype n = out.problems.size();
    const QString found = n >= kCheckLimit ? QStringLiteral("%1 or more").arg(n) : QString::number(n);
    out.damageFound = !out.problems.isEmpty() || stopped || missing != 0 || out.duplicates > 0;
    if (!out.damageFound)
        out.messages << QStringLiteral("%1: no damage found").arg(name);
    else if (!out.problems.isEmpty())
        out.messages << QStringLiteral("%1: %2 problem(s) found, first: %3").arg(name, found, out.problems.first());
    else
        out.messages << QStringLiteral("%1: the check found no problem, but not every record could be kept as it was").arg(name);
    out.messages << QStringLiteral("%1 rebuilt: %2 record(s) kept, %3 duplicate(s) dropped; the original is kept as %4")
                        .arg(name).arg(out.kept).arg(out.duplicates).arg(backup);
    out.lost = missing;
    if (missing) {
        out.exit = Lost;
        if (missing < 0) {
            out.messages << QStringLiteral("some records of %1 could not be read; %2 still holds them").arg(name, backup);
        } else {
            QString numbers = stretches(lost, &out.unreadable);
            if (lost.isEmpty())
                numbers = QStringLiteral("numbers unknown");
            else
                numbers = (lost.size() < missing   ? QStringLiteral("among them numbers ")
                           : lost.size() > missing ? QStringLiteral("from among numbers ")
                                                   : QStringLiteral("numbers "))
                          + numbers;
            out.messages << QStringLiteral("%1 record(s) of %2 could not be read (%3); %4 still holds them")
                                .arg(missing).arg(name, numbers, backup);
        }
    }
    return out;
}

} // namespace tbk::datfix
