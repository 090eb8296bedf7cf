#pragma once
// The housekeeping processes: each walks a whole data file once under "Processing Records" with
// Cancel, changes records and writes them back. They take the request and leave 1 when the walk
// ran to its end (or stopped after a failed write of the walked file), 2 when cancelled, when the
// file was empty, or when writes were lost or a read or write of another file failed.
#include "runtime/data/datafile.h"

#include <QString>

#include <functional>
#include <vector>

namespace tbk {

// Albums made from the songs' album texts, and the songs linked to them; only the songs it
// links are written.
void CreateAlbumDatabase();
// Release dates held as day numbers become bare years.
void ConvertSongDates();
void ConvertAlbumDates();
// Every song linked again to the album of its album text and artist; songs without an
// identifier are numbered.
void TestAlbumLinkIntegrity();
// A side/disc number of 0 becomes 1.
void ProcessAllSongs();

// What a process's rule did with the record in the walked file's buffer.
enum class RuleResult {
    Write,         // the record is written back
    Keep,          // unchanged: nothing is written
    // A read or write of another file failed (the error set): the walk stops, with standard
    // warning 35 naming that file or 31, and does not end as completed.
    ReadFailed,
    WriteFailed,
};

// The shape every process shares. The walk is cut into slices: 25 records, or 1000 bytes where
// a record counts its declared size, one slice a turn of the window unless the shape asks for
// longer turns. The window's events (Cancel) are taken between turns and never inside one.
struct ProcessShape {
    QString caption;
    data::DataFile *walked = nullptr;
    const data::Key *order = nullptr;        // null: order of addition
    QString filter;                          // a filter text; blank: every record
    qint64 estimate = 0;                     // what the percentage counts to; 0: the file's total
    bool measuredInBytes = false;
    // Each slice runs in a transaction of its own over the walked file; without, the files
    // stream their writes.
    bool transaction = false;
    std::vector<data::DataFile *> files;     // opened through the counts for the run
    // Without a transaction: slices follow one another this long (ms) before the window's turn,
    // and the turn's writes over `files` are committed together; 0: one slice a turn, each
    // write committed by itself.
    int turnMs = 0;
    std::function<void()> viewOpened;        // once, before the first record is read
    std::function<RuleResult()> rule;        // on the record in the walked file's buffer
};
// Runs the process and returns its response.
qint32 runProcess(const ProcessShape &shape);

// What the last run did, for measuring: turns of work between two of the window's and the
// longest one, in nanoseconds.
struct ProcessFigures {
    int turns = 0;
    qint64 longestTurnNs = 0;
};
ProcessFigures lastProcessFigures();

} // namespace tbk
