#pragma once
// Transactions over a list of open files. The listed files are locked for writing when the
// transaction begins (waiting up to the time-out for another process's lock, then failing
// with 32; on a logical thread only that thread waits, and no other transaction begins
// meanwhile); any other file written meanwhile joins the transaction. Commit and rollback act on
// every file at once: a crash in between leaves all of them as before.
#include <initializer_list>
#include <vector>

namespace tbk::data {

class DataFile;

bool beginTransaction(int timeoutSeconds, const std::vector<DataFile *> &files);   // 32, 37, 56, 90
inline bool beginTransaction(int timeoutSeconds, std::initializer_list<DataFile *> files) {
    return beginTransaction(timeoutSeconds, std::vector<DataFile *>(files));
}
bool commitTransaction();     // 91 when none is active
bool rollbackTransaction();   // 91 when none is active
bool inTransaction();

} // namespace tbk::data
