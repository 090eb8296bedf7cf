#pragma once
// Syntax of filter and order expressions:
//   names        MUS:Artist, BRW1::Sort3:Reset:MED:Media, ThreadInstance (case-blind)
//   constants    'text' (a quote inside is written twice), 120, 3.5
//   operators    OR < AND < NOT (also ~) < comparison < & < + - < * / % < unary - +
//   comparison   =  <> ~=  <  >  <= =<  >= =>  ~< (not less)  ~> (not greater)
//   functions    UPPER LOWER CLIP LEN SUB(s,start,len) INSTRING(sub,s[,step[,start]]) ABS
// An order is a comma-separated list of terms, each an expression, "-" in front for descending.
#include "runtime/expr/functions.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace tbk::expr {

// Size of a filter text as windows and the query wizard keep it.
constexpr int kFilterTextSize = 1024;
// A sort filter and a query filter joined stay well below this.
constexpr int kMaxExpressionLength = 4 * kFilterTextSize;
// Deeper nesting than this is refused rather than risking the stack.
constexpr int kMaxNesting = 64;
// Bound on the tree built from chains such as a+b+c+..., which evaluation walks recursively.
constexpr int kMaxTreeDepth = 400;

struct Error {
    QString message;
    int position = 0; // 0-based offset in the text
};

enum class Op { Or, And, Eq, Ne, Lt, Gt, Le, Ge, Concat, Add, Sub, Mul, Div, Mod };

struct Node {
    enum Kind { Number, Text, Name, Call, Neg, Not, Binary };
    Kind kind = Number;
    Op op = Op::Or;
    double number = 0;
    QString text;                   // literal text, or the name as written
    const FunctionInfo *fn = nullptr;
    std::vector<std::unique_ptr<Node>> args;
    int position = 0;
    int depth = 1;
};

struct ParsedExpression {
    std::unique_ptr<Node> tree;
    std::optional<Error> error;
};

struct ParsedOrderTerm {
    bool descending = false;
    std::unique_ptr<Node> expr;
};

struct ParsedOrder {
    std::vector<ParsedOrderTerm> terms;
    std::optional<Error> error;
};

ParsedExpression parseExpression(const QString &text, int maxLength = kMaxExpressionLength);
ParsedOrder parseOrder(const QString &text, int maxLength = kMaxExpressionLength);

// Text a user or a report sees: the message with the position, counted from 1.
QString describe(const Error &e);

} // namespace tbk::expr
