#include "runtime/ui/feedback.h"

#include <QApplication>
#include <QCursor>

namespace tbk {

namespace {
int beeps = 0;
}

void beep(int, int) {
    ++beeps;
    QApplication::beep();
}

int beepCount() { return beeps; }

WaitCursor::WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
WaitCursor::~WaitCursor() { QApplication::restoreOverrideCursor(); }

} // namespace tbk
