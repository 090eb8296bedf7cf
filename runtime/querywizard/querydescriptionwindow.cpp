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

QueryDescriptionWindow::QueryDescriptionWindow(bool adding, QString description)
    : Window(QStringLiteral("QueryWizardDescription")), adding_(adding), description_(std::move(description)) {}

QWidget *QueryDescriptionWindow::createWindow() {
    WindowBuilder b(*this, text(adding_ ? 235 : 233), {220, 60});
    b.text(text(adding_ ? 232 : 231));
    QLineEdit *entry = b.entry(text(236), QStringLiteral("Description"), QStringLiteral("@s60"));
    QPushButton *ok = button(b, 242, 240, 241);
    QPushButton *cancel = button(b, 239, 237, 238);
    ok->setDefault(true);
    QWidget *w = b.finish();
    useFont(w, 243, 244);
    setCheck(entry, [entry] { return entry->text().trimmed().isEmpty() ? 1 : 0; });
    on(ok, EventKind::Accepted, [this] {
        if (controls().validateAll())
            return;
        description_ = controls().value(QStringLiteral("Description")).toString().trimmed();
        accepted_ = true;
        closeWindow();
    });
    on(cancel, EventKind::Accepted, [this] { closeWindow(); });
    return w;
}

bool QueryDescriptionWindow::openRoutine() {
    controls().setValue(QStringLiteral("Description"), description_);
    selectControl(controls().control(QStringLiteral("Description")));
    return true;
}

} // namespace tbk::qw
