#pragma once
// The crash marker and the repair of a data file by the outside utility "datfix": the offer at
// start-up when an earlier run died while opening a file, the Fix action itself, and at the
// next start what a repair that nobody watched came to.
#include "core/fileaccess.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace tbk::data {
class DataFile;
}

namespace tbk {

inline const char *const kRepairProgram = "datfix";

// The marked name without trailing blanks; empty when no file is marked.
QString crashMarker();
void clearCrashMarker();

// The indexed data file whose disk name is the marked name (with or without its ".dat",
// without regard to case); null for any other name.
data::DataFile *markedDataFile(const QString &marker);

// The repair utility's arguments for a disk name: "tbkdata" gives
// tbkdata.dat /E:tbkdata.dex /K.
QStringList repairArguments(const QString &diskName);

// The file in which an unwatched repair of the named file leaves its outcome for the next start:
// "tbkdata" gives tbkdata.dat.fixreport.
QString repairResultFile(const QString &diskName);

// The Fix action on one data file: writes the structure example the utility needs and starts
// the utility without waiting. False when it was not started (the user has been told why).
// With `watched`, the utility is watched: when it ends, `watched` gets the file's name as the
// utility was given it, its exit status (-1 when it did not end normally) and its own words.
// Unwatched, the utility leaves its outcome in the file's repairResultFile.
bool FixDataFile(data::DataFile &file,
                 std::function<void(const QString &name, int status, const QString &said)> watched = {});

// Tells the user, in a box on the calling thread, what a run of the utility came to: no damage
// found, repaired, records lost, or not repaired, with the utility's own words.
void showRepairOutcome(const QString &name, int status, const QString &said);

// Shows, once, the outcome every unwatched repair has left since, and removes it.
void ShowRepairResults();

enum class RepairOffer {
    NoFileMarked,
    UnknownFileCleared,   // the marked name was none of the data files: the marker is cleared
    Declined,             // the marker stays
    Accepted,             // the program is ending
};

// Runs first whenever the File Manager is called. Returns when no file is marked, when the
// marked name is not one of the data files (the marker is cleared), or when the user declines;
// after an accepted repair the program ends.
RepairOffer OfferStartupRepair();

} // namespace tbk
