#pragma once
// The one shape of every report: its criteria (or the preview question), its files opened
// through the open counts, a scan of the main file in key order under a progress window with
// Cancel, one detail band for each record that passes the checks, and the pages to the preview
// or the printer. A member names only what it does differently.
#include "runtime/data/datafile.h"
#include "runtime/report/report.h"

#include <QString>

#include <functional>
#include <vector>

namespace tbk {

enum class ReportStart {
    Criteria,   // ReportCriteria with the noun; on "Brief" the brief twin runs instead
    Twin,       // a brief twin: the criteria as its standard member's window left them
    Question,   // "Do you wish to PREVIEW this Report?"
    Preview,    // always into the preview, nothing asked
};

struct ReportMember {
    ReportStart start = ReportStart::Question;
    QString noun;
    std::function<void()> brief;
    // Opened through the counts in this order; the last one is scanned unless `scanned` names
    // another.
    std::vector<data::DataFile *> files;
    data::DataFile *scanned = nullptr;
    // Switched to quick scan while the scan runs; empty: every file of `files`, unless
    // `noQuickScan` sends no hint at all.
    std::vector<data::DataFile *> quickScan;
    bool noQuickScan = false;
    // Buffers holding what the caller hands to the run (the album, the playlist, the chosen
    // category): kept as the run starts and put back after each of its waits, so that other
    // windows reading into them meanwhile change nothing of the run.
    std::vector<data::DataFile *> given;
    const data::Key *key = nullptr;
    QString filter;
    // Files whose records `join` brings into their buffers for each record read.
    std::vector<data::DataFile *> joined;
    std::function<void()> join;
    // After the files are opened, before the scan: the view's filter in place of `filter` (one
    // the user builds then, or one that reads records the member keeps across its waits).
    std::function<QString()> filterOnOpen;
    // What the starts-with text of "Selected" is compared with.
    std::function<QString()> startsWith;
    // The record check beyond the end of the scan: true leaves the record out.
    std::function<bool()> skip;
    // Before each detail band, for the values that are no field: elements named after a field
    // ("MUS:Title") take its value by themselves.
    std::function<void(report::Report &)> beforePrint;
    // Shown by the element "ReportTitle" when the report opens; empty keeps the layout's text.
    QString title;
    // When the report opens, after the dates and the title: what the member sets from the
    // records then in the buffers.
    std::function<void(report::Report &)> opened;
    // After the scan, completed or cancelled, when the report was opened: the totals band's
    // values. The band is then printed once, before the pages are output.
    std::function<void(report::Report &)> totals;
    // The custom font's entries in "Fonts" end with this ("PrintMUS:SongsByTitle"); empty:
    // the report offers no custom font.
    QString fontKey;
    // The first detail band is the one printed for each record.
    report::Layout layout;

    // Records taken in one turn of the scan; 0: the frame's own batch.
    int perTurn = 0;
    // Puts the scan's starting key value into the scanned file's buffer; unset: the key's first
    // record.
    std::function<void()> startAt;
    // The record read lies past the range: the scan is complete there, the record not printed.
    std::function<bool()> pastEnd;
    // Prints the record in place of the detail band (a record of several bands). False ends the
    // scan there as complete: the member has shown why (a read error of its own files).
    std::function<bool(report::Report &)> printRecord;
    // The progress shows the records done ("12 Records Completed") rather than the percentage.
    bool countRecords = false;
};

// Runs the member on the calling thread; leaves its response (2 when it never completed).
void runReport(const ReportMember &member);

} // namespace tbk
