#pragma once
// A comma-delimited transfer: its text file and the buffers a line is built in or taken from.
// Every export and import run has its own, so two runs at once never mix their lines, and the
// file name is kept whole, however long its path.
#include "core/datafiles.h"

#include <QString>
#include <QVariant>

namespace tbk {

struct Transfer {
    Transfer();

    // The TransferFile declaration: one field RECORD (16000 bytes), the line as it is written.
    TransferTextFile file;
    QString fileName;          // as the file dialog gave it
    QString record;            // the line being built
    int linePosition = 1;      // 1-based place of the next character in `record`
    bool firstField = true;    // no comma before the first field of a line
    QString fieldText;         // one field on its way into or out of the line (4000 characters)
};

// Starts an empty line.
void ExportStartLine(Transfer &t);
// Appends one field: texts quoted with their quotes doubled, numbers bare, other pictures
// quoted at their full width.
void ExportWriteField(Transfer &t, const QVariant &value, const QString &picture, bool header);

// What a picture's type letter makes of a field in the line.
enum class FieldForm { Text, Number, Formatted };
FieldForm fieldFormOf(const QString &picture);
// ExportWriteField with the picture already clipped and its form known, for a run of lines.
void writeField(Transfer &t, const QVariant &value, const QString &picture, FieldForm form, bool header);
// A data field's quotes doubled; a header name made safe when it holds "[".
QString QuoteFieldText(const QString &text, bool header);
// Appends the line to the file; after a failure asks Retry or Abort. False when given up.
bool ExportAddRecord(Transfer &t);
// Closes the file; a failure is reported, nothing more.
void ExportCloseFile(Transfer &t);

// "Error #n - text" for the runtime's last error (a system error by its own code and text).
QString transferErrorText();
// Shows a failure of the transfer file: the title is the action and the file name.
int showTransferError(const Transfer &t, const QString &action, int buttons, int defaultButton = 0);

} // namespace tbk
