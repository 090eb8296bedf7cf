#pragma once
// The two lists of the import window: the file's columns ("Import Field", with their pictures
// and the values of the line on display) and the song fields they may be assigned to ("Target
// Field"), with what the user does to them. Plain data, so the rules are tested without a
// window.
#include "impex/importreader.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tbk {

struct ImportColumn {
    QString field;            // "Field_1"
    QString displayPicture;   // "Alpha-num", "Numeric" or the picture itself
    QString value;            // the column's text in the line on display (100 characters)
    QString picture;          // "@S1000", "@N30.9" or one the user entered
    // Auto gave the column the export's date or time picture, which then also reads what other
    // programs write: a time of one or two parts as the song form reads it (minutes, or minutes
    // and seconds), a number as a number column does.
    bool exportPicture = false;
};

struct ImportTarget {
    QString field;    // "MUS:Artist"
    QString source;   // the assigned column's name; empty when none
    bool assigned() const { return !source.isEmpty(); }
};

struct ImportFieldLists {
    QList<ImportColumn> columns;
    QList<ImportTarget> targets;

    int columnIndex(const QString &field) const;
    // The first target the column is assigned to, -1 when none.
    int firstTargetOf(int column) const;
    // The column assigned to the target, -1 when none.
    int columnOf(int target) const;
    bool anyAssigned() const;
};

// The 29 song fields a column may fill, in their fixed order.
const QStringList &importTargetNames();
QList<ImportTarget> importTargets();

// "Alpha-num" for a text picture, "Numeric" for a number picture, else the picture.
QString importPictureKind(const QString &picture);
// A picture set so reads as itself alone.
void setColumnPicture(ImportColumn &column, const QString &picture);

// One column per field of the line in the record, each a text column showing its field.
QList<ImportColumn> columnsOfLine(ImportTransfer &t);
// The columns whose field in the line in the record is unquoted become number columns.
void typeColumnsByLine(QList<ImportColumn> &columns, ImportTransfer &t);
// Each column shows its field of the line in the record; columns beyond the line's last field
// keep what they showed.
void showLineValues(QList<ImportColumn> &columns, ImportTransfer &t);

// The targets, none assigned, and the columns from the first line, typed by the second; then the
// file rewound and the first line read again. False when the file has no line.
bool readImportColumns(ImportTransfer &t, ImportFieldLists &lists);

void AssignImportField(ImportFieldLists &lists, int target, int column);
void UnassignImportField(ImportFieldLists &lists, int target);
// Every target without a column takes the first column whose value is its name (case counts); a
// date or time column so taken that is still read as text (a date column also one read as
// numbers) gets the export's picture for its field.
void AutoAssignImportFields(ImportFieldLists &lists);

} // namespace tbk
