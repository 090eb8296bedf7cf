#pragma once
// Reading a comma-delimited file line by line and field by field. A line is what the file
// holds up to its line end, except that a quoted field still open at the end of its line goes
// on over the break (kept in the field as the file wrote it) when its closing quote follows
// within the line's 16,000 characters. Empty lines are passed over; lines over 16,000
// characters are skipped whole and counted. A line that is not UTF-8 is read as Windows-1252
// (a UTF-16 file is decoded whole as it opens, see TextFile); NULs are left out.
#include "impex/transfer.h"

#include <QList>
#include <QStringView>

#include <deque>

namespace tbk {

inline constexpr int kImportLineSize = 16000;

// One line as the file holds it, numbered from 1.
struct FileLine {
    QString text;              // without the blanks that end it
    qint64 number = 0;
    bool tooLong = false;
    int endBlanks = 0;         // those blanks: a quoted field going on to the next line keeps them
    bool endsInReturn = false; // "\r\n" ends it, not "\n"
};

struct ImportTransfer : Transfer {
    bool fieldDeformatted = false;   // the current field was deformatted by a picture
    // Lines read from the file to see where an open quoted field ends, not yet taken.
    std::deque<FileLine> ahead;
    qint64 linesRead = 0;
    // Lines skipped for their length: how many, and the numbers of the first few.
    int tooLongCount = 0;
    QList<qint64> tooLongLines;
};

// Reads the next line that is not empty into the record; its length, or 0 at the end of the
// file (or after a read error).
int ImportReadLine(ImportTransfer &t);
// Takes the next field of the line into the field text: 0 when there is none, 1 for a quoted
// field, 2 for an unquoted one.
int ImportNextField(ImportTransfer &t);
// Replaces the field text by its value under the picture, unless the picture is a text or number
// picture or the field was deformatted already; a text the picture cannot read gives 0.
void ImportDeformatField(ImportTransfer &t, const QString &picture);
// Back to the first line, the skipped lines forgotten.
void ImportRewind(ImportTransfer &t, bool quickScan);
void ImportCloseFile(ImportTransfer &t);

// Whether the line's last field is a quoted one without its closing quote.
bool endsInsideQuotes(QStringView line);

} // namespace tbk
