// Parses any text as a filter and an order; when a filter binds, checks that SQLite and the
// evaluator pick the same rows of a small table, also when the plan seeks through the keys'
// indexes (the driver's collation). A crash, a sanitizer report or a difference between the
// two paths stops the run.
#include "runtime/data/driver.h"
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
    {7, "日本語 ", "x", -3}, {8, "STRASSE", "120.0", 5}, {9, "Strasse  ", "F1", 6},
    {10, "ISTANBUL", "ı", 7}, {11, "ıstanbul", "I", 8}, {12, "\u212Aelvin", "k", 9},
    {13, "ﬁne", "FI", 10}, {14, "   ", "", 11}, {15, "BJÖRK", "Ö", 12},
    {16, "MiniDisc", "mınıdısc", 13}, {17, "Abba", "F1  ", 14},
};

class Fields : public Resolver {
public:
    const Row *current = nullptr;
    double variable = 120;
    QString text = QStringLiteral("abba  ");
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
        } else if (n == QLatin1String("V")) {
            b.perRow = false;
            b.get = [this] { return Value(text); };
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

sqlite3 *database() {
    static sqlite3 *db = [] {
        sqlite3 *d = nullptr;
        sqlite3_open(":memory:", &d);
        registerSqlFunctions(d);
        tbk::data::registerCollation(d);
        // Keys as the driver makes them: one plain, one leaving out blank records.
        sqlite3_exec(d, "CREATE TABLE t(id INTEGER PRIMARY KEY, artist TEXT COLLATE TBKTEXT,"
                        " filenumber TEXT COLLATE TBKTEXT, bpm INTEGER);"
                        "CREATE INDEX k_artist ON t(artist, filenumber);"
                        "CREATE INDEX k_file ON t(filenumber) WHERE NOT(filenumber='')",
                     nullptr, nullptr, nullptr);
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

// Rows read without a key, through the artist key and through the file number key (in
// their order, as a view reads them; the latter leaves out blank file numbers).
struct Reading {
    Expression::Key key;
    const char *inKey;
    const char *orderBy;
};
const Reading kReadings[] = {
    {{}, "", "id"},
    {{{"artist", "filenumber"}, "TBKTEXT"}, "", "artist, filenumber, id"},
    {{{"filenumber"}, "TBKTEXT"}, "NOT(filenumber='') AND ", "filenumber, id"},
};

void check(const QString &text, const Reading &reading) {
    Fields fields;
    std::optional<Error> error;
    const Expression e = Expression::compile(text, fields, error);
    if (error)
        return;
    const bool allRows = QLatin1String(reading.inKey).isEmpty();
    std::vector<qint64> expected;
    for (const Row &r : kRows) {
        fields.current = &r;
        if ((allRows || tbk::clippedLength(r.fileNumber) > 0) && e.matches())
            expected.push_back(r.id);
    }
    const Expression::Plan plan = e.plan(reading.key);
    const QString sql = QStringLiteral("SELECT id FROM t WHERE ") + QLatin1String(reading.inKey) +
                        (plan.where.isEmpty() ? QStringLiteral("1") : QLatin1Char('(') + plan.where.sql + QLatin1Char(')')) +
                        QStringLiteral(" ORDER BY ") + QLatin1String(reading.orderBy);
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
    std::sort(got.begin(), got.end());
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
    for (const Reading &r : kReadings)
        check(text, r);
    checkOrder(text);
    return 0;
}
