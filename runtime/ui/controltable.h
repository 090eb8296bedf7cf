#pragma once
// A window's controls in declaration order, each with an optional check, and the moves of
// values between the controls and a record (by field name).
#include <QList>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

class QObject;
class QWidget;

namespace tbk {

class ControlTable {
public:
    // 0: the value is fine; anything else stops (the control is selected again).
    using Check = std::function<int()>;

    void add(QWidget *control);
    void setCheck(QWidget *control, Check check);
    void clear();

    QList<QWidget *> controls() const;
    // By object name: the field name, or a button's text without "&".
    QWidget *control(const QString &name) const;
    QVariant value(const QString &field) const;
    void setValue(const QString &field, const QVariant &value);

    // Runs the control's check when it has one; false when it failed (the control is then
    // selected again).
    bool passes(QObject *control);
    // The validation pass: takes every control's pending edit and runs every check in
    // declaration order, without waiting for events. Returns the first control that is
    // rejected or fails its check (selected again), or null when all pass.
    QWidget *validateAll();
    bool validating() const { return validating_; }

    // Every control with a value shows the one get gives for its field; an invalid QVariant
    // leaves the control as it is.
    void load(const std::function<QVariant(const QString &field)> &get);
    // Hands every control's value to put under its field.
    void store(const std::function<void(const QString &field, const QVariant &value)> &put) const;

    // Entries with a date picture take the user's date format (a picture, "@" optional).
    void useDateFormat(const QString &format);

private:
    struct Row {
        QPointer<QWidget> control;
        Check check;
    };
    Row *row(const QObject *control);
    std::vector<Row> rows_;
    bool validating_ = false;
};

} // namespace tbk
