#pragma once
// The wizard's field queue: one entry per field a caller lets its users query, filled from the
// caller's field-list text, and the names a query may use, resolved from it.
#include "runtime/expr/binding.h"
#include "runtime/values/text.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tbk {

// Kinds of value (part 6) and of entry (part 7) of a field-list record.
enum QueryValueKind : quint8 { QueryText = 1, QueryNumber = 2 };
enum QueryEntryKind : quint8 { QueryPlainEntry = 1, QueryCheckBox = 2, QueryChoiceList = 3 };

struct QueryField {
    FixedString<40> QWFLDDESC;
    qint16 QWFLDQPOINTER = 0;
    qint16 QWFLDFIELDPOINTER = 0;     // its place in the list, from 1
    quint8 QWFLDFIELDTYPE = 0;        // QueryEntryKind
    FixedString<60> QWFLDNAME;
    FixedString<20> QWFLDPICTURE;
    quint16 QWFLDLENGTH = 0;
    quint8 QWFLDDATATYPE = 0;         // QueryValueKind
    quint8 QWFLDCONTROL = 0;          // QueryEntryKind
    FixedString<40> QWFLDLOOKUP;
    FixedString<255> QWFLDOPTIONS;    // check box text, or the choices separated by "|"

    bool isText() const { return QWFLDDATATYPE == QueryText; }
    QStringList choices() const;
};

class QueryFieldQueue {
public:
    QList<QueryField> fields;
    QString queryName;   // set by QW_INITFIELDSQUEUE
    bool initialised = false;

    void clear() { *this = QueryFieldQueue{}; }
    // By bound name, case-blind; null when the list has no such field.
    const QueryField *find(const QString &name) const;
};

// Separators of the field-list text.
inline constexpr QChar kQueryRecordSeparator{0xAB};
inline constexpr QChar kQueryPartSeparator{0xA6};

// Error numbers QW_ADDFIELDSQUEUEDATA leaves; the records before the bad one stay queued.
enum QueryFieldListError : qint32 {
    QueryFieldListOk = 0,
    QueryFieldListPartCount = 1,    // a record without exactly ten parts
    QueryFieldListBlankName = 2,
    QueryFieldListBadLength = 3,
    QueryFieldListBadValueKind = 4,
    QueryFieldListBadEntryKind = 5,
    QueryFieldListBadPicture = 6,
    QueryFieldListNoChoices = 7,    // a choice list without choices
    QueryFieldListUnterminated = 8, // the text does not end with a record separator
};

// Adds one queue entry per record of the text; `error` is 0 on success.
void QW_ADDFIELDSQUEUEDATA(QueryFieldQueue &queue, qint32 &error, const QString &fieldList);
// Prepares the filled queue for the query name (the saved queries are kept per name).
void QW_INITFIELDSQUEUE(QueryFieldQueue &queue, const QString &queryName);

namespace qw {

// The queue's field names, typed by their kind of value, for checking a query's text. A name
// outside the list is unknown, so a query naming a field the list no longer has is refused.
class QueueNames : public expr::Resolver {
public:
    explicit QueueNames(const QueryFieldQueue &queue) : queue_(queue) {}
    std::optional<expr::Binding> resolve(const QString &name) const override;

private:
    const QueryFieldQueue &queue_;
};

// Compiles the text over the queue's names; the error's description, or empty when it is good.
QString checkFilter(const QueryFieldQueue &queue, const QString &text);

} // namespace qw
} // namespace tbk
