#include "runtime/querywizard/query.h"

#include "runtime/expr/functions.h"
#include "runtime/expr/value.h"
#include "runtime/querywizard/displaytexts.h"
#include "runtime/values/picture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tbk::qw {

QString quoted(const QString &s) {
    QString r = s;
    r.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + r + QLatin1Char('\'');
}

QList<int> operationsFor(const QueryField &f) {
    if (f.QWFLDCONTROL == QueryCheckBox)
        return {IsChecked, IsNotChecked};
    if (f.QWFLDCONTROL == QueryChoiceList)
        return {};
    if (f.isText())
        return {IsEqualTo, IsNotEqualTo, IsGreaterThan, IsLessThan, IsGreaterOrEqual, IsLessOrEqual,
                BeginsWith, DoesNotBeginWith, Contains, DoesNotContain};
    return {IsEqualTo, IsNotEqualTo, IsGreaterThan, IsLessThan, IsGreaterOrEqual, IsLessOrEqual};
}

namespace {

const char *comparison(int op) {
    switch (op) {
    case IsNotEqualTo: return "<>";
    case IsGreaterThan: return ">";
    case IsLessThan: return "<";
    case IsGreaterOrEqual: return ">=";
    case IsLessOrEqual: return "<=";
    default: return "=";
    }
}

// The value side as an expression, before any UPPER or ABS.
std::optional<QString> valueTerm(const Condition &c, const QueryField &f, const QueryFieldQueue &queue,
                                 bool foldCase) {
    switch (c.valueKind) {
    case Condition::OtherField:
        if (!queue.find(c.value))
            return std::nullopt;
        return c.value.trimmed();
    case Condition::Expression:
        return QLatin1Char('(') + c.value + QLatin1Char(')');
    case Condition::Manual:
        return std::nullopt;
    case Condition::Constant:
        break;
    }
    if (f.isText()) {
        // Folded here rather than in the filter, so that the text stays a plain constant.
        const QString v = foldCase ? expr::upperText(c.value) : c.value;
        return quoted(v);
    }
    const std::optional<QVariant> n = parsePicture(f.QWFLDPICTURE, c.value);
    if (!n)
        return std::nullopt;
    return expr::formatNumber(n->toDouble());
}

} // namespace

std::optional<QString> conditionFilter(const Condition &c, const QueryFieldQueue &queue) {
    if (c.valueKind == Condition::Manual)
        return QLatin1Char('(') + c.value + QLatin1Char(')');
    const QueryField *f = queue.find(c.field);
    if (!f)
        return std::nullopt;
    const QString name = f->QWFLDNAME.str();
    if (f->QWFLDCONTROL == QueryCheckBox)
        return name + (c.operation == IsNotChecked ? QStringLiteral(" = 0") : QStringLiteral(" <> 0"));
    if (f->QWFLDCONTROL == QueryChoiceList)
        return QStringLiteral("UPPER(%1) = %2").arg(name, quoted(expr::upperText(c.value)));

    const bool foldCase = f->isText() && !c.caseSensitive;
    std::optional<QString> v = valueTerm(c, *f, queue, foldCase);
    if (!v)
        return std::nullopt;
    QString field = name;
    if (foldCase) {
        field = QStringLiteral("UPPER(%1)").arg(field);
        if (c.valueKind != Condition::Constant)
            v = QStringLiteral("UPPER(%1)").arg(*v);
    }
    if (!f->isText() && c.absolute) {
        field = QStringLiteral("ABS(%1)").arg(field);
        v = QStringLiteral("ABS(%1)").arg(*v);
    }
    const QString find = QStringLiteral("INSTRING(%1, %2, 1, 1)").arg(*v, field);
    switch (c.operation) {
    case BeginsWith: return find + QStringLiteral(" = 1");
    case DoesNotBeginWith: return find + QStringLiteral(" <> 1");
    case Contains: return find + QStringLiteral(" <> 0");
    case DoesNotContain: return find + QStringLiteral(" = 0");
    default: return QStringLiteral("%1 %2 %3").arg(field, QLatin1String(comparison(c.operation)), *v);
    }
}

std::optional<QString> filterText(const Query &q, const QueryFieldQueue &queue) {
    QString text;
    for (const Condition &c : q) {
        const std::optional<QString> part = conditionFilter(c, queue);
        if (!part)
            return std::nullopt;
        if (!text.isEmpty())
            text += c.join == Condition::Or ? QStringLiteral(" OR ") : QStringLiteral(" AND ");
        text += *part;
    }
    return text;
}

QString describeCondition(const Condition &c, const QueryFieldQueue &queue) {
    QString line;
    if (c.join != Condition::First)
        line = text(c.join == Condition::Or ? 127 : 103) + QLatin1Char(' ');
    if (c.valueKind == Condition::Manual)
        return line + QLatin1Char('(') + c.value + QLatin1Char(')');
    const QueryField *f = queue.find(c.field);
    const auto label = [&queue](const QString &name) {
        const QueryField *g = queue.find(name);
        return g ? g->QWFLDDESC.str() : name;
    };
    line += f ? f->QWFLDDESC.str() : c.field;
    if (c.operation == IsChoice)
        return line + QStringLiteral(" = ") + c.value;
    line += QLatin1Char(' ') + text(c.operation);
    if (c.operation == IsChecked || c.operation == IsNotChecked)
        return line;
    switch (c.valueKind) {
    case Condition::OtherField: return line + QLatin1Char(' ') + label(c.value);
    case Condition::Expression: return line + QStringLiteral(" (") + c.value + QLatin1Char(')');
    default: return line + QLatin1Char(' ') + (f && f->isText() ? quoted(c.value) : c.value);
    }
}

QString serialise(const Query &q) {
    QJsonArray a;
    for (const Condition &c : q)
        a.append(QJsonObject{{QStringLiteral("join"), int(c.join)},
                             {QStringLiteral("field"), c.field},
                             {QStringLiteral("operation"), c.operation},
                             {QStringLiteral("kind"), int(c.valueKind)},
                             {QStringLiteral("value"), c.value},
                             {QStringLiteral("absolute"), c.absolute},
                             {QStringLiteral("case"), c.caseSensitive}});
    return QString::fromUtf8(QJsonDocument(a).toJson(QJsonDocument::Compact));
}

std::optional<Query> deserialise(const QString &text) {
    QJsonParseError error;
    const QJsonDocument d = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !d.isArray())
        return std::nullopt;
    Query q;
    for (const QJsonValue &v : d.array()) {
        const QJsonObject o = v.toObject();
        Condition c;
        const int join = o.value(QStringLiteral("join")).toInt(-1);
        const int kind = o.value(QStringLiteral("kind")).toInt(-1);
        const int op = o.value(QStringLiteral("operation")).toInt(-1);
        if (join < Condition::First || join > Condition::Or || kind < Condition::Constant ||
            kind > Condition::Manual || op < IsChoice || op > IsNotChecked)
            return std::nullopt;
        c.join = Condition::Join(join);
        c.valueKind = Condition::ValueKind(kind);
        c.operation = op;
        c.field = o.value(QStringLiteral("field")).toString();
        c.value = o.value(QStringLiteral("value")).toString();
        c.absolute = o.value(QStringLiteral("absolute")).toBool();
        c.caseSensitive = o.value(QStringLiteral("case")).toBool();
        q.append(c);
    }
    return q;
}

} // namespace tbk::qw
