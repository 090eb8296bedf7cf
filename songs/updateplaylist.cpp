#include "songs/updateplaylist.h"

#include "core/datafiles.h"
#include "records/keyrangewalk.h"
#include "core/referentialintegrity.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/ui/windowbuilder.h"
#include "runtime/values/dates.h"
#include "songs/playlistform.h"

#include <QPushButton>

namespace tbk {

namespace {

const QString kDescription = QStringLiteral("PLD:PLAYLISTDESCRIPTION");
const QString kLastEditDate = QStringLiteral("PLD:LASTEDITDATE");

// One header for the whole run, shared by every playlist form of every thread.
DittoStore &playlistDitto() {
    static DittoStore store;
    return store;
}

} // namespace

PlaylistForm::PlaylistForm()
    : Form(QStringLiteral("UpdatePlaylist"),
           {&PLD, &PLD.KeyPlaylistID, QStringLiteral("PLD:KeyPlaylistID"), DeletePlaylistMasterRecord,
            UpdatePlaylistMasterRecord, CapturePlaylistMasterLinks,
            {{&PLD.KEYPLAYLISTDESCRIPTION, QStringLiteral("Playlists")}}},
           {&PLA, &MUS}) {
    // Ditto recalls the description and the date; in the notes it does nothing.
    useDitto(playlistDitto(), kDittoKeyLeftOfOne, {kDescription, kLastEditDate});
    record().setDittoBeforeWrite(true);
}

PlaylistForm::~PlaylistForm() = default;

qint32 PlaylistForm::playlistID() { return record().value(QStringLiteral("PLD:PlaylistID")).toInt(); }

void PlaylistForm::headerToBuffer() { record().toBuffer(); }

QWidget *PlaylistForm::createForm() {
    WindowBuilder b(*this, {}, {330, 220});
    b.tab(QStringLiteral("Play List"));
    b.entry(QStringLiteral("&Playlist Description:"), kDescription, QStringLiteral("@S20"));
    buildEntries(b);
    b.endTab();
    b.tab(QStringLiteral("Notes"));
    b.memo({}, QStringLiteral("PLD:Notes"), 120);
    b.endTab();
    b.entry(QStringLiteral("Last Edit Date:"), kLastEditDate, QStringLiteral("@d2"), QStringLiteral("Last Edited"));
    b.text(QStringLiteral("Drag from the \"Songs\" window and drop on the Playlist"));
    ok_ = b.button(QStringLiteral("&Ok"));
    QPushButton *cancel = b.button(QStringLiteral("Cancel"));
    QWidget *w = b.finish();
    setFormButtons(ok_, cancel);
    return w;
}

void PlaylistForm::formOpened() {
    widget()->setWindowTitle(record().inserting() ? QStringLiteral("Adding a Playlist Record")
                                                  : QStringLiteral("Changing a Playlist Record"));
    // Replaces the base's handler: the date is stamped before the validation pass.
    on(ok_, EventKind::Accepted, [this] { ok(); });
    setUpEntries();
}

// Ok always writes a change made on another day: the last edit date becomes today.
void PlaylistForm::ok() {
    const qint32 day = today();
    record().setValue(kLastEditDate, day);
    controls().setValue(kLastEditDate, day);
    okPressed();
}

void PlaylistForm::refreshDisplay() { refreshEntries(); }

void PlaylistForm::dropCancelledPlaylist() {
    const data::Record kept = PLA.record();
    PLA.clear();
    PLA.PlaylistID = playlistID();
    qint64 last = 0;
    const bool read = lastInRange(PLA, PLA.KeyPlaylistID, PLA.record(), last);
    PLA.setRecord(kept);
    // Without entries the base removes the primed header alone, as for any form; after a read
    // error the rule finds out what is there.
    if (read && last == 0)
        return;
    headerToBuffer();
    DeletePlaylistMasterRecord();
}

void PlaylistForm::closeRoutine() {
    if (record().inserting() && record().response() != RequestCompleted && record().filesOpen())
        dropCancelledPlaylist();
    entries_.reset();
    Form::closeRoutine();
}

void UpdatePlaylist() { PlaylistForm().run(); }

} // namespace tbk
