// The add wizards' track forms: one work row of the calling thread, primed with the next track
// of its side-1 rows.
#include "albums/addwizards.h"
#include "core/datafiles.h"
#include "records/form.h"
#include "core/referentialintegrity.h"
#include "core/standardwarnings.h"
#include "runtime/threads/threadglobals.h"
#include "runtime/ui/windowbuilder.h"
#include "songs/updatesong.h"

#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <limits>

namespace tbk {

namespace {

// Windows' virtual-key code 192 is the key left of 1.
constexpr int kDittoKey = Qt::Key_QuoteLeft;
// A row's track becomes a song's track number, which is one byte.
constexpr qint64 kHighestTrack = 255;

DittoStore &noArtistDitto() {
    static DittoStore store;
    return store;
}

DittoStore &artistDitto() {
    static DittoStore store;
    return store;
}

qint64 owner() { return threadGlobals().ThreadInstance; }

// One more than the highest track of the owner's side-1 rows, 1 when there is none; read
// backwards from the highest track the field holds.
qint64 nextRowTrack() {
    AW.clear();
    AW.Instance = owner();
    AW.Side = 1;
    AW.Track = std::numeric_limits<qint64>::max();
    AW.setFromBuffer(AW.KeyInstance);
    if (AW.previous() && AW.Instance.value() == owner() && AW.Side.value() == 1)
        return AW.Track.value() + 1;
    return 1;
}

class TrackForm : public Form {
public:
    explicit TrackForm(bool artist)
        : Form(artist ? QStringLiteral("UpdateAddWizard") : QStringLiteral("UpdateAddWizardNoArtist"),
               {&AW, &AW.KeyInstance, QStringLiteral("Instance Side Track"), DeleteAddWizardRecord,
                UpdateAddWizardRecord, CaptureAddWizardLinks}),
          artist_(artist) {
        useDitto(artist ? artistDitto() : noArtistDitto(), kDittoKey);
        record().setDittoBeforeWrite(true);
    }

protected:
    QWidget *createForm() override {
        WindowBuilder b(*this, QStringLiteral("Tracks"), {200, 60});
        if (artist_)
            b.entry(QStringLiteral("&Artist:"), QStringLiteral("AW:ARTIST"), QStringLiteral("@s50"));
        b.entry(QStringLiteral("&Title:"), QStringLiteral("AW:TITLE"), QStringLiteral("@s50"));
        b.entry(QStringLiteral("T&ime:"), QStringLiteral("AW:TIME"), QStringLiteral("@t4b"));
        QWidget *track = b.entry(QStringLiteral("T&rack:"), QStringLiteral("AW:Track"), QStringLiteral("@n3"));
        ok_ = b.button(QStringLiteral("&Ok"));
        b.button(QStringLiteral("Cancel"));
        QWidget *w = b.finish();
        setFormButtons(ok_, nullptr);
        setCheck(track, [this] { return checkTrack(); });
        return w;
    }
    void primeFields() override {
        AW.Side = 1;
        AW.Instance = owner();
    }
    // After the base numbered the row by the key's first field: the owner and its next track.
    void primeFurther() override {
        const data::Record primed = AW.record();
        const qint64 track = nextRowTrack();
        AW.setRecord(primed);
        AW.Instance = owner();
        AW.Side = 1;
        AW.Track = track;
    }
    void formOpened() override {
        widget()->setWindowTitle(record().inserting()
                                     ? QStringLiteral("Track Will Be Added  (New)")
                                     : QStringLiteral("Track Will Be Changed  (%1)")
                                           .arg(record().value(QStringLiteral("AW:Track")).toLongLong()));
        on(ok_, EventKind::Accepted, [this] {
            EditLoopStatus = "OK";
            okPressed();
        });
    }

private:
    int checkTrack() {
        const qint64 track = controls().value(QStringLiteral("AW:Track")).toLongLong();
        if (track >= 0 && track <= kHighestTrack)
            return 0;
        return ShowStandardWarning(10, QStringLiteral("Track"), QStringLiteral("0 and %1").arg(kHighestTrack));
    }

    bool artist_;
    QPushButton *ok_ = nullptr;
};

void runTrackForm(bool artist) {
    EditLoopStatus = "Cancel";
    TrackForm(artist).run();
}

} // namespace

void UpdateAddWizardNoArtist() { runTrackForm(false); }

void UpdateAddWizard() { runTrackForm(true); }

} // namespace tbk
