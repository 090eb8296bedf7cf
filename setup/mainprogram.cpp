#include "setup/mainprogram.h"

#include "core/datafiles.h"
#include "setup/filemanager.h"
#include "core/frame.h"
#include "core/help.h"
#include "core/procedures.h"
#include "runtime/querywizard/displaytexts.h"
#include "setup/startuprepair.h"
#include "runtime/data/upgrader.h"

namespace tbk {

namespace {

bool &startupPrepared() {
    static bool prepared = false;
    return prepared;
}

} // namespace

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
    // A repair started at an earlier start could not be watched: what it came to is shown now.
    ShowRepairResults();
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
