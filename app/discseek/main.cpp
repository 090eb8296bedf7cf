// The disc lookup agent: one window, one lookup, always exit code 0.
#include "agent/fmcddb.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Disc Seeker"));
    QApplication::setApplicationDisplayName(QStringLiteral("Disc Seeker"));
    tbk::agent::TfmCDDB fmCDDB;
    QObject::connect(&fmCDDB, &tbk::agent::TfmCDDB::closed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    fmCDDB.show();
    app.exec();
    return 0;
}
