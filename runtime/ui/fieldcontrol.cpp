#include "runtime/ui/fieldcontrol.h"

#include "runtime/ui/dialogunits.h"
#include "runtime/ui/feedback.h"
#include "runtime/values/picture.h"
#include "runtime/values/text.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

namespace tbk {

namespace {

bool sameAsText(const QVariant &a, const QVariant &b) { return sameText(a.toString(), b.toString()); }

// The window the control is in (a document window inside the frame counts) is on show and
// not being hidden: hiding it takes the focus before it stops being visible.
bool frameShown(const QWidget *control) {
    for (const QWidget *w = control; w; w = w->parentWidget())
        if (w->isWindow() || qobject_cast<const QMdiSubWindow *>(w))
            return w->isVisible() && !w->isHidden();
    return false;
}

// Without a picture a value shows as its text.
QString shown(const QString &picture, const QVariant &value) {
    return isValidPicture(picture) ? formatPicture(picture, value) : value.toString();
}

// What the user's text means; a text that shows the present value is that value, even when
// the picture could not read it back (a number too wide shows as '#'s).
std::optional<QVariant> readText(const QString &picture, const QString &text, const QVariant &present) {
    if (text == shown(picture, present))
        return present;
    if (!isValidPicture(picture))
        return QVariant(clip(text));
    return parsePicture(picture, text);
}

// A text entry takes no more characters than its picture holds, typed or pasted, so that what
// it shows can be stored; entries of other pictures keep the line edit's own limit.
void limitToPicture(QLineEdit *edit, const QString &picture) {
    constexpr int kLineEditLimit = 32767;
    const int width = pictureTextWidth(picture);
    edit->setMaxLength(width > 0 ? width : kLineEditLimit);
}

} // namespace

FieldControl::FieldControl(QWidget *widget) : QObject(widget), widget_(widget) {}

FieldControl *FieldControl::of(const QObject *widget) {
    return widget ? widget->findChild<FieldControl *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

QString FieldControl::field() const { return widget_ ? widget_->objectName() : QString(); }

void FieldControl::setValue(const QVariant &value) {
    value_ = value;
    show(value);
}

bool FieldControl::commit(bool report) {
    if (!widget_)
        return true;
    const std::optional<QVariant> v = read();
    if (!v) {
        beep(150, 16);
        // Leaving hands the focus on before we hear of it: take it back once Qt is done.
        if (widget_->hasFocus())
            selectControl(widget_);
        else
            QTimer::singleShot(0, widget_, [w = widget_] {
                if (w)
                    selectControl(w);
            });
        return false;
    }
    if (same(*v, value_))
        return true;
    value_ = *v;
    show(value_);
    if (report)
        emit accepted();
    return true;
}

bool FieldControl::same(const QVariant &a, const QVariant &b) const { return sameAsText(a, b); }

void FieldControl::commitWhenLeft(QWidget *w) { w->installEventFilter(this); }

bool FieldControl::eventFilter(QObject *watched, QEvent *event) {
    // A popup of the control's own (its list, its context menu) does not leave it; nor does
    // its window being hidden as it closes. Another tab page being shown does.
    if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason &&
        watched == widget_ && frameShown(widget_))
        commit();
    return false;
}

// ---- entries and lookups

PicturedField::PicturedField(QWidget *widget, const QString &picture) : FieldControl(widget), picture_(picture) {}

std::optional<QVariant> PicturedField::read() {
    return readText(picture_, rewrite_ ? rewrite_(text()) : text(), value());
}

void PicturedField::show(const QVariant &value) { setText(shown(picture_, value)); }

bool PicturedField::same(const QVariant &a, const QVariant &b) const { return shown(picture_, a) == shown(picture_, b); }

EntryField::EntryField(QLineEdit *edit, const QString &picture)
    : PicturedField(edit, picture), edit_(edit), designPicture_(picture) {
    limitToPicture(edit, picture);
    commitWhenLeft(edit);
    connect(edit, &QLineEdit::returnPressed, this, [this] { commit(); });
}

void EntryField::setPicture(const QString &picture) {
    picture_ = picture;
    limitToPicture(edit_, picture);
    show(value());
    if (fitted_)
        fitWidthToPicture();
}

void EntryField::fitWidthToPicture() {
    fitted_ = true;
    edit_->setFixedWidth(DialogUnits(edit_).x(pictureUnits(picture_)));
}

QString EntryField::text() const { return edit_->text(); }

void EntryField::setText(const QString &text) {
    edit_->setText(text);
    edit_->setModified(false);
}

LookupField::LookupField(QComboBox *combo, const QString &picture) : PicturedField(combo, picture), combo_(combo) {
    combo->setEditable(true);
    // The window decides what the list holds.
    combo->setInsertPolicy(QComboBox::NoInsert);
    limitToPicture(combo->lineEdit(), picture);
    commitWhenLeft(combo);
    connect(combo, &QComboBox::activated, this, [this] { commit(); });
    connect(combo->lineEdit(), &QLineEdit::returnPressed, this, [this] { commit(); });
}

void LookupField::setChoices(const QStringList &choices) {
    combo_->clear();
    combo_->addItems(choices);
    show(value());
}

QString LookupField::text() const { return combo_->currentText(); }

void LookupField::setText(const QString &text) {
    combo_->setCurrentIndex(combo_->findText(text));
    combo_->setEditText(text);
}

// ---- spin boxes

SpinField::SpinField(QSpinBox *spin) : FieldControl(spin), spin_(spin) {
    connect(spin, &QAbstractSpinBox::editingFinished, this, [this] { commit(); });
}

std::optional<QVariant> SpinField::read() {
    spin_->interpretText();
    return QVariant(qint64(spin_->value()));
}

void SpinField::show(const QVariant &value) { spin_->setValue(int(value.toLongLong())); }

bool SpinField::same(const QVariant &a, const QVariant &b) const { return a.toLongLong() == b.toLongLong(); }

// ---- check boxes

CheckField::CheckField(QCheckBox *box, QVariant on, QVariant off)
    : FieldControl(box), box_(box), on_(std::move(on)), off_(std::move(off)) {
    connect(box, &QAbstractButton::clicked, this, [this] { commit(); });
}

std::optional<QVariant> CheckField::read() { return box_->isChecked() ? on_ : off_; }

void CheckField::show(const QVariant &value) { box_->setChecked(sameAsText(value, on_)); }

// ---- option groups

OptionField::OptionField(QGroupBox *group, const QList<QAbstractButton *> &buttons, const QVariantList &values)
    : FieldControl(group), buttons_(buttons), values_(values) {
    for (QAbstractButton *b : buttons)
        connect(b, &QAbstractButton::clicked, this, [this] { commit(); });
}

void OptionField::setStandIn(std::function<int(const QVariant &)> choice) {
    standIn_ = std::move(choice);
    show(value());
}

int OptionField::shownChoice(const QVariant &value) const {
    if (value.isNull())
        return -1;
    for (qsizetype i = 0; i < buttons_.size() && i < values_.size(); ++i)
        if (sameAsText(values_[i], value))
            return int(i);
    return standIn_ ? standIn_(value) : -1;
}

std::optional<QVariant> OptionField::read() {
    const int shown = shownChoice(value());
    for (qsizetype i = 0; i < buttons_.size() && i < values_.size(); ++i)
        if (buttons_[i]->isChecked())
            return i == shown ? value() : values_[i];
    return QVariant();
}

void OptionField::show(const QVariant &value) {
    const int shown = shownChoice(value);
    for (qsizetype i = 0; i < buttons_.size(); ++i) {
        QAbstractButton *b = buttons_[i];
        // An exclusive button cannot be unticked while it is the one ticked.
        const bool exclusive = b->autoExclusive();
        b->setAutoExclusive(false);
        b->setChecked(i == shown);
        b->setAutoExclusive(exclusive);
    }
}

// ---- memos

MemoField::MemoField(QPlainTextEdit *memo) : FieldControl(memo), memo_(memo) {
    memo->setTabChangesFocus(true);
    commitWhenLeft(memo);
}

// The editor keeps its lines apart by line feeds alone: a text held with carriage return and
// line feed gets them back, so that a memo left as it was reads as it was given.
std::optional<QVariant> MemoField::read() {
    QString text = memo_->toPlainText();
    if (value().toString().contains(QStringLiteral("\r\n")))
        text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return QVariant(text);
}

void MemoField::show(const QVariant &value) {
    const QString text = QString(value.toString()).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (memo_->toPlainText() != text)
        memo_->setPlainText(text);
}

// ----

void selectControl(QWidget *control) {
    if (!control)
        return;
    for (QWidget *w = control; w && !w->isWindow(); w = w->parentWidget()) {
        QWidget *stack = w->parentWidget();
        if (auto *tabs = qobject_cast<QTabWidget *>(stack ? stack->parentWidget() : nullptr); tabs && tabs->indexOf(w) >= 0)
            tabs->setCurrentWidget(w);
    }
    QWidget *target = control;
    if (auto *option = qobject_cast<OptionField *>(FieldControl::of(control)); option && !option->buttons().isEmpty()) {
        target = option->buttons().front();
        for (QAbstractButton *b : option->buttons())
            if (b->isChecked())
                target = b;
    }
    target->setFocus(Qt::OtherFocusReason);
    if (auto *e = qobject_cast<QLineEdit *>(target))
        e->selectAll();
    else if (auto *c = qobject_cast<QComboBox *>(target); c && c->lineEdit())
        c->lineEdit()->selectAll();
    else if (auto *s = qobject_cast<QAbstractSpinBox *>(target))
        s->selectAll();
    else if (auto *m = qobject_cast<QPlainTextEdit *>(target))
        m->selectAll();
}

} // namespace tbk
