#pragma once
// The criteria a standard report asks for before it opens anything: layout, preview, custom
// font, and all records or those whose report key starts with a text. The window edits the
// shared criteria globals directly, so Cancel keeps what was changed; only the response says
// which button closed it.
#include <QString>

namespace tbk {

// The noun names what the starts-with text is tested against, plural and lower case
// ("titles"). Takes the request; leaves 1 after "&Ok", 2 otherwise.
void ReportCriteria(const QString &noun);

} // namespace tbk
