#pragma once
// The frame's watch over the end of the desktop session. Asked whether the session may end, it
// answers yes; when the session ends (the session manager's request, or the terminate or hang-up
// signal the system sends at log-out) it posts the close-down event to the frame's thread, so
// the frame closes its files and saves its place like on Exit. While it lives it replaces the
// process's handlers for those signals; it puts the previous ones back when it goes.
#include <QObject>
#include <QPointer>

#include <csignal>

class QSessionManager;
class QSocketNotifier;
class QWidget;

namespace tbk {

class FrameWindowProc : public QObject {
public:
    explicit FrameWindowProc(QWidget *frame);
    ~FrameWindowProc() override;

    // The two questions of the session, as the frame answers them.
    bool sessionMayEnd() const { return true; }
    void sessionEnds();

private:
    QPointer<QWidget> frame_;
    QSocketNotifier *notifier_ = nullptr;
    struct sigaction previousTerm_ {};
    struct sigaction previousHup_ {};
    bool signalsInstalled_ = false;
};

} // namespace tbk
