#include "records/listformats.h"

#include "runtime/settings/profile.h"
#include "runtime/ui/windowplace.h"

namespace tbk {

ListFormatContextData ListFormatContext;

void storeListFormatContext() {
    ListFormatContext = {QStringLiteral("tbk98r"), QString::fromLatin1(kPositionFile), 1};
}

namespace {
QString originalEntry(const QString &listName) { return QStringLiteral("SRCFOriginal?") + listName; }
QString keptEntry(const QString &listName) { return QStringLiteral("SRCF?") + listName; }
const QString &positionFile() {
    static const QString file = QString::fromLatin1(kPositionFile);
    return file;
}
} // namespace

QString restoreListFormat(const QString &procedure, const QString &listName, const QString &design) {
    const QString original = getIni(procedure, originalEntry(listName), QString(), positionFile());
    // The file keeps values without surrounding blanks.
    if (original != design.trimmed()) {
        putIni(procedure, originalEntry(listName), design, positionFile());
        return design;
    }
    const QString kept = getIni(procedure, keptEntry(listName), QString(), positionFile());
    return kept.isEmpty() ? design : kept;
}

void saveListFormat(const QString &procedure, const QString &listName, const QString &format) {
    putIni(procedure, keptEntry(listName), format, positionFile());
}

} // namespace tbk
