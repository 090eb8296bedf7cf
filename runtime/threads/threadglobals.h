#pragma once
// The globals every logical thread keeps for itself; all other globals are shared.
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace tbk {

// One track of the disc in the drive, in the CD layer's units.
struct TrackEntry {
    qint32 start = 0;
    qint32 length = 0;
};

// One top-level window found by an enumeration of the desktop's windows.
struct WindowQueueEntry {
    QString LINE;      // title, up to 255 characters
    quint32 HANDLE = 0;
    QString EXENAME;   // not filled by the enumeration
};

struct ThreadGlobals {
    QList<TrackEntry> TrackQueue;
    QList<WindowQueueEntry> WindowQueue;
    QStringList TransferBuffer;   // the fields of the import/export line
    int ThreadInstance = 0;       // the thread's own number
};

// The calling logical thread's globals (outside any logical thread: one set of its own).
ThreadGlobals &threadGlobals();

} // namespace tbk
