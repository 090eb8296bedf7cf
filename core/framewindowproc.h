#pragma once
// The frame's watch over the end of the desktop session. The frame never objects to the session
// ending (it leaves the session manager's question unanswered, which is yes); when the session
// ends (the terminate or hang-up signal the system sends at log-out) it posts the close-down
// event to the frame's thread, so the frame closes its files and saves its place as on Exit.
// While it lives it replaces the process's handlers for those signals; it puts the previous ones
// back when it goes.
#include <QObject>
#include <QPointer>

#include <csignal>

class QSocketNotifier;
class QWidget;

namespace tbk {

class FrameWindowProc : public QObject {
public:
    explicit FrameWindowProc(QWidget *frame);
    ~FrameWindowProc() override;

    void sessionEnds();

private:
    QPointer<QWidget> frame_;
    QSocketNotifier *notifier_ = nullptr;
    struct sigaction previousTerm_ {};
    struct sigaction previousHup_ {};
    bool signalsInstalled_ = false;
};

} // namespace tbk
