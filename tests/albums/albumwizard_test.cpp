// The album wizard on its own thread with the simulated drive: the kind and the number of discs,
// which media read the disc, sides one after another, and what every way out leaves behind.
#include "albums/albumwizard.h"
#include "core/programsettings.h"
#include "runtime/threads/messagebox.h"
#include "songs/updatesong.h"
#include "support/windows/listtesting.h"
#include "wizardtest.h"

using namespace tbk;
using namespace tbk::windowtest;
using namespace cdlookuptest;
using namespace wizardtest;

namespace {

class AlbumWizardTest : public WizardTest {
protected:
    void SetUp() override {
        setUpWizard("Cassette");
        DefaultWizardCompilation = 0;
    }
    void TearDown() override {
        DefaultWizardCompilation = 0;
        DiscLookupTest::TearDown();
    }

    void start() { startWizard(AlbumWizard); }
    // "side.track:title" of the rows shown.
    QStringList rows() const {
        QStringList out;
        for (const QString &row : listRows(songList()))
            out << row.section('|', 0, 0).remove('(').remove(')').trimmed() + "." +
                       row.section('|', 1, 1).trimmed() + ":" + row.section('|', 3, 3).trimmed();
        return out;
    }
    bool choose(const QString &group, const QString &choice) const {
        return chooseOption(run->thread, group, choice) && runUntilIdle();
    }
    bool next() const { return press("Next"); }
    bool visible(const char *control) const {
        const QWidget *w = findControl(window(), control);
        return w && w->isVisible();
    }
    // Side, track and title of the album's songs.
    static QStringList stored(qint32 album) {
        QStringList out;
        for (const QString &s : songsOf(album))
            out << s.section('|', 0, 0) + "." + s.section('|', 1, 1) + ":" + s.section('|', 3, 3);
        return out;
    }
    void snap(const char *name) const {
        EXPECT_TRUE(saveScreenshot(window(), QStringLiteral("-albumwizard-") + QLatin1String(name)));
    }
};

// The kind: "Various" only for a compilation with a blank artist, and the song mode each Next
// sets; one disc hides the side controls.
TEST_F(AlbumWizardTest, TheKindGivesVariousAndTheSongMode) {
    for (int compilationDefault : {0, 1}) {
        SCOPED_TRACE(compilationDefault);
        DefaultWizardCompilation = quint8(compilationDefault);
        start();
        EXPECT_EQ(window()->windowTitle(), "Album Wizard");
        EXPECT_EQ(controlValue(run->thread, "Number of Artists").toString(),
                  compilationDefault ? "Compilation" : "Single Artist Album");
        EXPECT_EQ(controlValue(run->thread, "Number of Discs/Sides").toString(), "One Disc or Side");
        EXPECT_EQ(AlbumSongMode, 1);
        snap("1-type");
        ASSERT_TRUE(next());
        ASSERT_EQ(page(), 2);
        EXPECT_EQ(controlText(run->thread, "ALB:Artist"), compilationDefault ? "Various" : "");
        EXPECT_EQ(AlbumSongMode, compilationDefault ? 3 : 2);
        // One disc: no side to choose or move to.
        EXPECT_FALSE(visible("GLO:Side"));
        ASSERT_TRUE(next());
        EXPECT_FALSE(visible("Next Disc or Side"));
        ASSERT_TRUE(press("Cancel"));
        ASSERT_TRUE(finished());
        EXPECT_EQ(run->response, RequestCancelled);
    }
    // An artist already typed stays, compilation or not.
    start();
    ASSERT_TRUE(choose("Number of Artists", "Compilation"));
    ASSERT_TRUE(next());
    ASSERT_TRUE(type("ALB:Artist", "Somebody"));
    ASSERT_TRUE(press("Back"));
    ASSERT_TRUE(next());
    EXPECT_EQ(controlText(run->thread, "ALB:Artist"), "Somebody");
    EXPECT_EQ(AlbumSongMode, 3);
    ASSERT_TRUE(press("Cancel"));
    ASSERT_TRUE(finished());
}

// The media decides the reading, not the page-1 choice; reading again updates the songs in place.
TEST_F(AlbumWizardTest, OnlyACdMediaReadsTheDiscAndAReadAgainUpdatesInPlace) {
    start();
    ASSERT_TRUE(choose("Number of Discs/Sides", "Cassette"));
    ASSERT_TRUE(next());
    ASSERT_TRUE(chooseFromList(run->thread, "ALB:Media", "Cassette") && runUntilIdle());
    ASSERT_TRUE(next());
    ASSERT_EQ(page(), 3);
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_TRUE(songsOf(1).isEmpty());
    EXPECT_TRUE(visible("Next Disc or Side"));
    ASSERT_TRUE(press("Back"));
    ASSERT_TRUE(chooseFromList(run->thread, "ALB:Media", "CD") && runUntilIdle());
    ASSERT_TRUE(next());
    const QStringList three{"1.1:Track 1", "1.2:Track 2", "1.3:Track 3"};
    EXPECT_EQ(rows(), three);
    ASSERT_TRUE(press("Back"));
    ASSERT_TRUE(type("ALB:Album", "Tape And Disc"));
    ASSERT_TRUE(next());
    ASSERT_TRUE(press("Read CD Information"));
    EXPECT_EQ(stored(1), three);
    ASSERT_TRUE(press("Finish"));
    ASSERT_TRUE(finished());
    EXPECT_EQ(run->response, RequestCompleted);
    EXPECT_EQ(field(album, "XCCD"), "1b031e03");
    EXPECT_EQ(field(readAlbum(1), "XCCD"), "1b031e03");
    EXPECT_EQ(stored(1), three);
}

TEST_F(AlbumWizardTest, ATwoDiscCdReadsSideTwoAndEditsItsSongs) {
    start();
    ASSERT_TRUE(choose("Number of Discs/Sides", "Multi-Disc CD"));
    ASSERT_TRUE(next());
    EXPECT_TRUE(visible("GLO:Side"));
    ASSERT_TRUE(type("ALB:Album", "Double"));
    snap("2-general");
    ASSERT_TRUE(next());
    EXPECT_EQ(rows(), (QStringList{"1.1:Track 1", "1.2:Track 2", "1.3:Track 3"}));
    snap("3-songs");

    describeDrive(kTwoTrackDisc);
    ASSERT_TRUE(press("Next Disc or Side"));
    // Edit All Songs runs on the new side: its first song's form is open.
    ASSERT_EQ(controlText(run->thread, "MUS:Title"), "Track 1");
    EXPECT_EQ(GLO.Side, 2);
    ASSERT_TRUE(type("MUS:Title", "Encore"));
    ASSERT_TRUE(press("OK"));
    ASSERT_EQ(controlText(run->thread, "MUS:Title"), "Track 2");
    ASSERT_TRUE(press("Cancel"));
    EXPECT_EQ(window()->windowTitle(), "Album Wizard");
    EXPECT_EQ(controlValue(run->thread, "GLO:Side").toInt(), 2);
    EXPECT_EQ(rows(), (QStringList{"2.1:Encore", "2.2:Track 2"}));

    // The spin shows another side's songs.
    ASSERT_TRUE(press("Back"));
    ASSERT_TRUE(type("GLO:Side", "1"));
    ASSERT_TRUE(next());
    EXPECT_EQ(rows().size(), 3);
    ASSERT_TRUE(press("Finish"));
    ASSERT_TRUE(finished());
    EXPECT_EQ(run->response, RequestCompleted);
    EXPECT_EQ(stored(1), (QStringList{"1.1:Track 1", "1.2:Track 2", "1.3:Track 3", "2.1:Encore", "2.2:Track 2"}));
}

// Cancel, the close box and Escape on the song list take the album and its songs of every side
// with them.
TEST_F(AlbumWizardTest, EveryWayOutBeforeFinishLeavesNoAlbumAndNoSongs) {
    for (const char *way : {"Cancel", "close box", "Escape"}) {
        SCOPED_TRACE(way);
        describeDrive(QString::fromLatin1(kThreeTrackDisc));
        start();
        ASSERT_TRUE(choose("Number of Discs/Sides", "Multi-Disc CD"));
        ASSERT_TRUE(next() && next());
        describeDrive(kTwoTrackDisc);
        ASSERT_TRUE(press("Next Disc or Side"));
        ASSERT_TRUE(press("Cancel"));   // the edit-all form
        ASSERT_EQ(songsOf(1).size(), 5);
        if (QLatin1String(way) == "close box")
            ASSERT_TRUE(closeByUser(window()));
        else if (QLatin1String(way) == "Escape")
            pressListKey(songList(), Qt::Key_Escape);
        else
            ASSERT_TRUE(press("Cancel"));
        ASSERT_TRUE(finished());
        EXPECT_EQ(run->response, RequestCancelled);
        EXPECT_EQ(ALB.records(), 0);
        EXPECT_TRUE(songsOf(1).isEmpty());
    }
}

// The same title and artist keep the wizard on its page with the album unsaved; the same disc
// under another title is stored with its songs but without the serial, which the user is told.
TEST_F(AlbumWizardTest, FinishOnADuplicateTitleStaysUnsavedAndATakenSerialIsDropped) {
    start();
    ASSERT_TRUE(next());
    ASSERT_TRUE(type("ALB:Album", "First"));
    ASSERT_TRUE(next());
    ASSERT_TRUE(press("Finish"));
    ASSERT_TRUE(finished());
    const QString serial = field(readAlbum(1), "CDIDENTIFIER");
    ASSERT_FALSE(serial.isEmpty());

    start();
    ASSERT_TRUE(next());
    ASSERT_TRUE(type("ALB:Album", "First"));
    ASSERT_TRUE(next());
    ASSERT_TRUE(pressButton(run->thread, "Finish") && runUntilIdle());
    EXPECT_EQ(messageText(run->thread), "Adding this record creates a duplicate entry for the key:Album");
    ASSERT_TRUE(answerMessage(run->thread, ButtonOK) && runUntilIdle());
    EXPECT_EQ(page(), 3);
    EXPECT_EQ(field(readAlbum(2), "Album"), "");

    ASSERT_TRUE(press("Back"));
    ASSERT_TRUE(type("ALB:Album", "Second"));
    ASSERT_TRUE(next());
    ASSERT_TRUE(pressButton(run->thread, "Finish") && runUntilIdle());
    EXPECT_EQ(messageText(run->thread),
              "This CD's serial number belongs to the album \"First\". The album was stored without it.");
    ASSERT_TRUE(answerMessage(run->thread, ButtonOK));
    ASSERT_TRUE(finished());
    EXPECT_EQ(run->response, RequestCompleted);
    EXPECT_EQ(field(readAlbum(2), "Album"), "Second");
    EXPECT_EQ(field(readAlbum(2), "CDIDENTIFIER"), "");
    EXPECT_EQ(field(readAlbum(1), "CDIDENTIFIER"), serial);
    EXPECT_EQ(stored(2).size(), 3);
    EXPECT_EQ(stored(1).size(), 3);
}

// Page 2 changed after the disc was read: its songs follow the album, but for what a song was
// given of its own.
TEST_F(AlbumWizardTest, SongsReadFromTheDiscFollowTheAlbumChangedAfterwards) {
    start();
    ASSERT_TRUE(next());
    ASSERT_TRUE(type("ALB:Album", "First Title"));
    ASSERT_TRUE(chooseFromList(run->thread, "CAT:Category", "Jazz") && runUntilIdle());
    ASSERT_TRUE(type("ALB:FileNumber", "A1"));
    ASSERT_TRUE(next());
    ASSERT_EQ(albumDataOf(1), QStringList(3, "First Title|CD|3|A1"));
    ASSERT_TRUE(clickRow(songList(), 1) && runUntilIdle());
    ASSERT_TRUE(press("Edit"));
    ASSERT_TRUE(chooseFromList(run->thread, "CAT:Category", "Pop") && runUntilIdle());
    ASSERT_TRUE(press("OK"));

    ASSERT_TRUE(press("Back"));
    ASSERT_TRUE(type("ALB:Album", "Second Title"));
    ASSERT_TRUE(chooseFromList(run->thread, "CAT:Category", "Rock") && runUntilIdle());
    ASSERT_TRUE(type("ALB:FileNumber", "B2"));
    ASSERT_TRUE(next());
    ASSERT_TRUE(press("Finish"));
    ASSERT_TRUE(finished());
    EXPECT_EQ(albumDataOf(1),
              QStringList({"Second Title|CD|1|B2", "Second Title|CD|2|B2", "Second Title|CD|1|B2"}));
}

// The artist changed after the disc was read: a single artist's songs follow it, a compilation's
// keep the one they have.
TEST_F(AlbumWizardTest, TheArtistChangedAfterTheReadReachesOnlyASingleArtistsSongs) {
    qint32 id = 0;
    for (const QString kind : {"Single Artist Album", "Compilation"}) {
        SCOPED_TRACE(kind.toStdString());
        ++id;
        start();
        ASSERT_TRUE(choose("Number of Artists", kind));
        ASSERT_TRUE(next());
        ASSERT_TRUE(type("ALB:Artist", "First Artist"));
        ASSERT_TRUE(type("ALB:Album", kind + " One"));
        ASSERT_TRUE(next());
        ASSERT_EQ(songsOf(id).size(), 3);
        ASSERT_TRUE(press("Back"));
        ASSERT_TRUE(type("ALB:Artist", "Second Artist"));
        ASSERT_TRUE(type("ALB:Album", kind + " Two"));
        ASSERT_TRUE(next());
        ASSERT_TRUE(press("Finish"));
        ASSERT_TRUE(finished());
        QStringList artists;
        for (const QString &song : songsOf(id))
            artists << song.section('|', 2, 2);
        EXPECT_EQ(artists, QStringList(3, kind == "Compilation" ? "First Artist" : "Second Artist"));
        // Another disc next, not one whose serial an album holds.
        describeDrive("tracks 150 20000 40000\nleadout 61000\n");
    }
}

} // namespace
