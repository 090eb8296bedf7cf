#pragma once
// A window's event handlers by control and event kind, so that its procedure needs no chain of
// tests on every event.
#include "runtime/threads/event.h"

#include <QPointer>

#include <functional>
#include <vector>

class QObject;

namespace tbk {

class HandlerTable {
public:
    using Handler = std::function<void(const Event &)>;

    // One handler per control and kind; a later one replaces the earlier. A null control
    // stands for every control (and none) that has no handler of its own for the kind.
    void on(QObject *control, EventKind kind, Handler fn);
    // Runs the event's handler; false when no handler takes it.
    bool dispatch(const Event &e) const;
    // Drops the handlers of controls, keeping those of the window as a whole.
    void forgetControls();

private:
    struct Entry {
        QPointer<QObject> control;
        bool anyControl;
        EventKind kind;
        Handler fn;
    };
    const Entry *find(const Event &e) const;
    std::vector<Entry> entries_;
};

} // namespace tbk
