#pragma once
// The one SQLite connection behind all data files (internal to runtime/data and datfix).
//
// The main database is the disk file of the file object named by setMainFile() (the program's
// Configuration file), so that SQLite can commit a transaction over several attached files
// atomically; without one it is a private temporary database. Every other disk file is
// attached from the time the connection opens (or the file is first opened) until the
// connection closes, which it does when no file is open any more.
//
// SQLite attaches only so many files to a connection (SQLITE_LIMIT_ATTACHED, fixed when the
// library is built). When a file must be attached and the connection is full, the driver lets
// go of one nobody has open, else of the open one least recently used that is idle (no
// transaction under way, not streaming, no statement of it stepping), and attaches that one
// again, under the same schema name, the next time it is used. Nothing is let go of, and
// nothing attached, inside a transaction.
#include <QString>
#include <QVariant>

#include <sqlite3.h>

namespace tbk::data {

class DataFile;

// Registers the case-blind, trailing-blank-blind collation "TBKTEXT" on a connection.
void registerCollation(sqlite3 *db);

// The file object whose disk file is the connection's main database.
void setMainFile(DataFile *file);
DataFile *mainFile();

namespace driver {

sqlite3 *db();                               // opens the connection when needed
bool connected();
bool isMainPath(const QString &absPath);   // the connection's main database file
// One disk file under its schema name, shared by the file objects that have it open; it stays
// at the same address while anyone has it.
struct Attachment {
    QString path;
    QString alias;
    int users = 0;
    int kept = 0;             // runs that must keep it attached (stream mode)
    bool attached = true;     // false: let go of for another file, attached again when used
    quint64 lastUse = 0;
};

// Attaches the disk file (or shares an existing attachment), one user more; nullptr with the
// error set.
Attachment *attach(const QString &absPath, const QString &label);
// Every use of an open file's schema name: attaches it again when it was let go of; false with
// the error set (as inside a transaction, where SQLite cannot attach).
bool use(Attachment *a, const QString &label);
// Keeps the file attached until as many keep(a, false): its connection state matters.
void keep(Attachment *a, bool on);
void detach(const QString &absPath);         // one user less (the file stays attached)
// Detaches a file nobody has open (before it is replaced on disk); false inside a transaction.
bool dropAttachment(const QString &absPath);
void releaseIfIdle();                        // closes the connection when no file is open

// A cached prepared statement, reset and with bindings cleared; nullptr with error 90 set.
// Use it and reset it before preparing another: a full cache is emptied by the next prepare.
sqlite3_stmt *prepare(const QString &sql, const QString &label);
void bind(sqlite3_stmt *st, int i, const QVariant &v);
// Runs a statement without results; false with the error set.
bool exec(const QString &sql, const QString &label);
// A file's page cache in KiB, taken only as used: a transaction over 100,000 songs with twelve
// keys stays in memory instead of spilling. A file streaming a long run of writes has the larger
// one until its flush: at a million songs the keys outgrow the usual cache, and each add read
// their pages back from the disk file.
inline constexpr int kCacheKiB = 32768;
inline constexpr int kStreamCacheKiB = 1048576;
// Commits the driver's own transaction; rolls it back when the commit fails.
bool commitOrRollback(const QString &label);
// Sets the runtime error from SQLite's state after a failed call.
void fail(int rc, const QString &label);
void finalizeAll();
// Grows whenever cached statements are finalized: a statement kept elsewhere is valid while
// the generation it was prepared in lasts.
quint64 generation();

bool inTransaction();
void setInTransaction(bool on);
// A transaction left open between a run's turns (lingerTransaction): committed before any other
// use of the connection, by settleLingering() (transaction.cpp).
bool lingering();
void setLingering(bool on);
void settleLingering();
// How long an operation waits for another process's lock (with every thread of the program).
void setBusyTimeout(int ms);
int defaultBusyTimeout();
qint64 writeCount();   // grows with every write through the connection

// The file beside a disk file that carries its share-mode locks and the marks of waits.
QString lockPath(const QString &absPath);
// While it lives, this process is known to wait for the disk file's lock (nothing for an empty
// path): a long run that holds the file between its commits lets go of it for a station that
// waits (othersWait on the run's own descriptor of the "-lock" file).
class WaitMark {
public:
    explicit WaitMark(const QString &absPath);
    ~WaitMark();
    WaitMark(const WaitMark &) = delete;
    WaitMark &operator=(const WaitMark &) = delete;

private:
    int fd_ = -1;
};
bool othersWait(int lockFd);

} // namespace driver
} // namespace tbk::data
