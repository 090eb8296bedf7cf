#include "runtime/expr/compile.h"

#include "runtime/values/text.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace tbk::expr {

struct CNode {
    Node::Kind kind = Node::Number;
    Op op = Op::Or;
    Value constant;
    Binding binding;
    const FunctionInfo *fn = nullptr;
    std::vector<std::unique_ptr<CNode>> args;
    Type type = Type::Number;
    bool perRow = false;
};

namespace {

bool isComparison(Op op) {
    return op == Op::Eq || op == Op::Ne || op == Op::Lt || op == Op::Gt || op == Op::Le ||
           op == Op::Ge;
}

std::unique_ptr<CNode> bindNode(const Node &n, const Resolver &names, std::optional<Error> &error) {
    auto c = std::make_unique<CNode>();
    c->kind = n.kind;
    c->op = n.op;
    c->fn = n.fn;
    for (const auto &a : n.args) {
        auto ca = bindNode(*a, names, error);
        if (!ca)
            return nullptr;
        c->perRow = c->perRow || ca->perRow;
        c->args.push_back(std::move(ca));
    }
    switch (n.kind) {
    case Node::Number:
        c->constant = Value(n.number);
        c->type = Type::Number;
        break;
    case Node::Text:
        c->constant = Value(n.text);
        c->type = Type::Text;
        break;
    case Node::Name: {
        auto b = names.resolve(n.text);
        if (!b || !b->get) {
            error = Error{QStringLiteral("Unknown name %1").arg(n.text), n.position};
            return nullptr;
        }
        c->binding = std::move(*b);
        c->type = c->binding.type;
        c->perRow = c->binding.perRow;
        break;
    }
    case Node::Call:
        c->type = n.fn->result;
        break;
    case Node::Neg:
    case Node::Not:
        c->type = Type::Number;
        break;
    case Node::Binary:
        c->type = n.op == Op::Concat ? Type::Text : Type::Number;
        break;
    }
    return c;
}

Value coerce(const Value &v, Type t) {
    if (v.type() == t)
        return v;
    return t == Type::Text ? Value(v.text()) : Value(v.number());
}

Value eval(const CNode &n);

bool compare(Op op, const Value &a, const Value &b) {
    const int c = compareValues(a, b);
    switch (op) {
    case Op::Eq: return c == 0;
    case Op::Ne: return c != 0;
    case Op::Lt: return c < 0;
    case Op::Gt: return c > 0;
    case Op::Le: return c <= 0;
    case Op::Ge: return c >= 0;
    default: return false;
    }
}

Value evalBinary(const CNode &n) {
    const CNode &l = *n.args[0];
    const CNode &r = *n.args[1];
    switch (n.op) {
    case Op::And: return Value(eval(l).truth() && eval(r).truth() ? 1 : 0);
    case Op::Or: return Value(eval(l).truth() || eval(r).truth() ? 1 : 0);
    case Op::Concat: return Value(eval(l).text() + eval(r).text());
    default: break;
    }
    const Value a = eval(l), b = eval(r);
    if (isComparison(n.op))
        return Value(compare(n.op, a, b) ? 1 : 0);
    const double x = a.number(), y = b.number();
    switch (n.op) {
    case Op::Add: return Value(x + y);
    case Op::Sub: return Value(x - y);
    case Op::Mul: return Value(x * y);
    // A filter has nowhere to report a division by zero: it counts as 0.
    case Op::Div: return Value(y == 0 ? 0.0 : x / y);
    case Op::Mod: return Value(y == 0 ? 0.0 : std::fmod(x, y));
    default: return Value();
    }
}

Value eval(const CNode &n) {
    switch (n.kind) {
    case Node::Number:
    case Node::Text:
        return n.constant;
    case Node::Name:
        return coerce(n.binding.get(), n.type);
    case Node::Call: {
        QList<Value> args;
        args.reserve(qsizetype(n.args.size()));
        for (const auto &a : n.args)
            args.append(eval(*a));
        return callFunction(*n.fn, args);
    }
    case Node::Neg:
        return Value(-eval(*n.args[0]).number());
    case Node::Not:
        return Value(eval(*n.args[0]).truth() ? 0 : 1);
    case Node::Binary:
        return evalBinary(n);
    }
    return Value();
}

// ---- SQL ----

struct SqlOut {
    QString sql;
    Type type = Type::Number;
    bool clipped = false;   // text known to carry no trailing blank
    bool boolean = false;   // already 0 or 1
    int param = -1;         // index of the parameter when the value is a constant
};

const char *opSql(Op op) {
    switch (op) {
    case Op::Eq: return " = ";
    case Op::Ne: return " <> ";
    case Op::Lt: return " < ";
    case Op::Gt: return " > ";
    case Op::Le: return " <= ";
    case Op::Ge: return " >= ";
    case Op::Add: return " + ";
    case Op::Sub: return " - ";
    case Op::Mul: return " * ";
    case Op::And: return " AND ";
    case Op::Or: return " OR ";
    default: return " ";
    }
}

QString functionSqlName(Fn f) {
    switch (f) {
    case Fn::Upper: return QStringLiteral("tbk_upper");
    case Fn::Lower: return QStringLiteral("tbk_lower");
    case Fn::Clip: return QStringLiteral("tbk_clip");
    case Fn::Len: return QStringLiteral("tbk_len");
    case Fn::Sub: return QStringLiteral("tbk_sub");
    case Fn::InString: return QStringLiteral("tbk_instring");
    case Fn::Abs: return QStringLiteral("tbk_abs");
    }
    return QString();
}

class SqlGen {
public:
    std::vector<Value> params;
    // Columns written as (+col), which SQLite cannot take to search an index.
    QStringList unindexed;

    bool gen(const CNode &n, SqlOut &out) {
        out = SqlOut();
        out.type = n.type;
        // SQLite's parser has a small stack: deeply nested parts are left to the row check.
        struct Depth {
            int &d;
            explicit Depth(int &depth) : d(++depth) {}
            ~Depth() { --d; }
        } depth(depth_);
        if (depth_ > kMaxSqlNesting)
            return false;
        if (!n.perRow) {
            const Value v = coerce(eval(n), n.type);
            out.param = int(params.size());
            params.push_back(v);
            out.sql = QStringLiteral("?");
            out.clipped = !v.isText() || !v.text().endsWith(QLatin1Char(' '));
            return true;
        }
        switch (n.kind) {
        case Node::Name:
            if (n.binding.sqlColumn.isEmpty())
                return false;
            out.sql = unindexed.contains(n.binding.sqlColumn) ? QStringLiteral("(+%1)").arg(n.binding.sqlColumn)
                                                              : n.binding.sqlColumn;
            return true;
        case Node::Call: {
            QStringList parts;
            bool clippedArg = true;
            for (const auto &a : n.args) {
                SqlOut o;
                if (!gen(*a, o))
                    return false;
                parts << o.sql;
                clippedArg = clippedArg && o.clipped;
            }
            out.sql = functionSqlName(n.fn->id) + QLatin1Char('(') + parts.join(QStringLiteral(", ")) +
                      QLatin1Char(')');
            out.clipped = n.fn->result == Type::Number || n.fn->id == Fn::Clip ||
                          ((n.fn->id == Fn::Upper || n.fn->id == Fn::Lower) && clippedArg);
            return true;
        }
        case Node::Neg: {
            SqlOut o;
            if (!gen(*n.args[0], o))
                return false;
            out.sql = QStringLiteral("(-%1)").arg(num(o));
            return true;
        }
        case Node::Not: {
            SqlOut o;
            if (!gen(*n.args[0], o))
                return false;
            out.sql = QStringLiteral("(NOT %1)").arg(truth(o));
            out.boolean = true;
            return true;
        }
        case Node::Binary:
            return binary(n, out);
        default:
            return false;
        }
    }

    static QString truth(const SqlOut &o) {
        if (o.boolean)
            return o.sql;
        if (o.type == Type::Number)
            return QStringLiteral("(%1 <> 0)").arg(o.sql);
        return QStringLiteral("(%1 <> '' COLLATE BINARY)").arg(trimmed(o));
    }

    static QString trimmed(const SqlOut &o) {
        return o.clipped ? o.sql : QStringLiteral("rtrim(%1)").arg(o.sql);
    }

private:
    static constexpr int kMaxSqlNesting = 12;
    int depth_ = 0;

    static QString num(const SqlOut &o) {
        return o.type == Type::Number ? o.sql : QStringLiteral("tbk_num(%1)").arg(o.sql);
    }
    static QString txt(const SqlOut &o) {
        return o.type == Type::Text ? o.sql : QStringLiteral("tbk_text(%1)").arg(o.sql);
    }

    // A chain a OR b OR c is written flat, so that it does not nest in SQL.
    bool chain(const CNode &n, SqlOut &out) {
        std::vector<const CNode *> operands;
        std::vector<const CNode *> pending{&n};
        while (!pending.empty()) {
            const CNode *x = pending.back();
            pending.pop_back();
            if (x->kind == Node::Binary && x->op == n.op && x->perRow) {
                pending.push_back(x->args[1].get());
                pending.push_back(x->args[0].get());
            } else {
                operands.push_back(x);
            }
        }
        QStringList parts;
        for (const CNode *x : operands) {
            SqlOut o;
            if (!gen(*x, o))
                return false;
            parts << truth(o);
        }
        out.sql = QLatin1Char('(') + parts.join(QLatin1String(opSql(n.op))) + QLatin1Char(')');
        out.boolean = true;
        return true;
    }

    bool binary(const CNode &n, SqlOut &out) {
        if (n.op == Op::And || n.op == Op::Or)
            return chain(n, out);
        SqlOut a, b;
        if (!gen(*n.args[0], a) || !gen(*n.args[1], b))
            return false;
        switch (n.op) {

        case Op::Concat:
            out.sql = QStringLiteral("(%1 || %2)").arg(txt(a), txt(b));
            return true;
        case Op::Add:
        case Op::Sub:
        case Op::Mul:
            // In floating point as the evaluator counts; SQLite gives NULL where it gets NaN.
            out.sql = QStringLiteral("COALESCE(CAST(%1 AS REAL)").arg(num(a)) + QLatin1String(opSql(n.op)) +
                      num(b) + QStringLiteral(", 0)");
            return true;
        case Op::Div:
            out.sql = QStringLiteral("tbk_div(%1, %2)").arg(num(a), num(b));
            return true;
        case Op::Mod:
            out.sql = QStringLiteral("tbk_mod(%1, %2)").arg(num(a), num(b));
            return true;
        default:
            break;
        }
        out.boolean = true;
        const QString op = QLatin1String(opSql(n.op));
        if (a.type == Type::Number && b.type == Type::Number) {
            out.sql = QLatin1Char('(') + a.sql + op + b.sql + QLatin1Char(')');
            return true;
        }
        if (a.type == Type::Text && b.type == Type::Text) {
            out.sql = QLatin1Char('(') + trimmed(a) + op + trimmed(b) + QStringLiteral(" COLLATE BINARY)");
            return true;
        }
        // A number against a text: when the text is a constant its kind is known now.
        const SqlOut &t = a.type == Type::Text ? a : b;
        if (t.param >= 0) {
            const QString s = params[size_t(t.param)].text();
            if (isNumericText(s)) {
                params[size_t(t.param)] = Value(numericValue(s));
                out.sql = QLatin1Char('(') + a.sql + op + b.sql + QLatin1Char(')');
            } else {
                out.sql = QLatin1Char('(') + (a.type == Type::Text ? trimmed(a) : txt(a)) + op +
                          (b.type == Type::Text ? trimmed(b) : txt(b)) + QStringLiteral(" COLLATE BINARY)");
            }
            return true;
        }
        out.sql = QStringLiteral("(tbk_cmp(%1, %2)").arg(a.sql, b.sql) + op + QStringLiteral("0)");
        return true;
    }
};

// ---- Seeking through a key ----

// Upper cases that the case-blind collation does not hold equal to the character they come
// from (longer ones, as SS from a sharp s, and ones that case folding keeps apart, as I from a
// dotless i), with that character, by their first character. Where one of them stands in
// UPPER(f), f need not be collation-equal there.
struct FoldBreak {
    QList<uint> upper;
    char32_t from;
};
const QHash<char32_t, std::vector<FoldBreak>> &foldBreakingUppers() {
    static const auto table = [] {
        QHash<char32_t, std::vector<FoldBreak>> t;
        for (char32_t c = 0; c <= QChar::LastValidCodePoint; ++c) {
            // Only cased characters change; the test of the full mapping is the slow part.
            if (QChar::isSurrogate(c) ||
                (QChar::toUpper(c) == c && !QChar::isLower(c) && !QChar::isTitleCase(c)))
                continue;
            const QString s = QString::fromUcs4(&c, 1);
            const QString up = upperText(s);
            const QList<uint> cps = up.toUcs4();
            if (cps.size() == 1 && compareText(s, up, Qt::CaseInsensitive) == 0)
                continue;
            t[cps.front()].push_back(FoldBreak{cps, c});
        }
        return t;
    }();
    return table;
}

// A range of the key that holds rows passing a condition: [low, high], or [low, high) when
// open. Texts are sought in the key's collation, numbers as numbers.
using SeekRange = Expression::Plan::Range;

QString fromCodePoints(const QList<uint> &u, qsizetype n) {
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(u.constData()), n);
}

// The order of the key's collation, as the driver compares in memory.
int keyCompare(const Value &a, const Value &b) { return compareText(a.text(), b.text(), Qt::CaseInsensitive); }

// Sorted in the collation, overlapping and touching ranges joined.
std::vector<SeekRange> joined(std::vector<SeekRange> ranges) {
    std::sort(ranges.begin(), ranges.end(),
              [](const SeekRange &a, const SeekRange &b) { return keyCompare(a.low, b.low) < 0; });
    std::vector<SeekRange> out;
    for (const SeekRange &r : ranges) {
        if (out.empty() || keyCompare(r.low, out.back().high) > 0) {
            out.push_back(r);
            continue;
        }
        SeekRange &last = out.back();
        const int c = keyCompare(r.high, last.high);
        if (c > 0)
            last.high = r.high;
        last.open = c > 0 ? r.open : c < 0 ? last.open : last.open && r.open;
    }
    return out;
}

// f = x compares exactly: the rows lie in the collation's range of x alone. UPPER(f) = x also
// passes texts that hold, where x has a fold-breaking upper case, the character it comes from,
// after characters that the collation reads as those of x before it. Each such place gives
// the range of texts so begun: from that prefix and the lowest of those characters, to the
// prefix's successor. Empty: nothing to seek.
std::vector<SeekRange> seekRanges(const QString &value, bool upper) {
    const QString v = clip(value);
    std::vector<SeekRange> ranges{SeekRange{Value(v), Value(v), false}};
    if (!upper)
        return ranges;
    const QList<uint> u = v.toUcs4();
    const auto &table = foldBreakingUppers();
    for (qsizetype i = 0; i < u.size(); ++i) {
        const auto it = table.constFind(char32_t(u[i]));
        if (it == table.constEnd())
            continue;
        std::optional<Value> low;
        for (const FoldBreak &b : *it) {
            if (i + b.upper.size() > u.size() || !std::equal(b.upper.begin(), b.upper.end(), u.begin() + i))
                continue;
            const Value from(fromCodePoints(u, i) + QString::fromUcs4(&b.from, 1));
            if (!low || keyCompare(from, *low) < 0)
                low = from;
        }
        if (!low)
            continue;
        // The successor of the prefix is known up to its last plain ASCII character.
        qsizetype k = i;
        while (k > 0 && u[k - 1] >= 0x80)
            --k;
        if (k == 0)
            return {};
        QList<uint> next = u.first(k);
        uint &last = next.back();
        if (last >= 'A' && last <= 'Z')
            last += 'a' - 'A';
        ++last;
        ranges.push_back(SeekRange{*low, Value(fromCodePoints(next, k)), true});
    }
    return joined(std::move(ranges));
}

// The range a top-level condition gives its column, when it is f = x or UPPER(f) = x (either
// way round) with f a text column and x a text that is one value for the pass, or f = x with
// f a numeric column and x a number. A number against a text compares as numbers only when the
// text is numeric, and a text column's key is in text order: those get no range.
std::optional<std::pair<QString, std::vector<SeekRange>>> seekOf(const CNode &c) {
    if (c.kind != Node::Binary || c.op != Op::Eq)
        return std::nullopt;
    for (int side = 0; side < 2; ++side) {
        const CNode *f = c.args[size_t(side)].get();
        const CNode &x = *c.args[size_t(1 - side)];
        if (x.perRow)
            continue;
        const bool upper = x.type == Type::Text && f->kind == Node::Call && f->fn->id == Fn::Upper;
        if (upper)
            f = f->args[0].get();
        if (f->kind != Node::Name || !f->perRow || f->type != x.type || f->binding.sqlColumn.isEmpty())
            continue;
        if (x.type == Type::Number) {
            const Value n(eval(x).number());
            return std::pair{f->binding.sqlColumn, std::vector{SeekRange{n, n, false}}};
        }
        if (auto r = seekRanges(eval(x).text(), upper); !r.empty())
            return std::pair{f->binding.sqlColumn, std::move(r)};
    }
    return std::nullopt;
}

void flattenAnd(const Node &n, std::vector<const Node *> &out) {
    if (n.kind == Node::Binary && n.op == Op::And) {
        flattenAnd(*n.args[0], out);
        flattenAnd(*n.args[1], out);
    } else {
        out.push_back(&n);
    }
}

bool isBlank(const QString &s) {
    for (QChar c : s)
        if (!c.isSpace())
            return false;
    return true;
}

bool isSafeIdentifier(const QString &s) {
    if (s.isEmpty())
        return false;
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if (!((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '_'))
            return false;
    }
    return true;
}

} // namespace

// ---- Expression ----

Expression::Expression() = default;
Expression::~Expression() = default;
Expression::Expression(Expression &&) noexcept = default;
Expression &Expression::operator=(Expression &&) noexcept = default;

Expression Expression::compile(const QString &text, const Resolver &names,
                               std::optional<Error> &error, int maxLength) {
    error.reset();
    Expression e;
    e.text_ = text;
    if (text.size() <= maxLength && isBlank(text))
        return e;
    ParsedExpression parsed = parseExpression(text, maxLength);
    if (parsed.error) {
        error = parsed.error;
        return Expression();
    }
    std::vector<const Node *> parts;
    flattenAnd(*parsed.tree, parts);
    for (const Node *p : parts) {
        auto c = bindNode(*p, names, error);
        if (!c)
            return Expression();
        e.conjuncts_.push_back(std::move(c));
    }
    return e;
}

Type Expression::type() const {
    return conjuncts_.size() == 1 ? conjuncts_.front()->type : Type::Number;
}

Value Expression::evaluate() const {
    if (conjuncts_.size() == 1)
        return eval(*conjuncts_.front());
    return Value(matches() ? 1 : 0);
}

bool Expression::matches() const {
    for (const auto &c : conjuncts_)
        if (!eval(*c).truth())
            return false;
    return true;
}

Expression::Plan Expression::plan(const Key &key) const {
    Plan p;
    QStringList parts;
    // Ranges on the key's columns from the first on, as far as each before is one value. A
    // numeric column's index is in its own order, which a COLLATE would keep SQLite from using.
    // Its exact test must not reach the index: SQLite would seek by = and drop the view's
    // cursor bound, and every read would start again at the first matching row.
    QStringList numericSeeks;
    const bool textSeeks = isSafeIdentifier(key.collation);
    const QString collate = QStringLiteral(" COLLATE ") + key.collation;
    // Of several ranges SQLite is given the one spanning them all: it would sort the rows of
    // an OR. A view seeks them one by one.
    for (const QString &column : key.columns) {
        std::vector<SeekRange> ranges;
        for (const auto &c : conjuncts_) {
            auto s = seekOf(*c);
            if (s && s->first == column) {
                ranges = std::move(s->second);
                break;
            }
        }
        if (ranges.empty() || (ranges.front().low.isText() && !textSeeks))
            break;
        const Value &low = ranges.front().low, &high = ranges.back().high;
        const bool open = ranges.back().open;
        const QString in = low.isText() ? collate : QString();
        parts << QLatin1Char('(') + column + QStringLiteral(" >= ?") + in + QStringLiteral(" AND ") + column +
                     (open ? QStringLiteral(" < ?") : QStringLiteral(" <= ?")) + in + QLatin1Char(')');
        if (!low.isText())
            numericSeeks << column;
        p.where.params.push_back(low);
        p.where.params.push_back(high);
        const bool several = ranges.size() > 1;
        if (column == key.columns.front())
            p.first = std::move(ranges);
        if (open || several)
            break;
    }
    for (const auto &c : conjuncts_) {
        SqlGen g;
        g.unindexed = numericSeeks;
        SqlOut o;
        if (g.gen(*c, o)) {
            parts << SqlGen::truth(o);
            p.where.params.insert(p.where.params.end(), g.params.begin(), g.params.end());
        } else {
            p.residue.push_back(c.get());
        }
    }
    p.where.sql = parts.join(QStringLiteral(" AND "));
    return p;
}

bool Expression::residueMatches(const Plan &p) {
    for (const CNode *c : p.residue)
        if (!eval(*c).truth())
            return false;
    return true;
}

// ---- Order ----

Order::Order() = default;
Order::~Order() = default;
Order::Order(Order &&) noexcept = default;
Order &Order::operator=(Order &&) noexcept = default;

Order Order::compile(const QString &text, const Resolver &names, std::optional<Error> &error) {
    error.reset();
    Order o;
    if (text.size() <= kMaxExpressionLength && isBlank(text))
        return o;
    ParsedOrder parsed = parseOrder(text);
    if (parsed.error) {
        error = parsed.error;
        return Order();
    }
    for (auto &t : parsed.terms) {
        Term term;
        term.descending = t.descending;
        const Node *n = t.expr.get();
        if (n->kind == Node::Call && (n->fn->id == Fn::Upper || n->fn->id == Fn::Lower)) {
            term.caseBlind = true;
            n = n->args[0].get();
        }
        term.expr = bindNode(*n, names, error);
        if (!term.expr)
            return Order();
        o.terms_.push_back(std::move(term));
    }
    return o;
}

std::optional<SqlFragment> Order::sql(const SqlDialect &dialect) const {
    SqlFragment f;
    QStringList parts;
    for (const Term &t : terms_) {
        SqlGen g;
        SqlOut o;
        if (!g.gen(*t.expr, o))
            return std::nullopt;
        QString s;
        if (t.caseBlind) {
            if (!isSafeIdentifier(dialect.caseBlindCollation))
                return std::nullopt;
            s = (o.type == Type::Text ? o.sql : QStringLiteral("tbk_text(%1)").arg(o.sql)) +
                QStringLiteral(" COLLATE ") + dialect.caseBlindCollation;
        } else {
            s = o.type == Type::Text ? SqlGen::trimmed(o) + QStringLiteral(" COLLATE BINARY") : o.sql;
        }
        if (t.descending)
            s += QStringLiteral(" DESC");
        parts << s;
        f.params.insert(f.params.end(), g.params.begin(), g.params.end());
    }
    f.sql = parts.join(QStringLiteral(", "));
    return f;
}

std::vector<Value> Order::keyOfCurrentRow() const {
    std::vector<Value> key;
    key.reserve(terms_.size());
    for (const Term &t : terms_) {
        const Value v = eval(*t.expr);
        key.push_back(t.caseBlind ? Value(v.text()) : v);
    }
    return key;
}

int Order::compare(const std::vector<Value> &a, const std::vector<Value> &b,
                   const SqlDialect &dialect) const {
    for (size_t i = 0; i < terms_.size() && i < a.size() && i < b.size(); ++i) {
        const Term &t = terms_[i];
        int c;
        if (t.caseBlind)
            c = dialect.caseBlindCompare ? dialect.caseBlindCompare(a[i].text(), b[i].text())
                                         : compareText(a[i].text(), b[i].text(), Qt::CaseInsensitive);
        else
            c = compareValues(a[i], b[i]);
        if (c != 0)
            return t.descending ? -c : c;
    }
    return 0;
}

} // namespace tbk::expr
