#include "core/framewindowproc.h"

#include "runtime/threads/scheduler.h"

#include <QSocketNotifier>
#include <QWidget>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tbk {

namespace {

// The signal handler may only write to a descriptor; Qt's loop reads the other end.
int g_sessionPipe[2] = {-1, -1};

extern "C" void onSessionSignal(int) {
    const char byte = 1;
    if (g_sessionPipe[0] >= 0)
        [[maybe_unused]] ssize_t n = ::write(g_sessionPipe[0], &byte, 1);
}

} // namespace

FrameWindowProc::FrameWindowProc(QWidget *frame) : frame_(frame) {
    if (g_sessionPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_sessionPipe) != 0)
        return;
    ::fcntl(g_sessionPipe[0], F_SETFL, O_NONBLOCK);
    notifier_ = new QSocketNotifier(g_sessionPipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char buffer[16];
        while (::recv(g_sessionPipe[1], buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
        }
        sessionEnds();
    });
    struct sigaction action {};
    action.sa_handler = onSessionSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &previousTerm_);
    ::sigaction(SIGHUP, &action, &previousHup_);
    signalsInstalled_ = true;
}

FrameWindowProc::~FrameWindowProc() {
    if (signalsInstalled_) {
        ::sigaction(SIGTERM, &previousTerm_, nullptr);
        ::sigaction(SIGHUP, &previousHup_, nullptr);
    }
}

void FrameWindowProc::sessionEnds() {
    if (frame_)
        postToWindow(frame_, Event::of(EventKind::CloseDown, frame_));
}

} // namespace tbk
