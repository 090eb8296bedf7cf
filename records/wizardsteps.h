#pragma once
// The pages of a wizard on a sheet whose tabs are hidden, and its buttons: Back from the second
// page on, Next up to the page before the last, Finish shown (and the default) only on the last.
class QPushButton;
class QTabWidget;

namespace tbk {

class WindowBuilder;

struct WizardSteps {
    QTabWidget *sheet = nullptr;
    QPushButton *back = nullptr;
    QPushButton *next = nullptr;
    QPushButton *finish = nullptr;

    // The buttons under the pages, in their tab order: Back, Next, Finish and Cancel, which it
    // returns. The sheet is set once the window is built.
    QPushButton *addButtons(WindowBuilder &b);
    // Shows page `step` (1 up, held to the pages there are) with its buttons; the step shown.
    int show(int step) const;
    int count() const;
};

} // namespace tbk
