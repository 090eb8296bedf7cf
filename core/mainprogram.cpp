#include "core/mainprogram.h"

#include "core/datafiles.h"
#include "core/filemanager.h"
#include "core/frame.h"
#include "core/procedures.h"
#include "runtime/querywizard/displaytexts.h"
#include "core/startuprepair.h"
#include "runtime/data/upgrader.h"
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

bool &startupPrepared() {
    static bool prepared = false;
    return prepared;
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

void detail::forgetStartupPrepared() { startupPrepared() = false; }

void prepareStartup() {
    if (startupPrepared())
        return;
    startupPrepared() = true;
    // The upgrader answers for itself; its calls are not checked.
    data::up_AddDriver(QStringLiteral("Keyed"), QStringLiteral("KEYED"));
    data::up_IgnoreDriver(QStringLiteral("AllFiles"), 1);
    for (const RegisteredFile &r : registeredDataFiles())
        data::up_UsingFile(r.file->prefix(), r.file->label(), *r.file, r.registration);
    // With a file marked, the File Manager only offers its repair; a marker naming no data
    // file is cleared there.
    if (!crashMarker().isEmpty())
        FileManager();
}

void MainProgram() {
    setHelpFile(QString::fromLatin1(kHelpFileName));
    prepareStartup();
    QW_FileName = kQueryWizardFileName;
    runProcedure(QStringLiteral("SetQueryWizardTexts"));
    Main();
}

} // namespace tbk
