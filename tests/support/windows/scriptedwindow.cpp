#include "support/windows/scriptedwindow.h"

#include "runtime/ui/listcontrol.h"

#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace tbk::windowtest {

ScriptedWindow::ScriptedWindow(const QString &procedure, QStringList buttons, bool withList)
    : Window(procedure), buttons_(std::move(buttons)), withList_(withList) {}

QWidget *ScriptedWindow::createWindow() {
    auto *w = new QWidget;
    w->setObjectName(procedureName());
    w->setWindowTitle(procedureName());
    w->setGeometry(40, 40, 400, 300);
    auto *entry = new QLineEdit(w);
    entry->setObjectName(QStringLiteral("Entry"));
    entry->setGeometry(10, 10, 200, 24);
    int x = 10;
    for (const QString &text : buttons_) {
        auto *b = new QPushButton(text, w);
        b->setObjectName(text);
        b->setGeometry(x, 260, 80, 28);
        x += 90;
    }
    if (withList_) {
        list_ = new ListControl(w);
        list_->setObjectName(QStringLiteral("List"));
        list_->setGeometry(10, 44, 380, 200);
    }
    return w;
}

QWidget *ScriptedWindow::button(const QString &text) const {
    return widget() ? widget()->findChild<QWidget *>(text) : nullptr;
}

bool ScriptedWindow::openRoutine() {
    if (onOpen)
        onOpen(*this);
    return true;
}

void ScriptedWindow::takeEvent(const Event &e) {
    seen.append(e.kind);
    events.append(e);
    if (onEvent)
        onEvent(*this, e);
    if (e.kind == EventKind::Accepted && e.control) {
        const QString name = e.control->objectName();
        if (name == QLatin1String("Close") || name == QLatin1String("Cancel"))
            closeWindow();
    }
    Window::takeEvent(e);
}

void ScriptedWindow::closeRoutine() {
    if (onClose)
        onClose(*this);
}

} // namespace tbk::windowtest
