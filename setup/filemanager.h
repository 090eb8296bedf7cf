#pragma once
// The File Manager: first the start-up repair offer; when no file is marked, the window over the
// data files that rebuilds keys, packs, releases, counts or repairs the tagged ones. It opens the
// files itself, never through the open counts, and closes only what it opened.
#include <QString>

namespace tbk {

void FileManager();

namespace filemanager {
// The list's rows, by the label of their table, in list order.
const QStringList &tableLabels();
} // namespace filemanager

} // namespace tbk
