#include "runtime/querywizard/savedqueries.h"

#include "runtime/data/errors.h"
#include "runtime/expr/syntax.h"
#include "runtime/querywizard/displaytexts.h"

namespace tbk::qw {

using namespace tbk::data;

namespace {

FileStructure &queryFileStructure() {
    static FileStructure s = [] {
        FileStructure st(QString::fromLatin1(kQueryWizardFileName), 1);
        st.text(QStringLiteral("QueryName"), 20)
            .text(QStringLiteral("Description"), 60)
            .text(QStringLiteral("Filter"), expr::kFilterTextSize)
            .memo(QStringLiteral("Conditions"), 16000)
            .key(QStringLiteral("KeyDescription"), QStringLiteral("QueryName,Description"), Unique);
        st.finish();
        return st;
    }();
    return s;
}

// Opens the file named by $QW:FileName for one piece of work and closes it again, so that it is
// never held open across a window's wait.
class OpenFile {
public:
    OpenFile() {
        if (!QW_FileName.empty())
            QWQ.setName(QW_FileName);
        ok_ = QWQ.open(SharedReadWrite);
        if (!ok_ && errorCode() == FileNotFound)
            ok_ = QWQ.create() && QWQ.open(SharedReadWrite);
    }
    ~OpenFile() {
        if (ok_)
            QWQ.close();
    }
    explicit operator bool() const { return ok_; }

private:
    bool ok_ = false;
};

} // namespace

SavedQueryFile::SavedQueryFile() : DataFile(QStringLiteral("QWQuery"), QStringLiteral("QWQ"), queryFileStructure()) {}

SavedQueryFile QWQ;

std::optional<QList<SavedQuery>> savedQueries(const QString &queryName) {
    OpenFile file;
    if (!file)
        return std::nullopt;
    QList<SavedQuery> list;
    QWQ.clear();
    QWQ.QueryName = queryName;
    QWQ.setFromBuffer(QWQ.KeyDescription);
    while (QWQ.next() && QWQ.QueryName.str().compare(queryName.trimmed(), Qt::CaseInsensitive) == 0) {
        SavedQuery q;
        q.position = QWQ.position();
        q.description = QWQ.Description;
        q.filter = QWQ.Filter;
        const std::optional<Query> conditions = deserialise(QWQ.Conditions);
        q.damaged = !conditions;
        q.query = conditions.value_or(Query{});
        list.append(q);
    }
    if (errorCode() != 0 && errorCode() != RecordNotAvailable)
        return std::nullopt;
    return list;
}

bool saveQuery(const QString &queryName, SavedQuery &q) {
    OpenFile file;
    if (!file)
        return false;
    const auto fill = [&] {
        QWQ.QueryName = queryName;
        QWQ.Description = q.description;
        QWQ.Filter = q.filter;
        QWQ.Conditions = serialise(q.query);
    };
    if (q.position != 0) {
        if (!QWQ.get(q.position))
            return false;
        fill();
        return QWQ.put();
    }
    QWQ.clear();
    fill();
    if (!QWQ.add())
        return false;
    q.position = QWQ.position();
    return true;
}

bool removeQuery(Position position) {
    OpenFile file;
    return file && QWQ.get(position) && QWQ.remove();
}

} // namespace tbk::qw
