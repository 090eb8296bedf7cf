// The catalogue program: the runtime on Qt's loop, the procedures of every subsystem, and the
// main program body on the first logical thread.
#include "core/mainprogram.h"
#include "core/procedures.h"
#include "core/splash.h"
#include "impex/exportsongs.h"
#include "impex/querywizardtexts.h"
#include "runtime/threads/halt.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tbk98r"));

    tbk::registerProcedure(QStringLiteral("SetQueryWizardTexts"), tbk::SetQueryWizardTexts);
    tbk::registerProcedure(QStringLiteral("ExportSongs"), tbk::ExportSongs);
    tbk::registerProcedure(QStringLiteral("ShowAboutWindow"), tbk::ShowAboutWindow);

    return tbk::runProgram(tbk::MainProgram);
}
