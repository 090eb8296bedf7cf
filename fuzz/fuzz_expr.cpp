// Parses any text as a filter and an order; when a filter binds, checks that SQLite and the
// evaluator pick the same rows of a small table. A crash, a sanitizer report or a difference
// between the two paths stops the run.
#include "runtime/expr/compile.h"
#include "runtime/expr/sqlfunctions.h"
#include "runtime/values/text.h"

#include <sqlite3.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

using namespace tbk::expr;

struct Row {
    qint64 id;
    QString artist, fileNumber;
    double bpm;
};

const std::vector<Row> kRows = {
    {1, "ABBA", "120", 147}, {2, "abba", "12a", 100},   {3, "Björk", "", 0},
    {4, "O'Connor", "-7.5", 120}, {5, "straße", "1e2", 99}, {6, "", " 3 ", 2147483647},
    {7, "日本語 ", "x", -3},
};

class Fields : public Resolver {
public:
    const Row *current = nullptr;
    double variable = 120;
    std::optional<Binding> resolve(const QString &name) const override {
        const QString n = name.toUpper();
        Binding b;
        b.perRow = true;
        if (n == QLatin1String("MUS:ARTIST")) {
            b.get = [this] { return Value(current->artist); };
            b.sqlColumn = QStringLiteral("artist");
        } else if (n == QLatin1String("MUS:FILENUMBER")) {
            b.get = [this] { return Value(current->fileNumber); };
            b.sqlColumn = QStringLiteral("filenumber");
        } else if (n == QLatin1String("MUS:BPM")) {
            b.type = Type::Number;
            b.get = [this] { return Value(current->bpm); };
            b.sqlColumn = QStringLiteral("bpm");
        } else if (n == QLatin1String("MUS:ID")) {
            b.type = Type::Number;
            b.get = [this] { return Value(double(current->id)); };
            b.sqlColumn = QStringLiteral("id");
        } else if (n == QLatin1String("X")) {
            b.type = Type::Number;
            b.perRow = false;
            b.get = [this] { return Value(variable); };
        } else {
            return std::nullopt;
        }
        return b;
    }
};

int caseBlind(void *, int na, const void *a, int nb, const void *b) {
    return tbk::compareText(QString::fromUtf8(static_cast<const char *>(a), na),
                            QString::fromUtf8(static_cast<const char *>(b), nb), Qt::CaseInsensitive);
}

sqlite3 *database() {
    static sqlite3 *db = [] {
        sqlite3 *d = nullptr;
        sqlite3_open(":memory:", &d);
        registerSqlFunctions(d);
        sqlite3_create_collation(d, "TBKTEXT", SQLITE_UTF8, nullptr, caseBlind);
        sqlite3_exec(d, "CREATE TABLE t(id INTEGER PRIMARY KEY, artist TEXT COLLATE TBKTEXT,"
                        " filenumber TEXT COLLATE TBKTEXT, bpm INTEGER)", nullptr, nullptr, nullptr);
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(d, "INSERT INTO t VALUES(?,?,?,?)", -1, &st, nullptr);
        for (const Row &r : kRows) {
            sqlite3_reset(st);
            bindParams(st, 1, {Value(double(r.id)), r.artist, r.fileNumber, Value(r.bpm)});
            sqlite3_step(st);
        }
        sqlite3_finalize(st);
        return d;
    }();
    return db;
}

void check(const QString &text) {
    Fields fields;
    std::optional<Error> error;
    const Expression e = Expression::compile(text, fields, error);
    if (error)
        return;
    std::vector<qint64> expected;
    for (const Row &r : kRows) {
        fields.current = &r;
        if (e.matches())
            expected.push_back(r.id);
    }
    const Expression::Plan plan = e.plan();
    const QString sql = QStringLiteral("SELECT id FROM t") +
                        (plan.where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + plan.where.sql) +
                        QStringLiteral(" ORDER BY id");
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(database(), sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
        fprintf(stderr, "bad SQL for %s: %s\n", qPrintable(text), qPrintable(sql));
        abort();
    }
    bindParams(st, 1, plan.where.params);
    std::vector<qint64> got;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const qint64 id = sqlite3_column_int64(st, 0);
        fields.current = &kRows[size_t(id - 1)];
        if (Expression::residueMatches(plan))
            got.push_back(id);
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE || got != expected) {
        fprintf(stderr, "SQL and evaluator differ for %s\nSQL: %s\n", qPrintable(text), qPrintable(sql));
        abort();
    }
}

// Orders: SQLite's order (ties by id) against a stable sort in memory.
void checkOrder(const QString &text) {
    Fields fields;
    std::optional<Error> error;
    const Order order = Order::compile(text, fields, error);
    if (error || order.isEmpty())
        return;
    SqlDialect dialect;
    dialect.caseBlindCollation = QStringLiteral("TBKTEXT");
    const std::optional<SqlFragment> sql = order.sql(dialect);
    if (!sql)
        return;
    std::vector<std::pair<std::vector<Value>, qint64>> keyed;
    for (const Row &r : kRows) {
        fields.current = &r;
        keyed.emplace_back(order.keyOfCurrentRow(), r.id);
    }
    std::stable_sort(keyed.begin(), keyed.end(), [&](const auto &a, const auto &b) {
        return order.compare(a.first, b.first, dialect) < 0;
    });
    const QString statement = QStringLiteral("SELECT id FROM t ORDER BY ") + sql->sql + QStringLiteral(", id");
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(database(), statement.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
        fprintf(stderr, "bad SQL for order %s: %s\n", qPrintable(text), qPrintable(statement));
        abort();
    }
    bindParams(st, 1, sql->params);
    size_t i = 0;
    bool same = true;
    while (sqlite3_step(st) == SQLITE_ROW)
        same = same && i < keyed.size() && keyed[i++].second == sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    if (!same || i != keyed.size()) {
        fprintf(stderr, "SQL and memory order differ for %s\nSQL: %s\n", qPrintable(text), qPrintable(statement));
        abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    check(text);
    checkOrder(text);
    return 0;
}
