#pragma once
// Internal to runtime/threads: shows a dialog without a nested loop and suspends the calling
// thread until it is finished.
class QDialog;

namespace tbk::detail {

// Adopts the dialog as the calling thread's newest window, shows it and waits for it to
// finish; returns QDialog's result code. The dialog is released and deleted later in every
// case, also when the program halts meanwhile (then HaltUnwind goes on).
int runDialog(QDialog *dialog);

} // namespace tbk::detail
