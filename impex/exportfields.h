#pragma once
// The two field lists of the export window ("All Fields" and "Export Fields") and what the
// user does with them: marking rows, adding, removing, moving and choosing pictures. Plain
// data, so the rules are tested without a window.
#include <QList>
#include <QString>
#include <Qt>

namespace tbk {

struct ExportField {
    bool mark = false;   // the row's mark and its highlight in the list, always alike
    QString field;       // "MUS:Artist"
    QString picture;     // the picture the field is written with
};

// One list's rows with its highlighted row and the anchor of Shift marking (-1: none).
struct ExportFieldList {
    QList<ExportField> rows;
    int highlight = -1;
    int anchor = -1;

    int indexOf(const QString &field) const;
};

// The 30 exportable fields with their default pictures, in their fixed order.
const QList<ExportField> &exportableFields();
// The field's default picture; empty for a field that is not exportable.
QString defaultExportPicture(const QString &field);

// What a click or key on a list does to its marks.
enum class MarkAction {
    None,
    Click,    // only the current row marked; it becomes the anchor
    Toggle,   // the current row's mark toggled; it becomes the anchor
    Extend,   // the rows from the anchor to the current row marked, all others not
};
MarkAction markActionFor(bool leftClick, int key, Qt::KeyboardModifiers modifiers);
// Where a key the list gives up to marking moves its highlight (Shift with Up, Page Down,
// End ...); the row as it was for other keys.
int rowAfterKey(int row, int rowCount, int pageRows, int key);

// The marking rules, the same for both lists: `current` becomes the highlighted row.
void SelectListRows(ExportFieldList &list, int current, MarkAction action);
// Marked rows of "All Fields" go to the end of "Export Fields", each name once.
void AddExportFields(const ExportFieldList &all, ExportFieldList &chosen);
void RemoveExportFields(ExportFieldList &chosen);
void MoveExportFieldUp(ExportFieldList &chosen);
void MoveExportFieldDown(ExportFieldList &chosen);
// What the picture's type letter says of it: "Alpha-numeric", "Numeric" or the picture.
QString ShowPictureKind(const QString &picture);
// The same with the caller's word for a text picture.
QString pictureKind(const QString &picture, const QString &text);

} // namespace tbk
