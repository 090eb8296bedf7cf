#include "impex/importfields.h"

#include "impex/exportfields.h"
#include "runtime/values/picture.h"
#include "runtime/values/text.h"

namespace tbk {

namespace {

constexpr int kValueSize = 100;
const QString kTextPicture = QStringLiteral("@S1000");
const QString kNumberPicture = QStringLiteral("@N30.9");

// The export writes dates and times quoted, under these pictures: a column of them that is still
// read as text takes its field's. So does a date column read as numbers, as the export writes
// bare years unquoted and other dates quoted.
void giveExportPicture(ImportColumn &column, const QString &target) {
    const QString picture = defaultExportPicture(target);
    const QChar family = pictureFamily(picture);
    const bool text = column.picture == kTextPicture;
    const bool number = column.picture == kNumberPicture;
    if ((family == QLatin1Char('t') && text) || (family == QLatin1Char('d') && (text || number))) {
        setColumnPicture(column, picture);
        column.exportPicture = true;
    }
}

} // namespace

int ImportFieldLists::columnIndex(const QString &field) const {
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].field == field)
            return i;
    return -1;
}

int ImportFieldLists::firstTargetOf(int column) const {
    if (column < 0 || column >= columns.size())
        return -1;
    for (int i = 0; i < targets.size(); ++i)
        if (targets[i].source == columns[column].field)
            return i;
    return -1;
}

int ImportFieldLists::columnOf(int target) const {
    return target < 0 || target >= targets.size() || !targets[target].assigned() ? -1
                                                                                : columnIndex(targets[target].source);
}

bool ImportFieldLists::anyAssigned() const {
    for (const ImportTarget &t : targets)
        if (t.assigned())
            return true;
    return false;
}

const QStringList &importTargetNames() {
    static const QStringList names{
        "MUS:Artist", "MUS:Title", "MUS:Mix", "MUS:Album", "MUS:Media", "MUS:FileNumber",
        "MUS:ReleaseDate", "MUS:CategoryID", "MUS:ChartNumber", "MUS:TrackNumber", "MUS:Side",
        "MUS:Time", "MUS:UserDefinedKeyField", "MUS:AdditionalInformation1",
        "MUS:AdditionalInformation2", "MUS:AdditionalInformation3", "MUS:BeatsPerMinute",
        "MUS:Style", "MUS:Recording", "MUS:Composer", "MUS:PerformanceNotes", "MUS:LastPlayed",
        "MUS:Skips", "MUS:EndType", "MUS:InOut", "MUS:Notes", "MUS:Rating", "MUS:Live",
        "MUS:DoNotPlay",
    };
    return names;
}

QList<ImportTarget> importTargets() {
    QList<ImportTarget> out;
    for (const QString &name : importTargetNames())
        out.append({name, {}});
    return out;
}

QString importPictureKind(const QString &picture) { return pictureKind(picture, QStringLiteral("Alpha-num")); }

void setColumnPicture(ImportColumn &column, const QString &picture) {
    column.picture = picture;
    column.displayPicture = importPictureKind(picture);
    column.exportPicture = false;
}

QList<ImportColumn> columnsOfLine(ImportTransfer &t) {
    QList<ImportColumn> out;
    while (ImportNextField(t) != 0) {
        ImportColumn c;
        c.field = QStringLiteral("Field_%1").arg(out.size() + 1);
        c.value = fit(t.fieldText, kValueSize);
        setColumnPicture(c, kTextPicture);
        out.append(c);
    }
    return out;
}

void typeColumnsByLine(QList<ImportColumn> &columns, ImportTransfer &t) {
    for (ImportColumn &c : columns) {
        const int kind = ImportNextField(t);
        if (kind == 0)
            return;
        if (kind == 2)
            setColumnPicture(c, kNumberPicture);
    }
}

void showLineValues(QList<ImportColumn> &columns, ImportTransfer &t) {
    for (ImportColumn &c : columns) {
        if (ImportNextField(t) == 0)
            return;
        c.value = fit(t.fieldText, kValueSize);
    }
}

bool readImportColumns(ImportTransfer &t, ImportFieldLists &lists) {
    lists.targets = importTargets();
    if (ImportReadLine(t) == 0)
        return false;
    lists.columns = columnsOfLine(t);
    if (ImportReadLine(t) > 0)
        typeColumnsByLine(lists.columns, t);
    ImportRewind(t, true);
    ImportReadLine(t);
    return true;
}

void AssignImportField(ImportFieldLists &lists, int target, int column) {
    if (target < 0 || target >= lists.targets.size() || column < 0 || column >= lists.columns.size())
        return;
    lists.targets[target].source = lists.columns[column].field;
}

void UnassignImportField(ImportFieldLists &lists, int target) {
    if (target >= 0 && target < lists.targets.size())
        lists.targets[target].source.clear();
}

void AutoAssignImportFields(ImportFieldLists &lists) {
    for (ImportTarget &t : lists.targets) {
        if (t.assigned())
            continue;
        for (ImportColumn &c : lists.columns)
            if (sameText(c.value, t.field)) {
                t.source = c.field;
                giveExportPicture(c, t.field);
                break;
            }
    }
}

} // namespace tbk
