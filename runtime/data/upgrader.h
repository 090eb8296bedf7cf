#pragma once
// The file-structure upgrader's interface as the program calls it at start and from the File
// Manager. Registration numbers are kept per file object; each data file stores the number of
// the layout it was written in, and an older file is brought to the declared layout.
#include <QString>

namespace tbk::data {

class DataFile;

void up_AddDriver(const QString &name, const QString &declaration);
void up_IgnoreDriver(const QString &name, int ignore);
// Registers a file with its prefix, label and registration number. The number must be the one
// its structure declares (a mismatch is a programming error and is reported by returning false).
bool up_UsingFile(const QString &prefix, const QString &label, DataFile &file, int registration);
bool up_IsRegistered(const DataFile &file);
// Upgrades the (closed) file; true when it is now in the declared layout. On failure the
// runtime error says why (2 no file, 36 not ours, 47 newer or foreign layout, 40, 90).
bool up_UpGradeFile(DataFile &file);
// Writes the structure example "<base>.dex" next to the file for the repair program. Answers
// "" on success, "1" when the file is not registered, "2" when it is not an indexed data file,
// "3" when the example cannot be written (the runtime error says why).
QString up_MakeExample(DataFile &file);
QString exampleFileName(const DataFile &file);   // "<base>.dex"

} // namespace tbk::data
