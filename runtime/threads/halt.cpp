#include "runtime/threads/halt.h"

#include "runtime/threads/logicalthread.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/scheduler.h"
#include "runtime/values/diskwrite.h"

#include <QApplication>

namespace tbk {

namespace {

std::function<void(int)> &exitHook() {
    static std::function<void(int)> hook = [](int code) { QCoreApplication::exit(code); };
    return hook;
}

} // namespace

void detail::callExitHook(int code) {
    if (exitHook())
        exitHook()(code);
}

void setExitHook(std::function<void(int)> hook) { exitHook() = std::move(hook); }

bool halting() { return detail::closing(); }

void stop(const QString &text) {
    if (message(text, QCoreApplication::applicationName(), MessageIcon::Hand, ButtonAbort | ButtonIgnore, ButtonIgnore) ==
        ButtonAbort)
        halt();
}

void halt(const QString &text, int exitCode) {
    const bool inThread = currentThreadNumber() != 0;
    if (inThread && !halting() && !text.isEmpty())
        message(text, QCoreApplication::applicationName(), MessageIcon::Hand);
    detail::beginClosing(exitCode);
    if (inThread)
        throw HaltUnwind{};
}

int runProgram(std::function<void()> body) {
    failWritesPastSizeLimit();
    // A thread between two windows has none open; that does not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    startThread(
        [body = std::move(body)] {
            body();
            detail::beginClosing(0);
        },
        kMinimumThreadStack);
    return QApplication::exec();
}

} // namespace tbk
