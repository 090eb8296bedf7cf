#pragma once
// A procedure run on a logical thread of its own as a caller runs it (the request set, the
// response kept), and the user's moves on the windows of that thread.
#include <QString>
#include <Qt>

#include <functional>
#include <memory>

class QWidget;

namespace tbk::windowtest {

struct Call {
    int thread = 0;
    bool done = false;
    qint32 response = -1;   // GlobalResponse when the procedure returned
};
using Started = std::shared_ptr<Call>;

// Starts the procedure on a new thread, not yet run.
Started launchOnThread(std::function<void()> procedure);
// The same, run until every thread waits.
Started startOnThread(std::function<void()> procedure, int idleTimeoutMs = 5000);
// The same with the request: `load` fills the buffers on that thread first, as a caller does.
Started callOnThread(std::function<void()> procedure, qint32 request, std::function<void()> load = {});

// The thread's active window and the moves on it, each run until the threads are idle again.
QWidget *window(const Call &c);
bool press(const Call &c, const QString &button);
bool type(const Call &c, const QString &field, const QString &text);
bool answer(const Call &c, int button, int idleTimeoutMs = 5000);
// A key on the control that has the focus in the thread's window (that window need not be the
// active one).
bool pressKey(const Call &c, int key, Qt::KeyboardModifiers mods = Qt::NoModifier);
// What the control shows, trimmed.
QString shown(const Call &c, const QString &field);
inline QWidget *window(const Started &c) { return window(*c); }
inline bool press(const Started &c, const QString &button) { return press(*c, button); }
inline bool type(const Started &c, const QString &field, const QString &text) { return type(*c, field, text); }
inline bool answer(const Started &c, int button, int idleTimeoutMs = 5000) { return answer(*c, button, idleTimeoutMs); }
inline QString shown(const Started &c, const QString &field) { return shown(*c, field); }

} // namespace tbk::windowtest
