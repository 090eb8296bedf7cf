#include "songs/editloop.h"

#include "runtime/threads/callprotocol.h"
#include "songs/updatesong.h"

namespace tbk {

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
