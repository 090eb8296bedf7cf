#include "records/form.h"

#include "core/programsettings.h"
#include "runtime/ui/browsetoolbar.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowevents.h"

#include <QApplication>
#include <QPushButton>
#include <QWidget>

namespace tbk {

Form::Form(QString procedureName, FormFile file, std::vector<data::DataFile *> otherFiles)
    : Window(std::move(procedureName)), record_(std::move(file), std::move(otherFiles)) {}

Form::~Form() {
    try {
        finishCall();
    } catch (...) {
        // Nothing may leave a destructor, the unwinding of a halt included.
    }
}

void Form::finishCall() {
    record_.close();
    call_.setResponse(record_.response());
}

QWidget *Form::createWindow() {
    const FormRecord::Next next =
        record_.open(call_.request(), [this] { primeFields(); }, [this] { primeFurther(); });
    if (next != FormRecord::Next::OpenWindow) {
        finishCall();
        return nullptr;
    }
    QWidget *w = createForm();
    if (!w) {
        finishCall();
        return nullptr;
    }
    w->setWindowTitle(QString::fromLatin1(record_.inserting() ? kAddingTitle : kChangingTitle));
    if (!ok_)
        ok_ = qobject_cast<QPushButton *>(controls().control(QStringLiteral("OK")));
    if (!cancel_)
        cancel_ = qobject_cast<QPushButton *>(controls().control(QStringLiteral("Cancel")));
    if (ok_)
        on(ok_, EventKind::Accepted, [this] { okPressed(); });
    if (cancel_)
        on(cancel_, EventKind::Accepted, [this] { cancelPressed(); });
    // Every accepted value goes to the working copy at once, so that what the form writes and
    // what a refresh shows are the same.
    for (QWidget *c : controls().controls())
        if (FieldControl *f = FieldControl::of(c))
            QObject::connect(f, &FieldControl::accepted, w, [this, f] { record_.setValue(f->field(), f->value()); });
    return w;
}

void Form::setFormButtons(QPushButton *ok, QPushButton *cancel) {
    ok_ = ok;
    cancel_ = cancel;
}

void Form::useDitto(DittoStore &store, int key, QStringList fields) {
    ditto_ = &store;
    dittoFields_ = std::move(fields);
    dittoKey_ = QKeyCombination(Qt::ControlModifier, Qt::Key(key)).toCombined();
    record_.setDitto(&store);
}

bool Form::openRoutine() {
    controls().useDateFormat(DateFormat.str());
    alertKey(nullptr, Qt::Key_Escape);
    if (ditto_) {
        alertKey(nullptr, dittoKey_);
        setToolbarState(ToolbarState().enable(ToolbarHistory));
    }
    formOpened();
    loadControls();
    refresh();
    selectOnOpening();
    return true;
}

void Form::loadControls(bool keepFocused) {
    const QWidget *focused = keepFocused && widget() ? widget()->focusWidget() : nullptr;
    for (QWidget *c : controls().controls()) {
        FieldControl *f = FieldControl::of(c);
        if (!f || c == focused || (focused && c->isAncestorOf(focused)))
            continue;
        const QVariant v = record_.value(f->field());
        if (v.isValid())
            f->setValue(v);
    }
}

void Form::storeControls() {
    controls().store([this](const QString &field, const QVariant &value) { record_.setValue(field, value); });
}

bool Form::takePendingEdits() {
    for (QWidget *c : controls().controls()) {
        FieldControl *f = FieldControl::of(c);
        if (!f)
            continue;
        if (!f->commit(false)) {
            selectControl(c);
            return false;
        }
        record_.setValue(f->field(), f->value());
    }
    return true;
}

void Form::selectFirstField() {
    for (QWidget *c : controls().controls())
        if (FieldControl::of(c) && c->isEnabled()) {
            selectControl(c);
            return;
        }
}

void Form::refresh() {
    if (controls().validating())
        return;
    loadControls(true);
    refreshDisplay();
}

void Form::okPressed() {
    if (controls().validateAll())
        return;
    storeControls();
    const FormRecord::Next next = record_.complete();
    if (next == FormRecord::Next::Close && record_.response() == RequestCompleted)
        completed();
    act(next);
}

void Form::cancelPressed() {
    record_.cancel();
    closeWindow();
}

void Form::holdList(const HeldList &held) {
    ListControl *control = held.list->control();
    for (EventKind kind : {EventKind::Scroll, EventKind::NewSelection})
        on(control, kind, [list = held.list](const Event &e) { list->takeEvent(e); });
    on(control, EventKind::AlertKey, [this, held](const Event &e) {
        if (!e.text.isEmpty()) {
            held.list->typeLocator(e.text);
            return;
        }
        // Escape and the form's own keys are alerted on every control, the list included.
        if (QPushButton *b = listKeyButton(e, held.list->empty(), held.add, held.change, held.remove))
            held.press(b);
        else
            takeEvent(e);
    });
    on(control, EventKind::MouseRightUp, [held] {
        if (const ListPopupItem *item = listPopupChoice(held.popup))
            held.press(item->button);
    });
    for (int key : listButtonKeys())
        alertKey(control, key);
    alertTyping(control);
    for (QPushButton *b : held.buttons)
        on(b, EventKind::Accepted, [press = held.press, b] { press(b); });
}

void Form::act(FormRecord::Next next) {
    switch (next) {
    case FormRecord::Next::Close:
        closeWindow();
        break;
    case FormRecord::Next::Reload:
        loadControls();
        selectFirstField();
        break;
    case FormRecord::Next::SelectFirst:
        selectFirstField();
        break;
    case FormRecord::Next::OpenWindow:
    case FormRecord::Next::Stay:
        break;
    }
}

void Form::recallDitto(QObject *control) {
    FieldControl *f = FieldControl::of(control);
    if (!f)
        return;
    if (!dittoFields_.isEmpty() && !dittoFields_.contains(f->field(), Qt::CaseInsensitive)) {
        refresh();
        return;
    }
    const QVariant v = record_.dittoValue(f->field());
    if (!v.isValid())
        return;
    f->setValue(v);
    record_.setValue(f->field(), v);
}

void Form::takeEvent(const Event &e) {
    switch (e.kind) {
    case EventKind::GainFocus:
    case EventKind::Sized:
        refresh();
        return;
    case EventKind::AlertKey:
        if (e.key == Qt::Key_Escape) {
            cancelPressed();
            return;
        }
        if (ditto_ && e.key == dittoKey_) {
            recallDitto(e.control);
            return;
        }
        break;
    case EventKind::Toolbar:
        if (ditto_ && e.value == ToolbarHistory) {
            recallDitto(e.control);
            return;
        }
        break;
    default:
        break;
    }
    Window::takeEvent(e);
}

void Form::closeRoutine() { finishCall(); }

} // namespace tbk
