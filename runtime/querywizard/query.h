#pragma once
// A query as the wizard builds it: conditions joined by AND and OR, each a field, an
// operation and a value, or a text the user typed by hand. From it the wizard writes the filter
// text in the expression language, over the bound field names of the caller's list.
#include "runtime/querywizard/queryfields.h"

#include <QList>
#include <QString>

#include <optional>

namespace tbk::qw {

// Operations, numbered as their display texts.
enum Operation : int {
    IsEqualTo = 1,
    IsNotEqualTo = 2,
    IsGreaterThan = 3,
    IsLessThan = 4,
    IsGreaterOrEqual = 5,
    IsLessOrEqual = 6,
    BeginsWith = 7,
    Contains = 8,
    DoesNotBeginWith = 9,
    DoesNotContain = 10,
    IsChecked = 11,
    IsNotChecked = 12,
    IsChoice = 0,   // a choice of a choice list: the condition's value is the choice
};

struct Condition {
    enum Join { First, And, Or };
    enum ValueKind { Constant, OtherField, Expression, Manual };
    Join join = First;
    QString field;             // the bound name
    int operation = IsEqualTo;
    ValueKind valueKind = Constant;
    // Constant: the text as entered with the field's picture; OtherField: its bound name;
    // Expression and Manual: the text typed.
    QString value;
    bool absolute = false;
    bool caseSensitive = false;

    bool operator==(const Condition &) const = default;
};

using Query = QList<Condition>;

// The operations a field allows: the display identifiers, or for a choice list its choices.
QList<int> operationsFor(const QueryField &f);

// The condition's part of the filter text; nullopt when its field is not in the queue or its
// value does not fit the field's picture.
std::optional<QString> conditionFilter(const Condition &c, const QueryFieldQueue &queue);
// The whole filter text; nullopt when a condition cannot be written.
std::optional<QString> filterText(const Query &q, const QueryFieldQueue &queue);
// The line the current-query page shows for a condition.
QString describeCondition(const Condition &c, const QueryFieldQueue &queue);

// What the saved-query file keeps of a query, and back (nullopt when the text is damaged).
QString serialise(const Query &q);
std::optional<Query> deserialise(const QString &text);

// A text constant of the expression language: quotes written twice, so that what a user
// typed stays a value.
QString quoted(const QString &s);

} // namespace tbk::qw
