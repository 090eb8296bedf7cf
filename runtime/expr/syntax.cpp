#include "runtime/expr/syntax.h"

namespace tbk::expr {

namespace {

enum class Tok { End, Number, Text, Name, LParen, RParen, Comma, Op, Not, And, Or };

struct Token {
    Tok kind = Tok::End;
    Op op = Op::Or;
    double number = 0;
    QString text;
    int position = 0;
};

bool isNameStart(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || u == '$';
}

bool isNameChar(QChar c) {
    const char16_t u = c.unicode();
    return isNameStart(c) || (u >= '0' && u <= '9') || u == ':';
}

bool isDigit(QChar c) {
    return c.unicode() >= '0' && c.unicode() <= '9';
}

class Parser {
public:
    explicit Parser(const QString &text) : s_(text) {}

    std::optional<Error> error;

    bool start() { return advance(); }
    bool atEnd() const { return tok_.kind == Tok::End; }
    const Token &token() const { return tok_; }

    std::unique_ptr<Node> expression() { return orExpr(); }

    bool advance() {
        if (error)
            return false;
        skipBlanks();
        tok_ = Token();
        tok_.position = int(i_);
        if (i_ >= s_.size())
            return true;
        const QChar c = s_[i_];
        if (isDigit(c) || (c == QLatin1Char('.') && i_ + 1 < s_.size() && isDigit(s_[i_ + 1])))
            return lexNumber();
        if (c == QLatin1Char('\''))
            return lexText();
        if (isNameStart(c))
            return lexName();
        return lexOperator();
    }

    void fail(const QString &message, int position) {
        if (!error)
            error = Error{message, position};
    }

private:
    void skipBlanks() {
        while (i_ < s_.size() && (s_[i_] == QLatin1Char(' ') || s_[i_] == QLatin1Char('\t') ||
                                  s_[i_] == QLatin1Char('\r') || s_[i_] == QLatin1Char('\n')))
            ++i_;
    }

    bool lexNumber() {
        const qsizetype b = i_;
        while (i_ < s_.size() && isDigit(s_[i_]))
            ++i_;
        if (i_ < s_.size() && s_[i_] == QLatin1Char('.')) {
            ++i_;
            while (i_ < s_.size() && isDigit(s_[i_]))
                ++i_;
        }
        if (i_ < s_.size() && isNameStart(s_[i_])) {
            fail(QStringLiteral("A number runs into a name"), int(b));
            return false;
        }
        tok_.kind = Tok::Number;
        tok_.number = QStringView(s_).mid(b, i_ - b).toDouble();
        return true;
    }

    bool lexText() {
        const qsizetype b = i_++;
        QString t;
        for (;;) {
            if (i_ >= s_.size()) {
                fail(QStringLiteral("A text in quotes is not closed"), int(b));
                return false;
            }
            if (s_[i_] == QLatin1Char('\'')) {
                if (i_ + 1 < s_.size() && s_[i_ + 1] == QLatin1Char('\'')) {
                    t += QLatin1Char('\'');
                    i_ += 2;
                    continue;
                }
                ++i_;
                break;
            }
            t += s_[i_++];
        }
        tok_.kind = Tok::Text;
        tok_.text = t;
        return true;
    }

    bool lexName() {
        const qsizetype b = i_;
        while (i_ < s_.size() && isNameChar(s_[i_]))
            ++i_;
        tok_.text = s_.mid(b, i_ - b);
        const QString up = tok_.text.toUpper();
        tok_.kind = up == QLatin1String("AND") ? Tok::And
                  : up == QLatin1String("OR")  ? Tok::Or
                  : up == QLatin1String("NOT") ? Tok::Not
                                               : Tok::Name;
        return true;
    }

    bool lexOperator() {
        const QChar c = s_[i_];
        const QChar n = i_ + 1 < s_.size() ? s_[i_ + 1] : QChar();
        auto op = [&](Op o, int len) {
            tok_.kind = Tok::Op;
            tok_.op = o;
            i_ += len;
            return true;
        };
        switch (c.unicode()) {
        case '(': tok_.kind = Tok::LParen; ++i_; return true;
        case ')': tok_.kind = Tok::RParen; ++i_; return true;
        case ',': tok_.kind = Tok::Comma; ++i_; return true;
        case '=':
            if (n == QLatin1Char('<')) return op(Op::Le, 2);
            if (n == QLatin1Char('>')) return op(Op::Ge, 2);
            return op(Op::Eq, 1);
        case '<':
            if (n == QLatin1Char('>')) return op(Op::Ne, 2);
            if (n == QLatin1Char('=')) return op(Op::Le, 2);
            return op(Op::Lt, 1);
        case '>':
            if (n == QLatin1Char('=')) return op(Op::Ge, 2);
            return op(Op::Gt, 1);
        case '~':
            if (n == QLatin1Char('=')) return op(Op::Ne, 2);
            if (n == QLatin1Char('<')) return op(Op::Ge, 2);
            if (n == QLatin1Char('>')) return op(Op::Le, 2);
            tok_.kind = Tok::Not;
            ++i_;
            return true;
        case '&': return op(Op::Concat, 1);
        case '+': return op(Op::Add, 1);
        case '-': return op(Op::Sub, 1);
        case '*': return op(Op::Mul, 1);
        case '/': return op(Op::Div, 1);
        case '%': return op(Op::Mod, 1);
        default: break;
        }
        fail(c.isPrint() && !c.isSurrogate()
                 ? QStringLiteral("Unexpected character '%1'").arg(c)
                 : QStringLiteral("Unexpected character U+%1")
                       .arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'))),
             int(i_));
        return false;
    }

    // Depth guard shared by every recursive rule.
    struct Nest {
        Parser &p;
        bool ok;
        explicit Nest(Parser &parser) : p(parser), ok(++parser.depth_ <= kMaxNesting) {
            if (!ok)
                p.fail(QStringLiteral("The expression is nested too deeply"), p.tok_.position);
        }
        ~Nest() { --p.depth_; }
    };

    std::unique_ptr<Node> binary(Op op, std::unique_ptr<Node> l, std::unique_ptr<Node> r, int pos) {
        // Long chains such as a+b+c+... grow the tree without nesting in the text.
        const int depth = 1 + std::max(l->depth, r->depth);
        if (depth > kMaxTreeDepth) {
            fail(QStringLiteral("The expression is nested too deeply"), pos);
            return nullptr;
        }
        auto n = std::make_unique<Node>();
        n->depth = depth;
        n->kind = Node::Binary;
        n->op = op;
        n->position = pos;
        n->args.push_back(std::move(l));
        n->args.push_back(std::move(r));
        return n;
    }

    std::unique_ptr<Node> orExpr() {
        auto l = andExpr();
        while (l && tok_.kind == Tok::Or) {
            const int pos = tok_.position;
            if (!advance()) return nullptr;
            auto r = andExpr();
            if (!r) return nullptr;
            l = binary(Op::Or, std::move(l), std::move(r), pos);
            if (!l) return nullptr;
        }
        return l;
    }

    std::unique_ptr<Node> andExpr() {
        auto l = notExpr();
        while (l && tok_.kind == Tok::And) {
            const int pos = tok_.position;
            if (!advance()) return nullptr;
            auto r = notExpr();
            if (!r) return nullptr;
            l = binary(Op::And, std::move(l), std::move(r), pos);
            if (!l) return nullptr;
        }
        return l;
    }

    std::unique_ptr<Node> notExpr() {
        if (tok_.kind != Tok::Not)
            return comparison();
        Nest nest(*this);
        if (!nest.ok) return nullptr;
        auto n = std::make_unique<Node>();
        n->kind = Node::Not;
        n->position = tok_.position;
        if (!advance()) return nullptr;
        auto operand = notExpr();
        if (!operand) return nullptr;
        n->depth = operand->depth + 1;
        n->args.push_back(std::move(operand));
        return n;
    }

    static bool isComparison(Op op) {
        return op == Op::Eq || op == Op::Ne || op == Op::Lt || op == Op::Gt || op == Op::Le ||
               op == Op::Ge;
    }

    std::unique_ptr<Node> comparison() {
        auto l = concat();
        while (l && tok_.kind == Tok::Op && isComparison(tok_.op)) {
            const Op op = tok_.op;
            const int pos = tok_.position;
            if (!advance()) return nullptr;
            auto r = concat();
            if (!r) return nullptr;
            l = binary(op, std::move(l), std::move(r), pos);
            if (!l) return nullptr;
        }
        return l;
    }

    std::unique_ptr<Node> concat() {
        auto l = additive();
        while (l && tok_.kind == Tok::Op && tok_.op == Op::Concat) {
            const int pos = tok_.position;
            if (!advance()) return nullptr;
            auto r = additive();
            if (!r) return nullptr;
            l = binary(Op::Concat, std::move(l), std::move(r), pos);
            if (!l) return nullptr;
        }
        return l;
    }

    std::unique_ptr<Node> additive() {
        auto l = multiplicative();
        while (l && tok_.kind == Tok::Op && (tok_.op == Op::Add || tok_.op == Op::Sub)) {
            const Op op = tok_.op;
            const int pos = tok_.position;
            if (!advance()) return nullptr;
            auto r = multiplicative();
            if (!r) return nullptr;
            l = binary(op, std::move(l), std::move(r), pos);
            if (!l) return nullptr;
        }
        return l;
    }

    std::unique_ptr<Node> multiplicative() {
        auto l = unary();
        while (l && tok_.kind == Tok::Op &&
               (tok_.op == Op::Mul || tok_.op == Op::Div || tok_.op == Op::Mod)) {
            const Op op = tok_.op;
            const int pos = tok_.position;
            if (!advance()) return nullptr;
            auto r = unary();
            if (!r) return nullptr;
            l = binary(op, std::move(l), std::move(r), pos);
            if (!l) return nullptr;
        }
        return l;
    }

    std::unique_ptr<Node> unary() {
        if (tok_.kind != Tok::Op || (tok_.op != Op::Sub && tok_.op != Op::Add))
            return primary();
        Nest nest(*this);
        if (!nest.ok) return nullptr;
        const bool negate = tok_.op == Op::Sub;
        const int pos = tok_.position;
        if (!advance()) return nullptr;
        auto operand = unary();
        if (!operand || !negate)
            return operand;
        auto n = std::make_unique<Node>();
        n->kind = Node::Neg;
        n->position = pos;
        n->depth = operand->depth + 1;
        n->args.push_back(std::move(operand));
        return n;
    }

    std::unique_ptr<Node> primary() {
        Nest nest(*this);
        if (!nest.ok) return nullptr;
        auto n = std::make_unique<Node>();
        n->position = tok_.position;
        switch (tok_.kind) {
        case Tok::Number:
            n->kind = Node::Number;
            n->number = tok_.number;
            return advance() ? std::move(n) : nullptr;
        case Tok::Text:
            n->kind = Node::Text;
            n->text = tok_.text;
            return advance() ? std::move(n) : nullptr;
        case Tok::LParen: {
            if (!advance()) return nullptr;
            auto inner = expression();
            if (!inner) return nullptr;
            if (tok_.kind != Tok::RParen) {
                fail(QStringLiteral("A closing parenthesis is missing"), tok_.position);
                return nullptr;
            }
            return advance() ? std::move(inner) : nullptr;
        }
        case Tok::Name:
            n->text = tok_.text;
            if (!advance()) return nullptr;
            if (tok_.kind != Tok::LParen) {
                n->kind = Node::Name;
                return n;
            }
            return call(std::move(n));
        case Tok::End:
            fail(QStringLiteral("The expression ends too early"), tok_.position);
            return nullptr;
        default:
            fail(QStringLiteral("A value or name is expected here"), tok_.position);
            return nullptr;
        }
    }

    std::unique_ptr<Node> call(std::unique_ptr<Node> n) {
        n->kind = Node::Call;
        n->fn = findFunction(n->text.toUpper());
        if (!n->fn) {
            fail(QStringLiteral("Unknown function %1").arg(n->text), n->position);
            return nullptr;
        }
        if (!advance()) return nullptr; // the parenthesis
        if (tok_.kind != Tok::RParen) {
            for (;;) {
                auto a = expression();
                if (!a) return nullptr;
                n->depth = std::max(n->depth, a->depth + 1);
                n->args.push_back(std::move(a));
                if (tok_.kind != Tok::Comma)
                    break;
                if (!advance()) return nullptr;
            }
        }
        if (tok_.kind != Tok::RParen) {
            fail(QStringLiteral("A closing parenthesis is missing"), tok_.position);
            return nullptr;
        }
        const int count = int(n->args.size());
        if (count < n->fn->minArgs || count > n->fn->maxArgs) {
            fail(QStringLiteral("%1 takes %2 arguments")
                     .arg(QLatin1String(n->fn->name),
                          n->fn->minArgs == n->fn->maxArgs
                              ? QString::number(n->fn->minArgs)
                              : QStringLiteral("%1 to %2").arg(n->fn->minArgs).arg(n->fn->maxArgs)),
                 n->position);
            return nullptr;
        }
        return advance() ? std::move(n) : nullptr;
    }

    const QString &s_;
    qsizetype i_ = 0;
    Token tok_;
    int depth_ = 0;
};

std::optional<Error> checkLength(const QString &text, int maxLength) {
    if (text.size() > maxLength)
        return Error{QStringLiteral("The expression is longer than %1 characters").arg(maxLength),
                     maxLength};
    return std::nullopt;
}

} // namespace

ParsedExpression parseExpression(const QString &text, int maxLength) {
    ParsedExpression r;
    if ((r.error = checkLength(text, maxLength)))
        return r;
    Parser p(text);
    if (p.start()) {
        if (p.atEnd()) {
            p.fail(QStringLiteral("The expression is empty"), 0);
        } else {
            auto tree = p.expression();
            if (tree && !p.atEnd())
                p.fail(p.token().kind == Tok::RParen
                           ? QStringLiteral("A closing parenthesis has no opening one")
                           : QStringLiteral("An operator is expected here"),
                       p.token().position);
            else if (tree)
                r.tree = std::move(tree);
        }
    }
    r.error = p.error;
    if (r.error)
        r.tree.reset();
    return r;
}

ParsedOrder parseOrder(const QString &text, int maxLength) {
    ParsedOrder r;
    if ((r.error = checkLength(text, maxLength)))
        return r;
    Parser p(text);
    if (!p.start() || p.atEnd()) {
        r.error = p.error;
        return r;
    }
    for (;;) {
        ParsedOrderTerm term;
        if (p.token().kind == Tok::Op && (p.token().op == Op::Sub || p.token().op == Op::Add)) {
            term.descending = p.token().op == Op::Sub;
            if (!p.advance())
                break;
        }
        term.expr = p.expression();
        if (!term.expr)
            break;
        r.terms.push_back(std::move(term));
        if (p.atEnd())
            break;
        if (p.token().kind != Tok::Comma) {
            p.fail(QStringLiteral("A comma or the end is expected here"), p.token().position);
            break;
        }
        if (!p.advance())
            break;
    }
    r.error = p.error;
    if (r.error)
        r.terms.clear();
    return r;
}

QString describe(const Error &e) {
    return QStringLiteral("%1 (at character %2)").arg(e.message).arg(e.position + 1);
}

} // namespace tbk::expr
