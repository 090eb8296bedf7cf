#pragma once
// The export run: asks for the file, writes the header line and then one line per song in
// artist order under a progress window that can be cancelled.
#include "impex/exportfields.h"

#include <QList>

namespace tbk {

// Songs handled per turn of the progress window; the next turn follows at once.
inline constexpr int kExportBatch = 25;

// Writes the chosen fields with their pictures. True when the run reached its progress window
// (completed, given up after a failed line or cancelled there); false when no file was chosen,
// it could not be made or the header line was given up.
bool RunExport(const QList<ExportField> &fields, bool header);
// The same once the file is chosen: from making the file to closing it.
bool RunExportToFile(const QString &fileName, const QList<ExportField> &fields, bool header);

} // namespace tbk
