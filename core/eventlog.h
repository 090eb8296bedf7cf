#pragma once
// The event log "TBKEvent.LOG" in the catalogue's folder: one fixed-width line per event, the
// fields of the EventLog declaration (date, time, label, data) side by side, ending in CR LF.
#include <QString>

namespace tbk {

inline const char *const kEventLogName = "TBKEvent.LOG";

// Appends one event when the setting UseLog is on. The file stays open between entries and is
// closed after every 101st; a failure to write is never reported.
void AddEventLogEntry(const QString &data, const QString &label);

// Closes the log when it is open; the next entry opens it again.
void CloseEventLog();

} // namespace tbk
