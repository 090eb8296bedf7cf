#include "runtime/data/datafile.h"

#include "runtime/data/driver.h"
#include "runtime/data/schema.h"
#include "runtime/values/text.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>


namespace tbk::data {

namespace {

void bindCell(sqlite3_stmt *st, int i, const FieldDecl &f, const Cell &c) {
    if (f.kind == FieldKind::Text || f.kind == FieldKind::Memo) {
        const QByteArray u = c.s.toUtf8();
        sqlite3_bind_text(st, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
    } else {
        sqlite3_bind_int64(st, i, c.n);
    }
}

// Where a key value lies against a range: -1 before it, 1 after it, 0 in it.
int sideOf(const FieldDecl &f, const Cell &c, const KeyRange &r) {
    int low, high;
    if (f.kind == FieldKind::Text || f.kind == FieldKind::Memo) {
        low = compareText(c.s, r.low.toString(), Qt::CaseInsensitive);
        high = compareText(c.s, r.high.toString(), Qt::CaseInsensitive);
    } else {
        const double n = double(c.n);
        low = n < r.low.toDouble() ? -1 : n > r.low.toDouble() ? 1 : 0;
        high = n < r.high.toDouble() ? -1 : n > r.high.toDouble() ? 1 : 0;
    }
    if (low < 0)
        return -1;
    return high > 0 || (r.open && high == 0) ? 1 : 0;
}

// Fetch this many rows per query when a filter may reject some (the filter runs with no
// statement active, so it may read files itself).
constexpr int kFilteredBatch = 32;

// The most rows one INSERT statement adds.
constexpr size_t kRowsPerAdd = 32;

} // namespace

// ---------------------------------------------------------------- Key

const KeyDecl &Key::decl() const { return file_->structure().keys()[size_t(index_)]; }
QString Key::name() const { return file_->prefix() + QLatin1Char(':') + decl().name; }

// ---------------------------------------------------------------- identity

DataFile::DataFile(QString label, QString prefix, FileStructure &structure)
    : RecordBuffer(std::move(label), std::move(prefix), structure) {
    for (size_t i = 0; i < structure_->keys().size(); ++i)
        keys_.push_back(std::make_unique<Key>(this, int(i)));
    columns_ = schema::columnList(*structure_);
}

sqlite3_stmt *DataFile::statement(quint32 shape, const std::function<QString()> &sql) {
    CachedStatement &c = statements_[shape];
    if (c.stmt && c.generation == driver::generation() && c.alias == alias_) {
        sqlite3_reset(c.stmt);
        sqlite3_clear_bindings(c.stmt);
        return c.stmt;
    }
    c.stmt = driver::prepare(sql(), label_);
    c.generation = driver::generation();
    c.alias = alias_;
    return c.stmt;
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

// ---------------------------------------------------------------- keys

const Key *DataFile::key(const QString &name) const {
    const QString n = localName(name);
    const int i = n.isNull() ? -1 : structure_->keyIndex(n);
    return i < 0 ? nullptr : keys_[size_t(i)].get();
}

namespace {

// A column into a cell.
void loadCell(sqlite3_stmt *st, int column, const FieldDecl &decl, Cell &c) {
    if (decl.kind != FieldKind::Text && decl.kind != FieldKind::Memo) {
        c.n = sqlite3_column_int64(st, column);
        c.s.clear();
        return;
    }
    c.n = 0;
    // Text first, then its size: the order SQLite answers both for without a conversion.
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(st, column));
    c.s = QString::fromUtf8(text, sqlite3_column_bytes(st, column));
}

} // namespace

void DataFile::loadRow(sqlite3_stmt *st, Record &into) const {
    into.position = sqlite3_column_int64(st, 0);
    into.version = sqlite3_column_int64(st, 1);
    const auto &fields = structure_->fields();
    into.cells.resize(fields.size());
    for (size_t i = 0; i < fields.size(); ++i)
        loadCell(st, int(i) + 2, fields[i], into.cells[i]);
}

void DataFile::loadFields(sqlite3_stmt *st, const std::vector<int> &fields, Record &into) const {
    into.position = sqlite3_column_int64(st, 0);
    into.version = sqlite3_column_int64(st, 1);
    const auto &decl = structure_->fields();
    // Filled in place: a record filled again keeps its cells. `fields` is in
    // declaration order.
    into.cells.resize(decl.size());
    size_t j = 0;
    for (size_t i = 0; i < decl.size(); ++i) {
        Cell &c = into.cells[i];
        if (j < fields.size() && size_t(fields[j]) == i) {
            loadCell(st, int(j) + 2, decl[i], c);
            ++j;
        } else {
            c.n = 0;
            c.s.clear();
        }
    }
}

// ---------------------------------------------------------------- sequential reading

std::vector<Cell> DataFile::keyValues(const KeyDecl &k) const {
    std::vector<Cell> values;
    values.reserve(k.fields.size());
    for (int i : k.fields)
        values.push_back(buffer_.cells[size_t(i)]);
    return values;
}

void DataFile::set(const Key &k) { cursor_ = Cursor{k.index(), Cursor::None, {}, 0}; }

Cursor DataFile::cursorFromBuffer(const Key &k) const {
    return Cursor{k.index(), Cursor::Values, keyValues(k.decl()), 0};
}

Cursor DataFile::cursorAt(const Key *k, Position p) {
    if (!k)
        return Cursor{-1, Cursor::AtRecord, {}, p};
    Record saved = buffer_;
    Cursor c = get(p) ? Cursor{k->index(), Cursor::AtRecord, keyValues(k->decl()), p}
                      : Cursor{k->index(), Cursor::None, {}, 0};
    buffer_ = std::move(saved);
    return c;
}

void DataFile::setFromBuffer(const Key &k) { cursor_ = cursorFromBuffer(k); }

void DataFile::setAt(const Key &k, Position p) { cursor_ = cursorAt(&k, p); }

void DataFile::setPhysical(Position from) {
    cursor_ = from > 0 ? Cursor{-1, Cursor::AtRecord, {}, from} : Cursor{-1, Cursor::None, {}, 0};
}

bool DataFile::next() { return readNext(cursor_, true, {}); }
bool DataFile::previous() { return readNext(cursor_, false, {}); }

const char *DataFile::cursorOp(const Cursor &c, bool forward) {
    switch (c.anchor) {
    case Cursor::None: break;
    case Cursor::Values:
    case Cursor::AtRecord: return forward ? ">=" : "<=";
    case Cursor::After: return forward ? ">" : "<";
    }
    return nullptr;
}

QString DataFile::orderedSelect(const KeyDecl *k, const char *op, bool withRid, bool forward, const std::vector<int> *only,
                                const QStringList &bounds, const QString &condition) const {
    const auto &fields = structure_->fields();
    QStringList keyCols;
    if (k)
        for (int i : k->fields)
            keyCols << schema::column(fields[size_t(i)]);
    const QString dir = forward ? QString() : QStringLiteral(" DESC");
    const QString orderBy = (QStringList(keyCols) << QStringLiteral("_rid")).join(dir + QLatin1Char(',')) + dir;
    QStringList where;
    if (op) {
        QStringList lhs = keyCols;
        if (withRid)
            lhs << QStringLiteral("_rid");
        QStringList qs;
        for (int i = 0; i < lhs.size(); ++i)
            qs << QStringLiteral("?");
        where << QStringLiteral("(%1)%2(%3)").arg(lhs.join(QLatin1Char(',')), QLatin1String(op), qs.join(QLatin1Char(',')));
    }
    where << bounds;
    if (k && k->excludesBlanks())
        where << schema::inKeyCondition(*structure_, *k);
    // After the cursor: SQLite bounds an index scan by the first term it finds on each side, and
    // a filter's seek range on the key is looser than the cursor.
    if (!condition.isEmpty())
        where << QLatin1Char('(') + condition + QLatin1Char(')');
    QString columns = QStringLiteral("_ver,") + columns_;
    if (only) {
        columns = QStringLiteral("-1");
        for (int i : *only)
            columns += QLatin1Char(',') + schema::column(fields[size_t(i)]);
    }
    return QStringLiteral("SELECT _rid,%1 FROM %2.records%3 ORDER BY %4")
        .arg(columns, alias_, where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND ")),
             orderBy);
}

int DataFile::bindCursor(sqlite3_stmt *st, const KeyDecl *k, const Cursor &c, const char *op, bool withRid) const {
    int b = 1;
    if (!op)
        return b;
    if (k)
        for (size_t i = 0; i < k->fields.size() && i < c.values.size(); ++i)
            bindCell(st, b++, structure_->fields()[size_t(k->fields[i])], c.values[i]);
    if (withRid)
        sqlite3_bind_int64(st, b++, c.position);
    return b;
}

bool DataFile::readNext(Cursor &c, bool forward, const std::function<bool()> &accept,
                        const QString &condition, const QVariantList &binds, ReadAhead *ahead,
                        std::span<const KeyRange> first) {
    if (!checkOpen(false))
        return false;
    const auto &fields = structure_->fields();
    const KeyDecl *k = c.key >= 0 ? &structure_->keys()[size_t(c.key)] : nullptr;
    // Only a filter puts rows into the buffer that are not handed out.
    const Record saved = accept ? buffer_ : Record{};
    const auto restore = [&] {
        if (accept)
            buffer_ = saved;
    };
    ReadAhead own;
    ReadAhead &got = ahead ? *ahead : own;
    if (got.forward != forward) {
        got.drop();
        got.forward = forward;
    }
    const int batch = std::max(accept ? kFilteredBatch : 1, got.rows);
    // Of several ranges one is read at a time, in reading order; those before `from` have
    // given all they hold past the cursor.
    size_t from = 0;
    for (;;) {
        if (got.next < got.held) {
            while (got.next < got.held) {
                // The buffer's old record goes back to be filled again.
                std::swap(buffer_, got.fetched[got.next++]);
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
            if (!got.more) {
                got.drop();
                restore();
                setError(RecordNotAvailable, label_);
                return false;
            }
            // Every row fetched was filtered out: go on after the last one.
            continue;
        }
        got.drop();
        // A projection: the fields asked for and the key's, in declaration order.
        std::vector<int> only;
        if (!got.fields.empty()) {
            std::vector<bool> wanted(fields.size(), false);
            for (int i : got.fields)
                if (i >= 0 && size_t(i) < fields.size())
                    wanted[size_t(i)] = true;
            if (k)
                for (int i : k->fields)
                    wanted[size_t(i)] = true;
            for (size_t i = 0; i < wanted.size(); ++i)
                if (wanted[i])
                    only.push_back(int(i));
        }
        const char *op = cursorOp(c, forward);
        const bool withRid = c.anchor != Cursor::Values || !k;
        // SQLite bounds its scan by the cursor, not by the condition's ranges: from a place
        // outside a range every row passing in it lies one way, and is read from the range's edge.
        const auto nth = [&](size_t i) -> const KeyRange & { return first[forward ? i : first.size() - 1 - i]; };
        size_t at = from;
        if (k && !first.empty()) {
            for (; op && !c.values.empty() && at < first.size(); ++at) {
                const int side = sideOf(fields[size_t(k->fields.front())], c.values.front(), nth(at));
                if (side == 0)
                    break;
                if ((side < 0) == forward) {
                    op = nullptr;
                    break;
                }
            }
            if (at == first.size()) {
                got.drop();
                restore();
                setError(RecordNotAvailable, label_);
                return false;
            }
        }
        // The condition seeks from the first range to the last; of several, each is sought by
        // itself, ahead of the condition, so that the rows between them are never read.
        const KeyRange *range = k && first.size() > 1 ? &nth(at) : nullptr;
        auto sql = [&] {
            QStringList bounds;
            if (range) {
                const QString first = schema::column(fields[size_t(k->fields.front())]);
                bounds << QStringLiteral("%1>=? AND %1%2?").arg(first, range->open ? QStringLiteral("<") : QStringLiteral("<="));
            }
            // A projected record is never to be written back: a version no record has makes its
            // put fail (89), and a read of the key's fields alone then needs no row of the table.
            return orderedSelect(k, op, withRid, forward, only.empty() ? nullptr : &only, bounds, condition) +
                   QStringLiteral(" LIMIT ?");
        };
        const quint32 shape = quint32(c.key + 1) | quint32(c.anchor) << 8 | quint32(forward) << 11 | 1u << 12;
        // Statements of a condition or a projection are kept by their text instead.
        const bool kept = condition.isEmpty() && only.empty() && !range;
        // A filter between fetches may have used other files, and the connection let go of this one.
        if (!ensureAttached()) {
            restore();
            return false;
        }
        sqlite3_stmt *st = kept ? statement(shape, sql) : driver::prepare(sql(), label_);
        if (!st)
            return false;
        int b = bindCursor(st, k, c, op, withRid);
        if (range) {
            driver::bind(st, b++, range->low);
            driver::bind(st, b++, range->high);
        }
        for (const QVariant &v : binds)
            driver::bind(st, b++, v);
        sqlite3_bind_int(st, b, batch);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            if (got.held == got.fetched.size())
                got.fetched.emplace_back();
            Record &row = got.fetched[got.held++];
            if (only.empty())
                loadRow(st, row);
            else
                loadFields(st, only, row);
        }
        sqlite3_reset(st);
        if (rc != SQLITE_DONE) {
            got.drop();
            driver::fail(rc, label_);
            restore();
            return false;
        }
        const bool later = range && at + 1 < first.size();
        got.more = int(got.held) == batch || later;
        if (int(got.held) < batch)
            from = at + 1;
        if (got.held == 0) {
            if (later)
                continue;
            restore();
            setError(RecordNotAvailable, label_);
            return false;
        }
    }
}

bool DataFile::scan(Cursor &c, const std::vector<int> *fields, const std::function<bool()> &take, bool onDemand) {
    if (!checkOpen(false))
        return false;
    const auto &decl = structure_->fields();
    const KeyDecl *k = c.key >= 0 ? &structure_->keys()[size_t(c.key)] : nullptr;
    const char *op = cursorOp(c, true);
    const bool withRid = c.anchor != Cursor::Values || !k;
    // The fields asked for in declaration order, then the key's for the cursor's place.
    std::vector<int> only;
    if (fields) {
        std::vector<bool> wanted(decl.size(), false);
        for (int i : *fields)
            if (i >= 0 && size_t(i) < decl.size())
                wanted[size_t(i)] = true;
        for (size_t i = 0; i < wanted.size(); ++i)
            if (wanted[i])
                only.push_back(int(i));
    }
    const size_t asked = only.size();
    if (k && fields)
        only.insert(only.end(), k->fields.begin(), k->fields.end());
    if (!ensureAttached())
        return false;
    sqlite3_stmt *st = driver::prepare(orderedSelect(k, op, withRid, true, fields ? &only : nullptr, {}, {}), label_);
    if (!st)
        return false;
    bindCursor(st, k, c, op, withRid);
    const std::vector<int> loaded(only.begin(), only.begin() + qsizetype(asked));
    // The key's values of the record read last, kept as SQLite gives them: only the last of the
    // run becomes the cursor's.
    const size_t keyFields = k ? k->fields.size() : 0;
    std::vector<QByteArray> lastText(keyFields);
    std::vector<qint64> lastNumber(keyFields);
    bool read = false;
    bool stopped = false;
    int rc;
    struct Scanning {
        DataFile &f;
        ~Scanning() { f.scanning_ = nullptr; }
    } scanning{*this};
    scanFields_ = fields ? &loaded : nullptr;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        if (onDemand) {
            buffer_.position = sqlite3_column_int64(st, 0);
            scanning_ = st;
        } else if (fields) {
            loadFields(st, loaded, buffer_);
        } else {
            loadRow(st, buffer_);
        }
        for (size_t j = 0; j < keyFields; ++j) {
            const int i = k->fields[j];
            const int column = fields ? 2 + int(asked + j) : 2 + i;
            if (decl[size_t(i)].kind == FieldKind::Text || decl[size_t(i)].kind == FieldKind::Memo) {
                const char *text = reinterpret_cast<const char *>(sqlite3_column_text(st, column));
                lastText[j].resize(sqlite3_column_bytes(st, column));
                std::copy_n(text, lastText[j].size(), lastText[j].data());
            } else {
                lastNumber[j] = sqlite3_column_int64(st, column);
            }
        }
        read = true;
        const bool goOn = take();
        scanning_ = nullptr;
        if (!goOn) {
            stopped = true;
            break;
        }
    }
    sqlite3_reset(st);
    if (read) {
        c.anchor = Cursor::After;
        c.position = buffer_.position;
        c.values.assign(keyFields, Cell{});
        for (size_t j = 0; j < keyFields; ++j) {
            if (decl[size_t(k->fields[j])].kind == FieldKind::Text || decl[size_t(k->fields[j])].kind == FieldKind::Memo)
                c.values[j].s = QString::fromUtf8(lastText[j]);
            else
                c.values[j].n = lastNumber[j];
        }
    }
    if (stopped) {
        clearError();
        return true;
    }
    if (rc != SQLITE_DONE)
        driver::fail(rc, label_);
    else
        setError(RecordNotAvailable, label_);
    return false;
}

void DataFile::loadScanned() {
    if (!scanning_)
        return;
    if (scanFields_)
        loadFields(scanning_, *scanFields_, buffer_);
    else
        loadRow(scanning_, buffer_);
    scanning_ = nullptr;   // once
}

// ---------------------------------------------------------------- direct reading

bool DataFile::get(const Key &k) {
    if (!checkOpen(false))
        return false;
    const KeyDecl &kd = k.decl();
    const auto &fields = structure_->fields();
    bool allBlank = true;
    for (int i : kd.fields) {
        const Cell &c = buffer_.cells[size_t(i)];
        if (!c.s.isEmpty() || c.n != 0)
            allBlank = false;
    }
    if (kd.excludesBlanks() && allBlank) {
        setError(RecordNotFound, label_);
        return false;
    }
    sqlite3_stmt *st = statement((2u << 12) | quint32(k.index()), [&] {
        QStringList where;
        for (int i : kd.fields)
            where << schema::column(fields[size_t(i)]) + QStringLiteral("=?");
        if (kd.excludesBlanks())
            where << schema::inKeyCondition(*structure_, kd);
        // A unique key finds one record at most: the order would only cost SQLite a sort.
        return QStringLiteral("SELECT _rid,_ver,%1 FROM %2.records WHERE %3%4 LIMIT 1")
            .arg(columns_, alias_, where.join(QStringLiteral(" AND ")),
                 kd.unique() ? QString() : QStringLiteral(" ORDER BY _rid"));
    });
    if (!st)
        return false;
    int b = 1;
    for (int i : kd.fields)
        bindCell(st, b++, fields[size_t(i)], buffer_.cells[size_t(i)]);
    if (!readOne(st))
        return false;
    cursor_ = Cursor{k.index(), Cursor::After, keyValues(kd), buffer_.position};
    return true;
}

bool DataFile::get(Position p) {
    if (!checkOpen(false))
        return false;
    sqlite3_stmt *st = statement(3u << 12, [&] { return QStringLiteral("SELECT _rid,_ver,%1 FROM %2.records WHERE _rid=?").arg(columns_, alias_); });
    if (!st)
        return false;
    sqlite3_bind_int64(st, 1, p);
    return readOne(st);
}

bool DataFile::readOne(sqlite3_stmt *st) {
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW)
        loadRow(st, buffer_);
    sqlite3_reset(st);
    if (rc == SQLITE_ROW)
        return true;
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

int DataFile::stepWrite(sqlite3_stmt *st) {
    int rc = sqlite3_step(st);
    if (readHold_ && (rc & 0xff) == SQLITE_BUSY) {
        sqlite3_reset(st);
        releaseReads();
        rc = sqlite3_step(st);
    }
    return rc;
}

bool DataFile::add() {
    size_t added = 0;
    return add(std::span<const Record>(&buffer_, 1), added);
}

bool DataFile::add(std::span<const Record> records, size_t &added) {
    added = 0;
    if (!checkOpen(true))
        return false;
    if (records.empty())
        return true;
    const auto &fields = structure_->fields();
    // One statement for many rows opens the table and its keys once for all of them.
    const size_t most = std::clamp<size_t>(size_t(sqlite3_limit(driver::db(), SQLITE_LIMIT_VARIABLE_NUMBER, -1)) / fields.size(),
                                           1, kRowsPerAdd);
    while (added < records.size()) {
        const size_t rows = std::min(most, records.size() - added);
        sqlite3_stmt *st = statement((4u << 12) | quint32(rows), [&] {
            QStringList qs;
            for (size_t i = 0; i < fields.size(); ++i)
                qs << QStringLiteral("?");
            const QString row = QLatin1Char('(') + qs.join(QLatin1Char(',')) + QLatin1Char(')');
            // FAIL keeps the rows before a refused one, and spares the statement journal that ABORT
            // with the count's trigger would write for every add; SQLite checks a row's keys before
            // it writes any of the row.
            return QStringLiteral("INSERT OR FAIL INTO %1.records(%2) VALUES%3")
                .arg(alias_, columns_, QStringList(qsizetype(rows), row).join(QLatin1Char(',')));
        });
        if (!st)
            return false;
        int b = 1;
        for (size_t r = added; r < added + rows; ++r)
            for (size_t i = 0; i < fields.size(); ++i)
                bindCell(st, b++, fields[i], records[r].cells[i]);
        const int rc = stepWrite(st);
        sqlite3_reset(st);
        if (rc == SQLITE_DONE) {
            added += rows;
            continue;
        }
        // The rows SQLite kept (none when it rolled back): a refused one among the rest is found,
        // and the others added, one at a time.
        added += std::min(size_t(sqlite3_changes(driver::db())), rows - 1);
        if (rows > 1 && (rc & 0xff) == SQLITE_CONSTRAINT) {
            for (size_t one = 0; added < records.size(); ++added)
                if (!add(records.subspan(added, 1), one))
                    return false;
            return true;
        }
        buffer_ = records[added];
        const Position keep = buffer_.position;
        buffer_.position = 0;
        failWrite(rc);
        buffer_.position = keep;
        return false;
    }
    buffer_ = records.back();
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
    // Only the fields that differ from the stored record are written: a key over fields that
    // stay as they were is not rewritten, which makes a put several times cheaper.
    std::vector<size_t> changed;
    {
        sqlite3_stmt *cur = statement(3u << 12, [&] { return QStringLiteral("SELECT _rid,_ver,%1 FROM %2.records WHERE _rid=?").arg(columns_, alias_); });
        if (!cur)
            return false;
        sqlite3_bind_int64(cur, 1, buffer_.position);
        const int rc = sqlite3_step(cur);
        if (rc == SQLITE_ROW) {
            Record stored;
            loadRow(cur, stored);
            for (size_t i = 0; i < fields.size(); ++i)
                if (!(stored.cells[i] == buffer_.cells[i]))
                    changed.push_back(i);
        } else {
            // Gone, or unreadable: the update below finds no record (89) or reports the error.
            for (size_t i = 0; i < fields.size(); ++i)
                changed.push_back(i);
        }
        sqlite3_reset(cur);
    }
    QStringList sets{QStringLiteral("_ver=_ver+1")};
    for (size_t i : changed)
        sets << schema::column(fields[i]) + QStringLiteral("=?");
    sqlite3_stmt *st = driver::prepare(
        QStringLiteral("UPDATE %1.records SET %2 WHERE _rid=? AND _ver=?").arg(alias_, sets.join(QLatin1Char(','))), label_);
    if (!st)
        return false;
    int b = 1;
    for (size_t i : changed)
        bindCell(st, b++, fields[i], buffer_.cells[i]);
    sqlite3_bind_int64(st, b++, buffer_.position);
    sqlite3_bind_int64(st, b, buffer_.version);
    const int rc = stepWrite(st);
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
    sqlite3_stmt *st = statement(6u << 12, [&] { return QStringLiteral("DELETE FROM %1.records WHERE _rid=?").arg(alias_); });
    if (!st)
        return false;
    sqlite3_bind_int64(st, 1, buffer_.position);
    const int rc = stepWrite(st);
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

QString DataFile::columnName(const FieldDecl &f) { return schema::column(f); }

} // namespace tbk::data
