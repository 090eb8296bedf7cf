#include "runtime/querywizard/querywizard.h"

#include "runtime/querywizard/wizardwindows.h"
#include "runtime/threads/messagebox.h"

namespace tbk {

qint32 QW_Response = 0;

void QW_WIZARD(QueryFieldQueue &queue, const QString &queryName, QString &filter,
               const std::array<qint32, 9> &) {
    QW_Response = 0;
    const std::optional<QList<qw::SavedQuery>> saved = qw::savedQueries(queryName);
    if (!saved) {
        message(qw::text(32), qw::text(31), MessageIcon::Exclamation);
        return;
    }
    qw::SavedQueryListWindow w(queue, queryName, *saved);
    w.run();
    if (!w.ran())
        return;
    filter = w.filter();
    QW_Response = 1;
}

} // namespace tbk
