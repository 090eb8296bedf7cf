#include "runtime/data/driver.h"

#include "runtime/data/datafile.h"
#include "runtime/data/errors.h"
#include "runtime/values/text.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <QThread>

#include <algorithm>
#include <map>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace tbk::data {

namespace {

bool continuationAt(const unsigned char *s, int i, int n) {
    return i < n && (s[i] & 0xC0) == 0x80;
}

// Decoded as a whole string decodes this part of it: a byte order mark kept as a character, each
// byte of a broken sequence one replacement character.
QString decodeKeyText(const unsigned char *s, int n) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return utf8(QByteArrayView(s, n));
}

// The collation of text keys: case-blind, trailing blanks ignored (tbk::compareText); plain
// ASCII, the common case, is compared on the bytes without converting. Any bytes, valid UTF-8 or
// not, are in the order of their decoded texts, else an index on them is out of order.
int compareTbkText(void *, int n1, const void *p1, int n2, const void *p2) {
    auto a = static_cast<const unsigned char *>(p1);
    auto b = static_cast<const unsigned char *>(p2);
    while (n1 > 0 && a[n1 - 1] == ' ')
        --n1;
    while (n2 > 0 && b[n2 - 1] == ' ')
        --n2;
    const int n = n1 < n2 ? n1 : n2;
    int i = 0;
    for (; i < n; ++i) {
        unsigned char x = a[i], y = b[i];
        if (x == y)
            continue;   // the same bytes are the same text, whatever the rule
        if ((x | y) & 0x80)
            break;
        if (x >= 'A' && x <= 'Z')
            x += 32;
        if (y >= 'A' && y <= 'Z')
            y += 32;
        if (x != y)
            return x < y ? -1 : 1;
    }
    // Where one ends the other goes on; a continuation byte there makes what they share decode
    // otherwise in the longer one.
    if (i == n && (n1 == n2 || !continuationAt(n1 < n2 ? b : a, n, n1 < n2 ? n2 : n1)))
        return n1 == n2 ? 0 : n1 < n2 ? -1 : 1;
    // Beyond ASCII: the rest by the runtime's own case-blind rule, as keys compare in memory,
    // decoded from a place where a character starts in both.
    while (i > 0 && (continuationAt(a, i, n1) || continuationAt(b, i, n2)))
        --i;
    const int c = compareText(decodeKeyText(a + i, n1 - i), decodeKeyText(b + i, n2 - i), Qt::CaseInsensitive);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

using driver::Attachment;

constexpr int kDefaultBusyMs = 2000;

struct State {
    sqlite3 *db = nullptr;
    QString mainPath;                     // absolute path of the main database ("" temp)
    // By absolute path; a map, so that each attachment keeps its address.
    std::map<QString, Attachment> attached;
    quint64 uses = 0;                     // the clock of Attachment::lastUse
    QHash<QString, sqlite3_stmt *> stmts;
    bool inTransaction = false;
    bool lingering = false;
    const Attachment *current = nullptr;  // the file of the operation under way
    int busyMs = kDefaultBusyMs;
    QElapsedTimer busyWaited;
    qint64 writes = 0;
    int nextAlias = 1;
    quint64 generation = 1;
};

// Never destroyed: file objects are globals whose destructors may run after ours would.
State &st() {
    static State *s = new State;
    return *s;
}

DataFile *g_main = nullptr;
const QByteArray kCacheSize = "-" + QByteArray::number(driver::kCacheKiB);
constexpr qsizetype kMaxCachedStatements = 256;
// The tries at another process's lock come this often: a long run that let go of a file for us
// waits for nothing longer than this.
constexpr int kBusyStepMs = 5;

void attachKnownFiles(State &s);

// SQLite's wait for another process's lock, with the file waited for marked meanwhile.
int waitForLock(void *, int tries) {
    State &s = st();
    if (tries == 0)
        s.busyWaited.start();
    const qint64 left = s.busyMs - s.busyWaited.elapsed();
    if (left <= 0)
        return 0;
    driver::WaitMark mark(s.current ? s.current->path : QString());
    QThread::msleep(ulong(qMin<qint64>(left, kBusyStepMs)));
    return 1;
}

bool openConnection() {
    // The program's threads take turns on one system thread: SQLite's own locking and memory
    // statistics would only cost a mutex per call. Refused once SQLite has started; harmless.
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_SINGLETHREAD);
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return true;
    }();
    (void)configured;
    State &s = st();
    QString path;
    if (g_main)
        path = g_main->fullPath();
    const QByteArray p = path.toUtf8();
    int rc = sqlite3_open_v2(p.constData(), &s.db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(s.db, "PRAGMA main.schema_version", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK && !path.isEmpty()) {
        // The main file is unusable (not a database): go on without atomic multi-file
        // commits rather than refuse every file; the main file's own open reports the fault.
        sqlite3_close_v2(s.db);
        s.db = nullptr;
        path.clear();
        rc = sqlite3_open_v2("", &s.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    }
    if (rc != SQLITE_OK) {
        setDriverError(rc, QString::fromUtf8(sqlite3_errstr(rc)));
        sqlite3_close_v2(s.db);
        s.db = nullptr;
        return false;
    }
    s.mainPath = path;
    if (!path.isEmpty())
        s.attached.emplace(path, Attachment{path, QStringLiteral("main")});
    registerCollation(s.db);
    sqlite3_exec(s.db, (QByteArray("PRAGMA main.journal_mode=DELETE;PRAGMA main.secure_delete=ON;PRAGMA main.cache_size=") + kCacheSize).constData(),
                 nullptr, nullptr, nullptr);
    sqlite3_busy_handler(s.db, waitForLock, nullptr);
    attachKnownFiles(s);
    return true;
}

int rawAttach(State &s, const QString &absPath, const QString &alias) {
    sqlite3_stmt *stmt = nullptr;
    const QByteArray sql = ("ATTACH DATABASE ?1 AS " + alias).toUtf8();
    int rc = sqlite3_prepare_v2(s.db, sql.constData(), -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        const QByteArray p = absPath.toUtf8();
        sqlite3_bind_text(stmt, 1, p.constData(), int(p.size()), SQLITE_TRANSIENT);
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE)
            rc = SQLITE_OK;
    }
    sqlite3_finalize(stmt);
    if (rc == SQLITE_OK) {
        // Deleted records leave nothing on the pages, whatever the library's default: a repair
        // that reads a damaged file's pages directly cannot bring them back.
        const QByteArray jm = ("PRAGMA " + alias + ".journal_mode=DELETE;PRAGMA " + alias + ".secure_delete=ON;PRAGMA " + alias
                               + ".cache_size=" + kCacheSize).toUtf8();
        sqlite3_exec(s.db, jm.constData(), nullptr, nullptr, nullptr);
    }
    return rc;
}

bool isMain(const Attachment &a) { return a.alias == QLatin1String("main"); }

// A file replaced on disk since it was attached (the repair utility renames a new one over the
// old): the attachment still reads the old one and may not write to it.
bool replacedOnDisk(State &s, const Attachment &a) {
    int moved = 0;
    return a.attached && !isMain(a) && QFileInfo::exists(a.path)
           && sqlite3_file_control(s.db, a.alias.toUtf8().constData(), SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK
           && moved;
}

bool detachSchema(State &s, const QString &alias) {
    driver::finalizeAll();
    const QByteArray sql = ("DETACH DATABASE " + alias).toUtf8();
    return sqlite3_exec(s.db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool rawDetach(State &s, const QString &absPath) {
    auto it = s.attached.find(absPath);
    if (it == s.attached.end())
        return true;
    if (it->second.users > 0 || s.inTransaction)
        return false;
    if (it->second.attached && !isMain(it->second) && !detachSchema(s, it->second.alias))
        return false;
    if (s.current == &it->second)
        s.current = nullptr;
    s.attached.erase(it);
    return true;
}

// Whether the connection may let go of the file now: SQLite refuses to detach one with a
// statement stepping or a lock held, and a transaction could not attach it again.
bool idle(State &s, const Attachment &a) {
    if (!a.attached || isMain(a) || a.kept > 0)
        return false;
    const QByteArray alias = a.alias.toUtf8();
    return sqlite3_txn_state(s.db, alias.constData()) == SQLITE_TXN_NONE;
}

// Makes room for one more attachment when the connection holds as many as SQLite allows:
// lets go of a file nobody has open, else of the idle open one least recently used. False
// when there is no room to be made.
bool makeRoom(State &s, bool dropHolds = true) {
    int held = 0;
    for (const auto &[path, a] : s.attached)
        if (a.attached && !isMain(a))
            ++held;
    if (held < sqlite3_limit(s.db, SQLITE_LIMIT_ATTACHED, -1))
        return true;
    if (s.inTransaction || !sqlite3_get_autocommit(s.db))
        return false;
    std::vector<Attachment *> idleOnes;
    for (auto &[path, a] : s.attached)
        if (idle(s, a))
            idleOnes.push_back(&a);
    std::sort(idleOnes.begin(), idleOnes.end(), [](const Attachment *a, const Attachment *b) {
        return (a->users == 0) != (b->users == 0) ? a->users == 0 : a->lastUse < b->lastUse;
    });
    for (Attachment *a : idleOnes) {
        if (a->users == 0) {
            if (rawDetach(s, a->path))
                return true;
            continue;
        }
        if (detachSchema(s, a->alias)) {
            a->attached = false;
            return true;
        }
    }
    // While a file holds its reads, SQLite keeps a read lock on every file used meanwhile. The
    // holds only spare lock calls: they go, as they do for a write that waits.
    if (!dropHolds)
        return false;
    for (DataFile *f : DataFile::all())
        f->releaseReads();
    return makeRoom(s, false);
}

// SQLite refuses ATTACH inside a transaction, and housekeeping keeps one open across events
// while other windows open files. So every data file that exists is attached as soon as the
// connection opens (as many as SQLite takes), and files stay attached until the connection
// closes or another file needs the room.
void attachKnownFiles(State &s) {
    for (DataFile *f : DataFile::all()) {
        const QString path = f->fullPath();
        if (s.attached.count(path) || path == s.mainPath || !QFileInfo::exists(path))
            continue;
        const QString alias = QStringLiteral("f%1").arg(s.nextAlias++);
        if (rawAttach(s, path, alias) == SQLITE_OK)
            s.attached.emplace(path, Attachment{path, alias});
    }
}

} // namespace

void registerCollation(sqlite3 *db) {
    sqlite3_create_collation(db, "TBKTEXT", SQLITE_UTF8, nullptr, compareTbkText);
}

void setMainFile(DataFile *file) { g_main = file; }
DataFile *mainFile() { return g_main; }

namespace driver {

sqlite3 *db() {
    if (!st().db)
        openConnection();
    return st().db;
}

bool connected() { return st().db != nullptr; }

bool isMainPath(const QString &absPath) { return st().db && !st().mainPath.isEmpty() && st().mainPath == absPath; }

Attachment *attach(const QString &absPath, const QString &label) {
    State &s = st();
    if (s.lingering)
        settleLingering();
    if (!db())
        return nullptr;
    auto it = s.attached.find(absPath);
    if (it != s.attached.end() && it->second.users == 0 && replacedOnDisk(s, it->second) && rawDetach(s, absPath))
        it = s.attached.end();
    if (it != s.attached.end()) {
        if (!use(&it->second, label))
            return nullptr;
        ++it->second.users;
        return &it->second;
    }
    const QString alias = QStringLiteral("f%1").arg(s.nextAlias++);
    makeRoom(s);   // else SQLite's own refusal says why
    const int rc = rawAttach(s, absPath, alias);
    if (rc != SQLITE_OK) {
        fail(rc, label);
        return nullptr;
    }
    Attachment &a = s.attached.emplace(absPath, Attachment{absPath, alias}).first->second;
    a.users = 1;
    a.lastUse = ++s.uses;
    s.current = &a;
    return &a;
}

bool use(Attachment *a, const QString &label) {
    State &s = st();
    if (s.lingering)
        settleLingering();
    a->lastUse = ++s.uses;
    s.current = a;
    if (a->attached)
        return true;
    makeRoom(s);
    const int rc = rawAttach(s, a->path, a->alias);
    if (rc != SQLITE_OK) {
        fail(rc, label);
        return false;
    }
    a->attached = true;
    return true;
}

void keep(Attachment *a, bool on) { a->kept += on ? 1 : a->kept > 0 ? -1 : 0; }

void detach(const QString &absPath) {
    auto it = st().attached.find(absPath);
    if (it != st().attached.end() && it->second.users > 0)
        --it->second.users;
}

bool dropAttachment(const QString &absPath) {
    if (st().lingering)
        settleLingering();
    return rawDetach(st(), absPath);
}

void releaseIfIdle() {
    State &s = st();
    if (!s.db || s.inTransaction)
        return;
    for (const auto &[path, a] : s.attached)
        if (a.users > 0)
            return;
    finalizeAll();
    sqlite3_close_v2(s.db);
    s.db = nullptr;
    s.mainPath.clear();
    s.current = nullptr;
    s.attached.clear();
}

sqlite3_stmt *prepare(const QString &sql, const QString &label) {
    State &s = st();
    if (s.lingering)
        settleLingering();
    if (!db())
        return nullptr;
    auto it = s.stmts.constFind(sql);
    if (it != s.stmts.constEnd()) {
        sqlite3_reset(*it);
        sqlite3_clear_bindings(*it);
        return *it;
    }
    if (s.stmts.size() >= kMaxCachedStatements)
        finalizeAll();   // filters make statements of their own: keep the cache bounded
    sqlite3_stmt *stmt = nullptr;
    const QByteArray u = sql.toUtf8();
    const int rc = sqlite3_prepare_v3(s.db, u.constData(), int(u.size()), SQLITE_PREPARE_PERSISTENT,
                                      &stmt, nullptr);
    if (rc != SQLITE_OK) {
        fail(rc, label);
        return nullptr;
    }
    s.stmts.insert(sql, stmt);
    return stmt;
}

void bind(sqlite3_stmt *stmt, int i, const QVariant &v) {
    if (v.typeId() == QMetaType::QString) {
        const QByteArray u = v.toString().toUtf8();
        sqlite3_bind_text(stmt, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
    } else if (v.typeId() == QMetaType::Double) {
        sqlite3_bind_double(stmt, i, v.toDouble());
    } else if (!v.isValid()) {
        sqlite3_bind_null(stmt, i);
    } else {
        sqlite3_bind_int64(stmt, i, v.toLongLong());
    }
}

bool exec(const QString &sql, const QString &label) {
    if (st().lingering)
        settleLingering();
    if (!db())
        return false;
    char *msg = nullptr;
    const QByteArray u = sql.toUtf8();
    const int rc = sqlite3_exec(st().db, u.constData(), nullptr, nullptr, &msg);
    sqlite3_free(msg);
    if (rc != SQLITE_OK) {
        fail(rc, label);
        return false;
    }
    ++st().writes;
    return true;
}

bool commitOrRollback(const QString &label) {
    if (exec(QStringLiteral("COMMIT"), label))
        return true;
    const int code = errorCode(), dcode = driverErrorCode();
    const QString dtext = driverErrorText();
    sqlite3_exec(st().db, "ROLLBACK", nullptr, nullptr, nullptr);
    if (code == DriverError)
        setDriverError(dcode, dtext, label);
    else
        setError(code, label);
    return false;
}

void fail(int rc, const QString &label) {
    const int primary = rc & 0xff;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) {
        setError(FileLocked, label);
        return;
    }
    // A file or folder nobody may write to (read-only media, permissions) is no lock.
    if (primary == SQLITE_READONLY || primary == SQLITE_PERM) {
        setError(AccessDenied, label);
        return;
    }
    QString text = st().db ? QString::fromUtf8(sqlite3_errmsg(st().db)) : QString();
    if (text.isEmpty() || text == QLatin1String("not an error"))
        text = QString::fromUtf8(sqlite3_errstr(rc));
    setDriverError(rc, text, label);
}

quint64 generation() { return st().generation; }

void finalizeAll() {
    ++st().generation;
    for (sqlite3_stmt *stmt : std::as_const(st().stmts))
        sqlite3_finalize(stmt);
    st().stmts.clear();
}

bool inTransaction() { return st().inTransaction; }

void setInTransaction(bool on) { st().inTransaction = on; }

bool lingering() { return st().lingering; }

void setLingering(bool on) { st().lingering = on; }

void setBusyTimeout(int ms) { st().busyMs = ms; }

int defaultBusyTimeout() { return kDefaultBusyMs; }

qint64 writeCount() { return st().writes; }

QString lockPath(const QString &absPath) { return absPath + QStringLiteral("-lock"); }

// The mark is a read lock on the first byte of the "-lock" file, of this open file description
// alone (closing another descriptor of the file leaves it); the share modes' locks there are
// flock locks, which these do not meet.
static struct flock markByte(short type) {
    struct flock l {};
    l.l_type = type;
    l.l_whence = SEEK_SET;
    l.l_len = 1;
    return l;
}

WaitMark::WaitMark(const QString &absPath) {
    if (absPath.isEmpty())
        return;
    fd_ = ::open(lockPath(absPath).toUtf8().constData(), O_RDONLY | O_CLOEXEC);
    struct flock l = markByte(F_RDLCK);
    if (fd_ >= 0 && ::fcntl(fd_, F_OFD_SETLK, &l) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

WaitMark::~WaitMark() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool othersWait(int lockFd) {
    struct flock l = markByte(F_WRLCK);
    return lockFd >= 0 && ::fcntl(lockFd, F_OFD_GETLK, &l) == 0 && l.l_type != F_UNLCK;
}

} // namespace driver
} // namespace tbk::data
