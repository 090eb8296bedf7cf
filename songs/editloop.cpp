#include "songs/editloop.h"

#include "runtime/threads/callprotocol.h"
#include "songs/updatesong.h"

namespace tbk {

namespace {
// Flushes the file on every way out, a halt unwinding through the form included.
class StreamRun {
public:
    explicit StreamRun(data::DataFile &file) : file_(file) { file_.stream(); }
    ~StreamRun() { file_.flush(); }
    StreamRun(const StreamRun &) = delete;
    StreamRun &operator=(const StreamRun &) = delete;

private:
    data::DataFile &file_;
};
} // namespace

EditLoopEnd editAll(data::DataFile &file, const std::function<bool()> &nextRow,
                    const std::function<void()> &edit) {
    StreamRun run(file);
    while (nextRow()) {
        NavigationRequest = 0;
        EditLoopStatus = "";
        callWithRequest(ChangeRecord, edit);
        if (!(EditLoopStatus == QStringLiteral("OK")))
            return EditLoopEnd::Stopped;
    }
    return EditLoopEnd::RowsDone;
}

} // namespace tbk
