#pragma once
// Starting another program and waiting for it to end while the calling window stays on screen
// and repaints. The wait is paced by the calling window's timer: it ends at the first timer
// event after the program has ended, so that window must have its timer running.
#include <QString>
#include <QStringList>

namespace tbk {

class Window;

// The command line holds at most this many characters; the rest is cut.
constexpr int kCommandLineLength = 120;

struct ProgramRun {
    // The program's name (or path) and its arguments, split as a command line is, never handed
    // to a shell.
    QString commandLine;
    bool wait = true;
    // What follows the command line in the message when the program is not found.
    QString notFoundEnding;
};

// Sets the cross-hair cursor for the application and runs RunProgramAndWait.
int RunProgramBusy(const ProgramRun &run, Window &caller);
// Starts the program with the current directory as its own; when asked, takes the caller's
// events until a timer event finds the program ended (other events are taken and dropped).
// Restores the cursor RunProgramBusy set. 1 when the program started; 0 when it was not
// found or would not start (after the message); -1 when another thread's run holds the slot
// (after telling the user so).
int RunProgramAndWait(const ProgramRun &run, Window &caller);

// The program file a name stands for: a name with a path as it is; a bare name in the
// folders in order, the name matched without case (an exact match first). Empty when none.
QString findProgram(const QString &name, const QStringList &folders);
// Where a bare program name is looked for: the program's own folder, then PATH.
QStringList programSearchFolders();

// One program run at a time in the whole process: what a run exchanges with its program lies
// in single files of the current directory. A claim is held by the logical thread that took
// it, for as long as it lives; the same thread may claim again inside it.
class ProgramRunClaim {
public:
    // When another thread holds the slot, tells the user so and holds nothing.
    explicit ProgramRunClaim(const QString &program);
    ~ProgramRunClaim();
    ProgramRunClaim(const ProgramRunClaim &) = delete;
    ProgramRunClaim &operator=(const ProgramRunClaim &) = delete;
    bool held() const { return held_; }

private:
    bool held_ = false;
    bool outer_ = false;
};

} // namespace tbk
