#include "records/wizardsteps.h"

#include "runtime/ui/windowbuilder.h"

#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

namespace tbk {

QPushButton *WizardSteps::addButtons(WindowBuilder &b) {
    back = b.button(QStringLiteral("&Back"));
    next = b.button(QStringLiteral("&Next"));
    finish = b.button(QStringLiteral("&Finish"));
    return b.button(QStringLiteral("Cancel"));
}

int WizardSteps::count() const { return sheet->count(); }

int WizardSteps::show(int step) const {
    sheet->tabBar()->hide();
    const int last = count();
    step = std::clamp(step, 1, last);
    const bool onLast = step == last;
    finish->setVisible(onLast);
    finish->setDefault(onLast);
    next->setDefault(!onLast);
    next->setEnabled(!onLast);
    back->setEnabled(step > 1);
    sheet->setCurrentIndex(step - 1);
    return step;
}

} // namespace tbk
