#pragma once
// Checks a data file and rebuilds it from whatever rows can still be read, keeping the
// original as "<name>.bak" ("<name>.bak1", ... when an earlier repair's copy is there). The
// structure comes from the example file the program wrote (".dex"), else from the copy every
// data file keeps of its own structure.
#include <QList>
#include <QString>
#include <QStringList>

namespace tbk::datfix {

enum Exit { Done = 0, Usage = 1, Missing = 2, NotOurs = 3, InUse = 4, Unrecoverable = 5, Lost = 6 };

struct Outcome {
    int exit = Done;
    QStringList messages;     // for the user, one line each
    bool damageFound = false; // false: the check found no problem and every record was kept unchanged
    qint64 kept = 0;          // rows copied into the rebuilt file
    // Records left out: those that could not be read and those a unique key refused (their
    // values were already held by a kept record); -1: some, how many is unknown.
    qint64 lost = 0;
    // The numbers of the records left out, sorted: exactly those when there are `lost` of them,
    // else the numbers the keys still list that were not read.
    QList<qint64> lostNumbers;
    QList<qint64> refused;    // the records a unique key refused (among lostNumbers)
    QList<qint64> damaged;    // records kept that may not be as they were written, sorted
    int unreadable = 0;       // stretches of record numbers that could not be read
    QStringList problems;     // what the integrity check found
};

// args as on the command line: <name> [/E:<example>] [/K]
Outcome run(const QStringList &args);

} // namespace tbk::datfix
