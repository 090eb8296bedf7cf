#include "impex/enterpicture.h"

#include "runtime/threads/messagebox.h"
#include "runtime/ui/window.h"
#include "runtime/ui/windowbuilder.h"

#include <QLineEdit>
#include <QPushButton>

namespace tbk {

namespace {

const QString kPictureField = QStringLiteral("Picture");

class EnterPictureWindow : public Window {
public:
    explicit EnterPictureWindow(const QString &picture) : Window(QStringLiteral("EnterPicture")), given_(picture) {}
    QString answer() const { return answer_; }

protected:
    QWidget *createWindow() override {
        WindowBuilder b(*this, QStringLiteral("Enter Picture..."), {150, 40});
        QLineEdit *entry = b.entry(QStringLiteral("Picture:"), kPictureField, QStringLiteral("@s30"));
        QPushButton *ok = b.button(QStringLiteral("&OK"));
        QPushButton *cancel = b.button(QStringLiteral("&Cancel"));
        ok->setDefault(true);
        controls().setValue(kPictureField, given_);
        setCheck(entry, [this] { return beginsWithAt() ? 0 : 1; });
        on(ok, EventKind::Accepted, [this] {
            if (controls().validateAll())
                return;
            answer_ = controls().value(kPictureField).toString();
            closeWindow();
        });
        on(cancel, EventKind::Accepted, [this] { closeWindow(); });
        return b.finish();
    }

private:
    bool beginsWithAt() {
        if (controls().value(kPictureField).toString().startsWith(QLatin1Char('@')))
            return true;
        message(QStringLiteral("Pictures must begin with \"@\""), QStringLiteral("Invalid Picture!"),
                MessageIcon::Information);
        return false;
    }

    QString given_;
    QString answer_;
};

} // namespace

QString EnterPicture(const QString &picture) {
    EnterPictureWindow w(picture);
    w.run();
    return w.answer();
}

} // namespace tbk
