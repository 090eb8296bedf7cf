#pragma once
// The start-up splash, whose close routine finishes the start-up; the About window; and the
// build information window opened from About.
#include <QString>
#include <QtGlobal>

namespace tbk {

// What the Compile Information window shows (day numbers and clock times of the runtime).
struct BuildInformation {
    QString program;
    qint32 creationDate;
    qint32 creationTime;
    qint32 changeDate;
    qint32 changeTime;
    qint32 flag32;
};
const BuildInformation &buildInformation();

// Started by the frame on a thread of its own when the frame's window opens.
void ShowSplashWindow();
// Asks the splash window to close, when it is still open (the frame's first command).
void closeSplashWindow();
bool splashWindowOpen();

void ShowAboutWindow();
void CompileDate();

} // namespace tbk
