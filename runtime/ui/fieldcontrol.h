#pragma once
// A control's value in the runtime's terms, attached to the Qt widget that shows it: entries
// with a picture, drop-down lookups, spin boxes, check boxes, option groups and memos. Each
// reports accepted() once per real change: leaving a control unchanged, or choosing the value
// it already holds, reports nothing. The widget's object name is the field name.
#include <QObject>
#include <QPointer>
#include <QVariant>

#include <functional>
#include <optional>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QWidget;

namespace tbk {

class FieldControl : public QObject {
    Q_OBJECT
public:
    // The field control of a widget, or null when it has none.
    static FieldControl *of(const QObject *widget);

    QWidget *widget() const { return widget_; }
    QString field() const;
    // The value last loaded or accepted; a pending edit counts only once it is taken.
    QVariant value() const { return value_; }
    // Shows the value; nothing is reported.
    void setValue(const QVariant &value);
    // Takes what the user left in the control. False when it does not fit (the control beeps
    // and is selected again, its text kept); reports accepted() when the value changed and
    // report is set.
    bool commit(bool report = true);

signals:
    void accepted();

protected:
    FieldControl(QWidget *widget);
    // The user's value; nullopt when it is rejected.
    virtual std::optional<QVariant> read() = 0;
    virtual void show(const QVariant &value) = 0;
    virtual bool same(const QVariant &a, const QVariant &b) const;
    // Leaving the control (not for a popup of its own) takes its value.
    void commitWhenLeft(QWidget *w);
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> widget_;
    QVariant value_;
};

// A control whose text is its value formatted by a picture (without one, the value's text).
class PicturedField : public FieldControl {
    Q_OBJECT
public:
    QString picture() const { return picture_; }
    // Rewrites what the user typed before the picture reads it: a window's own shorthand.
    void setTypedText(std::function<QString(const QString &)> rewrite) { rewrite_ = std::move(rewrite); }

protected:
    PicturedField(QWidget *widget, const QString &picture);
    virtual QString text() const = 0;
    virtual void setText(const QString &text) = 0;
    std::optional<QVariant> read() override;
    void show(const QVariant &value) override;
    bool same(const QVariant &a, const QVariant &b) const override;

    QString picture_;
    std::function<QString(const QString &)> rewrite_;
};

// A line entry.
class EntryField : public PicturedField {
    Q_OBJECT
public:
    EntryField(QLineEdit *edit, const QString &picture);
    // The picture the entry was declared with, whatever it shows now.
    QString designPicture() const { return designPicture_; }
    // Shows the value with another picture; an entry whose width follows its picture is
    // fitted to the new one.
    void setPicture(const QString &picture);
    // Fixes the entry's width to what its picture shows, in the window's dialog units.
    void fitWidthToPicture();

protected:
    QString text() const override;
    void setText(const QString &text) override;

private:
    QLineEdit *edit_;
    QString designPicture_;
    bool fitted_ = false;
};

// An editable drop-down whose list the window fills. Choosing from the list counts as leaving it.
class LookupField : public PicturedField {
    Q_OBJECT
public:
    LookupField(QComboBox *combo, const QString &picture = {});
    // Replaces the list; the value shown stays.
    void setChoices(const QStringList &choices);

protected:
    QString text() const override;
    void setText(const QString &text) override;

private:
    QComboBox *combo_;
};

class SpinField : public FieldControl {
    Q_OBJECT
public:
    explicit SpinField(QSpinBox *spin);

protected:
    std::optional<QVariant> read() override;
    void show(const QVariant &value) override;
    bool same(const QVariant &a, const QVariant &b) const override;

private:
    QSpinBox *spin_;
};

// Holds one of two values, on when ticked.
class CheckField : public FieldControl {
    Q_OBJECT
public:
    CheckField(QCheckBox *box, QVariant on = 1, QVariant off = 0);

protected:
    std::optional<QVariant> read() override;
    void show(const QVariant &value) override;

private:
    QCheckBox *box_;
    QVariant on_, off_;
};

// A group of radio buttons with one value: that of the button chosen (null when none is).
class OptionField : public FieldControl {
    Q_OBJECT
public:
    OptionField(QGroupBox *group, const QList<QAbstractButton *> &buttons, const QVariantList &values);
    QList<QAbstractButton *> buttons() const { return buttons_; }
    // The button (0 up; -1 none) that shows as chosen for a value no button holds, as the value's
    // readers take it. Left on that button, the group keeps the value itself.
    void setStandIn(std::function<int(const QVariant &)> choice);

protected:
    std::optional<QVariant> read() override;
    void show(const QVariant &value) override;

private:
    int shownChoice(const QVariant &value) const;

    QList<QAbstractButton *> buttons_;
    QVariantList values_;
    std::function<int(const QVariant &)> standIn_;
};

class MemoField : public FieldControl {
    Q_OBJECT
public:
    explicit MemoField(QPlainTextEdit *memo);

protected:
    std::optional<QVariant> read() override;
    void show(const QVariant &value) override;

private:
    QPlainTextEdit *memo_;
};

// Gives the control the focus again with its text selected, showing the tab pages it is on.
void selectControl(QWidget *control);

} // namespace tbk
