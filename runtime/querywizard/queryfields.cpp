#include "runtime/querywizard/queryfields.h"

#include "runtime/expr/compile.h"
#include "runtime/values/picture.h"

namespace tbk {

QStringList QueryField::choices() const {
    return QWFLDOPTIONS.str().split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

const QueryField *QueryFieldQueue::find(const QString &name) const {
    for (const QueryField &f : fields)
        if (f.QWFLDNAME == name.trimmed())
            return &f;
    return nullptr;
}

namespace {

// The entry of one record, or the error number that refuses it.
qint32 parseRecord(const QString &record, QueryField &f) {
    const QStringList parts = record.split(kQueryPartSeparator);
    if (parts.size() != 10)
        return QueryFieldListPartCount;
    const QString name = parts[2].trimmed();
    if (name.isEmpty())
        return QueryFieldListBlankName;
    bool ok = false;
    const uint length = parts[4].trimmed().toUInt(&ok);
    if (!ok || length == 0 || length > 0xFFFF)
        return QueryFieldListBadLength;
    const uint value = parts[5].trimmed().toUInt(&ok);
    if (!ok || (value != QueryText && value != QueryNumber))
        return QueryFieldListBadValueKind;
    const uint entry = parts[6].trimmed().toUInt(&ok);
    if (!ok || entry < QueryPlainEntry || entry > QueryChoiceList)
        return QueryFieldListBadEntryKind;
    const QString picture = parts[3].trimmed();
    if (!isValidPicture(picture))
        return QueryFieldListBadPicture;
    f.QWFLDDESC = parts[0].trimmed();
    f.QWFLDQPOINTER = qint16(parts[1].trimmed().toInt());
    f.QWFLDNAME = name;
    f.QWFLDPICTURE = picture;
    f.QWFLDLENGTH = quint16(length);
    f.QWFLDDATATYPE = quint8(value);
    f.QWFLDFIELDTYPE = f.QWFLDCONTROL = quint8(entry);
    f.QWFLDLOOKUP = parts[7];
    f.QWFLDOPTIONS = parts[8];
    if (entry == QueryChoiceList && f.choices().isEmpty())
        return QueryFieldListNoChoices;
    return QueryFieldListOk;
}

} // namespace

void QW_ADDFIELDSQUEUEDATA(QueryFieldQueue &queue, qint32 &error, const QString &fieldList) {
    error = QueryFieldListOk;
    QStringList records = fieldList.split(kQueryRecordSeparator);
    // What follows the last separator is an unfinished record (empty in a good text).
    const QString tail = records.takeLast();
    for (const QString &record : std::as_const(records)) {
        QueryField f;
        error = parseRecord(record, f);
        if (error != QueryFieldListOk)
            return;
        f.QWFLDFIELDPOINTER = qint16(queue.fields.size() + 1);
        queue.fields.append(f);
    }
    if (!tail.trimmed().isEmpty())
        error = QueryFieldListUnterminated;
}

void QW_INITFIELDSQUEUE(QueryFieldQueue &queue, const QString &queryName) {
    queue.queryName = queryName.trimmed();
    queue.initialised = true;
}

namespace qw {

std::optional<expr::Binding> QueueNames::resolve(const QString &name) const {
    const QueryField *f = queue_.find(name);
    if (!f)
        return std::nullopt;
    expr::Binding b;
    b.type = f->isText() ? expr::Type::Text : expr::Type::Number;
    b.get = [text = f->isText()] { return text ? expr::Value(QString()) : expr::Value(0); };
    b.perRow = true;
    return b;
}

QString checkFilter(const QueryFieldQueue &queue, const QString &text) {
    const QueueNames names(queue);
    std::optional<expr::Error> error;
    expr::Expression::compile(text, names, error);
    return error ? expr::describe(*error) : QString();
}

} // namespace qw
} // namespace tbk
