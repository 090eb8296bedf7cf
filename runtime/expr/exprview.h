#pragma once
// A view of a data file with a filter text and an order text. A filter, or the part of it that
// SQLite can take, runs in SQLite with bound parameters; the rest is checked row by row over
// the record buffer. Without an order text the rows come in the key's order (the driver's own
// view); with one, in that order, ties in order of addition.
//
// A filter or order that does not parse or names something unknown is refused: set...()
// answers false, error() says why, and open() fails (with that text as the driver error) until
// a good text is set, and an open view stops reading, so that nothing shows a wrongly
// filtered set.
#include "runtime/data/view.h"
#include "runtime/expr/compile.h"
#include "runtime/expr/fieldnames.h"

#include <QVariantList>

#include <functional>
#include <optional>
#include <vector>

namespace tbk::expr {

class ExprView {
public:
    ExprView(data::DataFile &file, const data::Key *key = nullptr);
    ExprView(const ExprView &) = delete;   // its driver view calls back into it
    ExprView &operator=(const ExprView &) = delete;

    data::DataFile &file() const { return *file_; }
    void setKey(const data::Key *key);
    const data::Key *key() const { return key_; }
    // Names beyond the declarations: the window's own scope, then the program's. Not owned.
    void setNames(const Resolver *names);
    // Files whose records `load` brings into their buffers for each row read (a join); their
    // fields may then be named in the filter.
    void setJoin(std::vector<const data::RecordBuffer *> files, std::function<void()> load);

    bool setFilter(const QString &text);   // blank: no filter
    bool setOrder(const QString &text);    // blank: the key's order
    const QString &filterText() const { return filterText_; }
    const QString &orderText() const { return orderText_; }
    const std::optional<Error> &error() const;

    bool open();
    void close();
    bool isOpen() const { return open_; }

    void set();                    // next() from the first row, previous() from the last
    void setFromBuffer();          // at the value now in the buffer (key fields or order terms)
    void setAt(data::Position p);  // next() or previous() reads the record at p first
    // At the place p had in the key's order when it was read, with these key values (see
    // data::View); with an order text, as setAt(p).
    void setAt(data::Position p, const std::vector<data::Cell> &keyValues);
    bool next();                   // 33 at the end; the buffer then keeps its record
    bool previous();
    // Read-ahead in the key's order (see data::View): rows fetched together are handed out one
    // by one as they were when fetched, until dropped or the view is placed anew.
    void setReadAhead(int rows) { view_.setReadAhead(rows); }
    void dropReadAhead() { view_.dropReadAhead(); }

    // Whether the record at p is in the view now, read alone (it is left in the buffer); an
    // error other than 33 is left set.
    bool holds(data::Position p);

    // How the last positioning ran the filter: all in SQLite, partly, or row by row.
    enum class Path { Sql, Mixed, Rows };
    Path filterPath() const { return path_; }

    // A list's view. Under a filter SQLite answers wholly, a walk of the key that has visited
    // more than walkLimit * (records found + 1) rows since the view was last placed stops: the
    // records that pass are then found by one read of the file in stored order and kept in key
    // order, and the reads go through them until the file changes. More than kMatchLimit of
    // them: the walk goes on unbounded. A limit below 0: no walk. The road a filter takes thus
    // depends on the filter and the file, never on how long the reads took. The walk reads one
    // record per statement: a page, or a thumb's end, costs no more rows than it shows.
    void setKeepsMatches(bool on) { keepsMatches_ = on; }
    bool readsMatches() const { return matchesMade_.has_value(); }
    static inline qint64 walkLimit = 500;
    static constexpr size_t kMatchLimit = 50000;

private:
    void recompile();
    void changed();
    bool refused() const;
    bool prepare();
    bool read(bool forward);
    bool buildOrderedRows();
    bool readOrdered(bool forward);
    const std::vector<Value> &keyAt(qsizetype i);

    data::DataFile *file_;
    const data::Key *key_;
    const Resolver *names_ = nullptr;
    std::vector<const data::RecordBuffer *> joined_;
    std::function<void()> loadJoined_;
    data::View view_;
    QString filterText_, orderText_;
    Expression filter_;
    Order order_;
    std::optional<Error> filterError_, orderError_;
    Expression::Plan plan_;
    Path path_ = Path::Sql;
    bool open_ = false;
    bool dirty_ = true;

    // Rows in the order of the order text.
    struct OrderedRow {
        data::Position position;
        std::vector<Value> key;   // empty until needed when SQLite made the order
    };
    std::vector<OrderedRow> rows_;
    // What the file had seen when rows_ was made: this connection's writes and the other
    // connections' commits. The rows serve every positioning until either moves.
    struct Stamp {
        qint64 writes = -1;
        qint64 commits = -1;
        quint64 generation = 0;   // the driver's statements: grows when a file is attached again
        bool operator==(const Stamp &) const = default;
    };
    Stamp stamp() const;
    std::optional<Stamp> rowsMade_;
    qsizetype nextIndex_ = 0, prevIndex_ = -1;

    // The records passing a filter SQLite answers wholly, in key order, then by position.
    struct Match {
        data::Position position;
        std::vector<data::Cell> key;
    };
    // What the matches were made under: the file's stamp and the filter's statement.
    struct MatchesMade {
        Stamp stamp;
        QString sql;
        QVariantList params;
        bool operator==(const MatchesMade &) const = default;
    };
    bool walksKey() const;
    bool sparse() const;
    MatchesMade matchesNow() const;
    bool readWalking(bool forward);
    bool makeMatches(const MatchesMade &now);
    bool readMatch(bool forward);
    void dropMatches();
    bool keepsMatches_ = false;
    std::vector<Match> matches_;
    std::optional<MatchesMade> matchesMade_;
    std::optional<MatchesMade> tooMany_;   // the matches outgrew the list: walk on
    qint64 visited_ = 0;   // rows the walk visited since the last placing
    qint64 found_ = 0;     // and the records it found
};

// The case-blind order the driver's keys use, for ordering in memory.
SqlDialect driverDialect();

} // namespace tbk::expr
