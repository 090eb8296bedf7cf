#include "core/smallservices.h"

#include "core/datafiles.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/threadglobals.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHash>
#include <QPointer>
#include <QUrl>
#include <QWidget>

namespace tbk {

FixedString<255> SongTitleText;

QString FormatSongTitle() {
    SongTitleText = MUS.Title.str();
    if (MUS.Skips != 0)
        SongTitleText = clip(MUS.Title.str()) + QStringLiteral(" (Skips)");
    if (MUS.Title.str().contains(QLatin1String("(Skips)")))
        MUS.Skips = 1;
    if (!clip(MUS.Mix.str()).isEmpty())
        SongTitleText = SongTitleText.str() + QStringLiteral(" (") + clip(MUS.Mix.str()) + QLatin1Char(')');
    return clip(SongTitleText);
}

void ShellOpenFile(const QString &verb, const QString &fileName) {
    // The desktop knows one action per kind of file: "play" and "open" both start it.
    Q_UNUSED(verb);
    const QString name = fit(clip(fileName), 256);
    if (name.isEmpty())
        return;
    // A file, found without case, wins over an address: "Remix: Live.wav" is a file name on
    // this system. The desktop gets the full path: it does not share our current folder.
    const QFileInfo file(findFileNoCase(name));
    const QUrl url(name);
    if (!file.exists() && url.isValid() && url.scheme().size() > 1) {
        QDesktopServices::openUrl(url);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
}

namespace {

struct Handles {
    QHash<WindowHandle, QPointer<QWidget>> byHandle;
    QHash<QWidget *, WindowHandle> byWidget;
    WindowHandle next = 1;
};

Handles &handles() {
    static Handles h;
    return h;
}

WindowHandle handleOf(QWidget *w) {
    Handles &h = handles();
    if (auto it = h.byWidget.constFind(w); it != h.byWidget.cend() && h.byHandle.value(*it))
        return *it;
    const WindowHandle handle = h.next++;
    h.byWidget.insert(w, handle);
    h.byHandle.insert(handle, w);
    return handle;
}

} // namespace

QString windowTitleOf(WindowHandle window) {
    const QPointer<QWidget> w = handles().byHandle.value(window);
    return w ? w->windowTitle() : QString();
}

int EnumWindowProc(WindowHandle window, qint32) {
    const QString title = windowTitleOf(window);
    if (!title.isEmpty())
        threadGlobals().WindowQueue.append(WindowQueueEntry{fit(title, 255), window, QString()});
    return 1;
}

void EnumWindows(int (*procedure)(WindowHandle, qint32), qint32 value) {
    QList<WindowHandle> list;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible())
            list.append(handleOf(w));
    for (WindowHandle h : list)
        if (procedure(h, value) == 0)
            break;
}

} // namespace tbk
