#pragma once
// The column layouts users give a window's lists, kept in ".\POSITION.INI" under the window's
// procedure. A layout is kept against the design it was made from: when the design (or the date
// format written into it) changes, the kept layout is dropped rather than shown over columns
// that no longer match it.
#include <QString>

namespace tbk {

// What the list-format routines read: the program, the file the layouts live in, and whether
// they keep them. Every window procedure stores it on entry.
struct ListFormatContextData {
    QString program;
    QString file;
    int keep = 0;
};
extern ListFormatContextData ListFormatContext;
void storeListFormatContext();

// The format a list opens with: the user's kept layout when the design is the one it was kept
// against, else the design, which is then recorded as the one layouts are kept against.
// `design` is the list's format as the window built it, date pictures already replaced.
QString restoreListFormat(const QString &procedure, const QString &listName, const QString &design);
// Keeps the list's present layout for the next time the window opens.
void saveListFormat(const QString &procedure, const QString &listName, const QString &format);

} // namespace tbk
