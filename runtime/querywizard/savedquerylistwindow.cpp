#include "runtime/querywizard/wizardwindows.h"

#include "runtime/querywizard/windowparts.h"
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

using namespace windowparts;

SavedQueryListWindow::SavedQueryListWindow(const QueryFieldQueue &queue, const QString &queryName,
                                           QList<SavedQuery> saved)
    : Window(QStringLiteral("QueryWizardSaved")), queue_(queue), queryName_(queryName), saved_(std::move(saved)),
      rows_(std::make_unique<TextRows>()) {}

SavedQueryListWindow::~SavedQueryListWindow() = default;

QWidget *SavedQueryListWindow::createWindow() {
    WindowBuilder b(*this, text(171), {220, 130});
    b.group(text(202));
    list_ = b.list(QStringLiteral("SavedQueries"), kOneColumn, 100);
    b.endGroup();
    QPushButton *insertButton = button(b, 214, 212, 213);
    QPushButton *changeButton = button(b, 205, 203, 204);
    QPushButton *deleteButton = button(b, 211, 209, 210);
    QPushButton *selectButton = button(b, 217, 215, 216);
    QPushButton *close = button(b, 208, 206, 207);
    QWidget *w = b.finish();
    useFont(w, 218, 219);
    hideHeadings(w);
    list_->setRows(rows_.get());
    reload();
    on(insertButton, EventKind::Accepted, [this] { edit(SavedQuery{}, Save::Adding); });
    on(changeButton, EventKind::Accepted, [this] { change(); });
    on(deleteButton, EventKind::Accepted, [this] { remove(); });
    on(selectButton, EventKind::Accepted, [this] { select(); });
    on(list_, EventKind::Accepted, [this] { select(); });
    on(close, EventKind::Accepted, [this] { closeWindow(); });
    return w;
}

void SavedQueryListWindow::reload() {
    rows_->rows = {{text(163)}};
    for (const SavedQuery &q : std::as_const(saved_))
        rows_->rows.append({q.description});
    refill(list_, list_->currentRow());
}

const SavedQuery *SavedQueryListWindow::current() const {
    const int row = list_->currentRow();
    return row >= 1 && row <= saved_.size() ? &saved_[row - 1] : nullptr;
}

void SavedQueryListWindow::runQuery(const QString &filter) {
    filter_ = filter;
    ran_ = true;
    closeWindow();
}

void SavedQueryListWindow::select() {
    const SavedQuery *q = current();
    if (!q) {
        edit(SavedQuery{}, Save::Ask);
        return;
    }
    if (!stillValid(*q, queue_)) {
        message(text(221), text(220), MessageIcon::Exclamation);
        return;
    }
    runQuery(q->filter);
}

void SavedQueryListWindow::change() {
    const SavedQuery *q = current();
    if (!q) {
        edit(SavedQuery{}, Save::Adding);
        return;
    }
    if (!stillValid(*q, queue_))
        message(text(38), text(37), MessageIcon::Exclamation);
    edit(*q, Save::Changing);
}

void SavedQueryListWindow::remove() {
    const SavedQuery *q = current();
    if (!q) {
        QApplication::beep();
        return;
    }
    if (message(q->description, text(234), MessageIcon::Question, ButtonYes | ButtonNo, ButtonNo) != ButtonYes)
        return;
    if (!removeQuery(q->position)) {
        message(text(32) + QStringLiteral("\n\n") + data::errorText(), text(31), MessageIcon::Exclamation);
        return;
    }
    saved_.removeAt(list_->currentRow() - 1);
    reload();
}

bool SavedQueryListWindow::edit(SavedQuery q, Save save) {
    for (;;) {
        QueryWizardWindow w(queue_, q.query);
        w.run();
        if (!w.finished())
            return false;
        q.query = w.query();
        q.filter = w.filter();
        if (save == Save::Ask &&
            message(text(42), text(41), MessageIcon::Question, ButtonYes | ButtonNo) != ButtonYes)
            break;
        if (saveWithDescription(q, save != Save::Changing))
            break;
    }
    runQuery(q.filter);
    return true;
}

bool SavedQueryListWindow::saveWithDescription(SavedQuery &q, bool adding) {
    for (;;) {
        QueryDescriptionWindow d(adding, q.description);
        d.run();
        if (!d.accepted())
            return false;
        // Another query of that description is replaced only when the user says so.
        qsizetype same = -1;
        for (qsizetype i = 0; i < saved_.size(); ++i)
            if (saved_[i].position != q.position &&
                saved_[i].description.compare(d.description(), Qt::CaseInsensitive) == 0)
                same = i;
        if (same >= 0 &&
            message(text(36), text(35), MessageIcon::Question, ButtonYes | ButtonNo, ButtonNo) != ButtonYes)
            continue;
        const data::Position old = q.position;
        q.description = d.description();
        if (same >= 0) {
            q.position = saved_[same].position;
            if (old != 0 && !removeQuery(old))
                q.position = old;
        }
        if (!saveQuery(queryName_, q)) {
            q.position = old;
            message(data::errorText(), text(41), MessageIcon::Exclamation);
            continue;
        }
        return true;
    }
}

} // namespace tbk::qw
