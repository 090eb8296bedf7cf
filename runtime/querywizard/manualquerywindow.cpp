#include "runtime/querywizard/wizardwindows.h"

#include "runtime/querywizard/windowparts.h"
#include "runtime/expr/syntax.h"
#include "runtime/querywizard/displaytexts.h"
#include "runtime/threads/messagebox.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"
#include "runtime/data/errors.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

namespace tbk::qw {

using namespace windowparts;

ManualQueryWindow::ManualQueryWindow(const QueryFieldQueue &queue, QString text)
    : Window(QStringLiteral("QueryWizardManual")), queue_(queue), text_(std::move(text)) {}

QWidget *ManualQueryWindow::createWindow() {
    WindowBuilder b(*this, qw::text(120), {260, 110});
    b.group(qw::text(160));
    b.memo({}, QStringLiteral("QueryText"), 60, qw::text(119));
    b.endGroup();
    QPushButton *ok = b.button(qw::text(242));
    QPushButton *cancel = b.button(qw::text(109), qw::text(107));
    QWidget *w = b.finish();
    useFont(w, 77, 78);
    on(ok, EventKind::Accepted, [this] {
        controls().validateAll();
        const QString t = controls().value(QStringLiteral("QueryText")).toString().trimmed();
        if (!acceptable(queue_, t)) {
            selectControl(controls().control(QStringLiteral("QueryText")));
            return;
        }
        text_ = t;
        accepted_ = true;
        closeWindow();
    });
    on(cancel, EventKind::Accepted, [this] { closeWindow(); });
    return w;
}

bool ManualQueryWindow::openRoutine() {
    controls().setValue(QStringLiteral("QueryText"), text_);
    controls().control(QStringLiteral("QueryText"))->setFocus();
    return true;
}

} // namespace tbk::qw
