#pragma once
// A disc look-up: reads the disc in the drive, runs the lookup agent `discseek` and takes its
// answer (the exchange file's category and the protocol log's title lines) into the album the
// calling window shows and into the album's songs. One look-up at a time in the program: one
// asked for while another waits is refused with a message.
#include "runtime/data/record.h"

#include <QString>

#include <functional>

namespace tbk {

class Window;

// The agent's protocol log, in the current directory.
inline const char *const kDiscSeekLog = "CDDB_LOG.TXT";

// What a look-up works on: the calling window's own copies, never the shared buffers across a
// wait.
struct DiscLookupCaller {
    // Delivers the timer events that pace the wait for the agent: its timer must run.
    Window &window;
    // Its album record (ALB's layout); the album's songs are written, the album is not.
    data::Record &album;
    // Its CAT:Category: the default of the exchange file's answer, left upper-cased.
    QString &category;
    // Its refresh routine, run at the end whatever happened.
    std::function<void()> refresh;
};

// The album form's look-up and the CD database wizard's; they differ only in the message shown
// when the agent is not found (the wizard's ends in a full stop).
void LookUpDiscForAlbum(const DiscLookupCaller &caller);
void LookUpDiscForWizard(const DiscLookupCaller &caller);

} // namespace tbk
