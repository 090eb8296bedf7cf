#include "songs/updateplaylistdetails.h"

#include "core/datafiles.h"
#include "records/form.h"
#include "core/referentialintegrity.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/ui/windowbuilder.h"
#include "songs/playlistentries.h"
#include "songs/selectfilenumber.h"

#include <QLineEdit>
#include <QPushButton>

namespace tbk {

namespace {

const QString kNotes = QStringLiteral("PLA:PLAYLISTNOTES");
const QString kSongID = QStringLiteral("PLA:ID");
const QString kArtist = QStringLiteral("MUS:Artist");
const QString kTitle = QStringLiteral("MUS:Title");

// One entry for the whole run, shared by every entry form of every thread.
DittoStore &entryDitto() {
    static DittoStore store;
    return store;
}

class PlaylistEntryForm : public Form {
public:
    PlaylistEntryForm()
        : Form(QStringLiteral("UpdatePlaylistDetails"),
               {&PLA, &PLA.KeyPlaylistID, QStringLiteral("Playlist"), DeletePlaylistDetailRecord,
                UpdatePlaylistDetailRecord, CapturePlaylistDetailLinks},
               {&MUS}) {
        useDitto(entryDitto(), kDittoKeyLeftOfOne, {kNotes});
        record().setDittoBeforeWrite(true);
    }

protected:
    QWidget *createForm() override {
        WindowBuilder b(*this, {}, {230, 90});
        b.tab(QStringLiteral("General"));
        b.entry(QStringLiteral("&Playlist Notes:"), kNotes, QStringLiteral("@s50"));
        QPushButton *select = b.button(QStringLiteral("&Select Song"));
        // The song's own fields: shown, never written by this form.
        for (QLineEdit *shown : {b.entry(QStringLiteral("&Artist:"), kArtist, QStringLiteral("@s50")),
                                 b.entry(QStringLiteral("&Title:"), kTitle, QStringLiteral("@s50"))})
            shown->setReadOnly(true);
        b.endTab();
        QPushButton *ok = b.button(QStringLiteral("&Ok"));
        QPushButton *cancel = b.button(QStringLiteral("Cancel"));
        QWidget *w = b.finish();
        setFormButtons(ok, cancel);
        on(select, EventKind::Accepted, [this] { selectSong(); });
        return w;
    }

    void formOpened() override {
        widget()->setWindowTitle(record().inserting() ? QStringLiteral("Adding a Playlist Detail")
                                                      : QStringLiteral("Changing a Playlist Detail"));
    }

    void refreshDisplay() override { showSong(); }

private:
    // The entry's song from the songs file; a song that is gone (or none chosen) shows blank.
    void showSong() {
        readSong(record().value(kSongID).toLongLong());
        controls().setValue(kArtist, MUS.Artist.str());
        controls().setValue(kTitle, MUS.Title.str());
    }

    // The picker opens on the entry's song, which showing it left in the songs buffer.
    void selectSong() {
        showSong();
        if (callWithRequest(SelectRecord, SelectFileNumber) != RequestCompleted)
            return;
        record().setValue(kSongID, MUS.ID.value());
        showSong();
    }
};

} // namespace

void UpdatePlaylistDetails() { PlaylistEntryForm().run(); }

} // namespace tbk
