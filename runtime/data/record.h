#pragma once
// Record buffers: one per declaration, process-wide. A field of a declaration is reached either
// as a typed member of the file object (MUS.Artist, generated from the declaration tables in
// core/datafiles.h) or by its name text ("MUS:Artist", case-blind) through FieldRef.
//
// Values: text fields hold at most their size in characters and never trailing blanks
// (assignment fits them); BYTE wraps like an unsigned 8-bit number; LONG is 32-bit;
// DECIMAL(b) holds up to 2b-1 digits and is clamped to them.
#include <QString>
#include <QVariant>
#include <QtGlobal>

#include <vector>

namespace tbk::data {

class RecordBuffer;
enum class FieldKind;

// A record's place in its file: its number in order of addition (1 for the first record ever
// added; numbers of deleted records are not reused until the file is packed). 0 means none.
// A position can be stored and used later to read the same record again.
using Position = qint64;

struct Cell {
    qint64 n = 0;     // LONG, BYTE, DECIMAL
    QString s;        // STRING, memo
    bool operator==(const Cell &o) const { return n == o.n && s == o.s; }
};

// A copy of a record buffer: field and memo values, and where the record came from. Forms keep
// one as their working copy and as the saved image they compare with.
struct Record {
    std::vector<Cell> cells;      // fields in declaration order, then memos
    Position position = 0;        // the record it was read from (0: none)
    qint64 version = 0;           // the record's version when it was read (for error 89)
    bool sameValues(const Record &o) const { return cells == o.cells; }
};

// A field reached by name. Invalid (valid() false) when the name is unknown.
class FieldRef {
public:
    FieldRef() = default;
    FieldRef(RecordBuffer *file, int index) : file_(file), index_(index) {}
    bool valid() const { return file_ && index_ >= 0; }
    RecordBuffer *file() const { return file_; }
    int index() const { return index_; }
    FieldKind kind() const;
    int size() const;
    bool isText() const;          // STRING or memo
    QString name() const;         // "PRE:Name" as declared
    QString text() const;         // numbers as their decimal text
    qint64 number() const;        // text fields: their numeric value (tbk::numericValue)
    QVariant value() const;       // QString for text and memos, qlonglong for numbers
    void setText(const QString &v) const;
    void setNumber(qint64 v) const;
    void setValue(const QVariant &v) const;   // converts to the field's kind

private:
    RecordBuffer *file_ = nullptr;
    int index_ = -1;
};

// Finds "PRE:Name" (or a memo "PRE:Memo") among all declared files and text files; case-blind.
FieldRef findField(const QString &qualifiedName);

// Typed members of a file object. They are views onto the file's buffer, never copied.
class FieldProxy {
public:
    FieldProxy(RecordBuffer *file, int index) : file_(file), index_(index) {}
    FieldProxy(const FieldProxy &) = delete;
    int index() const { return index_; }
    FieldRef ref() const { return FieldRef(file_, index_); }

protected:
    const Cell &cell() const;
    Cell &cell();
    int size() const;
    RecordBuffer *file_;
    int index_;
};

class TextField : public FieldProxy {
public:
    using FieldProxy::FieldProxy;
    const QString &str() const { return cell().s; }
    operator const QString &() const { return cell().s; }
    bool empty() const { return cell().s.isEmpty(); }
    TextField &operator=(const QString &v);
    TextField &operator=(const char *v) { return *this = QString::fromUtf8(v); }
    TextField &operator=(const TextField &o) { return *this = o.str(); }
    // Equal as stored: trailing blanks never count; case counts.
    friend bool operator==(const TextField &a, const QString &b);
    friend bool operator==(const TextField &a, const char *b) { return a == QString::fromUtf8(b); }
};
using MemoField = TextField;

template <typename T>
class NumberField : public FieldProxy {
public:
    using FieldProxy::FieldProxy;
    operator T() const { return T(cell().n); }
    T value() const { return T(cell().n); }
    NumberField &operator=(qint64 v) { set(v); return *this; }
    NumberField &operator=(const NumberField &o) { set(o.value()); return *this; }
    NumberField &operator+=(qint64 v) { set(qint64(value()) + v); return *this; }
    NumberField &operator-=(qint64 v) { set(qint64(value()) - v); return *this; }
    NumberField &operator++() { return *this += 1; }
    NumberField &operator--() { return *this -= 1; }

private:
    void set(qint64 v);
};
using LongField = NumberField<qint32>;
using ByteField = NumberField<quint8>;
using DecimalField = NumberField<qint64>;

// The stored form of a number assigned to a field of this kind and size.
qint64 fitNumber(FieldKind kind, int size, qint64 v);

template <typename T>
void NumberField<T>::set(qint64 v) {
    cell().n = fitNumber(ref().kind(), size(), v);
}

} // namespace tbk::data
