#pragma once
// Settings files with private-profile semantics: sections and entries named without regard to
// case, a missing entry reads as the caller's default, a write keeps everything else in place.
//
// File names: ".\X" (or "./X") is X in the current directory; a bare name ("TBank98.INI") is in
// the settings folder; any other path is taken as it is. An existing file is found whatever the
// case of its name.
#include <QString>
#include <QStringList>

namespace tbk {

// $TBK_CONFIG_DIR when set, else $XDG_CONFIG_HOME/tbk98, else ~/.config/tbk98.
QString settingsFolder();
// The system's default settings file (holds the crash marker).
QString defaultSettingsFile();
// Where a settings file name lives on disk (an existing file of another case is preferred).
QString settingsPath(const QString &file);
// The path of an existing file whose name matches without case, else the path as given
// (with backslashes turned into slashes).
QString findFileNoCase(const QString &path);

// Reads an entry; a missing section, entry or file gives the default; a present empty entry
// gives "". Blanks around the value are dropped.
QString getIni(const QString &section, const QString &entry, const QString &defaultValue,
               const QString &file);
// Writes an entry, creating the file and the section when needed; line breaks in the names
// and the value are written as blanks. Returns false when the file cannot be written.
bool putIni(const QString &section, const QString &entry, const QString &value,
            const QString &file);
// Why the last write that failed did so: the file's path and the system's reason.
QString iniWriteError();
// Removes an entry (no-op when absent).
bool removeIni(const QString &section, const QString &entry, const QString &file);
// The entry names of a section, in file order.
QStringList iniEntries(const QString &section, const QString &file);

} // namespace tbk
