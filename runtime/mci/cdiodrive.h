#pragma once
// Drives and disc images read through libcdio; the library is used nowhere else.
#include "runtime/mci/cddrive.h"

namespace tbk {

enum class CdioSource { Drive, CueImage, TocImage };

// An empty path with CdioSource::Drive opens the system's default drive.
std::unique_ptr<CdDrive> openCdioDrive(const QString &path, CdioSource kind, QString *why);

} // namespace tbk
