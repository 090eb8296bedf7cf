#include "runtime/threads/messagebox.h"

#include "runtime/threads/dialogrun.h"
#include "runtime/threads/halt.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include <array>
#include <memory>
#include <utility>

namespace tbk {

namespace {

constexpr std::array<std::pair<int, QMessageBox::StandardButton>, 8> kButtons{{
    {ButtonOK, QMessageBox::Ok},
    {ButtonYes, QMessageBox::Yes},
    {ButtonNo, QMessageBox::No},
    {ButtonAbort, QMessageBox::Abort},
    {ButtonRetry, QMessageBox::Retry},
    {ButtonIgnore, QMessageBox::Ignore},
    {ButtonCancel, QMessageBox::Cancel},
    {ButtonHelp, QMessageBox::Help},
}};

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Hand: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

int codeOf(QMessageBox::StandardButton b) {
    for (auto [code, qt] : kButtons)
        if (qt == b)
            return code;
    return 0;
}

} // namespace

int message(const QString &text, const QString &title, MessageIcon icon, int buttons,
            int defaultButton) {
    if (halting())
        return 0;
    if ((buttons & 0xFF) == 0)
        buttons = ButtonOK;
    auto *box = new QMessageBox(qtIcon(icon), title, text);
    QMessageBox::StandardButtons qtButtons;
    for (auto [code, qt] : kButtons)
        if (buttons & code)
            qtButtons |= qt;
    box->setStandardButtons(qtButtons);
    for (auto [code, qt] : kButtons)
        if (defaultButton == code && (buttons & code))
            box->setDefaultButton(qt);
    if (buttons & ButtonCancel)
        box->setEscapeButton(QMessageBox::Cancel);
    auto clicked = std::make_shared<QMessageBox::StandardButton>(QMessageBox::NoButton);
    QObject::connect(box, &QMessageBox::buttonClicked, box, [box, clicked](QAbstractButton *b) {
        *clicked = box->standardButton(b);
    });
    detail::runDialog(box);
    return codeOf(*clicked);
}

int message(const QString &text, const QString &title, MessageIcon icon, const QStringList &buttons) {
    if (halting() || buttons.isEmpty())
        return 0;
    auto *box = new QMessageBox(qtIcon(icon), title, text);
    QList<QAbstractButton *> added;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        QPushButton *b = box->addButton(buttons[i], QMessageBox::ActionRole);
        // Found by number, whatever order the platform's style lays them out in.
        b->setObjectName(QStringLiteral("MessageButton%1").arg(i + 1));
        added << b;
    }
    box->setDefaultButton(static_cast<QPushButton *>(added.front()));
    box->setEscapeButton(added.back());
    auto pressed = std::make_shared<int>(int(added.size()));
    QObject::connect(box, &QMessageBox::buttonClicked, box, [added, pressed](QAbstractButton *b) {
        *pressed = int(added.indexOf(b)) + 1;
    });
    detail::runDialog(box);
    return *pressed;
}

} // namespace tbk
