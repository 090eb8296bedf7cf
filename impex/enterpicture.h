#pragma once
// The window "Enter Picture..." of the export and the import.
#include <QString>

namespace tbk {

// Lets the user change a picture (up to 30 characters, beginning with "@"); the picture
// entered, or an empty text when the user cancelled.
QString EnterPicture(const QString &picture);

} // namespace tbk
