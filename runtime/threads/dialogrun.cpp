#include "runtime/threads/dialogrun.h"

#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadwindows.h"

#include <QDialog>
#include <QPointer>

#include <memory>

namespace tbk::detail {

namespace {

struct DialogGuard {
    QPointer<QDialog> dialog;
    ~DialogGuard() {
        if (!dialog)
            return;
        releaseWindow(dialog);
        dialog->hide();
        dialog->deleteLater();
    }
};

} // namespace

int runDialog(QDialog *dialog) {
    auto result = std::make_shared<int>(-1);
    const int thread = currentThreadNumber();
    DialogGuard guard{dialog};
    QObject::connect(dialog, &QDialog::finished, dialog, [result, thread](int r) {
        *result = r;
        wakeThread(thread);
    });
    // Never Qt's modality: it would block every thread's windows.
    dialog->setWindowModality(Qt::NonModal);
    adoptWindow(dialog);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    suspendUntil([&] { return *result != -1; });
    return *result;
}

} // namespace tbk::detail
