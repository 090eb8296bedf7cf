#pragma once
// A form declared with WindowBuilder for the tests: four tabs with controls of every kind.
#include "runtime/ui/window.h"

#include <QList>
#include <QStringList>

#include <functional>

class QComboBox;

namespace tbk::windowtest {

class TestForm : public Window {
public:
    TestForm();

    // The controls with a value, in declaration order, by field.
    static const QStringList &fields();

    std::function<void(TestForm &)> onOpen;
    // Events no handler took.
    QList<Event> events;
    int accepted(const QString &name) const;
    // What the OK button's validation pass returned last.
    QWidget *failed = nullptr;
    int passes = 0;

    using Window::closeWindow;
    using Window::controls;
    using Window::on;
    using Window::resizer;
    using Window::setCheck;

protected:
    QWidget *createWindow() override;
    bool openRoutine() override;
    void takeEvent(const Event &e) override;
};

} // namespace tbk::windowtest
