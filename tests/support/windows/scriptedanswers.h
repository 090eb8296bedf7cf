#pragma once
// A routine run on a logical thread with every message box it shows recorded and answered from
// a script, for tests of routines that warn and ask.
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace tbk::windowtest {

struct ShownMessage {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;         // the runtime's button codes
    int defaultButton = 0;
    QStringList buttonTexts;  // a box of the caller's button texts, in their order
};

// Runs the routine on a new logical thread until it ends. Each message box it shows is recorded
// and answered with the next of `answers` (OK, or else the first button, when none is left); a
// box of the caller's button texts is answered by the button's number.
// Meanwhile it may wait for its time (a timer, a lock held elsewhere). A routine that neither
// ends nor asks within the time fails the test and is ended with every other thread, so that
// it never runs on after its caller has returned.
std::vector<ShownMessage> runAnswering(const std::function<void()> &routine, std::deque<int> answers = {},
                                       int timeoutMs = 15000);

} // namespace tbk::windowtest
