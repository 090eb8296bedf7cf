#include "support/windows/windowtesting.h"

#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadwindows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QThread>

namespace tbk::windowtest {

namespace {

void turn() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    scheduler::runReady();
}

QString plain(QString text) { return text.remove(QLatin1Char('&')); }

const std::pair<int, QMessageBox::StandardButton> kCodes[] = {
    {1, QMessageBox::Ok},     {2, QMessageBox::Yes},     {4, QMessageBox::No},
    {8, QMessageBox::Abort},  {16, QMessageBox::Retry},  {32, QMessageBox::Ignore},
    {64, QMessageBox::Cancel}, {128, QMessageBox::Help},
};

QMenu *shownMenu(int thread) {
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *menu = qobject_cast<QMenu *>(w); menu && menu->isVisible() && menu->property("tbkThread").toInt() == thread)
            return menu;
    return nullptr;
}

} // namespace

bool runUntilIdle(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    do {
        turn();
        if (!scheduler::busy()) {
            // One more turn: what the threads just did may post more.
            turn();
            if (!scheduler::busy())
                return true;
        }
    } while (!deadline.hasExpired());
    return false;
}

void runFor(int ms) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        turn();
        QThread::msleep(1);
    }
    turn();
}

bool runUntil(const std::function<bool()> &condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        turn();
        QThread::msleep(1);
    }
    return true;
}

QWidget *activeWindow(int thread) { return activeThreadWindow(thread); }

QWidget *findControl(QWidget *window, const QString &nameOrText) {
    if (!window)
        return nullptr;
    if (auto *w = window->findChild<QWidget *>(nameOrText))
        return w;
    for (auto *b : window->findChildren<QAbstractButton *>())
        if (plain(b->text()) == plain(nameOrText))
            return b;
    return nullptr;
}

bool fillEntry(int thread, const QString &entry, const QString &text) {
    auto *edit = qobject_cast<QLineEdit *>(findControl(activeWindow(thread), entry));
    if (!edit || !edit->isEnabled())
        return false;
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
    return true;
}

bool pressButton(int thread, const QString &button) {
    auto *b = qobject_cast<QAbstractButton *>(findControl(activeWindow(thread), button));
    if (!b || !b->isEnabled() || !b->isVisible())
        return false;
    QTest::mouseClick(b, Qt::LeftButton);
    return true;
}

bool answerMessage(int thread, int buttonCode) {
    auto *box = qobject_cast<QMessageBox *>(activeWindow(thread));
    if (!box)
        return false;
    for (auto [code, qt] : kCodes) {
        if (code != buttonCode)
            continue;
        QAbstractButton *b = box->button(qt);
        if (!b)
            return false;
        QTest::mouseClick(b, Qt::LeftButton);
        return true;
    }
    return false;
}

QString messageText(int thread) {
    auto *box = qobject_cast<QMessageBox *>(activeWindow(thread));
    return box ? box->text() : QString();
}

bool chooseMenuItem(int thread, const QString &item) {
    QMenu *menu = shownMenu(thread);
    if (!menu)
        return false;
    for (QAction *a : menu->actions()) {
        if (a->isSeparator() || plain(a->text()) != plain(item))
            continue;
        if (!a->isEnabled())
            return false;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
        return true;
    }
    return false;
}

bool menuItemTicked(int thread, const QString &item) {
    QMenu *menu = shownMenu(thread);
    if (!menu)
        return false;
    for (QAction *a : menu->actions())
        if (!a->isSeparator() && plain(a->text()) == plain(item))
            return a->isChecked();
    return false;
}

QStringList menuItems(int thread) {
    QStringList items;
    if (QMenu *menu = shownMenu(thread))
        for (QAction *a : menu->actions())
            items << (a->isSeparator() ? QStringLiteral("-")
                                       : (a->isEnabled() ? QString() : QStringLiteral("~")) + plain(a->text()));
    return items;
}

bool dismissMenu(int thread) {
    QMenu *menu = shownMenu(thread);
    if (!menu)
        return false;
    QTest::keyClick(menu, Qt::Key_Escape);
    return true;
}

bool closeByUser(QWidget *window) {
    if (!window)
        return false;
    QCloseEvent e;
    QApplication::sendEvent(window, &e);
    return true;
}

void endAllThreads() {
    if (threadNumbers().empty())
        return;
    setExitHook([](int) {});
    scheduler::shutdown();
    runUntilIdle();
    setExitHook([](int code) { QCoreApplication::exit(code); });
}

bool saveScreenshot(QWidget *window, const QString &suffix) {
    const QString base = qEnvironmentVariable("TBK_SCREENSHOT");
    if (base.isEmpty())
        return true;
    window->move(20, 20);
    return saveScreen(suffix + QStringLiteral(".png"));
}

bool saveScreen(const QString &suffix, int settleMs) {
    const QString base = qEnvironmentVariable("TBK_SCREENSHOT");
    if (base.isEmpty())
        return true;
    runFor(settleMs);
    return QGuiApplication::primaryScreen()->grabWindow(0).save(base + suffix);
}

} // namespace tbk::windowtest
