#pragma once
// A window procedure for tests: a few buttons, an entry and optionally a list, with hooks for
// what it does on its events and in its close routine.
#include "runtime/ui/window.h"

#include <QList>
#include <QStringList>

#include <functional>

namespace tbk {
class ListControl;
}

namespace tbk::windowtest {

class ScriptedWindow : public Window {
public:
    // Buttons named "Close" or "Cancel" end the window when pressed.
    explicit ScriptedWindow(const QString &procedure, QStringList buttons = {"Change", "Close"},
                            bool withList = false);

    std::function<void(ScriptedWindow &, const Event &)> onEvent;
    std::function<void(ScriptedWindow &)> onOpen;
    std::function<void(ScriptedWindow &)> onClose;

    QList<EventKind> seen;
    QList<Event> events;
    ListControl *list() const { return list_; }
    QWidget *button(const QString &text) const;

    using Window::alertKey;
    using Window::closeWindow;
    using Window::resizer;
    using Window::setMdiChild;
    using Window::setResizeMode;
    using Window::setTimer;
    using Window::setToolbarState;

protected:
    QWidget *createWindow() override;
    bool openRoutine() override;
    void takeEvent(const Event &e) override;
    void closeRoutine() override;

private:
    QStringList buttons_;
    bool withList_;
    ListControl *list_ = nullptr;
};

} // namespace tbk::windowtest
