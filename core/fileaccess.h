#pragma once
// Opening data files: one routine that opens, mends or creates a file and ends the program when
// it cannot, and one open count per file for the whole program, shared by every thread.
//
// While an open is under way the file's disk name stands in the crash marker (entry "BadFile",
// section "tbk98r" of the system's default settings file); the next start offers to repair a
// file whose open never finished, or failed for a fault of the file (not for another station's
// lock).
#include "runtime/data/datafile.h"

#include <initializer_list>
#include <vector>

namespace tbk {

inline const char *const kCrashMarkerSection = "tbk98r";
inline const char *const kCrashMarkerEntry = "BadFile";

// Names the file whose open is under way; the empty name clears the marker.
void setCrashMarker(const QString &diskName);

// Opens the file shared for reading and writing, creating it when missing, recovering a lock,
// upgrading an older layout and offering a key rebuild. Returns only with the file open: every
// failure it cannot mend ends the program through a standard warning or "Disk Error".
void OpenDataFile(data::DataFile &file);

// A procedure's use of a file: the first user opens it (OpenDataFile), the last one closes it.
void openForUse(data::DataFile &file);
void closeAfterUse(data::DataFile &file);
int FileUseCount(const data::DataFile &file);

// The end of the program: every count back to 0 and every data file closed.
void closeAllDataFiles();

// Files a routine uses until it leaves, whichever way it leaves.
class FilesInUse {
public:
    FilesInUse() = default;
    FilesInUse(std::initializer_list<data::DataFile *> files);
    ~FilesInUse();
    FilesInUse(const FilesInUse &) = delete;
    FilesInUse &operator=(const FilesInUse &) = delete;
    void add(data::DataFile &file);

private:
    std::vector<data::DataFile *> files_;
};

} // namespace tbk
