#pragma once
// A view: a file read through one of its keys or in order of addition, optionally filtered.
// A view has its own place in the file, so several views (and the file's own sequence) can
// read the same file at once. Rows are read into the file's shared record buffer.
//
// Filters: setFilter() takes a function evaluated over the record buffer after each read (it
// may read other files itself); rows for which it answers false are skipped. setCondition()
// takes SQL text for the part of a filter that the expression compiler can hand to SQLite:
// column references only as declared field names in double quotes (DataFile::columnName) and
// every value as a "?" parameter bound from `binds`, in order. Both may be set; a row must pass
// both. Changing the order, filter or condition takes effect at the next set().
#include "runtime/data/datafile.h"

#include <QString>
#include <QVariantList>

#include <functional>
#include <optional>

namespace tbk::data {

class View {
public:
    explicit View(DataFile &file);                 // physical order
    View(DataFile &file, const Key &order);

    DataFile &file() const { return *file_; }
    void setOrder(const Key *order);               // nullptr: physical order
    const Key *order() const { return order_; }
    void setFilter(std::function<bool()> filter) { filter_ = std::move(filter); }
    // `first`: the ranges the condition holds the order key's first field to, when known.
    void setCondition(const QString &sql, const QVariantList &binds = {}, std::vector<KeyRange> first = {});
    void clearFilter();

    bool open();                 // fails with 37 when the file is not open
    void close() { open_ = false; }
    bool isOpen() const { return open_; }

    void set();                  // next() from the first row, previous() from the last
    void setFromBuffer();        // at the order key's value now in the buffer
    void setAt(Position p);      // next() reads the record at p first (if still in the view)
    // The same at the place the record had when it was read (its order key's values then):
    // a record deleted or moved since leaves its neighbours there to read.
    void setAt(Position p, const std::vector<Cell> &keyValues);
    bool next();                 // 33 at the end
    bool previous();
    // Where next() and previous() go on from; a place set reads on from there.
    const Cursor &cursor() const { return cursor_; }
    void setCursor(Cursor c);

    // Fetches this many rows with one statement and hands them out one by one (1: each read
    // asks the file). For long runs that read on without other writers between: rows read
    // ahead stay as they were fetched until dropReadAhead() or a new place (set...).
    void setReadAhead(int rows);
    void dropReadAhead() { ahead_.drop(); }
    // Fetches only these fields (indexes in the record) and the order key's; the others read
    // as blank. A filter function must look at no other field. A record read so cannot be put
    // (89): it would blank the fields not read.
    void setProjection(std::vector<int> fields);

    // Reads on from the view's place with one statement, each record into the buffer, calling
    // `take` until it answers false (true then) or the view ends (false, 33). For a run within
    // one turn that reads many records: nothing is read ahead, and with `fields` (the others
    // blank, and the record not to be put) only those are read, not even the order key's.
    // `onDemand`: the record's fields come when `take` calls the file's loadScanned().
    bool scan(const std::function<bool()> &take, const std::vector<int> *fields = nullptr, bool onDemand = false);

    bool put() { return file_->put(); }
    bool remove() { return file_->remove(); }

private:
    ReadAhead *readAhead() { return ahead_.rows > 1 || !ahead_.fields.empty() ? &ahead_ : nullptr; }

    DataFile *file_;
    const Key *order_ = nullptr;
    std::function<bool()> filter_;
    QString condition_;
    QVariantList binds_;
    std::vector<KeyRange> first_;
    Cursor cursor_;
    ReadAhead ahead_;
    bool open_ = false;
};

} // namespace tbk::data
