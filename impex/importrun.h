#pragma once
// The import run: one song per line of the open file, added to the songs file a batch at a time
// under a progress window that can be cancelled; then the album question.
#include "impex/importfields.h"

namespace tbk {

// Lines handled per turn of the progress window; the next turn follows at once.
inline constexpr int kImportBatch = 25;

// Asks for the file until the user picks one that is not empty; the file's size with the file
// open, or 0 when the dialog was cancelled or the file could not be opened (after its message).
qint64 ImportOpenFile(ImportTransfer &t);
// Opens the named file for reading, others denied writing: its size (0: empty, closed again), or
// -1 when it could not be opened (after its message).
qint64 ImportOpenNamedFile(ImportTransfer &t, const QString &name);

struct ImportOutcome {
    bool cancelled = false;
    qint64 added = 0;   // stored: a failed commit's songs are not counted
    // The error that ended the run ("Error #n - text"): a refused add's, or a failed commit's
    // (a refused write's before it, its cause, when there was one).
    QString failure;
};

// Adds the songs of the open file from its first line on (the header line dropped when asked),
// under the progress window. The file stays open.
ImportOutcome ImportFileSongs(ImportTransfer &t, const ImportFieldLists &lists, bool stripHeader, qint64 fileSize);
// Names the lines read so far that were skipped for their length, if any.
void reportTooLongLines(const ImportTransfer &t);
// That, then the file closed, the lines skipped for their length named, and unless cancelled the
// question whether to make album entries for the songs; after a refused add or a failed commit,
// the error and the songs the file holds instead.
void RunImport(ImportTransfer &t, const ImportFieldLists &lists, bool stripHeader, qint64 fileSize);

} // namespace tbk
