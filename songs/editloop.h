#pragma once
// "Edit all songs": one edit form after another over a run of rows, until the user leaves a
// form other than by its OK button.
#include "runtime/data/datafile.h"

#include <functional>

namespace tbk {

// A run of writes in stream mode, flushed on every way out (a halt unwinding included).
class StreamRun {
public:
    explicit StreamRun(data::DataFile &file) : file_(file) { file_.stream(); }
    ~StreamRun() { file_.flush(); }
    StreamRun(const StreamRun &) = delete;
    StreamRun &operator=(const StreamRun &) = delete;

private:
    data::DataFile &file_;
};

enum class EditLoopEnd {
    RowsDone,   // every row was edited
    Stopped,    // a form was left other than by OK (EditLoopStatus not "OK")
};

// With the file in stream mode (flushed at the end): `nextRow` puts the next row in the
// record buffer (false when there is none); then, with GlobalRequest 2 (change),
// NavigationRequest 0 and EditLoopStatus blank, `edit` calls the row's form.
EditLoopEnd editAll(data::DataFile &file, const std::function<bool()> &nextRow,
                    const std::function<void()> &edit);

} // namespace tbk
