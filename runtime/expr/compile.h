#pragma once
// Filters and orders bound to names, evaluated per row or turned into SQL with bound
// parameters. User text never becomes SQL text: constants and variables are parameters, and
// only columns that a Binding vouches for are written into the statement.
#include "runtime/expr/binding.h"
#include "runtime/expr/syntax.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tbk::expr {

struct CNode;

struct SqlFragment {
    QString sql;
    std::vector<Value> params; // in the order of the "?" in sql
    bool isEmpty() const { return sql.isEmpty(); }
};

struct SqlDialect {
    // The driver's collation for keys: ignores case and trailing blanks.
    QString caseBlindCollation;
    // The same comparison in C++, for rows ordered in memory.
    std::function<int(const QString &, const QString &)> caseBlindCompare;
};

class Expression {
public:
    Expression();
    ~Expression();
    Expression(Expression &&) noexcept;
    Expression &operator=(Expression &&) noexcept;

    // Parses and binds. Blank text gives an empty expression, which every row passes.
    static Expression compile(const QString &text, const Resolver &names, std::optional<Error> &error,
                              int maxLength = kMaxExpressionLength);

    bool isEmpty() const { return conjuncts_.empty(); }
    const QString &text() const { return text_; }
    Type type() const;
    // The value for the names' current values; with conditions ANDed at the top, 1 or 0.
    Value evaluate() const;
    // True when every condition holds for the current values.
    bool matches() const;

    // The key the rows are read in order of: its columns as Binding::sqlColumn writes them, in
    // key order, and the collation of its index (case- and trailing-blank-blind, as
    // SqlDialect::caseBlindCollation).
    struct Key {
        QStringList columns;
        QString collation;
    };

    // What SQLite can run of the conditions ANDed at the top, and what is left to check row by
    // row. Constants and names that are not per-row are read now and bound as parameters, so
    // the plan is made just before each run over the view. It points into this expression.
    //
    // With a key, a condition f = x or UPPER(f) = x on its leading text columns, or f = n on
    // its leading numeric ones (n a number), also gives SQLite a range to seek through the
    // key's index; the exact test still decides each row. Only the key's columns get one: a seek through another index
    // would make SQLite sort the rows, again for every row a view reads.
    struct Plan {
        SqlFragment where;                 // empty: SQLite filters nothing
        // Ranges of the key's first column that hold every passing row, when they were found:
        // [low, high], or [low, high) when open; texts in the key's collation. Apart and in
        // key order; `where` seeks from the first one's low to the last one's high.
        struct Range {
            Value low, high;
            bool open = false;
        };
        std::vector<Range> first;
        std::vector<const CNode *> residue; // conditions SQLite could not take
        bool hasResidue() const { return !residue.empty(); }
    };
    Plan plan(const Key &key = {}) const;
    static bool residueMatches(const Plan &p);

private:
    QString text_;
    std::vector<std::unique_ptr<CNode>> conjuncts_;
};

class Order {
public:
    Order();
    ~Order();
    Order(Order &&) noexcept;
    Order &operator=(Order &&) noexcept;

    // Terms separated by commas, "-" before a term for descending. UPPER(x) or LOWER(x) of a
    // text orders case-blind, as the keys do; any other term orders by its exact value.
    static Order compile(const QString &text, const Resolver &names, std::optional<Error> &error);

    bool isEmpty() const { return terms_.empty(); }
    size_t size() const { return terms_.size(); }
    // "ORDER BY" list without the words; nullopt when a term cannot be written in SQL.
    std::optional<SqlFragment> sql(const SqlDialect &dialect) const;
    // The current row's sort values, and their comparison, for ordering rows in memory.
    std::vector<Value> keyOfCurrentRow() const;
    int compare(const std::vector<Value> &a, const std::vector<Value> &b,
                const SqlDialect &dialect) const;

private:
    struct Term {
        bool descending = false;
        bool caseBlind = false;
        std::unique_ptr<CNode> expr;
    };
    std::vector<Term> terms_;
};

} // namespace tbk::expr
