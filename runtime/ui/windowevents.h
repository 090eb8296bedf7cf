#pragma once
// Turns a window's Qt signals and events into events on its logical thread's queue.
#include "runtime/threads/event.h"
#include "runtime/threads/timerclock.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <memory>

class QWidget;

namespace tbk {

class Resizer;

// Key code of a double click with the left button, for alerting it like a key.
constexpr int KeyMouseLeft2 = 0x7F000001;

class WindowEvents : public QObject {
    Q_OBJECT
public:
    // The frame (the window itself, or its MDI child frame) must already belong to a logical
    // thread (adoptWindow); the content holds the controls.
    WindowEvents(QWidget *frame, QWidget *content, Resizer *resizer);
    ~WindowEvents() override;

    // Watches every control now in the window; call again for controls added later.
    void watchControls();
    void watch(QWidget *control);
    // An alerted key on a control (null: anywhere in the window) is taken from the control
    // and reported as an AlertKey event. Keys are Qt key combinations.
    void alertKey(QObject *control, int key);
    void unalertKey(QObject *control, int key);
    // Printable characters typed on the control (no Ctrl, Alt or Meta) are taken from it and
    // reported as AlertKey events with the characters in the event's text.
    void alertTyping(QObject *control);
    // A timer event every so many hundredths of a second; 0 stops it.
    void setTimer(int hundredths);
    int timer() const { return timerHundredths_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Alert {
        QObject *control;
        int key;
    };
    void post(EventKind kind, QObject *control = nullptr, int key = 0, int value = 0);
    bool isAlerted(QObject *control, int key) const;
    QObject *controlOf(QObject *watched) const;
    bool windowFilter(QEvent *event);
    // Disabled, or covered by a later window of its thread: it takes no input.
    bool covered() const;

    QPointer<QWidget> window_;
    QPointer<QWidget> content_;
    Resizer *resizer_;
    QList<Alert> alerts_;
    QList<QPointer<QObject>> typing_;
    QList<QObject *> watched_;
    std::unique_ptr<TimerClock::Timer> timer_;
    int timerHundredths_ = 0;
};

} // namespace tbk
