#include "runtime/querywizard/displaytexts.h"

#include <QHash>

namespace tbk {

FixedString<12> QW_FileName;

namespace {

struct DisplayTexts {
    QHash<qint32, QVariant> byId;
    QList<QPair<qint32, QVariant>> calls;
};

DisplayTexts &texts() {
    static DisplayTexts t;
    return t;
}

} // namespace

void QW_SETDISPLAYTEXT(qint32 id, const QVariant &value) {
    texts().byId.insert(id, value);
    texts().calls.append({id, value});
}

QVariant QW_DisplayText(qint32 id) { return texts().byId.value(id); }

const QList<QPair<qint32, QVariant>> &QW_DisplayTextCalls() { return texts().calls; }

void QW_ResetDisplayTexts() { texts() = DisplayTexts{}; }

} // namespace tbk

namespace tbk::qw {

QString text(qint32 id) {
    QString t = QW_DisplayText(id).toString();
    return t.replace(QLatin1Char('|'), QLatin1Char('\n'));
}

} // namespace tbk::qw
