#include "core/help.h"

#include "runtime/settings/profile.h"
#include "runtime/threads/messagebox.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace tbk {

namespace {

QString &helpFileName() {
    static QString name;
    return name;
}

} // namespace

void setHelpFile(const QString &name) { helpFileName() = name; }
QString helpFile() { return helpFileName(); }

void showHelp() {
    const QString name = helpFile().isEmpty() ? QString::fromLatin1(kHelpFileName) : helpFile();
    for (const QString &folder : {QCoreApplication::applicationDirPath(), QStringLiteral(".")}) {
        const QFileInfo f(findFileNoCase(folder + QLatin1Char('/') + name));
        if (f.isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(f.absoluteFilePath())))
            return;
    }
    message(QStringLiteral("The help file %1 could not be found or opened.").arg(name), QStringLiteral("Help"),
            MessageIcon::Information);
}

} // namespace tbk
