#include "runtime/ui/controltable.h"

#include "runtime/ui/fieldcontrol.h"
#include "runtime/values/picture.h"

#include <QWidget>

namespace tbk {

void ControlTable::add(QWidget *control) { rows_.push_back(Row{control, {}}); }

void ControlTable::setCheck(QWidget *control, Check check) {
    if (Row *r = row(control))
        r->check = std::move(check);
}

void ControlTable::clear() { rows_.clear(); }

ControlTable::Row *ControlTable::row(const QObject *control) {
    if (!control)
        return nullptr;
    for (Row &r : rows_)
        if (r.control == control)
            return &r;
    return nullptr;
}

QList<QWidget *> ControlTable::controls() const {
    QList<QWidget *> out;
    for (const Row &r : rows_)
        if (r.control)
            out << r.control;
    return out;
}

QWidget *ControlTable::control(const QString &name) const {
    for (const Row &r : rows_)
        if (r.control && r.control->objectName() == name)
            return r.control;
    return nullptr;
}

QVariant ControlTable::value(const QString &field) const {
    const FieldControl *f = FieldControl::of(control(field));
    return f ? f->value() : QVariant();
}

void ControlTable::setValue(const QString &field, const QVariant &value) {
    if (FieldControl *f = FieldControl::of(control(field)))
        f->setValue(value);
}

bool ControlTable::passes(QObject *control) {
    Row *r = row(control);
    if (!r || !r->check)
        return true;
    // The check may wait (a message box) and the window may go meanwhile.
    const QPointer<QWidget> w = r->control;
    const Check check = r->check;
    if (check() == 0)
        return true;
    selectControl(w);
    return false;
}

QWidget *ControlTable::validateAll() {
    struct Running {
        bool &flag;
        explicit Running(bool &f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
    } running{validating_};
    // Checks may add or drop rows; walk a copy.
    const std::vector<Row> rows = rows_;
    for (const Row &r : rows) {
        if (!r.control)
            continue;
        if (FieldControl *f = FieldControl::of(r.control); f && !f->commit(false)) {
            selectControl(r.control);
            return r.control;
        }
        if (r.check && r.check() != 0) {
            selectControl(r.control);
            return r.control;
        }
    }
    return nullptr;
}

void ControlTable::load(const std::function<QVariant(const QString &)> &get) {
    for (const Row &r : rows_) {
        FieldControl *f = FieldControl::of(r.control);
        if (!f)
            continue;
        const QVariant v = get(f->field());
        if (v.isValid())
            f->setValue(v);
    }
}

void ControlTable::store(const std::function<void(const QString &, const QVariant &)> &put) const {
    for (const Row &r : rows_)
        if (const FieldControl *f = FieldControl::of(r.control))
            put(f->field(), f->value());
}

void ControlTable::useDateFormat(const QString &format) {
    const QString picture = datePictureFor(format);
    if (picture.isEmpty())
        return;
    for (const Row &r : rows_)
        if (auto *e = qobject_cast<EntryField *>(FieldControl::of(r.control)); e && pictureFamily(e->designPicture()) == QLatin1Char('d'))
            e->setPicture(picture);
}

} // namespace tbk
