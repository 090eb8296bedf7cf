#pragma once
// A walk through a file in a key's order, from the key value in the buffer when it starts and
// only while the key's leading fields keep the values they had there (an album's songs, a
// playlist's entries, one owner's wizard rows). It keeps its own cursor, so the file may be
// read and written between its steps (a form called for each row).
#include "runtime/data/datafile.h"

namespace tbk {

class KeyRangeWalk {
public:
    // `fixed`: how many leading key fields hold the range. A read-ahead above 1 fetches that
    // many rows at once, of the listed fields only: only where nothing writes during the walk.
    KeyRangeWalk(data::DataFile &file, const data::Key &key, int fixed, int readAhead = 1,
                 std::vector<int> fields = {});

    // The next row into the buffer. False at the end of the range (error 33, the buffer as
    // before the call) or on a read error (its code).
    bool next();

private:
    bool inRange() const;

    data::DataFile &file_;
    data::Record start_;
    std::vector<int> rangeFields_;
    data::Cursor cursor_;
    data::ReadAhead ahead_;
    bool ended_ = false;
};

// The highest value of the key's last field among the records whose leading key fields hold the
// values they have in `range` (a playlist's last sequence number; with a key of one field, the
// file's last identifier); 0 when there is none. False on a read error other than the end of
// the file. The buffer is left holding `range`.
bool lastInRange(data::DataFile &file, const data::Key &key, const data::Record &range, qint64 &last);

} // namespace tbk
