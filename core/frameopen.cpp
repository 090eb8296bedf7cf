#include "core/frameopen.h"

#include "core/datafiles.h"
#include "runtime/data/datafile.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/halt.h"

#include <QHash>

namespace tbk {

namespace {

// Interim opening until the shared routine with its warnings is part of the program: marks
// the file while it opens, creates a missing one, and ends the program when it cannot open.
void openOrCreate(data::DataFile &file) {
    const QString section = QStringLiteral("tbk98r"), entry = QStringLiteral("BadFile");
    putIni(section, entry, file.structure().diskName(), defaultSettingsFile());
    bool ok = file.open(data::SharedReadWrite) || data::errorCode() == data::FileAlreadyOpen;
    if (!ok && data::errorCode() == data::FileNotFound)
        ok = file.create() && file.open(data::SharedReadWrite);
    if (!ok && (data::errorCode() == data::InvalidRecordDeclaration || data::errorCode() == data::DriverError))
        ok = file.upgrade() && file.open(data::SharedReadWrite);
    if (!ok) {
        halt(QStringLiteral("Disk Error"));
        return;
    }
    putIni(section, entry, QString(), defaultSettingsFile());
}

QHash<data::DataFile *, qint32> &counts() {
    static QHash<data::DataFile *, qint32> c;
    return c;
}

} // namespace

void useDataFile(data::DataFile &file) {
    if (counts().value(&file) == 0)
        openOrCreate(file);
    ++counts()[&file];
}

void releaseDataFile(data::DataFile &file) {
    qint32 &n = counts()[&file];
    if (--n == 0)
        file.close();
    if (n < 0)
        n = 0;
}

void openConfigurationFile() {
    if (!CF.isOpen())
        openOrCreate(CF);
}

} // namespace tbk
