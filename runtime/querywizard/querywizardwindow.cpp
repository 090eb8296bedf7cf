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

QueryWizardWindow::QueryWizardWindow(const QueryFieldQueue &queue, Query query)
    : Window(QStringLiteral("QueryWizard")), queue_(queue), query_(std::move(query)),
      fieldRows_(std::make_unique<TextRows>()), operationRows_(std::make_unique<TextRows>()),
      queryRows_(std::make_unique<TextRows>()) {}

QueryWizardWindow::~QueryWizardWindow() = default;

QWidget *QueryWizardWindow::createWindow() {
    WindowBuilder b(*this, text(171), {260, 190});
    b.tab(text(158));
    heading(b, 158);
    b.text(text(166));
    b.group(text(159));
    fields_ = b.list(QStringLiteral("Fields"), kFieldColumns, 100);
    b.endGroup();
    b.endTab();

    b.tab(text(164));
    heading(b, 164);
    b.text(text(168));
    b.group(text(165));
    operationList_ = b.list(QStringLiteral("Operations"), kOneColumn, 100);
    b.endGroup();
    b.endTab();

    b.tab(text(169));
    heading(b, 169);
    b.text(text(157));
    b.option(text(167), QStringLiteral("ValueKind"), {text(151), text(153), text(152)}, {},
             {int(Condition::Constant), int(Condition::OtherField), int(Condition::Expression)});
    b.entry(plain(text(151)), QStringLiteral("Value"), QStringLiteral("@s255"));
    b.lookup(plain(text(153)), QStringLiteral("OtherField"), QStringLiteral("@s40"));
    b.entry(plain(text(152)), QStringLiteral("Expression"), QStringLiteral("@s255"));
    b.check(text(161), QStringLiteral("Absolute"));
    b.check(text(162), QStringLiteral("CaseSensitive"));
    b.endTab();

    b.tab(text(154));
    heading(b, 154);
    b.text(text(155));
    b.text(text(156));
    conditions_ = b.list(QStringLiteral("Conditions"), kOneColumn, 80);
    QPushButton *andButton = button(b, 103, 101, 102);
    QPushButton *orButton = button(b, 127, 125, 126);
    change_ = button(b, 112, 110, 111);
    delete_ = button(b, 115, 113, 114);
    b.endTab();

    QPushButton *manualButton = button(b, 121, 119, 120);
    back_ = button(b, 106, 104, 105);
    next_ = button(b, 124, 122, 123);
    finish_ = button(b, 118, 116, 117);
    QPushButton *cancel = button(b, 109, 107, 108);
    QWidget *w = b.finish();
    useFont(w, 77, 78);
    hideHeadings(w);
    pages_ = w->findChild<QTabWidget *>();
    pages_->tabBar()->hide();

    for (const QueryField &f : queue_.fields)
        fieldRows_->rows.append({f.QWFLDDESC.str(), f.QWFLDNAME.str()});
    fields_->setRows(fieldRows_.get());
    operationList_->setRows(operationRows_.get());
    conditions_->setRows(queryRows_.get());

    const auto nextPage = [this] {
        switch (pages_->currentIndex()) {
        case FieldPage: fieldChosen(); break;
        case OperationPage: operationChosen(); break;
        case ValuePage: valueEntered(); break;
        default: break;
        }
    };
    on(next_, EventKind::Accepted, nextPage);
    on(fields_, EventKind::Accepted, nextPage);
    on(operationList_, EventKind::Accepted, nextPage);
    on(back_, EventKind::Accepted, [this] { back(); });
    on(finish_, EventKind::Accepted, [this] { finish(); });
    on(cancel, EventKind::Accepted, [this] { closeWindow(); });
    on(andButton, EventKind::Accepted, [this] { startCondition(Condition::And); });
    on(orButton, EventKind::Accepted, [this] { startCondition(Condition::Or); });
    on(change_, EventKind::Accepted, [this] { editCondition(conditions_->currentRow()); });
    on(conditions_, EventKind::Accepted, [this] { editCondition(conditions_->currentRow()); });
    on(delete_, EventKind::Accepted, [this] {
        const int row = conditions_->currentRow();
        if (row < 0 || row >= query_.size())
            return;
        query_.removeAt(row);
        if (!query_.isEmpty())
            query_.first().join = Condition::First;
        showQuery();
    });
    on(manualButton, EventKind::Accepted, [this] { manual(); });
    on(controls().control(QStringLiteral("ValueKind")), EventKind::Accepted, [this] { showPage(ValuePage); });
    return w;
}

bool QueryWizardWindow::openRoutine() {
    if (query_.isEmpty())
        startCondition(Condition::First);
    else
        showQuery();
    return true;
}

const QueryField *QueryWizardWindow::currentField() const { return queue_.find(condition_.field); }

void QueryWizardWindow::showPage(Page p) {
    pages_->setCurrentIndex(p);
    back_->setEnabled(p != QueryPage && (p != FieldPage || !query_.isEmpty()));
    next_->setEnabled(p != QueryPage);
    finish_->setEnabled(p == QueryPage && !query_.isEmpty());
    change_->setEnabled(!query_.isEmpty());
    delete_->setEnabled(!query_.isEmpty());
    if (p == ValuePage) {
        // Only the entry of the kind of value chosen takes input.
        const int kind = controls().value(QStringLiteral("ValueKind")).toInt();
        controls().control(QStringLiteral("Value"))->setEnabled(kind == Condition::Constant);
        controls().control(QStringLiteral("OtherField"))->setEnabled(kind == Condition::OtherField);
        controls().control(QStringLiteral("Expression"))->setEnabled(kind == Condition::Expression);
    }
}

void QueryWizardWindow::startCondition(Condition::Join join) {
    editing_ = -1;
    condition_ = Condition{};
    condition_.join = query_.isEmpty() ? Condition::First : join;
    fields_->setCurrentRow(0);
    showPage(FieldPage);
    fields_->setFocus();
}

void QueryWizardWindow::editCondition(int row) {
    if (row < 0 || row >= query_.size())
        return;
    editing_ = row;
    condition_ = query_[row];
    if (condition_.valueKind == Condition::Manual) {
        manual();
        return;
    }
    const QueryField *f = currentField();
    fields_->setCurrentRow(f ? int(f - queue_.fields.constData()) : 0);
    showPage(FieldPage);
    fields_->setFocus();
}

void QueryWizardWindow::fieldChosen() {
    const int row = fields_->currentRow();
    if (row < 0 || row >= queue_.fields.size()) {
        QApplication::beep();
        return;
    }
    const QueryField &f = queue_.fields[row];
    if (!currentField() || currentField()->QWFLDNAME.str() != f.QWFLDNAME.str()) {
        // Another field: what was chosen for the old one does not carry over.
        condition_.operation = IsEqualTo;
        condition_.valueKind = Condition::Constant;
        condition_.value.clear();
    }
    condition_.field = f.QWFLDNAME;
    operations_ = operationsFor(f);
    operationRows_->rows.clear();
    int current = 0;
    if (f.QWFLDCONTROL == QueryChoiceList) {
        for (const QString &choice : f.choices()) {
            if (condition_.operation == IsChoice && choice == condition_.value)
                current = int(operationRows_->rows.size());
            operationRows_->rows.append({choice});
            operations_.append(IsChoice);
        }
    } else {
        for (int op : std::as_const(operations_)) {
            if (op == condition_.operation)
                current = int(operationRows_->rows.size());
            operationRows_->rows.append({text(op)});
        }
    }
    refill(operationList_, current);
    showPage(OperationPage);
    operationList_->setFocus();
}

void QueryWizardWindow::operationChosen() {
    const int row = operationList_->currentRow();
    const QueryField *f = currentField();
    if (!f || row < 0 || row >= operations_.size()) {
        QApplication::beep();
        return;
    }
    condition_.operation = operations_[row];
    if (condition_.operation == IsChoice || f->QWFLDCONTROL == QueryCheckBox) {
        condition_.valueKind = Condition::Constant;
        condition_.value = condition_.operation == IsChoice ? operationRows_->rows[row].value(0) : QString();
        commit(condition_);
        return;
    }
    auto *value = qobject_cast<EntryField *>(FieldControl::of(controls().control(QStringLiteral("Value"))));
    value->setPicture(f->QWFLDPICTURE);
    auto *edit = static_cast<QLineEdit *>(value->widget());
    edit->setText(condition_.valueKind == Condition::Constant ? condition_.value : QString());
    value->commit(false);
    otherFields_.clear();
    QStringList labels;
    for (const QueryField &g : queue_.fields)
        if (g.QWFLDDATATYPE == f->QWFLDDATATYPE && g.QWFLDNAME.str() != f->QWFLDNAME.str()) {
            otherFields_.append(&g);
            labels.append(g.QWFLDDESC.str());
        }
    QWidget *other = controls().control(QStringLiteral("OtherField"));
    static_cast<LookupField *>(FieldControl::of(other))->setChoices(labels);
    const QueryField *was = condition_.valueKind == Condition::OtherField ? queue_.find(condition_.value) : nullptr;
    controls().setValue(QStringLiteral("OtherField"), was ? was->QWFLDDESC.str() : labels.value(0));
    controls().setValue(QStringLiteral("Expression"),
                        condition_.valueKind == Condition::Expression ? condition_.value : QString());
    controls().setValue(QStringLiteral("ValueKind"), int(condition_.valueKind));
    controls().setValue(QStringLiteral("Absolute"), condition_.absolute ? 1 : 0);
    controls().setValue(QStringLiteral("CaseSensitive"), condition_.caseSensitive ? 1 : 0);
    controls().control(QStringLiteral("Absolute"))->setEnabled(!f->isText());
    controls().control(QStringLiteral("CaseSensitive"))->setEnabled(f->isText());
    showPage(ValuePage);
    controls().control(QStringLiteral("Value"))->setFocus();
}

void QueryWizardWindow::valueEntered() {
    // A rejected constant does not hold up a value of another kind: it shows its last good value.
    if (controls().value(QStringLiteral("ValueKind")).toInt() != Condition::Constant) {
        FieldControl *constant = FieldControl::of(controls().control(QStringLiteral("Value")));
        constant->setValue(constant->value());
    }
    if (controls().validateAll())
        return;
    const QueryField *f = currentField();
    Condition c = condition_;
    c.valueKind = Condition::ValueKind(controls().value(QStringLiteral("ValueKind")).toInt());
    c.absolute = !f->isText() && controls().value(QStringLiteral("Absolute")).toInt() != 0;
    c.caseSensitive = f->isText() && controls().value(QStringLiteral("CaseSensitive")).toInt() != 0;
    QWidget *entry = nullptr;
    switch (c.valueKind) {
    case Condition::Constant:
        entry = controls().control(QStringLiteral("Value"));
        c.value = static_cast<QLineEdit *>(entry)->text();
        if (f->isText() && c.operation >= BeginsWith && c.operation <= DoesNotContain && c.value.isEmpty())
            entry = nullptr;   // nothing to look for: refused below
        else if (f->isText())
            c.value = c.value.left(f->QWFLDLENGTH);
        else
            c.value = c.value.trimmed();
        break;
    case Condition::OtherField: {
        entry = controls().control(QStringLiteral("OtherField"));
        auto *combo = static_cast<QComboBox *>(entry);
        // Typed or chosen, the text must name one of the fields offered.
        const int i = combo->findText(combo->currentText().trimmed(), Qt::MatchFixedString);
        if (i < 0 || i >= otherFields_.size())
            entry = nullptr;
        else
            c.value = otherFields_[i]->QWFLDNAME;
        break;
    }
    default: {
        c.value = static_cast<QLineEdit *>(controls().control(QStringLiteral("Expression")))->text().trimmed();
        // Written into the filter in parentheses, so it must stand as a whole by itself.
        const QString error = c.value.isEmpty() ? text(157) : checkFilter(queue_, c.value);
        if (!error.isEmpty()) {
            invalidQuery(error);
            selectControl(controls().control(QStringLiteral("Expression")));
            return;
        }
        entry = controls().control(QStringLiteral("Expression"));
        break;
    }
    }
    if (!entry) {
        QApplication::beep();
        selectControl(controls().control(c.valueKind == Condition::OtherField ? QStringLiteral("OtherField")
                                                                              : QStringLiteral("Value")));
        return;
    }
    if (!commit(c))
        selectControl(entry);
}

bool QueryWizardWindow::commit(const Condition &c) {
    Query q = query_;
    if (editing_ >= 0)
        q[editing_] = c;
    else
        q.append(c);
    const std::optional<QString> filter = filterText(q, queue_);
    if (!filter) {
        invalidQuery();
        return false;
    }
    if (!acceptable(queue_, *filter))
        return false;
    query_ = q;
    editing_ = -1;
    showQuery();
    return true;
}

void QueryWizardWindow::showQuery() {
    queryRows_->rows.clear();
    for (const Condition &c : std::as_const(query_))
        queryRows_->rows.append({describeCondition(c, queue_)});
    refill(conditions_, editing_ >= 0 ? editing_ : int(query_.size()) - 1);
    editing_ = -1;
    showPage(QueryPage);
    conditions_->setFocus();
}

void QueryWizardWindow::back() {
    switch (pages_->currentIndex()) {
    case FieldPage:
        if (!query_.isEmpty())
            showQuery();   // the condition begun is dropped
        break;
    case OperationPage: showPage(FieldPage); break;
    case ValuePage: showPage(OperationPage); break;
    default: break;
    }
}

void QueryWizardWindow::manual() {
    // Changing one typed condition, or typing the whole query anew.
    const bool one = editing_ >= 0 && condition_.valueKind == Condition::Manual;
    const QString now = one ? condition_.value : filterText(query_, queue_).value_or(QString());
    ManualQueryWindow w(queue_, now);
    w.run();
    if (w.accepted()) {
        Condition c;
        c.valueKind = Condition::Manual;
        c.value = w.queryText();
        if (one) {
            c.join = condition_.join;
            commit(c);
            return;
        }
        query_ = {c};
    }
    showQuery();
}

void QueryWizardWindow::finish() {
    const std::optional<QString> filter = filterText(query_, queue_);
    if (!filter) {
        invalidQuery();
        return;
    }
    if (!acceptable(queue_, *filter))
        return;
    filter_ = *filter;
    finished_ = true;
    closeWindow();
}

} // namespace tbk::qw
