#pragma once
// An indexed data file (a declaration): its record buffer, keys, and the driver operations.
// Each disk file is an SQLite database holding one table of records; all files share one
// SQLite connection (see driver.h) so that a transaction over several files is atomic.
//
// Every operation clears the current error (errors.h) and sets it on failure; the boolean
// results say the same thing. Reads load the record into the buffer; at the end of a key
// order next()/previous() fail with 33 and leave the buffer as it was.
//
// Reading in key order: set(key) then next() from the first record (previous() from the last);
// setFromBuffer(key) starts at the key value now in the buffer's key fields (next(): first
// record >= it; previous(): last record <= it); setAt(key, pos) starts at a known record.
// setPhysical() reads in order of addition. Records of a key with ExcludeBlanks whose key
// fields are all blank or zero are not in that key. Text keys ignore case and trailing blanks;
// equal keys come in order of addition.
#include "runtime/data/declaration.h"
#include "runtime/data/errors.h"
#include "runtime/data/recordbuffer.h"

#include <QHash>
#include <QString>
#include <QVariantList>

struct sqlite3_stmt;

namespace tbk::data::driver {
struct Attachment;
}

#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace tbk::data {

// Access modes as the program passes them: access in the low bits, sharing in the high bits.
enum OpenMode : int {
    ReadOnly = 0x00,
    WriteOnly = 0x01,
    ReadWrite = 0x02,
    DenyAll = 0x10,     // exclusive: fails while any other open of the file exists, in any process
    DenyWrite = 0x20,   // a data file: as DenyAll (a text file shares it with readers)
    DenyRead = 0x30,    // as DenyAll
    DenyNone = 0x40,
    SharedReadWrite = ReadWrite | DenyNone,   // 66, the program's normal mode
    SharedReadOnly = ReadOnly | DenyNone,
    Exclusive = ReadWrite | DenyAll,
};

class DataFile;

// A key of a file object (MUS.SongsByArtist).
class Key {
public:
    Key(DataFile *file, int index) : file_(file), index_(index) {}
    Key(const Key &) = delete;
    DataFile &file() const { return *file_; }
    int index() const { return index_; }
    const KeyDecl &decl() const;
    QString name() const;   // "PRE:Name" as declared

private:
    DataFile *file_;
    int index_;
};

// Where a sequential read goes on from; each DataFile has one, each View its own.
struct Cursor {
    enum Anchor { None, Values, AtRecord, After };
    int key = -1;                 // -1: physical order
    Anchor anchor = None;
    std::vector<Cell> values;     // key component values (Values, AtRecord, After)
    Position position = 0;        // AtRecord, After
};

// Values a condition holds a key's first field to: [low, high], or [low, high) when open; texts
// compared case-blind, as the key orders them. A condition may give several, apart and in key
// order.
struct KeyRange {
    QVariant low, high;
    bool open = false;
};

// Rows a sequential read fetched with one statement beyond the row it returned; the next reads
// in the same direction hand them out without asking the file again. They are the rows as they
// were when fetched: drop them when other writers may have been at the file since.
struct ReadAhead {
    int rows = 1;                  // rows one statement fetches
    // The fields fetched (indexes in the record; empty: all). The others read as blank; the
    // order key's own fields are always fetched.
    std::vector<int> fields;
    // The first `held` are the rows of the last fetch; the others, handed out or dropped, are
    // kept to be filled again, so that a long read allocates no record per row.
    std::vector<Record> fetched;
    size_t held = 0;
    size_t next = 0;               // the next of `fetched` to hand out
    bool more = false;             // the last fetch was full: rows may follow it
    bool forward = true;
    void drop() {
        held = 0;
        next = 0;
        more = false;
    }
};

class DataFile : public RecordBuffer {
public:
    DataFile(QString label, QString prefix, FileStructure &structure);
    ~DataFile() override;

    // All indexed data files of the process, in order of construction.
    static std::vector<DataFile *> all();
    // By prefix or label, case-blind; nullptr when unknown.
    static DataFile *find(const QString &prefixOrLabel);
    // Disk file name: the declared disk name plus ".dat" (unless it has an extension),
    // relative to the current directory; setName() replaces it while the file is closed.
    QString name() const;
    void setName(const QString &diskName);
    QString fullPath() const;     // absolute, resolved when opened

    // --- opening
    bool open(int mode = SharedReadWrite);   // 2, 32, 36, 46, 47, 52, 90
    // Makes the disk file anew, empty, in the declared layout (an old one is replaced).
    // The file must be closed.
    bool create();
    void close();
    bool isOpen() const { return open_; }
    int openMode() const { return mode_; }

    // --- the buffer (see RecordBuffer)
    const Key *key(const QString &name) const;   // "SongsByArtist" or "MUS:SongsByArtist"
    const Key &keyAt(int index) const { return *keys_[size_t(index)]; }

    // --- sequential reading (on the file's own cursor)
    void set(const Key &k);
    void setFromBuffer(const Key &k);
    void setAt(const Key &k, Position p);
    void setPhysical(Position from = 0);  // next() reads from record `from` on (0: the first)
    bool next();
    bool previous();

    // --- direct reading
    bool get(const Key &k);               // the first record whose key equals the buffer's (35)
    bool get(Position p);                 // by position / record number (35)
    bool reget() { return get(buffer_.position); }

    // --- writing
    bool add();                            // the buffer as a new record; 40 names the key
    // The records as new ones, in order, several to a statement. `added` tells how many went in;
    // a refused one stops them with its error (those before it stay) and is then in the buffer.
    // After all of them the buffer holds the last.
    bool add(std::span<const Record> records, size_t &added);
    // Writes over the record read: 89 when it was changed (or deleted) since it was read, here
    // or in another process; 33 when no record was read; 40 names the key.
    bool put();
    bool remove();                         // deletes the record read (the buffer keeps the values)

    // --- the whole file
    qint64 records();                      // -1 on error
    qint64 bytes();                        // size of the disk file, -1 on error
    // Rebuilds every key (also missing ones); on a closed file too, which it opens exclusively
    // for the time being (a file with damaged keys cannot be opened otherwise: 46).
    bool buildKeys();
    bool pack();                           // drops free space and renumbers positions 1..n
    // Brings a file of an older registration to the declared layout, keeping its rows (fields
    // matched by name). The file must be closed. Fails with 47 for a newer or foreign layout,
    // with 40 when the rows break a unique key of the new layout (nothing is changed then).
    bool upgrade();
    // Driver commands: "RECOVER=n" (the next open waits up to n seconds for a lock to go),
    // "QUICKSCAN=on|off", "FULLBUILD=on|off", "IGNORESTATUS=ON|OFF", and the queries "HELD"
    // (records are never held: answers "OFF") and "QUICKSCAN" (the hint last sent: "ON" or
    // "OFF"; SQLite reads ahead by itself, so the hint changes nothing else). Unknown commands
    // answer "". Case-blind.
    QString send(const QString &command);
    // Stream mode for a run of writes outside a transaction: until flush() or close(), this disk
    // file keeps its journal and a larger page cache between commits; each commit still waits
    // for the disk, so that a crash of the machine loses no commit and damages nothing. Other
    // processes read and write the file between commits.
    void stream();
    void flush();
    // Whether another process waits for this disk file's lock now (driver::WaitMark).
    bool otherStationWaits() const;
    // Keeps the file's read lock from one statement to the next until releaseReads() (or
    // close()), so that a run of reads and autocommitted writes does not lock, check the
    // journal and unlock the disk file for each one; every write is still committed by itself.
    // Other processes can read meanwhile but not commit: hold it for a moment only, never
    // across a wait. False (nothing held) when the file is not open or in a transaction.
    bool holdReads();
    void releaseReads();
    void watch() {}    // every put is checked against the version read

    // --- used by views and the driver
    // Where a read in the key's order starts: at the key value now in the buffer, or at the
    // record at p (in physical order when k is null; a plain set() when the record is gone).
    Cursor cursorFromBuffer(const Key &k) const;
    Cursor cursorAt(const Key *k, Position p);
    // `first`: where the condition keeps the key's first field (see KeyRange); empty: anywhere.
    bool readNext(Cursor &c, bool forward, const std::function<bool()> &accept,
                  const QString &condition = {}, const QVariantList &binds = {}, ReadAhead *ahead = nullptr,
                  std::span<const KeyRange> first = {});
    // Reads on from the cursor in its key's order (physical without one) with one statement,
    // each record into the buffer, calling `take` until it answers false (true then) or the
    // records end (false with 33; with the error on a failure). The cursor is left after the
    // last record read. `fields`: the fields read (indexes in the record; the others blank, the
    // version one no record has); all without. `take` must not write to this file. `onDemand`:
    // only the record's position is set, its fields come when `take` calls loadScanned().
    bool scan(Cursor &c, const std::vector<int> *fields, const std::function<bool()> &take, bool onDemand = false);
    // Within a scan's `take`: the record's fields into the buffer, when the scan left them for it.
    void loadScanned();
    QString schemaName() const { return alias_; }   // SQL schema of the attached file
    // Before SQL text naming schemaName() runs outside the file's own operations: the
    // connection may have let go of an idle file for another one. False with the error set.
    bool ensureAttached();
    static QString columnName(const FieldDecl &f);  // quoted identifier
    int recoverSeconds() const { return recoverSeconds_; }

private:
    bool checkOpen(bool write);
    void loadRow(sqlite3_stmt *stmt, Record &into) const;
    // The row of a statement that selected only these fields.
    void loadFields(sqlite3_stmt *stmt, const std::vector<int> &fields, Record &into) const;
    // Steps a bound statement once: its row into the buffer, or 35 / the driver's error.
    bool readOne(sqlite3_stmt *stmt);
    std::vector<Cell> keyValues(const KeyDecl &k) const;   // the buffer's values of the key
    void failWrite(int rc);
    // Steps a bound write. A held read lock makes SQLite refuse at once, without waiting, a
    // write that another process's pending write blocks: then the hold goes and the write
    // waits as any other would.
    int stepWrite(sqlite3_stmt *stmt);
    bool verifyLayout();
    // Whether the file keeps its own count whole (table, row and triggers).
    bool keepsCount();
    // Gives a file made before the count was kept its count, counted once; false when the file
    // cannot take it now (read-only, a transaction under way, another process writing), and
    // records() counts the rows instead.
    bool ensureCount();
    bool lock(bool exclusive);
    void unlock();
    bool withExclusiveAttach(const std::function<bool()> &work);
    // Clears the error; false with 52 or 56 when the file is open or a transaction runs.
    bool checkClosedOutsideTransaction();
    // Runs the statements in order; on the first failure rolls back and keeps its error. The
    // statements from firstKeyIndex on create the keys in declared order, so a refused one
    // names its key (40).
    bool runScript(const QStringList &sql, qsizetype firstKeyIndex = -1);
    // Reading on from a cursor: the comparison that passes it (none from the start), the SELECT
    // of the records' position, version and fields (`only`; all without, and the version read
    // as one no record has with) in the key's order, and the cursor's values bound to it (the
    // next parameter's number returned).
    static const char *cursorOp(const Cursor &c, bool forward);
    QString orderedSelect(const KeyDecl *k, const char *op, bool withRid, bool forward, const std::vector<int> *only,
                          const QStringList &bounds, const QString &condition) const;
    int bindCursor(sqlite3_stmt *st, const KeyDecl *k, const Cursor &c, const char *op, bool withRid) const;
    // A prepared statement for one of the file's common shapes, kept across calls.
    sqlite3_stmt *statement(quint32 shape, const std::function<QString()> &sql);
    struct CachedStatement {
        sqlite3_stmt *stmt = nullptr;
        quint64 generation = 0;
        QString alias;
    };
    QHash<quint32, CachedStatement> statements_;
    // The scan whose `take` runs now, and the fields it reads (all without).
    sqlite3_stmt *scanning_ = nullptr;
    const std::vector<int> *scanFields_ = nullptr;
    QString columns_;   // the field columns, in order, for SQL text

    QString name_;
    QString path_;
    QString alias_;
    driver::Attachment *attachment_ = nullptr;   // while open (or attached for a closed-file task)
    bool open_ = false;
    int mode_ = 0;
    int lockFd_ = -1;
    int recoverSeconds_ = 0;
    bool streaming_ = false;
    sqlite3_stmt *readHold_ = nullptr;   // stepped once and left active while held
    bool counted_ = false;   // records() reads the kept count
    bool quickScan_ = false;
    Cursor cursor_;
    std::vector<std::unique_ptr<Key>> keys_;
};

} // namespace tbk::data
