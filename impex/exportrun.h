#pragma once
// The export run: asks for the file, writes the header line and then one line per song in
// artist order under a progress window that can be cancelled.
#include "impex/exportfields.h"

#include <QList>

namespace tbk {

// Songs handled between two looks at the clock, which ends a turn of the progress window.
inline constexpr int kExportBatch = 25;

// Writes the chosen fields with their pictures. True when the run reached its progress window
// (completed, given up after a failed line or cancelled there); false when no file was chosen,
// it could not be made or the header line was given up.
bool RunExport(const QList<ExportField> &fields, bool header);
// The same once the file is chosen: from making the file to closing it.
bool RunExportToFile(const QString &fileName, const QList<ExportField> &fields, bool header);

// Lines kept in memory before they are written, in bytes (about 64 MB): past it the songs go
// out in parts of the artist order, the songs read once for each. For tests.
void setExportLineBudget(qsizetype bytes);
// How long a turn of the run lasts before Qt and the other threads run, in milliseconds (-1:
// the default 40). For tests.
void setExportTurn(int ms);

} // namespace tbk
