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

class TextRows : public ListRows {
public:
    QList<QStringList> rows;
    int rowCount() const override { return int(rows.size()); }
    QVariant field(int row, int field) const override { return rows.value(row).value(field - 1); }
};

namespace {

const QString kOneColumn = QStringLiteral("240L(2)|M@s255@");
const QString kFieldColumns = QStringLiteral("140L(2)|M~~@s40@100L(2)|M~~@s60@");

QString plain(QString s) { return s.remove(QLatin1Char('&')); }

// A button with its text, tooltip and status text, all display texts.
QPushButton *button(WindowBuilder &b, int textId, int tipId, int statusId) {
    QPushButton *p = b.button(text(textId), text(tipId));
    p->setStatusTip(text(statusId));
    return p;
}

// The window's typeface and size as the display texts give them.
// The wizard's lists have no column headings to show.
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

// The text a query may be run with: its size and its names checked. Empty when refused (the
// user was told why).
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

} // namespace

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

// ---------------------------------------------------------------- the wizard's pages

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

// ---------------------------------------------------------------- manual entry

ManualQueryWindow::ManualQueryWindow(const QueryFieldQueue &queue, QString text)
    : Window(QStringLiteral("QueryWizardManual")), queue_(queue), text_(std::move(text)) {}

QWidget *ManualQueryWindow::createWindow() {
    WindowBuilder b(*this, qw::text(120), {260, 110});
    b.group(qw::text(160));
    b.memo({}, QStringLiteral("QueryText"), 60, qw::text(119));
    b.endGroup();
    QPushButton *ok = b.button(qw::text(242));
    QPushButton *cancel = b.button(qw::text(109), qw::text(107));
    QWidget *w = b.finish();
    useFont(w, 77, 78);
    on(ok, EventKind::Accepted, [this] {
        controls().validateAll();
        const QString t = controls().value(QStringLiteral("QueryText")).toString().trimmed();
        if (!acceptable(queue_, t)) {
            selectControl(controls().control(QStringLiteral("QueryText")));
            return;
        }
        text_ = t;
        accepted_ = true;
        closeWindow();
    });
    on(cancel, EventKind::Accepted, [this] { closeWindow(); });
    return w;
}

bool ManualQueryWindow::openRoutine() {
    controls().setValue(QStringLiteral("QueryText"), text_);
    controls().control(QStringLiteral("QueryText"))->setFocus();
    return true;
}

// ---------------------------------------------------------------- the description

QueryDescriptionWindow::QueryDescriptionWindow(bool adding, QString description)
    : Window(QStringLiteral("QueryWizardDescription")), adding_(adding), description_(std::move(description)) {}

QWidget *QueryDescriptionWindow::createWindow() {
    WindowBuilder b(*this, text(adding_ ? 235 : 233), {220, 60});
    b.text(text(adding_ ? 232 : 231));
    QLineEdit *entry = b.entry(text(236), QStringLiteral("Description"), QStringLiteral("@s60"));
    QPushButton *ok = button(b, 242, 240, 241);
    QPushButton *cancel = button(b, 239, 237, 238);
    ok->setDefault(true);
    QWidget *w = b.finish();
    useFont(w, 243, 244);
    setCheck(entry, [entry] { return entry->text().trimmed().isEmpty() ? 1 : 0; });
    on(ok, EventKind::Accepted, [this] {
        if (controls().validateAll())
            return;
        description_ = controls().value(QStringLiteral("Description")).toString().trimmed();
        accepted_ = true;
        closeWindow();
    });
    on(cancel, EventKind::Accepted, [this] { closeWindow(); });
    return w;
}

bool QueryDescriptionWindow::openRoutine() {
    controls().setValue(QStringLiteral("Description"), description_);
    selectControl(controls().control(QStringLiteral("Description")));
    return true;
}

// ---------------------------------------------------------------- the saved queries

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
