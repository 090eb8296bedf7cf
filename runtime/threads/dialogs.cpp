#include "runtime/threads/dialogs.h"

#include "runtime/threads/dialogrun.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/scheduler.h"
#include "runtime/threads/timerclock.h"

#include <QApplication>
#include <QColorDialog>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
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

std::optional<QFont> fontDialog(const QFont &initial, const QString &title) {
    if (halting())
        return std::nullopt;
    auto *d = new QFontDialog(initial);
    d->setOption(QFontDialog::DontUseNativeDialog);
    if (!title.isEmpty())
        d->setWindowTitle(title);
    if (detail::runDialog(d) != QDialog::Accepted)
        return std::nullopt;
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
