#pragma once
// Keeps rows in order by a sequence number: the last component of a key whose leading
// components name the range (an album's side, a playlist, a wizard's rows). Moves a row up or
// down one, to the top or the bottom of its range, or back to just after a given number, and
// closes the gaps after a delete.
//
// A move parks the row at one above the range's highest number, shifts its neighbours one
// place towards its old number and puts it in the place freed last, each step named in the
// error report. The whole move or renumbering is one transaction: at the first failed step it
// is rolled back, so the rows are as they were, and the report names that step. A transaction
// that cannot begin is reported by standard warning 34 and changes nothing.
#include "runtime/data/datafile.h"

#include <QString>

namespace tbk {

// The rows one mover keeps in order, and how its error report reads.
struct SequenceKind {
    data::DataFile *file;
    const data::Key *key;
    // "Record swap error: " and the error text on one line, or the text on a line of its own.
    bool errorTextOnOwnLine = false;
};

// The songs of an album side (MUS:KeyAlbumID), the entries of a playlist (PLA:KeyPlaylistID)
// and the rows of an add wizard's owner and side (AW:KeyInstance).
const SequenceKind &albumTracks();
const SequenceKind &playlistEntries();
const SequenceKind &addWizardRows();

enum class MoveMode {
    UpOne = 1,
    DownOne = 2,
    ToTop = 3,
    ToBottom = 4,
    InsertAfter = 5,   // towards the top, but only past rows numbered above the limit
};

enum class MoveOutcome {
    Moved,
    Unchanged,   // nothing to do: no neighbour that way, or no row would make way
    Refused,     // a number would exceed the field's highest (reported)
    Failed,      // a step failed; everything rolled back (reported)
};

class SequenceMover {
public:
    explicit SequenceMover(const SequenceKind &kind);

    // Moves the row at `row` within its range; after Moved the row is in the file's buffer with
    // its new number. The file must be open.
    MoveOutcome move(data::Position row, MoveMode mode, qint64 insertLimit = 0);
    // Gives the rows of the range that `range` names (its leading key fields) numbered `from`
    // or above the numbers from, from + 1, ... in key order.
    MoveOutcome renumber(const data::Record &range, qint64 from);

    // The highest number the sequence field can hold.
    qint64 highestNumber() const;
    // The report of a failed step, for the error now current.
    QString swapErrorText(const QString &step) const;

private:
    struct Row {
        data::Position position;
        qint64 number;
    };
    // The rows of the range the buffer's leading key fields name, in key order.
    bool readRange(std::vector<Row> &rows);
    // Reads the row by position: false (and the report kept) when it cannot.
    bool getRow(data::Position p, const QString &step);
    bool putNumber(qint64 number, const QString &step);
    MoveOutcome fail();
    MoveOutcome refuse(const QString &what);
    bool begin();
    MoveOutcome finish(MoveOutcome outcome);

    const SequenceKind &kind_;
    int sequenceField_;
    size_t rangeSize_;
    QString report_;
};

} // namespace tbk
