#include "albums/albumwizard.h"

#include "albums/wizardshell.h"
#include "cdaudio/readcompactdisc.h"
#include "core/programsettings.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/ui/windowbuilder.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace tbk {

namespace {

const QString kKind = QStringLiteral("Number of Artists");
const QString kDiscs = QStringLiteral("Number of Discs/Sides");
const QString kSingleArtist = QStringLiteral("Single Artist Album");
const QString kCompilation = QStringLiteral("Compilation");
const QString kOneDisc = QStringLiteral("One Disc or Side");
// The song's side is a byte, but the track list stops at 19 as well.
constexpr int kLastSide = 19;

// The album at the last Finish of any run in the process; the CD database wizard keeps its own.
DittoStore &albumWizardDitto() {
    static DittoStore store;
    return store;
}

class AlbumWizardWindow : public AlbumWizardShell {
public:
    AlbumWizardWindow()
        : AlbumWizardShell(QStringLiteral("AlbumWizard"), QStringLiteral("Album Wizard"),
                           albumWizardDitto()) {}

protected:
    void buildTypePage(WindowBuilder &b) override {
        pageTop(b, QStringLiteral("001.GIF"), QStringLiteral("Step 1:  Select the kind of album you are adding."));
        kind_ = b.option(kKind, kKind, {kSingleArtist, kCompilation});
        discs_ = b.option(kDiscs, kDiscs, {kOneDisc, QStringLiteral("Multi-Disc CD"), QStringLiteral("Cassette")});
    }

    void buildGeneralRows(WindowBuilder &b) override {
        side_ = b.spin(QStringLiteral("Side/Disc:"), QStringLiteral("GLO:Side"), 1, kLastSide);
    }

    void buildSongRows(WindowBuilder &b) override {
        b.newButtonRow();
        QPushButton *readCd = b.button(QStringLiteral("Read CD Information"));
        b.newButtonRow();
        nextDisc_ = b.button(QStringLiteral("Next &Disc or Side"));
        on(readCd, EventKind::Accepted, [this] { readDisc(); });
        on(nextDisc_, EventKind::Accepted, [this] { nextDisc(); });
        on(side_, EventKind::Accepted, [this] {
            setSide(quint8(side_->value()));
            refreshWithSongs();
        });
    }

    void wizardOpened() override {
        FieldControl::of(kind_)->setValue(DefaultWizardCompilation == 1 ? kCompilation : kSingleArtist);
        FieldControl::of(discs_)->setValue(kOneDisc);
        FieldControl::of(side_)->setValue(side());
    }

    void beforeNext(int step) override {
        const bool compilation = choice(kind_) == kCompilation;
        if (step == 1 && compilation && record().value(QStringLiteral("ALB:Artist")).toString().isEmpty()) {
            record().setValue(QStringLiteral("ALB:Artist"), QStringLiteral("Various"));
            loadControls();
        }
        if (step == 2 && mediaIsCd())
            readDisc();
        setSongMode(compilation ? 3 : 2);
        const bool sides = choice(discs_) != kOneDisc;
        for (QWidget *w : {static_cast<QWidget *>(side_), static_cast<QWidget *>(promptOf(side_)),
                           static_cast<QWidget *>(nextDisc_)})
            if (w)
                w->setVisible(sides);
    }

    void stored() override { closeWindow(); }

private:
    static QString choice(QGroupBox *group) { return FieldControl::of(group)->value().toString(); }

    bool mediaIsCd() { return record().value(QStringLiteral("ALB:Media")).toString().toUpper().contains("CD"); }

    // No agent: the tracks become songs "Track n" of the side, and the disc its identifiers.
    void readDisc() {
        prepareSongWork();
        if (ReadCompactDisc(0, 0, record().working()) == 1) {
            StoreDiscIdentifier(record().working());
            songsFollowAlbum();
        }
        refreshWithSongs();
    }

    void nextDisc() {
        rereadSong();
        if (side() >= kLastSide)
            return;
        setSide(side() + 1);
        FieldControl::of(side_)->setValue(side());
        if (mediaIsCd())
            readDisc();
        else
            refreshWithSongs();
        if (!closing())
            pressEditAll();
    }

    QGroupBox *kind_ = nullptr, *discs_ = nullptr;
    QSpinBox *side_ = nullptr;
    QPushButton *nextDisc_ = nullptr;
};

} // namespace

void AlbumWizard() {
    enterAlbumWizard();
    AlbumWizardWindow().run();
}

} // namespace tbk
