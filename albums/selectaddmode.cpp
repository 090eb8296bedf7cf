// How a new song is entered, asked when the add-mode setting leaves it open. The song form asks
// while its own insert request is pending: this window leaves the request alone.
#include "albums/addwizards.h"
#include "records/listformats.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/ui/window.h"
#include "runtime/ui/windowbuilder.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QPushButton>

namespace tbk {

namespace {

const QString kMode = QStringLiteral("Mode");
const QString kCompilation = QStringLiteral("Compilation");
constexpr int kAnswerLength = 20;

class AddModeWindow : public Window {
public:
    AddModeWindow() : Window(QStringLiteral("SelectAddMode")) { setKeepsPlace(false); }
    const QString &answer() const { return answer_; }

protected:
    QWidget *createWindow() override {
        WindowBuilder b(*this, QStringLiteral("Select Add Mode"), {110, 70});
        group_ = b.option(kMode, kMode, {kCompilation, QStringLiteral("Single Artist"), QStringLiteral("Normal")});
        ok_ = b.button(QStringLiteral("&Ok"));
        ok_->setDefault(true);
        return b.finish();
    }
    bool openRoutine() override {
        controls().setValue(kMode, answer_);
        on(ok_, EventKind::Accepted, [this] { closeWindow(); });
        if (auto *option = dynamic_cast<OptionField *>(FieldControl::of(group_)))
            selectControl(option->buttons().value(0));
        return true;
    }
    // The choice as the window closes, whichever way.
    void closeRoutine() override {
        FieldControl *option = FieldControl::of(group_);
        if (option && option->commit(false) && !option->value().toString().isEmpty())
            answer_ = option->value().toString();
    }

private:
    QString answer_ = kCompilation;
    QGroupBox *group_ = nullptr;
    QPushButton *ok_ = nullptr;
};

} // namespace

QString SelectAddMode() {
    storeListFormatContext();
    AddModeWindow window;
    window.run();
    GlobalResponse = RequestCancelled;
    return window.answer().leftJustified(kAnswerLength, QLatin1Char(' '), true);
}

} // namespace tbk
