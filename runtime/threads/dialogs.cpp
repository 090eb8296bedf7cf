#include "runtime/threads/dialogs.h"

#include "runtime/threads/dialogrun.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/scheduler.h"
#include "runtime/threads/timerclock.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QPointer>
#include <QPrintDialog>

#include <memory>

namespace tbk {

QString qtFileFilter(const QString &filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(),
                                             QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')));
    return out.join(QStringLiteral(";;"));
}

QString fileDialog(const QString &title, const QString &startFile, const QString &filter,
                   FileDialogMode mode) {
    QString start = startFile;
    for (;;) {
        if (halting())
            return {};
        auto *d = new QFileDialog(nullptr, title, start, qtFileFilter(filter));
        d->setOption(QFileDialog::DontUseNativeDialog);
        if (mode == FileDialogMode::Save) {
            d->setAcceptMode(QFileDialog::AcceptSave);
            d->setFileMode(QFileDialog::AnyFile);
            // The dialog's own question would run an event loop of its own: ours suspends only
            // this thread.
            d->setOption(QFileDialog::DontConfirmOverwrite);
        } else {
            d->setFileMode(QFileDialog::ExistingFile);
        }
        if (detail::runDialog(d) != QDialog::Accepted || d->selectedFiles().isEmpty())
            return {};
        const QString chosen = d->selectedFiles().constFirst();
        if (mode != FileDialogMode::Save || !QFileInfo::exists(chosen) ||
            message(QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(chosen).fileName()),
                    title, MessageIcon::Question, ButtonYes | ButtonNo, ButtonNo) == ButtonYes)
            return chosen;
        start = chosen;
    }
}

namespace {

// The colours a font dialog offers, as the desktop's own dialog names them.
const std::pair<const char *, QRgb> kFontColours[] = {
    {"Black", 0x000000}, {"Maroon", 0x800000}, {"Green", 0x008000}, {"Olive", 0x808000},
    {"Navy", 0x000080},  {"Purple", 0x800080}, {"Teal", 0x008080},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0xFF0000},   {"Lime", 0x00FF00},  {"Yellow", 0xFFFF00},
    {"Blue", 0x0000FF},  {"Fuchsia", 0xFF00FF}, {"Aqua", 0x00FFFF}, {"White", 0xFFFFFF},
};

// A "Colour" choice under the dialog's effects; a colour not among the named ones is offered
// as "Custom" so that OK without a change keeps it.
QComboBox *addColourChoice(QFontDialog *d, const QColor &initial) {
    QGroupBox *effects = d->findChild<QGroupBox *>();
    if (!effects || !effects->layout())
        return nullptr;
    auto *box = new QComboBox(effects);
    box->setObjectName(QStringLiteral("Colour"));
    for (const auto &[name, rgb] : kFontColours) {
        QPixmap swatch(12, 12);
        swatch.fill(QColor(rgb));
        box->addItem(QIcon(swatch), QString::fromLatin1(name), QColor(rgb));
    }
    int at = box->findData(QColor(initial.rgb()));
    if (at < 0) {
        QPixmap swatch(12, 12);
        swatch.fill(initial);
        box->addItem(QIcon(swatch), QStringLiteral("Custom"), initial);
        at = box->count() - 1;
    }
    box->setCurrentIndex(at);
    auto *label = new QLabel(QStringLiteral("&Colour:"), effects);
    label->setBuddy(box);
    effects->layout()->addWidget(label);
    effects->layout()->addWidget(box);
    return box;
}

} // namespace

std::optional<QFont> fontDialog(const QFont &initial, const QString &title, QColor *colour) {
    if (halting())
        return std::nullopt;
    auto *d = new QFontDialog(initial);
    d->setOption(QFontDialog::DontUseNativeDialog);
    if (!title.isEmpty())
        d->setWindowTitle(title);
    QPointer<QComboBox> colours = colour ? addColourChoice(d, *colour) : nullptr;
    if (detail::runDialog(d) != QDialog::Accepted)
        return std::nullopt;
    if (colour && colours)
        *colour = colours->currentData().value<QColor>();
    return d->selectedFont();
}

std::optional<QColor> colorDialog(const QColor &initial, const QString &title) {
    if (halting())
        return std::nullopt;
    auto *d = new QColorDialog(initial);
    d->setOption(QColorDialog::DontUseNativeDialog);
    if (!title.isEmpty())
        d->setWindowTitle(title);
    if (detail::runDialog(d) != QDialog::Accepted)
        return std::nullopt;
    return d->selectedColor();
}

bool printDialog(QPrinter *printer, const QString &title) {
    if (halting() || !printer)
        return false;
    auto *d = new QPrintDialog(printer);
    if (!title.isEmpty())
        d->setWindowTitle(title);
    return detail::runDialog(d) == QDialog::Accepted;
}

int popupMenu(const QString &items) {
    if (halting())
        return 0;
    const int thread = currentThreadNumber();
    auto *menu = new QMenu;
    menu->setProperty("tbkThread", thread);
    int number = 0;
    for (const QString &item : items.split(QLatin1Char('|'))) {
        if (item.trimmed() == QLatin1String("-")) {
            menu->addSeparator();
            continue;
        }
        ++number;
        QString text = item;
        const bool greyed = text.startsWith(QLatin1Char('~'));
        if (greyed)
            text.remove(0, 1);
        // "+" in front ticks an item, "-" leaves it unticked beside ticked ones.
        const bool ticked = text.startsWith(QLatin1Char('+'));
        const bool tickable = ticked || text.startsWith(QLatin1Char('-'));
        if (tickable)
            text.remove(0, 1);
        QAction *a = menu->addAction(text);
        a->setData(number);
        a->setEnabled(!greyed);
        a->setCheckable(tickable);
        a->setChecked(ticked);
    }
    auto chosen = std::make_shared<int>(0);
    auto closed = std::make_shared<bool>(false);
    // The chosen action is reported after the menu hides, in the same turn of Qt's loop; the
    // thread resumes only after that turn, so it sees both.
    QObject::connect(menu, &QMenu::triggered, menu, [chosen](QAction *a) { *chosen = a->data().toInt(); });
    QObject::connect(menu, &QMenu::aboutToHide, menu, [closed, thread] {
        *closed = true;
        wakeThread(thread);
    });
    struct Cleanup {
        QPointer<QMenu> m;
        ~Cleanup() {
            if (m) {
                m->hide();
                m->deleteLater();
            }
        }
    } cleanup{menu};
    menu->popup(QCursor::pos());
    suspendUntil([&] { return *closed; });
    return *chosen;
}

void waitTimer(int hundredths) {
    if (halting())
        return;
    const int thread = currentThreadNumber();
    auto fired = std::make_shared<bool>(false);
    const auto timer = timerClock().start(std::max(0, hundredths), false, [fired, thread] {
        *fired = true;
        wakeThread(thread);
    });
    suspendUntil([&] { return *fired; });
}

} // namespace tbk
