#pragma once
// Ending the program: every thread's windows are closed (their close routines run), then the
// exit hook receives the exit code.
#include <QString>

#include <functional>

namespace tbk {

// Receives the exit code once every thread has ended. The program's hook ends Qt's loop;
// tests put their own in so that the test process goes on.
void setExitHook(std::function<void(int)> hook);

// The exit code of an end by a fault the program cannot go on from (a standard warning that
// ends it, "Disk Error"), so that whoever started it sees a failure.
constexpr int kFatalExitCode = 1;

// Shows the text (when given) on the calling thread, then unwinds every thread through its
// windows' close routines. Inside a logical thread it does not return.
void halt(const QString &text = {}, int exitCode = 0);

// The runtime's stop box: the text, with the choice to end the program (Abort: halt with code
// 0) or to go on (Ignore).
void stop(const QString &text);

// True from the start of a halt until the exit hook has run.
bool halting();

// Runs the main program body on the first thread and Qt's loop until the program ends; when
// the body returns, the remaining threads are closed and the code is 0. A write past the
// file-size limit fails from then on (failWritesPastSizeLimit) instead of ending the process.
int runProgram(std::function<void()> body);

} // namespace tbk
