#pragma once
// The base of every window procedure: an open routine, an event loop on the procedure's
// logical thread, and one close routine that every way out reaches. The window's place is
// restored from and saved to ".\POSITION.INI" under the procedure's name.
#include "runtime/threads/event.h"
#include "runtime/ui/controltable.h"
#include "runtime/ui/handlertable.h"
#include "runtime/ui/resizer.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QMdiArea;
class QWidget;

namespace tbk {

class ToolbarState;
class WindowEvents;

class Window {
public:
    explicit Window(QString procedureName);
    virtual ~Window();
    Window(const Window &) = delete;
    Window &operator=(const Window &) = delete;

    // Runs the procedure's window on the calling logical thread until it closes.
    void run();

    const QString &procedureName() const { return name_; }
    // The window's own widget (its controls' parent).
    QWidget *widget() const { return widget_; }
    // What the desktop sees: the MDI child frame around the widget, or the widget itself.
    QWidget *frame() const { return frame_; }

    // The frame's document area; windows that ask to be its children open inside it.
    static void setMdiArea(QMdiArea *area);

    // The window of the procedure (name without case) opened last of those open now, or null.
    static Window *find(const QString &procedureName);

protected:
    // Builds the window with its controls, not yet shown.
    virtual QWidget *createWindow() = 0;
    // After the window is shown and placed; false closes it at once (the close routine runs).
    virtual bool openRoutine() { return true; }
    // One event of the window. The default closes on CloseWindow and CloseDown.
    virtual void takeEvent(const Event &e);
    // Runs once on every way out, the window still open.
    virtual void closeRoutine() {}
    // After an event during which the thread opened a window over this one (a call, a
    // message) that is closed again.
    virtual void calledWindowClosed() {}

    // Ends the event loop after the present event.
    void closeWindow() { loopEnds_ = true; }
    bool closing() const { return loopEnds_; }
    void setTimer(int hundredths);
    void alertKey(QObject *control, int key);
    // Printable characters typed on the control come as AlertKey events with their text.
    void alertTyping(QObject *control);
    WindowEvents &events();
    Resizer &resizer() { return resizer_; }
    // 1 scales every control when the window is resized, 2 chooses by control type.
    void setResizeMode(int mode) { resizeMode_ = mode; }
    // Windows whose place is not kept (About, the splash) open where they are designed.
    void setKeepsPlace(bool keeps) { keepsPlace_ = keeps; }
    // Opens inside the frame's document area when there is one.
    void setMdiChild(bool child) { mdiChild_ = child; }
    // A window whose layout places its controls keeps no resize queue.
    void setLaidOut(bool laidOut) { laidOut_ = laidOut; }

    // Handlers by control and event kind, run before takeEvent: an event a handler takes
    // does not reach it. A null control stands for any control without a handler of its own.
    void on(QObject *control, EventKind kind, std::function<void()> fn);
    void on(QObject *control, EventKind kind, HandlerTable::Handler fn);
    // The window's controls in declaration order (WindowBuilder fills it). An accepted control
    // whose check fails is selected again and its event goes no further.
    ControlTable &controls() { return controls_; }
    void setCheck(QWidget *control, ControlTable::Check check) { controls_.setCheck(control, std::move(check)); }
    // What the frame's browse buttons offer while the open window has the focus.
    void setToolbarState(const ToolbarState &state);

private:
    friend class WindowBuilder;
    bool dispatch(const Event &e);

    void open();
    void loop();
    void finish();

    QString name_;
    QPointer<QWidget> widget_;
    QPointer<QWidget> frame_;
    // A child of frame_, which may be deleted under us: a window in front of the program frame
    // goes when that frame goes, while its thread still runs.
    QPointer<WindowEvents> events_;
    Resizer resizer_;
    int resizeMode_ = 1;
    bool keepsPlace_ = true;
    bool mdiChild_ = false;
    bool laidOut_ = false;
    bool loopEnds_ = false;
    HandlerTable handlers_;
    ControlTable controls_;
};

} // namespace tbk
