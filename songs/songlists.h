#pragma once
// What the song lists share: the looked-up names loaded with each row, and the choice of the
// record a filtered tab shows.
#include "runtime/data/datafile.h"

#include <QString>

class QLineEdit;

namespace tbk {

class WindowBuilder;

// The locator's text under its prompt; the list's keys write it, not the user.
QLineEdit *locatorEntry(WindowBuilder &b, const QString &prompt = QStringLiteral("Locator:"));

// The song's category into the categories buffer, blank when it has none or it is gone.
void joinCategory();
// The same, and the song's media format into the media buffer.
void joinCategoryAndMedia();
// Calls the file's list in select mode. A list closed without a choice leaves the buffer as it
// was: the row it highlighted last is no choice of the user's.
void selectFilterRecord(data::DataFile &file, void (*browse)());

} // namespace tbk
