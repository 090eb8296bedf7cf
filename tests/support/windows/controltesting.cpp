#include "support/windows/controltesting.h"

#include "runtime/ui/fieldcontrol.h"
#include "support/windows/windowtesting.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace tbk::windowtest {

namespace {

QString plain(QString text) { return text.remove(QLatin1Char('&')).trimmed(); }

QWidget *control(int thread, const QString &name) {
    QWidget *w = findControl(activeWindow(thread), name);
    return w && w->isEnabled() ? w : nullptr;
}

bool click(QWidget *w, QPoint at = {}) {
    if (!w || !w->isVisible() || !activate(w->window()))
        return false;
    QTest::mouseClick(w, Qt::LeftButton, {}, at.isNull() ? w->rect().center() : at);
    return runUntilIdle();
}

// Where a click lands in the control's text rather than on its arrows.
QPoint textPoint(const QWidget *w) { return QPoint(std::min(8, w->width() / 2), w->height() / 2); }

// The box or circle at the left of a check box or radio button.
QPoint indicatorPoint(const QWidget *w) { return QPoint(std::min(6, w->width() / 2), w->height() / 2); }

bool leave() {
    QWidget *focus = QApplication::focusWidget();
    if (!focus)
        return false;
    QTest::keyClick(focus, Qt::Key_Tab);
    return runUntilIdle();
}

} // namespace

bool activate(QWidget *window) {
    if (!window)
        return false;
    if (window->isActiveWindow())
        return true;
    window->activateWindow();
    QApplication::setActiveWindow(window);
    return runUntil([window] { return window->isActiveWindow(); }, 2000);
}

bool clickInto(int thread, const QString &name) {
    QWidget *w = control(thread, name);
    return w && click(w, textPoint(w)) && w->hasFocus();
}

bool typeInto(int thread, const QString &name, const QString &text) {
    QWidget *w = control(thread, name);
    if (!qobject_cast<QLineEdit *>(w) && !qobject_cast<QComboBox *>(w) && !qobject_cast<QAbstractSpinBox *>(w) &&
        !qobject_cast<QPlainTextEdit *>(w))
        return false;
    if (!clickInto(thread, name))
        return false;
    QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(w, Qt::Key_Delete);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(w, Qt::Key_Return);
        QTest::keyClicks(w, lines[i]);
    }
    return leave();
}

bool passThrough(int thread, const QString &name) { return clickInto(thread, name) && leave(); }

bool pressTab() { return leave(); }

bool clickCheck(int thread, const QString &name) {
    auto *b = qobject_cast<QAbstractButton *>(control(thread, name));
    return b && click(b, indicatorPoint(b));
}

bool chooseOption(int thread, const QString &group, const QString &choice) {
    auto *option = qobject_cast<OptionField *>(FieldControl::of(control(thread, group)));
    if (!option)
        return false;
    for (QAbstractButton *b : option->buttons())
        if (plain(b->text()) == choice)
            return click(b, indicatorPoint(b));
    return false;
}

bool chooseFromList(int thread, const QString &lookup, const QString &item) {
    auto *combo = qobject_cast<QComboBox *>(control(thread, lookup));
    if (!combo || !clickInto(thread, lookup))
        return false;
    const int row = combo->findText(item);
    if (row < 0)
        return false;
    combo->showPopup();
    QAbstractItemView *view = combo->view();
    if (!runUntil([view] { return view->isVisible(); }, 2000))
        return false;
    // As the pointer moving over the list marks the item, and Enter takes it.
    view->setCurrentIndex(combo->model()->index(row, 0));
    QTest::keyClick(view, Qt::Key_Return);
    // The window is active again once the list has gone.
    return runUntilIdle() && !view->isVisible() && activate(combo->window());
}

bool chooseTab(int thread, const QString &tab) {
    QWidget *window = activeWindow(thread);
    if (!window)
        return false;
    for (QTabWidget *tabs : window->findChildren<QTabWidget *>())
        for (int i = 0; i < tabs->count(); ++i)
            if (plain(tabs->tabText(i)) == tab && tabs->isEnabled() && tabs->isTabEnabled(i))
                return click(tabs->tabBar(), tabs->tabBar()->tabRect(i).center()) && tabs->currentIndex() == i;
    return false;
}

QVariant controlValue(int thread, const QString &name) {
    QWidget *w = findControl(activeWindow(thread), name);
    if (auto *tabs = qobject_cast<QTabWidget *>(w))
        return plain(tabs->tabText(tabs->currentIndex()));
    const FieldControl *f = FieldControl::of(w);
    return f ? f->value() : QVariant();
}

QString controlText(int thread, const QString &name) {
    QWidget *w = findControl(activeWindow(thread), name);
    if (auto *e = qobject_cast<QLineEdit *>(w))
        return e->text();
    if (auto *c = qobject_cast<QComboBox *>(w))
        return c->currentText();
    if (auto *s = qobject_cast<QAbstractSpinBox *>(w))
        return s->text();
    if (auto *m = qobject_cast<QPlainTextEdit *>(w))
        return m->toPlainText();
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        return b->text();
    if (auto *l = qobject_cast<QLabel *>(w))
        return l->text();
    return {};
}

QString focusedName() {
    QWidget *w = QApplication::focusWidget();
    if (!w)
        return {};
    if (qobject_cast<QTabBar *>(w) && w->parentWidget())
        return w->parentWidget()->objectName();
    if (FieldControl::of(w->parentWidget()))
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            return plain(b->text());
    return w->objectName();
}

bool pressFocusedKey(int thread, int key, Qt::KeyboardModifiers modifiers) {
    QWidget *window = activeWindow(thread);
    QWidget *focused = window ? window->focusWidget() : nullptr;
    if (!focused)
        return false;
    QTest::keyClick(focused, Qt::Key(key), modifiers);
    return runUntilIdle();
}

} // namespace tbk::windowtest
