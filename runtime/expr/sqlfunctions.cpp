#include "runtime/expr/sqlfunctions.h"

#include "runtime/expr/functions.h"
#include "runtime/values/text.h"

#include <sqlite3.h>

#include <cmath>

namespace tbk::expr {

namespace {

Value fromSql(sqlite3_value *v) {
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return Value(double(sqlite3_value_int64(v)));
    case SQLITE_FLOAT: return Value(sqlite3_value_double(v));
    case SQLITE_NULL: return Value(QString());
    default: {
        const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(v));
        return Value(QString::fromUtf8(p, sqlite3_value_bytes(v)));
    }
    }
}

void resultNumber(sqlite3_context *ctx, double d) {
    if (const std::optional<qint64> n = wholeNumber(d))
        sqlite3_result_int64(ctx, *n);
    else
        sqlite3_result_double(ctx, d);
}

void resultText(sqlite3_context *ctx, const QString &s) {
    const QByteArray u = s.toUtf8();
    sqlite3_result_text(ctx, u.constData(), int(u.size()), SQLITE_TRANSIENT);
}

void result(sqlite3_context *ctx, const Value &v) {
    if (v.isText())
        resultText(ctx, v.text());
    else
        resultNumber(ctx, v.number());
}

void callBuiltin(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    const auto *f = static_cast<const FunctionInfo *>(sqlite3_user_data(ctx));
    QList<Value> args;
    for (int i = 0; i < argc; ++i)
        args.append(fromSql(argv[i]));
    result(ctx, callFunction(*f, args));
}

// The common case of a whole column in plain ASCII needs no trip through QString.
void upperFast(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
        const auto *p = sqlite3_value_text(argv[0]);
        const int n = sqlite3_value_bytes(argv[0]);
        bool ascii = true;
        for (int i = 0; i < n && ascii; ++i)
            ascii = p[i] < 0x80;
        if (ascii) {
            char stack[256];
            QByteArray heap;
            char *out = stack;
            if (n > int(sizeof stack)) {
                heap.resize(n);
                out = heap.data();
            }
            for (int i = 0; i < n; ++i)
                out[i] = (p[i] >= 'a' && p[i] <= 'z') ? char(p[i] - 32) : char(p[i]);
            sqlite3_result_text(ctx, out, n, SQLITE_TRANSIENT);
            return;
        }
    }
    callBuiltin(ctx, argc, argv);
}

void num(sqlite3_context *ctx, int, sqlite3_value **argv) {
    resultNumber(ctx, fromSql(argv[0]).number());
}

void text(sqlite3_context *ctx, int, sqlite3_value **argv) {
    resultText(ctx, fromSql(argv[0]).text());
}

void cmp(sqlite3_context *ctx, int, sqlite3_value **argv) {
    sqlite3_result_int(ctx, compareValues(fromSql(argv[0]), fromSql(argv[1])));
}

void div(sqlite3_context *ctx, int, sqlite3_value **argv) {
    const double x = fromSql(argv[0]).number(), y = fromSql(argv[1]).number();
    resultNumber(ctx, y == 0 ? 0.0 : x / y);
}

void mod(sqlite3_context *ctx, int, sqlite3_value **argv) {
    const double x = fromSql(argv[0]).number(), y = fromSql(argv[1]).number();
    resultNumber(ctx, y == 0 ? 0.0 : std::fmod(x, y));
}

} // namespace

int registerSqlFunctions(sqlite3 *db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    struct Builtin {
        const char *sqlName;
        const char *name;
    };
    static const Builtin builtins[] = {
        {"tbk_upper", "UPPER"}, {"tbk_lower", "LOWER"}, {"tbk_clip", "CLIP"}, {"tbk_len", "LEN"},
        {"tbk_sub", "SUB"},     {"tbk_instring", "INSTRING"}, {"tbk_abs", "ABS"},
    };
    for (const Builtin &b : builtins) {
        const FunctionInfo *f = findFunction(QLatin1String(b.name));
        for (int n = f->minArgs; n <= f->maxArgs; ++n) {
            auto fn = f->id == Fn::Upper ? upperFast : callBuiltin;
            const int rc = sqlite3_create_function_v2(db, b.sqlName, n, flags,
                                                      const_cast<FunctionInfo *>(f), fn, nullptr,
                                                      nullptr, nullptr);
            if (rc != SQLITE_OK)
                return rc;
        }
    }
    struct Plain {
        const char *name;
        int args;
        void (*fn)(sqlite3_context *, int, sqlite3_value **);
    };
    static const Plain plain[] = {
        {"tbk_num", 1, num}, {"tbk_text", 1, text}, {"tbk_cmp", 2, cmp},
        {"tbk_div", 2, div}, {"tbk_mod", 2, mod},
    };
    for (const Plain &p : plain) {
        const int rc = sqlite3_create_function_v2(db, p.name, p.args, flags, nullptr, p.fn, nullptr,
                                                  nullptr, nullptr);
        if (rc != SQLITE_OK)
            return rc;
    }
    return SQLITE_OK;
}

int bindParams(sqlite3_stmt *stmt, int first, const std::vector<Value> &params) {
    int i = first;
    for (const Value &v : params) {
        int rc;
        if (v.isText()) {
            const QByteArray u = v.text().toUtf8();
            rc = sqlite3_bind_text(stmt, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        } else {
            const double d = v.number();
            const std::optional<qint64> n = wholeNumber(d);
            rc = n ? sqlite3_bind_int64(stmt, i, *n) : sqlite3_bind_double(stmt, i, d);
        }
        if (rc != SQLITE_OK)
            return rc;
        ++i;
    }
    return SQLITE_OK;
}

} // namespace tbk::expr
