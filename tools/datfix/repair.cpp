#include "tools/datfix/repair.h"

#include "runtime/data/declaration.h"
#include "runtime/data/driver.h"
#include "runtime/data/schema.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <memory>

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

QString textOf(sqlite3_stmt *st, int column) {
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, column)));
}

quint32 be(const uchar *p, int n) {
    quint32 v = 0;
    for (int i = 0; i < n; ++i)
        v = v << 8 | p[i];
    return v;
}

quint32 be(const QByteArray &bytes, qsizetype at) { return be(reinterpret_cast<const uchar *>(bytes.constData()) + at, 4); }

bool looksLikeDatabase(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    return f.read(16) == QByteArray("SQLite format 3\0", 16);
}

// A journal left by a commit over several files ends with the name of the super-journal whose
// removal completes that commit. While that is there the commit is unfinished, and the journal
// rolls the file back; once it is gone SQLite takes the journal for a finished commit's. The
// backup's journal goes without the name, so that the backup still rolls back to the records
// held before the commit after the program has rolled back the other files and removed it.
bool copyJournal(const QString &from, const QString &to) {
    static const QByteArray magic("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QByteArray j = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return false;
    const qsizetype n = j.size();
    if (n >= 20 && j.endsWith(magic)) {
        const quint32 length = be(j, n - 16);
        if (length && length <= quint32(n - 20)) {
            const QByteArray super = j.mid(n - 16 - length, length);
            quint32 sum = 0;
            for (char c : super)
                sum += quint32(int(c));   // as SQLite sums it: the bytes as plain chars
            if (sum == be(j, n - 12) && QFileInfo::exists(QString::fromUtf8(super)))
                j.truncate(n - 20 - length);
        }
    }
    QFile out(to);
    if (!out.open(QIODevice::WriteOnly) || out.write(j) != j.size())
        return false;
    out.close();
    return out.error() == QFileDevice::NoError;
}

QString metaValue(Db &db, const char *name) {
    sqlite3_stmt *st = nullptr;
    QString v;
    if (sqlite3_prepare_v2(db.h, "SELECT value FROM tbk_meta WHERE name=?", -1, &st, nullptr) == SQLITE_OK) {
        sqlite3_bind_text(st, 1, name, -1, SQLITE_STATIC);
        if (sqlite3_step(st) == SQLITE_ROW)
            v = textOf(st, 0);
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
        names << textOf(st, 0);
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
        for (const QString &line : textOf(st, 0).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            if (line != QLatin1String("ok") && !line.startsWith(QLatin1String("*** in database")))
                out << line;
    }
    if (rc != SQLITE_DONE && out.isEmpty())
        out << db.error();
    sqlite3_finalize(st);
    return out;
}

// The columns of the table of records: names, and what each holds on the pages (a value type;
// SQLITE_NULL for the position, which lives in the cell; 0 for anything but NULL).
struct Columns {
    QStringList names;
    QList<int> types;
    void add(const QString &name, const QString &declared) {
        names << name;
        const QString d = declared.toUpper();
        types << (d.contains(QLatin1String("PRIMARY KEY")) ? SQLITE_NULL
                  : d.startsWith(QLatin1String("INTEGER")) ? SQLITE_INTEGER
                  : d.startsWith(QLatin1String("TEXT"))    ? SQLITE_TEXT
                                                           : 0);
    }
};

Columns columnsOf(Db &db) {
    Columns cols;
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db.h, "SELECT name, type, pk FROM pragma_table_info('records')", -1, &st, nullptr) == SQLITE_OK)
        while (sqlite3_step(st) == SQLITE_ROW)
            cols.add(textOf(st, 0), textOf(st, 1) + (sqlite3_column_int(st, 2) ? QStringLiteral(" PRIMARY KEY") : QString()));
    sqlite3_finalize(st);
    return cols;
}

// The columns the program makes for the structure, for a file that no longer lists its own.
Columns declaredColumns(const FileStructure &s) {
    Columns cols;
    cols.add(QStringLiteral("_rid"), QStringLiteral("INTEGER PRIMARY KEY"));
    cols.add(QStringLiteral("_ver"), QStringLiteral("INTEGER"));
    for (const FieldDecl &f : s.fields())
        cols.add(f.name, f.kind == FieldKind::Text || f.kind == FieldKind::Memo ? QStringLiteral("TEXT") : QStringLiteral("INTEGER"));
    return cols;
}

// The most bytes a row can take: each text at most four bytes a character.
qint64 longestRow(const FileStructure &s, const Columns &cols) {
    qint64 bytes = 16 * qint64(cols.names.size() + 1);
    for (const FieldDecl &f : s.fields())
        bytes += f.kind == FieldKind::Text || f.kind == FieldKind::Memo ? 4 * qint64(f.size) : 0;
    return bytes;
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

// The positions the keys still list: they name the records whose rows could not be read. A key
// that holds every record and reads to its end lists them all (`complete`).
struct KeyPositions {
    QSet<qint64> listed, complete;
    bool haveComplete = false;
};

KeyPositions positionsInKeys(Db &db, const FileStructure &s) {
    KeyPositions out;
    for (const data::KeyDecl &k : s.keys()) {
        const QString cond = data::schema::inKeyCondition(s, k);
        const QByteArray sql = QStringLiteral("SELECT _rid FROM records INDEXED BY %1%2")
                                   .arg(data::schema::indexName(k), cond.isEmpty() ? QString() : QStringLiteral(" WHERE ") + cond)
                                   .toUtf8();
        sqlite3_stmt *st = nullptr;
        QSet<qint64> rids;
        int rc = sqlite3_prepare_v2(db.h, sql.constData(), -1, &st, nullptr);
        while (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW) {
            rids.insert(sqlite3_column_int64(st, 0));
            rc = SQLITE_OK;
        }
        sqlite3_finalize(st);
        out.listed += rids;
        if (rc == SQLITE_DONE && cond.isEmpty() && !out.haveComplete) {
            out.complete = rids;
            out.haveComplete = true;
        }
    }
    return out;
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

QList<qint64> sorted(const QSet<qint64> &set) {
    QList<qint64> list(set.begin(), set.end());
    std::sort(list.begin(), list.end());
    return list;
}

// The records that could not be read: a key that lists every record (and agrees with the
// file's count) names them all; else the count says how many and the keys which ones (a damaged
// key page can name positions never given out: only those up to the highest count). -1 when
// neither knows and reading stopped at damage.
qint64 unreadRecords(Db &db, const FileStructure &s, const QSet<qint64> &read, bool stopped, QList<qint64> *lost) {
    const KeyPositions keys = positionsInKeys(db, s);
    const qint64 count = recordCount(db);
    if (keys.haveComplete && (count < 0 || count == keys.complete.size())) {
        *lost = sorted(keys.complete - read);
        return lost->size();
    }
    const qint64 highest = highestPosition(db, read);
    QSet<qint64> notRead;
    for (qint64 rid : keys.listed)
        if (rid >= 1 && rid <= highest && !read.contains(rid))
            notRead.insert(rid);
    *lost = sorted(notRead);
    if (count >= 0)
        return qMax<qint64>(0, count - read.size());
    return lost->isEmpty() && stopped ? -1 : lost->size();
}

// "3, 17-40, 52", the first few stretches only.
QString stretches(const QList<qint64> &sorted, int *count = nullptr) {
    QStringList parts;
    int n = 0;
    for (qsizetype i = 0; i < sorted.size();) {
        qsizetype j = i;
        while (j + 1 < sorted.size() && sorted[j + 1] == sorted[j] + 1)
            ++j;
        if (++n <= 10)
            parts << (i == j ? QString::number(sorted[i]) : QStringLiteral("%1-%2").arg(sorted[i]).arg(sorted[j]));
        i = j + 1;
    }
    if (count)
        *count = n;
    return parts.join(QStringLiteral(", ")) + (n > 10 ? QStringLiteral(", ...") : QString());
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

struct Value {
    int type = SQLITE_NULL;
    qint64 i = 0;
    double d = 0;
    QByteArray bytes;
};

Value valueOf(sqlite3_value *v) {
    Value out;
    out.type = sqlite3_value_type(v);
    if (out.type == SQLITE_INTEGER)
        out.i = sqlite3_value_int64(v);
    else if (out.type == SQLITE_FLOAT)
        out.d = sqlite3_value_double(v);
    else if (out.type != SQLITE_NULL)
        out.bytes = QByteArray(static_cast<const char *>(sqlite3_value_blob(v)), sqlite3_value_bytes(v));
    return out;
}

void bind(sqlite3_stmt *st, int i, const Value &v) {
    if (v.type == SQLITE_INTEGER)
        sqlite3_bind_int64(st, i, v.i);
    else if (v.type == SQLITE_FLOAT)
        sqlite3_bind_double(st, i, v.d);
    else if (v.type == SQLITE_TEXT)
        sqlite3_bind_text(st, i, v.bytes.constData(), int(v.bytes.size()), SQLITE_TRANSIENT);
    else if (v.type == SQLITE_BLOB)
        sqlite3_bind_blob(st, i, v.bytes.constData(), int(v.bytes.size()), SQLITE_TRANSIENT);
    else
        sqlite3_bind_null(st, i);
}

// Whether a row read from the pages is one of the table's: as many values as it has columns,
// each of the column's type, none NULL but the position (which lives in the cell).
bool fits(const Columns &cols, const QList<Value> &row) {
    if (row.size() != cols.types.size())
        return false;
    for (qsizetype c = 0; c < row.size(); ++c)
        if (cols.types[c] ? row[c].type != cols.types[c] : row[c].type == SQLITE_NULL)
            return false;
    return true;
}

// The file's pages read directly, for the rows its damaged structure no longer leads to (or
// that SQLite will not read at all, as in a file cut short), and for what the check of a row
// that SQLite reads cannot tell: whose overflow chain is broken.
class Pages {
public:
    // The file as its first page describes it.
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
        measure();
        // The count in the header holds when the file was last written by a version that keeps it.
        if (be(p + 28, 4) && be(p + 24, 4) == be(p + 92, 4))
            count_ = qMin(count_, be(p + 28, 4));
        // A trunk of the free list holds page numbers only: a page whose next trunk or leaves lie
        // outside the file (a b-tree page begins with its type) is none, and neither it nor what
        // it seems to list is taken for free.
        for (quint32 trunk = be(p + 32, 4); trunk && trunk <= count_ && !free_.contains(trunk);) {
            const QByteArray t = page(trunk);
            const quint32 next = be(t, 0), n = be(t, 4);
            if (next > count_ || n > quint32(usable_ / 4 - 2))
                break;
            QList<quint32> leaves;
            for (quint32 i = 0; i < n; ++i)
                leaves << be(t, 8 + 4 * i);
            if (std::any_of(leaves.begin(), leaves.end(), [&](quint32 l) { return l < 2 || l > count_; }))
                break;
            free_.insert(trunk);
            for (quint32 l : leaves)
                free_.insert(l);
            trunk = next;
        }
    }
    // The file read in pages of `size` bytes, for a first page that no longer tells.
    Pages(const QString &path, int size) : f_(path), size_(size), usable_(size) {
        if (f_.open(QIODevice::ReadOnly))
            measure();
    }

    // Calls `row(position, values)` for every row of every table leaf page in use whose cell lies
    // within the page's content and whose record can be read whole; `row` answers whether the
    // row is one of the table's (and so the page one of its leaves).
    template <class F>
    void forEachRow(F row) {
        for (quint32 n = 1; n <= count_; ++n) {
            if (free_.contains(n))
                continue;
            int present = 0;
            const QByteArray pg = page(n, &present);
            const auto *p = reinterpret_cast<const uchar *>(pg.constData());
            const int h = n == 1 ? 100 : 0, end = qMin(usable_, present);
            if (end < h + 8 || p[h] != 0x0d)
                continue;
            const int cells = int(be(p + h + 3, 2)), first = h + 8 + 2 * cells;
            if (first > end)
                continue;
            for (int c = 0; c < cells; ++c) {
                // A pointer into the header or the pointer array, or past the content, leads to no cell.
                const int at = int(be(p + h + 8 + 2 * c, 2));
                if (at < first || at >= end)
                    continue;
                quint64 length = 0, rid = 0;
                const int used = varint(p + at, p + end, &length);
                const int more = used ? varint(p + at + used, p + end, &rid) : 0;
                if (!more || qint64(rid) <= 0)
                    continue;
                QByteArray payload;
                QList<Value> values;
                if (payloadOf({n, qint64(rid)}, p + at + used + more, p + end, length, payload) && decode(payload, values)
                    && row(qint64(rid), values))
                    tableLeaves_.insert(n);
            }
        }
    }

    // The records of the table whose overflow chain shares a page with another's, loops or
    // leaves the file.
    QSet<qint64> brokenChains() const {
        QSet<qint64> rids;
        for (const Cell &c : broken_)
            if (tableLeaves_.contains(c.leaf))
                rids.insert(c.rid);
        return rids;
    }

private:
    void measure() {
        const qint64 bytes = f_.size();
        count_ = quint32(qMin<qint64>((bytes + size_ - 1) / size_, 0x7fffffff));
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

    // A whole page; `present`: how much of it the file holds (its last page may be cut short).
    QByteArray page(quint32 n, int *present = nullptr) {
        QByteArray p;
        if (n >= 1 && n <= count_ && f_.seek(qint64(n - 1) * size_))
            p = f_.read(size_);
        if (present)
            *present = int(p.size());
        if (p.size() != size_)
            p.append(QByteArray(size_ - p.size(), '\0'));
        return p;
    }

    // A row's cell: its leaf page and its position (positions are of one table each).
    struct Cell {
        quint32 leaf;
        qint64 rid;
        bool operator==(const Cell &o) const { return leaf == o.leaf && rid == o.rid; }
        friend size_t qHash(const Cell &c, size_t seed = 0) { return qHashMulti(seed, c.leaf, c.rid); }
    };

    // The part of a row kept on its leaf page, then the chain of overflow pages. Each page joins
    // one chain only, the first to reach it: a chain that reaches it later is broken, and so is
    // that first one's, so the walk reads every page once however the chains are tangled.
    bool payloadOf(const Cell &cell, const uchar *at, const uchar *end, quint64 length, QByteArray &out) {
        const qint64 x = usable_ - 35, m = (usable_ - 12) * 32 / 255 - 23;
        qint64 local = qint64(length);
        if (length > quint64(x)) {
            const qint64 k = m + qint64((length - quint64(m)) % quint64(usable_ - 4));
            local = k <= x ? k : m;
        }
        if (length > (quint64(1) << 30) || end - at < local + (qint64(length) > local ? 4 : 0))
            return false;
        const auto broken = [&](const Cell *other) {
            broken_.insert(cell);
            if (other)
                broken_.insert(*other);
            return false;
        };
        out = QByteArray(reinterpret_cast<const char *>(at), int(local));
        quint32 next = qint64(length) > local ? be(at + local, 4) : 0;
        while (out.size() < qint64(length)) {
            if (!next || next > count_ || free_.contains(next))
                return broken(nullptr);
            if (const auto o = owner_.constFind(next); o != owner_.constEnd())
                return broken(&*o);
            owner_.insert(next, cell);
            int present = 0;
            const QByteArray o = page(next, &present);
            const int take = int(qMin<qint64>(usable_ - 4, qint64(length) - out.size()));
            if (4 + take > present)
                return broken(nullptr);
            out += o.mid(4, take);
            next = be(o, 0);
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
    QHash<quint32, Cell> owner_;   // overflow page -> the cell whose chain reached it first
    QSet<Cell> broken_;
    QSet<quint32> tableLeaves_;
};

constexpr int kSmallestPage = 512, kLargestPage = 65536;

// The page size of a file whose first page no longer tells it: the one at which the pages give
// the most rows of the table; 0 when none gives any.
int guessPageSize(const QString &path, const Columns &cols) {
    int best = 0;
    qint64 most = 0;
    for (int size = kSmallestPage; size <= kLargestPage; size *= 2) {
        qint64 rows = 0;
        Pages(path, size).forEachRow([&](qint64, const QList<Value> &row) {
            rows += fits(cols, row);
            return false;
        });
        if (rows > most) {
            most = rows;
            best = size;
        }
    }
    return best;
}

// The copy of its structure the file keeps, found on its pages.
bool structureOnPages(const QString &path, FileStructure &out) {
    for (int size = kSmallestPage; size <= kLargestPage; size *= 2) {
        bool found = false;
        Pages(path, size).forEachRow([&](qint64, const QList<Value> &row) {
            found = found
                    || (row.size() == 2 && row[0].type == SQLITE_TEXT && row[0].bytes == "structure" && row[1].type == SQLITE_TEXT
                        && data::schema::parseExample(QString::fromUtf8(row[1].bytes), out, nullptr));
            return false;
        });
        if (found)
            return true;
    }
    return false;
}

// Puts rows into the rebuilt file. A row the file refuses (a unique key already holds its
// values) is left out, and the kept record whose values it repeats noted; any other failed
// write ends the copy with its error.
class Writer {
public:
    Writer(Db &to, const Columns &cols, const FileStructure &s) : to_(to), s_(s) {
        QStringList dst{QStringLiteral("_rid")}, qs{QStringLiteral("?")};
        src_ << int(cols.names.indexOf(QStringLiteral("_rid")));
        if (const int v = int(cols.names.indexOf(QStringLiteral("_ver"))); v >= 0) {
            src_ << v;
            dst << QStringLiteral("_ver");
            qs << QStringLiteral("?");
        }
        for (const FieldDecl &f : s.fields()) {
            int at = -1;
            for (int c = 0; c < cols.names.size() && at < 0; ++c)
                if (cols.names[c].compare(f.name, Qt::CaseInsensitive) == 0)
                    at = c;
            fieldColumn_ << at;
            if (at >= 0) {
                src_ << at;
                dst << data::schema::column(f);
                qs << QStringLiteral("?");
            }
        }
        prepare(QStringLiteral("INSERT INTO records(%1) VALUES(%2)").arg(dst.join(QLatin1Char(',')), qs.join(QLatin1Char(','))), &insert_);
        for (const data::KeyDecl &k : s.keys()) {
            if (!k.unique())
                continue;
            QStringList same;
            for (int i : k.fields)
                same << data::schema::column(s.fields()[size_t(i)]) + QStringLiteral("=?");
            const QString cond = data::schema::inKeyCondition(s, k);
            if (!cond.isEmpty())
                same << cond;
            sqlite3_stmt *st = nullptr;
            prepare(QStringLiteral("SELECT _rid FROM records WHERE ") + same.join(QStringLiteral(" AND ")), &st);
            holders_.push_back({&k, st});
        }
    }
    ~Writer() {
        sqlite3_finalize(insert_);
        for (const Holder &h : holders_)
            sqlite3_finalize(h.st);
    }
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    // False when the row could not be written for another reason than a refusal (error()).
    bool put(qint64 rid, const QList<Value> &row) {
        if (!error_.isEmpty() || rid <= 0 || read.contains(rid))
            return error_.isEmpty();
        sqlite3_bind_int64(insert_, 1, rid);
        for (qsizetype i = 1; i < src_.size(); ++i)
            bind(insert_, int(i + 1), row[src_[i]]);
        const int rc = sqlite3_step(insert_);
        if (rc != SQLITE_DONE && (rc & 0xff) != SQLITE_CONSTRAINT)
            error_ = to_.error();
        sqlite3_reset(insert_);
        if (!error_.isEmpty())
            return false;
        read.insert(rid);
        if (rc == SQLITE_DONE) {
            ++kept;
            // The program writes its texts whole, in UTF-8 and without NUL characters.
            for (qsizetype i = 1; i < src_.size(); ++i)
                if (const Value &v = row[src_[i]]; v.type == SQLITE_TEXT && (v.bytes.contains('\0') || !QUtf8StringView(v.bytes).isValidUtf8()))
                    garbled.insert(rid);
            return true;
        }
        refused << rid;
        for (const Holder &h : holders_) {
            int b = 0;
            for (int f : h.key->fields)
                bind(h.st, ++b, fieldValue(row, f));
            if (sqlite3_step(h.st) == SQLITE_ROW)
                clashes.insert(sqlite3_column_int64(h.st, 0));
            sqlite3_reset(h.st);
        }
        return true;
    }
    const QString &error() const { return error_; }

    QSet<qint64> read;      // every row read: kept or refused
    QSet<qint64> refused;
    QSet<qint64> clashes;   // kept records whose values a refused row repeated
    QSet<qint64> garbled;   // kept records with a text no program writes
    qint64 kept = 0;

private:
    struct Holder {
        const data::KeyDecl *key;
        sqlite3_stmt *st;
    };
    void prepare(const QString &sql, sqlite3_stmt **st) {
        if (error_.isEmpty() && sqlite3_prepare_v2(to_.h, sql.toUtf8().constData(), -1, st, nullptr) != SQLITE_OK)
            error_ = to_.error();
    }
    // The value the row gives the field: its column's, else the column's default.
    Value fieldValue(const QList<Value> &row, int field) const {
        if (fieldColumn_[field] >= 0)
            return row[fieldColumn_[field]];
        Value v;
        const FieldKind kind = s_.fields()[size_t(field)].kind;
        v.type = kind == FieldKind::Text || kind == FieldKind::Memo ? SQLITE_TEXT : SQLITE_INTEGER;
        return v;
    }

    Db &to_;
    const FileStructure &s_;
    QList<int> src_, fieldColumn_;
    sqlite3_stmt *insert_ = nullptr;
    std::vector<Holder> holders_;
    QString error_;
};

// Calls `entry(position, field, agrees)` for each field of each entry the file's keys hold:
// whether the record kept holds the same value. SQLite reads a key's fields and positions from
// the key itself.
template <class F>
void compareWithKeys(Db &from, Db &to, const FileStructure &s, F entry) {
    for (const data::KeyDecl &k : s.keys()) {
        QStringList cols;
        for (int i : k.fields)
            cols << data::schema::column(s.fields()[size_t(i)]);
        const QString cond = data::schema::inKeyCondition(s, k);
        const QByteArray inKey = QStringLiteral("SELECT %1,_rid FROM records INDEXED BY %2%3")
                                     .arg(cols.join(QLatin1Char(',')), data::schema::indexName(k),
                                          cond.isEmpty() ? QString() : QStringLiteral(" WHERE ") + cond)
                                     .toUtf8();
        const QByteArray kept = QStringLiteral("SELECT %1 FROM records WHERE _rid=?").arg(cols.join(QLatin1Char(','))).toUtf8();
        sqlite3_stmt *entries = nullptr, *row = nullptr;
        if (sqlite3_prepare_v2(from.h, inKey.constData(), -1, &entries, nullptr) == SQLITE_OK
            && sqlite3_prepare_v2(to.h, kept.constData(), -1, &row, nullptr) == SQLITE_OK) {
            const int n = int(cols.size());
            while (sqlite3_step(entries) == SQLITE_ROW) {
                const qint64 rid = sqlite3_column_int64(entries, n);
                sqlite3_bind_int64(row, 1, rid);
                if (sqlite3_step(row) == SQLITE_ROW)
                    for (int c = 0; c < n; ++c) {
                        const Value a = valueOf(sqlite3_column_value(entries, c)), b = valueOf(sqlite3_column_value(row, c));
                        entry(rid, k.fields[size_t(c)], a.type == b.type && a.i == b.i && a.d == b.d && a.bytes == b.bytes);
                    }
                sqlite3_reset(row);
            }
        }
        sqlite3_finalize(entries);
        sqlite3_finalize(row);
    }
}

// The records kept with a value that a key of the file holds otherwise, and no key as kept: the
// row changed (kept as read). A value that some key confirms was changed in another key only.
QSet<qint64> disagreeingWithKeys(Db &from, Db &to, const FileStructure &s) {
    QHash<QPair<qint64, int>, bool> confirmed;   // the values some key holds otherwise
    compareWithKeys(from, to, s, [&](qint64 rid, int field, bool agrees) {
        if (!agrees)
            confirmed.insert({rid, field}, false);
    });
    if (!confirmed.isEmpty())
        compareWithKeys(from, to, s, [&](qint64 rid, int field, bool agrees) {
            if (agrees)
                if (auto c = confirmed.find({rid, field}); c != confirmed.end())
                    *c = true;
        });
    QSet<qint64> out;
    for (auto c = confirmed.cbegin(); c != confirmed.cend(); ++c)
        if (!c.value())
            out.insert(c.key().first);
    return out;
}

// Copies the rows SQLite reads, in order of position, into `w`; `stopped`: reading stopped at
// damage. False when a write failed.
bool copyReadableRows(Db &from, const Columns &cols, Writer &w, bool *stopped) {
    const int ridAt = int(cols.names.indexOf(QStringLiteral("_rid")));
    sqlite3_stmt *rows = nullptr;
    int rc = sqlite3_prepare_v2(from.h, "SELECT * FROM records ORDER BY rowid", -1, &rows, nullptr);
    QList<Value> row(cols.names.size());
    bool written = true;
    while (written && rc == SQLITE_OK && (rc = sqlite3_step(rows)) == SQLITE_ROW) {
        for (qsizetype c = 0; c < row.size(); ++c)
            row[c] = valueOf(sqlite3_column_value(rows, int(c)));
        written = w.put(sqlite3_column_int64(rows, ridAt), row);
        rc = SQLITE_OK;
    }
    sqlite3_finalize(rows);
    *stopped = rc != SQLITE_DONE;
    return written;
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
    Lock lock(path);
    if (!lock.ok()) {
        out.exit = InUse;
        out.messages << QStringLiteral("%1 is in use; close the program and try again").arg(name);
        return out;
    }
    // Keep the original exactly as found, with a journal left by a crash: opening it may roll
    // that back. A refusal takes the copy away again.
    const QString backup = freeBackupName(name), journal = path + QStringLiteral("-journal");
    const auto refuse = [&](int exit, const QString &message) {
        QFile::remove(backup);
        QFile::remove(backup + QStringLiteral("-journal"));
        out.exit = exit;
        out.messages << message;
        return out;
    };
    if (!QFile::copy(path, backup))
        return refuse(Unrecoverable, QStringLiteral("cannot keep a copy of %1 as %2; nothing was changed").arg(name, backup));
    if (QFileInfo::exists(journal) && !copyJournal(journal, backup + QStringLiteral("-journal")))
        return refuse(Unrecoverable, QStringLiteral("cannot keep a copy of %1 as %2; nothing was changed").arg(journal, backup + QStringLiteral("-journal")));

    FileStructure structure(QString(), 0);
    QString why;
    QFile ex(example);
    bool haveStructure = !example.isEmpty() && ex.open(QIODevice::ReadOnly)
                         && data::schema::parseExample(QString::fromUtf8(ex.readAll()), structure, &why);
    const QString notOurs = QStringLiteral("%1 is not a data file of this program; nothing was changed").arg(name);
    const bool ours = looksLikeDatabase(path);
    Db from;
    Columns columns;
    QString listing = QStringLiteral("its first page is damaged");
    if (ours) {
        if (sqlite3_open_v2(path.toUtf8().constData(), &from.h, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            return refuse(Unrecoverable, QStringLiteral("cannot open %1: %2; nothing was changed").arg(name, from.error()));
        data::registerCollation(from.h);
        // Lets SQLite read a file shorter than its header says, as far as it goes; a cell that
        // lies outside its page's content stops the read instead of making up a row.
        exec(from, QStringLiteral("PRAGMA writable_schema=ON"));
        exec(from, QStringLiteral("PRAGMA cell_size_check=ON"));
        // A column the table no longer has is an error, not a text in double quotes.
        sqlite3_db_config(from.h, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
        // The table list may break off at a damaged page: the rows can still be read if the
        // records table came before it.
        bool schemaOk = false;
        const QStringList tables = tableNames(from, &schemaOk);
        if (schemaOk && !tables.contains(QStringLiteral("records")))
            return refuse(NotOurs, notOurs);
        listing = schemaOk ? QStringLiteral("the table of records cannot be read") : from.error();
        columns = columnsOf(from);
    }
    // Without the table's columns the rows are read from the pages alone, as the declaration
    // lays them out, when some page still holds such rows.
    const bool readable = columns.names.contains(QStringLiteral("_rid"));
    if (!haveStructure)
        haveStructure = readable ? data::schema::parseExample(metaValue(from, "structure"), structure, &why)
                                 : structureOnPages(path, structure);
    const QString beyondRepair = QStringLiteral("%1 is damaged beyond repair (%2); nothing was changed").arg(name, listing);
    if (!haveStructure && !readable)
        return ours ? refuse(Unrecoverable, beyondRepair) : refuse(NotOurs, notOurs);
    if (!haveStructure)
        return refuse(NotOurs, QStringLiteral("the structure of %1 is unknown (%2); nothing was changed").arg(name, why));
    // The program writes the table and its copy of the structure together: a column the table
    // names otherwise than that copy (when they have as many) is a damaged name, and the values
    // stand in the structure's order.
    bool renamed = false;
    if (readable) {
        FileStructure own(QString(), 0);
        const Columns expected = declaredColumns(data::schema::parseExample(metaValue(from, "structure"), own, nullptr) ? own : structure);
        renamed = expected.names.size() == columns.names.size()
                  && !std::equal(expected.names.begin(), expected.names.end(), columns.names.begin(),
                                 [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; });
        if (renamed)
            columns = expected;
    }
    int pageSize = 0;
    if (!readable) {
        columns = declaredColumns(structure);
        if (!(pageSize = guessPageSize(path, columns)))
            return ours ? refuse(Unrecoverable, beyondRepair) : refuse(NotOurs, notOurs);
    }
    // A row longer than any the structure allows is damage: SQLite refuses to read it rather
    // than follow a looping overflow chain for the length its cell claims. (Never below 64 KiB,
    // for the check's answer.)
    if (readable)
        sqlite3_limit(from.h, SQLITE_LIMIT_LENGTH, int(qBound(qint64(1) << 16, longestRow(structure, columns), qint64(1) << 30)));

    out.problems = readable ? integrityProblems(from) : QStringList{listing};
    if (renamed)
        out.problems << QStringLiteral("the table names its columns otherwise than the file's structure");
    const QString fixed = path + QStringLiteral(".fix");
    QFile::remove(fixed);
    bool stopped = !readable;
    QSet<qint64> read, refused, damaged, counts;
    {
        Db to;
        if (sqlite3_open_v2(fixed.toUtf8().constData(), &to.h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
            return refuse(Unrecoverable, QStringLiteral("cannot write %1: %2; nothing was changed").arg(fixed, to.error()));
        data::registerCollation(to.h);
        QString error;
        const auto step = [&](const QString &sql) {
            if (error.isEmpty() && !exec(to, sql))
                error = to.error();
        };
        step(QStringLiteral("BEGIN"));
        for (const QString &s : data::schema::createTable(structure, QStringLiteral("main"), QStringLiteral("records")))
            step(s);
        for (const data::KeyDecl &k : structure.keys())
            step(data::schema::createIndex(structure, QStringLiteral("main"), k));
        if (error.isEmpty()) {
            Writer w(to, columns, structure);
            if (readable && w.error().isEmpty())
                copyReadableRows(from, columns, w, &stopped);
            // Past damage the rows come from the pages too; every row's overflow chain is checked there.
            if (w.error().isEmpty() && (stopped || !out.problems.isEmpty())) {
                std::unique_ptr<Pages> pages = readable ? std::make_unique<Pages>(path) : std::make_unique<Pages>(path, pageSize);
                pages->forEachRow([&](qint64 rid, const QList<Value> &row) {
                    if (row.size() == 1 && row[0].type == SQLITE_INTEGER)   // the file's record count
                        counts.insert(row[0].i);
                    if (!fits(columns, row))
                        return false;
                    w.put(rid, row);
                    return true;
                });
                damaged = pages->brokenChains();
            }
            if (readable && !out.problems.isEmpty())
                damaged += disagreeingWithKeys(from, to, structure);
            error = w.error();
            read = w.read;
            refused = w.refused;
            damaged += w.clashes + w.garbled;
            out.kept = w.kept;
        }
        for (const QString &statement : data::schema::keepCount(QStringLiteral("main")))
            step(statement);
        if (error.isEmpty() && data::schema::writeMeta(to.h, structure, QStringLiteral("main")) != SQLITE_OK)
            error = to.error();
        step(QStringLiteral("COMMIT"));
        if (!error.isEmpty()) {
            sqlite3_close_v2(to.h);
            to.h = nullptr;
            QFile::remove(fixed);
            return refuse(Unrecoverable, QStringLiteral("cannot build the new file: %1; nothing was changed").arg(error));
        }
    }
    QList<qint64> unread;
    qint64 missing = 0;
    if (!readable)   // the count the pages hold, when they hold one
        missing = counts.size() == 1 ? qMax<qint64>(0, *counts.begin() - read.size()) : -1;
    else if (!out.problems.isEmpty() || stopped)
        missing = unreadRecords(from, structure, read, stopped, &unread);
    sqlite3_close_v2(from.h);
    from.h = nullptr;
    // A journal left beside the rebuilt file would be played back into it.
    if (QFileInfo::exists(journal) && !QFile::remove(journal)) {
        out.exit = Unrecoverable;
        out.messages << QStringLiteral("cannot remove %1, which would undo the repair; the rebuilt file is %2").arg(journal, fixed);
        return out;
    }
    if (::rename(fixed.toUtf8().constData(), path.toUtf8().constData()) != 0) {
        out.exit = Unrecoverable;
        out.messages << QStringLiteral("cannot replace %1; the rebuilt file is %2").arg(name, fixed);
        return out;
    }

    for (qint64 rid : refused)
        damaged.remove(rid);
    damaged.intersect(read);
    out.damaged = sorted(damaged);
    out.refused = sorted(refused);
    out.lostNumbers = sorted(QSet<qint64>(unread.begin(), unread.end()) + refused);
    out.lost = missing < 0 ? -1 : missing + refused.size();
    out.damageFound = !out.problems.isEmpty() || stopped || out.lost != 0 || !out.damaged.isEmpty();
    const qsizetype n = out.problems.size();
    const QString found = n >= kCheckLimit ? QStringLiteral("%1 or more").arg(n) : QString::number(n);
    if (!out.damageFound)
        out.messages << QStringLiteral("%1: no damage found").arg(name);
    else if (!out.problems.isEmpty())
        out.messages << QStringLiteral("%1: %2 problem(s) found, first: %3").arg(name, found, out.problems.first());
    else
        out.messages << QStringLiteral("%1: damage found in its records").arg(name);
    out.messages << QStringLiteral("%1 rebuilt: %2 record(s) kept; the original is kept as %3").arg(name).arg(out.kept).arg(backup);
    if (missing < 0) {
        out.messages << QStringLiteral("some records of %1 could not be read; %2 still holds them").arg(name, backup);
    } else if (missing > 0) {
        QString numbers = stretches(unread, &out.unreadable);
        if (unread.isEmpty())
            numbers = QStringLiteral("numbers unknown");
        else
            numbers = (unread.size() < missing   ? QStringLiteral("among them numbers ")
                       : unread.size() > missing ? QStringLiteral("from among numbers ")
                                                 : QStringLiteral("numbers "))
                      + numbers;
        out.messages << QStringLiteral("%1 record(s) of %2 could not be read (%3); %4 still holds them").arg(missing).arg(name, numbers, backup);
    }
    if (!refused.isEmpty())
        out.messages << QStringLiteral("%1 record(s) of %2 left out, refused by a unique key: another record kept holds the same values (numbers %3); %4 still holds them")
                            .arg(refused.size()).arg(name, stretches(out.refused), backup);
    if (!damaged.isEmpty())
        out.messages << QStringLiteral("%1 record(s) of %2 kept that may be damaged (numbers %3); %4 holds them as found")
                            .arg(damaged.size()).arg(name, stretches(out.damaged), backup);
    if (out.lost != 0 || !damaged.isEmpty())
        out.exit = Lost;
    return out;
}

} // namespace tbk::datfix
