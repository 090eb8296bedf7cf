#pragma once
// Small services several subsystems share: a song's display title, opening a file with the
// program the desktop associates with it, and the collection of the desktop's top-level windows.
#include "runtime/values/text.h"

#include <QString>
#include <QtGlobal>

namespace tbk {

// The last song title built (process-wide).
extern FixedString<255> SongTitleText;

// The display title of the song in the MUS buffer: title, " (Skips)" when its skips flag is on,
// then the mix in parentheses. A title holding "(Skips)" sets the flag in the buffer (only).
QString FormatSongTitle();

// Asks the desktop to carry out the verb ("open", "play") on a file or an address. The answer
// is not examined.
void ShellOpenFile(const QString &verb, const QString &fileName);

// The desktop's top-level windows by handle, as enumeration hands them over.
using WindowHandle = quint32;
// Adds the window to the calling thread's WindowQueue when it has a title; always 1 (go on).
int EnumWindowProc(WindowHandle window, qint32 value);
// Calls the procedure for every visible top-level window of the desktop until it answers 0.
void EnumWindows(int (*procedure)(WindowHandle, qint32), qint32 value);
// The title of a window handed over by EnumWindows (empty for an unknown handle).
QString windowTitleOf(WindowHandle window);

} // namespace tbk
