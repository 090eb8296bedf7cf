#pragma once
// Message boxes that suspend only the calling logical thread.
#include <QString>
#include <QStringList>

namespace tbk {

// The runtime's button codes; a set of buttons is their sum.
enum MessageButton : int {
    ButtonOK = 1,
    ButtonYes = 2,
    ButtonNo = 4,
    ButtonAbort = 8,
    ButtonRetry = 16,
    ButtonIgnore = 32,
    ButtonCancel = 64,
    ButtonHelp = 128,
};

enum class MessageIcon {
    None,
    Information,   // the asterisk
    Exclamation,
    Hand,
    Question,
};

// Shows the message on the calling thread (its other windows are disabled meanwhile, other
// threads go on) and returns the code of the button pressed. A default of 0 leaves the first
// button the default. Called while the program halts, it shows nothing and returns 0.
int message(const QString &text, const QString &title = {}, MessageIcon icon = MessageIcon::None,
            int buttons = ButtonOK, int defaultButton = 0);
// The same with buttons of the caller's texts; returns the number of the one pressed (1 for the
// first), the last button's number when the box is closed by Escape or its close box (the last
// is the box's "Cancel"), and 0 while the program halts.
int message(const QString &text, const QString &title, MessageIcon icon, const QStringList &buttons);

} // namespace tbk
