#include "runtime/expr/exprview.h"

#include "runtime/data/driver.h"
#include "runtime/data/errors.h"
#include "runtime/data/schema.h"
#include "runtime/expr/sqlfunctions.h"
#include "runtime/values/text.h"

#include <algorithm>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace tbk::expr {

namespace {

// The rows of the key the walk under way has visited, counted by the function its condition
// starts with, which SQLite runs on each index entry before it reads the entry's row. Past
// `allowed` the function stops the statement.
struct WalkCount {
    bool on = false;
    bool stopped = false;
    qint64 visited = 0;
    qint64 allowed = 0;
};
WalkCount g_walk;

void countVisit(sqlite3_context *ctx, int, sqlite3_value **) {
    if (g_walk.on && ++g_walk.visited > g_walk.allowed) {
        g_walk.stopped = true;
        sqlite3_result_error_code(ctx, SQLITE_INTERRUPT);
        return;
    }
    sqlite3_result_int(ctx, 1);
}

// The driver's connection comes and goes with its files: the functions are registered on
// whichever connection is there when a view is positioned.
bool ensureSqlFunctions() {
    sqlite3 *db = data::driver::db();
    if (!db)
        return false;
    sqlite3_stmt *probe = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT tbk_walked(1)", -1, &probe, nullptr) == SQLITE_OK) {
        sqlite3_finalize(probe);
        return true;
    }
    if (const int rc = registerSqlFunctions(db); rc != SQLITE_OK)
        return false;
    return sqlite3_create_function_v2(db, "tbk_walked", 1, SQLITE_UTF8, nullptr, countVisit, nullptr, nullptr,
                                      nullptr) == SQLITE_OK;
}

// A file handle that served a list's reads has taught the kernel that they are random, and a
// read of the whole table in stored order would then come from a cold disk a page at a time: a
// file not wholly in the page cache is asked for in large pieces first. Whether it is cached is
// told by a few pages read only when cached.
bool looksCached(int fd, off_t size) {
    constexpr int kProbes = 16;
    char byte;
    for (int i = 0; i < kProbes; ++i) {
        iovec v{&byte, 1};
        if (preadv2(fd, &v, 1, size / kProbes * i, RWF_NOWAIT) != 1)
            return false;
    }
    return true;
}

void readAheadWhenCold(const QString &path) {
    constexpr off_t kPiece = 8 << 20;   // the kernel takes no more per request
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat st {};
    if (fstat(fd, &st) == 0 && !looksCached(fd, st.st_size))
        for (off_t at = 0; at < st.st_size; at += kPiece)
            posix_fadvise(fd, at, kPiece, POSIX_FADV_WILLNEED);
    ::close(fd);
}

QVariantList toVariants(const std::vector<Value> &values) {
    QVariantList out;
    for (const Value &v : values) {
        if (v.isText()) {
            out << v.text();
        } else {
            const double d = v.number();
            if (const std::optional<qint64> n = wholeNumber(d))
                out << QVariant(qlonglong(*n));
            else
                out << QVariant(d);
        }
    }
    return out;
}

class Chain : public Resolver {
public:
    Chain(const Resolver &a, const Resolver *b) : a_(a), b_(b) {}
    std::optional<Binding> resolve(const QString &name) const override {
        if (auto r = a_.resolve(name))
            return r;
        return b_ ? b_->resolve(name) : std::nullopt;
    }

private:
    const Resolver &a_;
    const Resolver *b_;
};

// The key the view reads in order of, for the filter's seek through its index.
Expression::Key seekKey(const data::DataFile &file, const data::Key *key) {
    Expression::Key k;
    if (!key)
        return k;
    for (int i : key->decl().fields)
        k.columns << data::DataFile::columnName(file.structure().fields()[size_t(i)]);
    k.collation = driverDialect().caseBlindCollation;
    return k;
}

bool isText(const data::FieldDecl &f) { return f.kind == data::FieldKind::Text || f.kind == data::FieldKind::Memo; }

// Key values compared as the key's index orders them; the shorter decides no further.
int compareKeys(const data::FileStructure &s, const std::vector<int> &fields, const std::vector<data::Cell> &a,
                const std::vector<data::Cell> &b) {
    const size_t n = std::min({fields.size(), a.size(), b.size()});
    for (size_t i = 0; i < n; ++i) {
        const int c = isText(s.fields()[size_t(fields[i])]) ? compareText(a[i].s, b[i].s, Qt::CaseInsensitive)
                                                            : (a[i].n > b[i].n) - (a[i].n < b[i].n);
        if (c != 0)
            return c;
    }
    return 0;
}

} // namespace

SqlDialect driverDialect() {
    SqlDialect d;
    d.caseBlindCollation = QStringLiteral("TBKTEXT");
    d.caseBlindCompare = [](const QString &a, const QString &b) {
        return compareText(a, b, Qt::CaseInsensitive);
    };
    return d;
}

ExprView::ExprView(data::DataFile &file, const data::Key *key)
    : file_(&file), key_(key), view_(file) {
    view_.setOrder(key);
}

void ExprView::setKey(const data::Key *key) {
    key_ = key;
    view_.setOrder(key);
}

void ExprView::setNames(const Resolver *names) {
    names_ = names;
    recompile();
}

void ExprView::setJoin(std::vector<const data::RecordBuffer *> files, std::function<void()> load) {
    joined_ = std::move(files);
    loadJoined_ = std::move(load);
    recompile();
}

void ExprView::recompile() {
    if (!filterText_.isEmpty())
        setFilter(filterText_);
    if (!orderText_.isEmpty())
        setOrder(orderText_);
}

void ExprView::changed() {
    // The plan points into the old filter: nothing may run it any more.
    plan_ = Expression::Plan();
    view_.clearFilter();
    rows_.clear();
    rowsMade_.reset();
    nextIndex_ = 0;
    prevIndex_ = -1;
    dirty_ = true;
    dropMatches();
    tooMany_.reset();
}

bool ExprView::setFilter(const QString &text) {
    changed();
    filterText_ = text;
    const DeclaredFields fields(file_, joined_);
    filter_ = Expression::compile(text, Chain(fields, names_), filterError_);
    return !filterError_;
}

bool ExprView::setOrder(const QString &text) {
    changed();
    orderText_ = text;
    const DeclaredFields fields(file_, joined_);
    order_ = Order::compile(text, Chain(fields, names_), orderError_);
    return !orderError_;
}

const std::optional<Error> &ExprView::error() const {
    return filterError_ ? filterError_ : orderError_;
}

bool ExprView::open() {
    data::clearError();
    if (refused())
        return false;
    if (!view_.open())
        return false;
    open_ = true;
    set();
    return data::errorCode() == 0;
}

void ExprView::close() {
    view_.close();
    open_ = false;
    rows_.clear();
    rowsMade_.reset();
    dropMatches();
    tooMany_.reset();
}

bool ExprView::refused() const {
    if (const auto &e = error()) {
        data::setDriverError(SQLITE_ERROR, describe(*e), file_->label());
        return true;
    }
    return false;
}

ExprView::Stamp ExprView::stamp() const {
    Stamp now;
    if (sqlite3 *db = data::driver::db())
        now.writes = sqlite3_total_changes64(db);
    // A file attached again counts its commits afresh.
    if (!file_->ensureAttached())
        return now;
    sqlite3_stmt *st = data::driver::prepare(QStringLiteral("PRAGMA %1.data_version").arg(file_->schemaName()),
                                             file_->label());
    now.generation = data::driver::generation();
    if (st && sqlite3_step(st) == SQLITE_ROW)
        now.commits = sqlite3_column_int64(st, 0);
    if (st)
        sqlite3_reset(st);
    return now;
}

bool ExprView::prepare() {
    if (refused())
        return false;
    // Sorting the whole file again for every page would cost far more than reading the page.
    if (!dirty_ && !order_.isEmpty() && rowsMade_ && *rowsMade_ == stamp())
        return true;
    dirty_ = false;
    plan_ = filter_.plan(seekKey(*file_, key_));
    path_ = plan_.hasResidue() ? (plan_.where.isEmpty() ? Path::Rows : Path::Mixed) : Path::Sql;
    if (!plan_.where.isEmpty() && !ensureSqlFunctions()) {
        data::setDriverError(SQLITE_ERROR, QStringLiteral("The filter functions are not available"),
                             file_->label());
        return false;
    }
    std::vector<data::KeyRange> first;
    for (const Expression::Plan::Range &r : plan_.first) {
        const QVariantList bounds = toVariants({r.low, r.high});
        first.push_back(data::KeyRange{bounds[0], bounds[1], r.open});
    }
    // The rowid alone: SQLite counts each entry of the key's index before it reads its row.
    const QString where = walksKey() ? QStringLiteral("tbk_walked(_rid) AND (%1)").arg(plan_.where.sql) : plan_.where.sql;
    view_.setCondition(where, toVariants(plan_.where.params), first);
    // A walk loads the joined files itself: a filter function would make the driver fetch rows
    // in batches, past what the page needs.
    if (plan_.hasResidue() || (loadJoined_ && !walksKey())) {
        view_.setFilter([this] {
            if (loadJoined_)
                loadJoined_();
            return Expression::residueMatches(plan_);
        });
    } else {
        view_.setFilter(nullptr);
    }
    if (!order_.isEmpty()) {
        const Stamp before = stamp();
        if (!buildOrderedRows())
            return false;
        rowsMade_ = before;
    }
    return true;
}

void ExprView::set() {
    visited_ = found_ = 0;
    if (!prepare())
        return;
    if (order_.isEmpty()) {
        view_.set();
        return;
    }
    nextIndex_ = 0;
    prevIndex_ = qsizetype(rows_.size()) - 1;
}

void ExprView::setFromBuffer() {
    visited_ = found_ = 0;
    if (order_.isEmpty()) {
        if (prepare())
            view_.setFromBuffer();
        return;
    }
    const std::vector<Value> sought = order_.keyOfCurrentRow();
    if (!prepare())
        return;
    // Binary search; the sort values of rows ordered in SQLite are read only for the probes.
    const SqlDialect dialect = driverDialect();
    auto firstAtOrAfter = [&](bool orEqual) {
        qsizetype lo = 0, hi = qsizetype(rows_.size());
        while (lo < hi) {
            const qsizetype mid = (lo + hi) / 2;
            const int c = order_.compare(keyAt(mid), sought, dialect);
            if (c < 0 || (orEqual && c == 0))
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    };
    nextIndex_ = firstAtOrAfter(false);
    prevIndex_ = firstAtOrAfter(true) - 1;
}

const std::vector<Value> &ExprView::keyAt(qsizetype i) {
    OrderedRow &r = rows_[size_t(i)];
    if (r.key.empty()) {
        const data::Record saved = file_->record();
        if (file_->get(r.position))
            r.key = order_.keyOfCurrentRow();
        file_->setRecord(saved);
    }
    return r.key;
}

void ExprView::setAt(data::Position p) {
    visited_ = found_ = 0;
    if (order_.isEmpty()) {
        if (prepare())
            view_.setAt(p);
        return;
    }
    if (!prepare())
        return;
    const auto it = std::find_if(rows_.begin(), rows_.end(),
                                 [p](const OrderedRow &r) { return r.position == p; });
    if (it == rows_.end()) {
        nextIndex_ = 0;
        prevIndex_ = qsizetype(rows_.size()) - 1;
    } else {
        nextIndex_ = prevIndex_ = it - rows_.begin();
    }
}

void ExprView::setAt(data::Position p, const std::vector<data::Cell> &keyValues) {
    visited_ = found_ = 0;
    if (!order_.isEmpty()) {
        setAt(p);
        return;
    }
    if (prepare())
        view_.setAt(p, keyValues);
}

bool ExprView::next() {
    return read(true);
}

bool ExprView::previous() {
    return read(false);
}

bool ExprView::read(bool forward) {
    if (refused())
        return false;
    // A filter or order changed without a new start: the key order goes on from where it was
    // under the new filter; an ordered list starts again.
    if (dirty_ && open_) {
        if (!order_.isEmpty())
            set();
        else if (!prepare())
            return false;
    }
    if (order_.isEmpty())
        return sparse() ? readWalking(forward) : forward ? view_.next() : view_.previous();
    return readOrdered(forward);
}

bool ExprView::holds(data::Position p) {
    if (!order_.isEmpty() || !key_) {
        setAt(p);
        return next() && file_->position() == p;
    }
    if (!prepare())
        return false;
    if (!file_->get(p)) {
        if (data::errorCode() == data::RecordNotFound)
            data::clearError();
        return false;
    }
    QStringList where{QStringLiteral("_rid = ?")};
    const QString inKey = data::schema::inKeyCondition(file_->structure(), key_->decl());
    if (!inKey.isEmpty())
        where << inKey;
    if (!plan_.where.isEmpty())
        where << QLatin1Char('(') + plan_.where.sql + QLatin1Char(')');
    if (where.size() > 1) {
        if ((!plan_.where.isEmpty() && !ensureSqlFunctions()) || !file_->ensureAttached())
            return false;
        sqlite3_stmt *st = data::driver::prepare(QStringLiteral("SELECT 1 FROM %1.records WHERE %2")
                                                     .arg(file_->schemaName(), where.join(QStringLiteral(" AND "))),
                                                 file_->label());
        if (!st)
            return false;
        sqlite3_bind_int64(st, 1, p);
        bindParams(st, 2, plan_.where.params);
        const int rc = sqlite3_step(st);
        sqlite3_reset(st);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            data::driver::fail(rc, file_->label());
            return false;
        }
        if (rc == SQLITE_DONE)
            return false;
    }
    if (loadJoined_)
        loadJoined_();
    return Expression::residueMatches(plan_);
}

bool ExprView::walksKey() const {
    return keepsMatches_ && key_ && order_.isEmpty() && !plan_.where.isEmpty() && !plan_.hasResidue();
}

bool ExprView::sparse() const {
    return open_ && walksKey();
}

ExprView::MatchesMade ExprView::matchesNow() const {
    return MatchesMade{stamp(), plan_.where.sql, toVariants(plan_.where.params)};
}

void ExprView::dropMatches() {
    matches_.clear();
    matchesMade_.reset();
}

bool ExprView::readWalking(bool forward) {
    const MatchesMade now = matchesNow();
    if (matchesMade_ && *matchesMade_ == now)
        return readMatch(forward);
    dropMatches();
    const auto withJoined = [this](bool read) {
        if (read && loadJoined_)
            loadJoined_();
        return read;
    };
    if (tooMany_ && *tooMany_ == now)
        return withJoined(forward ? view_.next() : view_.previous());
    tooMany_.reset();
    if (walkLimit >= 0) {
        g_walk = WalkCount{true, false, visited_, walkLimit * (found_ + 1)};
        const bool read = forward ? view_.next() : view_.previous();
        const bool stopped = g_walk.stopped;
        visited_ = g_walk.visited;
        g_walk = WalkCount{};
        if (!stopped) {
            found_ += read ? 1 : 0;
            return withJoined(read);
        }
        // The walk left its place and the buffer as they were.
        data::clearError();
    }
    if (!makeMatches(now)) {
        if (data::errorCode() != 0)
            return false;
        tooMany_ = now;
        return withJoined(forward ? view_.next() : view_.previous());
    }
    return readMatch(forward);
}

bool ExprView::makeMatches(const MatchesMade &now) {
    dropMatches();
    const data::FileStructure &s = file_->structure();
    const std::vector<int> &fields = key_->decl().fields;
    QStringList columns{QStringLiteral("_rid")};
    for (int i : fields)
        columns << data::schema::column(s.fields()[size_t(i)]);
    QStringList where{QLatin1Char('(') + plan_.where.sql + QLatin1Char(')')};
    const QString inKey = data::schema::inKeyCondition(s, key_->decl());
    if (!inKey.isEmpty())
        where << inKey;
    // Stored order: no index walked for the order, SQLite reads the file from end to end.
    const QString sql = QStringLiteral("SELECT %1 FROM %2.records WHERE %3 LIMIT ?")
                            .arg(columns.join(QLatin1Char(',')), file_->schemaName(), where.join(QStringLiteral(" AND ")));
    if (!ensureSqlFunctions() || !file_->ensureAttached())
        return false;
    sqlite3_stmt *st = data::driver::prepare(sql, file_->label());
    if (!st)
        return false;
    readAheadWhenCold(file_->fullPath());
    bindParams(st, 1, plan_.where.params);
    sqlite3_bind_int64(st, sqlite3_bind_parameter_count(st), qint64(kMatchLimit) + 1);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        Match m{sqlite3_column_int64(st, 0), std::vector<data::Cell>(fields.size())};
        for (size_t i = 0; i < fields.size(); ++i) {
            if (isText(s.fields()[size_t(fields[i])])) {
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(st, int(i) + 1));
                m.key[i].s = QString::fromUtf8(text, sqlite3_column_bytes(st, int(i) + 1));
            } else {
                m.key[i].n = sqlite3_column_int64(st, int(i) + 1);
            }
        }
        matches_.push_back(std::move(m));
    }
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) {
        data::driver::fail(rc, file_->label());
        matches_.clear();
        return false;
    }
    if (matches_.size() > kMatchLimit) {
        matches_.clear();
        return false;
    }
    std::sort(matches_.begin(), matches_.end(), [&](const Match &a, const Match &b) {
        const int c = compareKeys(s, fields, a.key, b.key);
        return c != 0 ? c < 0 : a.position < b.position;
    });
    matchesMade_ = now;
    return true;
}

bool ExprView::readMatch(bool forward) {
    const data::Cursor &c = view_.cursor();
    const data::FileStructure &s = file_->structure();
    const std::vector<int> &fields = key_->decl().fields;
    // Where a match stands from the place: below 0 before it, above 0 after it.
    const bool withRid = c.anchor != data::Cursor::Values;
    const auto side = [&](const Match &m) {
        const int k = compareKeys(s, fields, m.key, c.values);
        return k != 0 || !withRid ? k : (m.position > c.position) - (m.position < c.position);
    };
    const bool strict = c.anchor == data::Cursor::After;
    qsizetype at;
    if (c.anchor == data::Cursor::None) {
        at = forward ? 0 : qsizetype(matches_.size()) - 1;
    } else {
        // Forward: the first after the place (or at it); backward: the last before it (or at it).
        const bool pastIsAt = forward == strict;
        const auto split = std::partition_point(matches_.begin(), matches_.end(), [&](const Match &m) {
            const int d = side(m);
            return pastIsAt ? d <= 0 : d < 0;
        });
        at = (split - matches_.begin()) - (forward ? 0 : 1);
    }
    if (at < 0 || at >= qsizetype(matches_.size())) {
        data::setError(data::RecordNotAvailable, file_->label());
        return false;
    }
    const Match &m = matches_[size_t(at)];
    if (!file_->get(m.position))
        return false;
    if (loadJoined_)
        loadJoined_();
    view_.setCursor(data::Cursor{key_->index(), data::Cursor::After, m.key, m.position});
    data::clearError();
    return true;
}

bool ExprView::readOrdered(bool forward) {
    if (!open_) {
        data::setError(data::FileNotOpen, file_->label());
        return false;
    }
    const data::Record saved = file_->record();
    qsizetype &i = forward ? nextIndex_ : prevIndex_;
    while (i >= 0 && i < qsizetype(rows_.size())) {
        const qsizetype at = i;
        i += forward ? 1 : -1;
        // A record deleted since the list was made is passed over.
        if (!file_->get(rows_[size_t(at)].position))
            continue;
        if (loadJoined_)
            loadJoined_();
        if (!Expression::residueMatches(plan_))
            continue;
        (forward ? prevIndex_ : nextIndex_) = at + (forward ? -1 : 1);
        data::clearError();
        return true;
    }
    file_->setRecord(saved);
    data::setError(data::RecordNotAvailable, file_->label());
    return false;
}

bool ExprView::buildOrderedRows() {
    rows_.clear();
    const SqlDialect dialect = driverDialect();
    const std::optional<SqlFragment> orderSql = order_.sql(dialect);
    if (orderSql && !plan_.hasResidue()) {
        // The ordered list of positions in one statement.
        QStringList where;
        if (key_) {
            const QString inKey = data::schema::inKeyCondition(file_->structure(), key_->decl());
            if (!inKey.isEmpty())
                where << inKey;
        }
        if (!plan_.where.isEmpty())
            where << QLatin1Char('(') + plan_.where.sql + QLatin1Char(')');
        // Ties in order of addition, as in memory: cheaper to sort than by the key's texts.
        const QString sql = QStringLiteral("SELECT _rid FROM %1.records%2 ORDER BY %3, _rid")
                                .arg(file_->schemaName(),
                                     where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND ")),
                                     orderSql->sql);
        if (!ensureSqlFunctions() || !file_->ensureAttached())
            return false;
        sqlite3_stmt *st = data::driver::prepare(sql, file_->label());
        if (!st)
            return false;
        std::vector<Value> params = plan_.where.params;
        params.insert(params.end(), orderSql->params.begin(), orderSql->params.end());
        bindParams(st, 1, params);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            rows_.push_back(OrderedRow{sqlite3_column_int64(st, 0), {}});
        sqlite3_reset(st);
        if (rc != SQLITE_DONE) {
            data::driver::fail(rc, file_->label());
            rows_.clear();
            return false;
        }
        return true;
    }
    // Row by row: every row that passes, in key order, then sorted in memory.
    const data::Record saved = file_->record();
    view_.set();
    while (view_.next())
        rows_.push_back(OrderedRow{file_->position(), order_.keyOfCurrentRow()});
    const bool ended = data::errorCode() == data::RecordNotAvailable;
    file_->setRecord(saved);
    if (!ended) {
        rows_.clear();
        return false;
    }
    data::clearError();
    std::sort(rows_.begin(), rows_.end(), [&](const OrderedRow &a, const OrderedRow &b) {
        const int c = order_.compare(a.key, b.key, dialect);
        return c != 0 ? c < 0 : a.position < b.position;
    });
    return true;
}

} // namespace tbk::expr
