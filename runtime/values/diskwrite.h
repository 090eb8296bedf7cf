#pragma once
// Writing bytes to an open file so that a full disk is told by its cause. The system may take
// fewer bytes than asked (a disk filling up): that is a failure, not a success to be noticed
// later.
#include <QByteArrayView>
#include <QString>

namespace tbk {

// Writes all of `bytes` at `offset` of the file `fd` (its read position unmoved). Answers 0,
// or the system's error number of the write that could not go on.
int writeAllAt(int fd, QByteArrayView bytes, qint64 offset);
// The system's text for an error number, e.g. "No space left on device".
QString systemErrorText(int error);

// A write past the process's file-size limit (ulimit -f) then fails with "File too large", as
// a full disk fails it, and is told; by default the system ends the process instead. Each
// program calls it as it starts.
void failWritesPastSizeLimit();

} // namespace tbk
