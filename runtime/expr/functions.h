#pragma once
// The built-in functions of the expression language, shared by the evaluator and by the
// SQL functions registered on a connection, so that both paths compute the same values.
#include "runtime/expr/value.h"

#include <QList>
#include <QString>

namespace tbk::expr {

enum class Fn { Upper, Lower, Clip, Len, Sub, InString, Abs };

struct FunctionInfo {
    Fn id;
    const char *name;
    int minArgs;
    int maxArgs;
    Type result;
};

// The function of that name (upper case), or nullptr.
const FunctionInfo *findFunction(const QString &upperName);
// Calls a function with arguments already counted against its FunctionInfo.
Value callFunction(const FunctionInfo &f, const QList<Value> &args);

QString upperText(const QString &s);
QString lowerText(const QString &s);
// 1-based; a negative start counts from the end; out-of-range parts are cut off.
QString subText(const QString &s, qint64 start, qint64 length);
// Position (in steps of `step` from `start`) of sub in s, 0 when absent or sub is empty.
qint64 inString(const QString &sub, const QString &s, qint64 step, qint64 start);
qint64 textLength(const QString &s);

} // namespace tbk::expr
