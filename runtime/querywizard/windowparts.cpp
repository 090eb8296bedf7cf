#include "runtime/querywizard/windowparts.h"

#include "runtime/querywizard/wizardwindows.h"
#include "runtime/expr/syntax.h"
#include "runtime/querywizard/displaytexts.h"
#include "runtime/threads/messagebox.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"
#include "runtime/data/errors.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

namespace tbk::qw {

namespace windowparts {

QString plain(QString s) { return s.remove(QLatin1Char('&')); }

QPushButton *button(WindowBuilder &b, int textId, int tipId, int statusId) {
    QPushButton *p = b.button(text(textId), text(tipId));
    p->setStatusTip(text(statusId));
    return p;
}

void hideHeadings(QWidget *w) {
    for (ListControl *l : w->findChildren<ListControl *>())
        l->header()->hide();
}

void useFont(QWidget *w, int faceId, int sizeId) {
    const QString face = text(faceId);
    const int size = QW_DisplayText(sizeId).toInt();
    if (face.isEmpty() || size <= 0)
        return;
    QFont f = QApplication::font();
    f.setFamilies({face, QApplication::font().family()});
    f.setPointSize(size);
    w->setFont(f);
}

QLabel *heading(WindowBuilder &b, int textId) {
    QLabel *l = b.text(text(textId));
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

void refill(ListControl *list, int current) {
    list->listModel()->rowsReset();
    const int n = list->listModel()->rows()->rowCount();
    if (n > 0)
        list->setCurrentRow(qBound(0, current, n - 1));
}

const char *const kTooLong = "The query is longer than %1 characters; shorten it before going on.";

void queryTooLong() {
    message(QString::fromLatin1(kTooLong).arg(expr::kFilterTextSize), text(33), MessageIcon::Exclamation);
}

std::optional<QString> acceptable(const QueryFieldQueue &queue, const QString &filter) {
    if (filter.size() > expr::kFilterTextSize) {
        queryTooLong();
        return std::nullopt;
    }
    const QString error = checkFilter(queue, filter);
    if (filter.trimmed().isEmpty() || !error.isEmpty()) {
        invalidQuery(error);
        return std::nullopt;
    }
    return filter;
}

} // namespace windowparts

void invalidQuery(const QString &detail) {
    QString t = text(34);
    if (!detail.isEmpty())
        t += QStringLiteral("\n\n") + detail;
    message(t, text(33), MessageIcon::Exclamation);
}

bool stillValid(const SavedQuery &q, const QueryFieldQueue &queue) {
    if (q.damaged || !checkFilter(queue, q.filter).isEmpty())
        return false;
    for (const Condition &c : q.query)
        if (c.valueKind != Condition::Manual &&
            (!queue.find(c.field) || (c.valueKind == Condition::OtherField && !queue.find(c.value))))
            return false;
    return true;
}

} // namespace tbk::qw
