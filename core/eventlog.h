#pragma once
// The event log "TBKEvent.LOG" in the catalogue's folder: one fixed-width line per event,
// date (12 characters), time (10), label (30) and data (50) side by side.
#include <QString>

namespace tbk {

inline const char *const kEventLogName = "TBKEvent.LOG";
constexpr int kEventLogDateWidth = 12;
constexpr int kEventLogTimeWidth = 10;
constexpr int kEventLogLabelWidth = 30;
constexpr int kEventLogDataWidth = 50;

// Appends one event when the setting UseLog is on. The file stays open between entries and is
// closed after every 101st; a failure to write is never reported.
void AddEventLogEntry(const QString &data, const QString &label);

// Closes the log when it is open; the next entry opens it again.
void CloseEventLog();

} // namespace tbk
