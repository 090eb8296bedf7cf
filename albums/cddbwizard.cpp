#include "albums/cddbwizard.h"

#include "albums/wizardshell.h"
#include "cdaudio/disclookup.h"
#include "core/programsettings.h"
#include "runtime/ui/windowbuilder.h"

#include <QLabel>
#include <QPushButton>
#include <QStringList>

namespace tbk {

namespace {

const char *const kExplanation[] = {
    "This wizard will examine your CD, and try to get artist/title information",
    "from the CDDB database on the internet, so an internet connection is required.",
    "You can fill in your CDDB login name and server after pressing",
    "the \"Next\" button.  The speed of the results will vary based on the",
    "server you select.  If the CD is not found in the CDDB database,",
    "you can still fill in the track information manually.",
    "Press Cancel if you are done adding CDs.",
};

// The wait for the agent ends on the window's timer: a tenth of a second keeps it short
// without waking the thread for nothing.
constexpr int kTimerHundredths = 10;

// The album at the last Finish of any run in the process.
DittoStore &cddbDitto() {
    static DittoStore store;
    return store;
}

class CddbWizardWindow : public AlbumWizardShell {
public:
    CddbWizardWindow() : AlbumWizardShell(QStringLiteral("CDDBWizard"), QStringLiteral("CDDB Wizard"), cddbDitto()) {}

protected:
    void buildTypePage(WindowBuilder &b) override {
        pageTop(b, QStringLiteral("cddbwiz1.gif"), QStringLiteral("Step 1:  Insert the CD and press Next."));
        QStringList lines;
        for (const char *line : kExplanation)
            lines << QString::fromLatin1(line);
        b.text(lines.join(QLatin1Char('\n')));
    }

    void buildSongRows(WindowBuilder &b) override {
        b.newButtonRow();
        QPushButton *readCd = b.button(QStringLiteral("Read CD Information"));
        on(readCd, EventKind::Accepted, [this] { lookUp(); });
    }

    void wizardOpened() override { setTimer(kTimerHundredths); }

    void beforeNext(int step) override {
        setSongMode(2);
        // A disc that cannot be read is no reason to stay: the album is then entered by hand.
        if (step == 1)
            lookUp();
    }

    void beforeStore() override {
        heading(1)->setText(QStringLiteral("Step 1:  Insert another CD and press Next."));
        showStep(1);
    }

    void stored() override {
        if (record().primeNext() != FormRecord::Next::OpenWindow) {
            closeWindow();
            return;
        }
        loadControls();
        refreshWithSongs();
        nextButton()->setFocus();
    }

private:
    void lookUp() {
        prepareSongWork();
        QString category = categoryText();
        LookUpDiscForWizard({*this, record().working(), category, [this] {
                                 songsFollowAlbum();
                                 refreshWithSongs();
                             }});
    }
};

} // namespace

void CDDBWizard() {
    enterAlbumWizard();
    CddbWizardWindow().run();
}

} // namespace tbk
