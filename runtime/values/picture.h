#pragma once
// Pictures: the runtime's display and edit formats ("@s30", "@n-13", "@d17", "@t4", "@p(<)p",
// "@k..k"...). One module formats a value for display and parses a user's text back.
#include <QString>
#include <QVariant>

#include <optional>

namespace tbk {

// Formats a value with a picture. Dates and times take day numbers and clock values
// (see dates.h), numbers take any numeric QVariant, strings take text.
QString formatPicture(const QString &picture, const QVariant &value);

// Parses a user's text with a picture; nullopt when the text does not fit (the caller beeps
// and selects the entry again). Dates and times give qint32, numbers double or qint64,
// strings QString.
std::optional<QVariant> parsePicture(const QString &picture, const QString &text);

// True when the text is a picture the module knows.
bool isValidPicture(const QString &picture);

} // namespace tbk
