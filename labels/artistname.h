#pragma once

#include <QString>

namespace tbk {

// An artist stored as "Surname, Given" turned round to "Given Surname"; a joined name
// ("Smith, John with Jane Doe") keeps its second artist after the turned-round first one.
QString ReorderArtistName(const QString &name);

}  // namespace tbk
