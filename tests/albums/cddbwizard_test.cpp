// The CD database wizard on its own thread, reading discs from the simulated drive and asking
// the scripted server through the built agent: CDs entered one after another, the song list's
// order, and what every way out leaves behind.
#include "albums/browsealbums.h"
#include "albums/cddbwizard.h"
#include "albums/updatealbum.h"
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "runtime/data/driver.h"
#include "runtime/data/errors.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "support/cdlookup/lookupfixture.h"
#include "support/windows/controltesting.h"
#include "support/windows/listtesting.h"
#include "support/windows/windowtesting.h"
#include "wizardtest.h"

#include <QLabel>
#include <QTabWidget>
#include <QTest>
#include <QWidget>

#include <sqlite3.h>

#include <memory>

using namespace tbk;
using namespace tbk::windowtest;
using namespace cdlookuptest;
using namespace wizardtest;

namespace {

const char *const kFiveTrackDisc = "tracks 150 10000 20000 30000 40000\nleadout 50000\n";

class CddbWizard : public WizardTest {
protected:
    void SetUp() override { setUpWizard("Vinyl"); }
    void TearDown() override {
        registerProcedure(QString::fromLatin1(kCddbWizard), {});
        DiscLookupTest::TearDown();
    }

    void start() { startWizard(CDDBWizard); }
    QString heading() const { return window()->findChild<QLabel *>(QStringLiteral("Heading1"))->text(); }
    QStringList titles() const {
        QStringList out;
        for (const QString &row : listRows(songList()))
            out << row.section('|', 1, 1).trimmed() + ":" + row.section('|', 3, 3).trimmed();
        return out;
    }
    bool pick(int row) const { return clickRow(songList(), row) && runUntilIdle(); }
    // Next, which on the first page waits for the disc's reading and the agent.
    bool next() const {
        const int from = page();
        return pressButton(run->thread, "Next") &&
               runUntil([&] { return page() == from + 1 || !messageText(run->thread).isEmpty(); }, 30000) &&
               runUntilIdle();
    }
    // The disc the server answers for, with its category and title lines.
    void scriptEntry(const QByteArray &category, const QByteArray &entry) {
        server.replies.clear();
        server.greeting = {{"201 test CDDBP server v1.5PL0 ready\r\n"}};
        server.on("cddb hello", {{"200 Hello and welcome\r\n"}});
        server.on("cddb query", {{"200 " + category + " 1b031e03 Somebody / Something\r\n"}});
        server.on("cddb read", {{"210 " + category + " 1b031e03 entry follows\r\n" + entry + ".\r\n"}});
        server.on("sites", {{"401 No site information available.\r\n"}});
    }
    // A picture of the screen when TBK_SCREENSHOT names where (run under xvfb-run with
    // QT_QPA_PLATFORM=xcb); nothing otherwise.
    void snap(const char *name) const {
        EXPECT_TRUE(saveScreenshot(window(), QStringLiteral("-cddbwizard-") + QLatin1String(name)));
    }
    static QStringList albums() {
        return cataloguetest::rows(ALB, ALB.KEYALBUMID, [] {
            return QStringLiteral("%1|%2|%3|%4|%5")
                .arg(ALB.AlbumID.value())
                .arg(ALB.Artist.str(), ALB.Album.str(), ALB.Media.str())
                .arg(ALB.CategoryID.value());
        });
    }
    static QString title(const QString &song) { return song.section('|', 3, 3); }
};

TEST_F(CddbWizard, TwoCdsEnteredAndAThirdCancelled) {
    // The album the caller last read: the template of every album but the first's defaults.
    ALB.Media = "Vinyl";
    ALB.CategoryID = 4;
    scriptEntry("rock", "DTITLE=Alpha Band / First Light\r\nTTITLE0=Dawn\r\nTTITLE1=Noon\r\nTTITLE2=Dusk\r\n"
                        "EXTD=Recorded at home\r\n");
    start();
    ASSERT_EQ(page(), 1);
    EXPECT_EQ(window()->windowTitle(), "CDDB Wizard");
    EXPECT_EQ(heading(), "Step 1:  Insert the CD and press Next.");
    EXPECT_FALSE(findControl(window(), "Back")->isEnabled());
    EXPECT_FALSE(findControl(window(), "Finish")->isVisible());
    EXPECT_EQ(CAT.records(), 5);
    snap("1-type");

    ASSERT_TRUE(next());
    ASSERT_EQ(page(), 2);
    EXPECT_EQ(controlText(run->thread, "ALB:Artist"), "Alpha Band");
    EXPECT_EQ(controlText(run->thread, "ALB:Album"), "First Light");
    EXPECT_EQ(controlText(run->thread, "CAT:Category"), "Rock");
    EXPECT_EQ(controlText(run->thread, "ALB:Media"), "CD");
    snap("2-general");

    ASSERT_TRUE(next());
    ASSERT_EQ(page(), 3);
    EXPECT_FALSE(findControl(window(), "Next")->isEnabled());
    EXPECT_EQ(titles(), (QStringList{"1:Dawn", "2:Noon", "3:Dusk"}));
    ASSERT_TRUE(pick(1));
    ASSERT_TRUE(press("Edit"));
    ASSERT_TRUE(type("MUS:Title", "Midday"));
    ASSERT_TRUE(press("OK"));
    EXPECT_EQ(titles(), (QStringList{"1:Dawn", "2:Midday", "3:Dusk"}));
    snap("3-songs");

    ASSERT_TRUE(press("Finish"));
    EXPECT_EQ(page(), 1);
    EXPECT_EQ(heading(), "Step 1:  Insert another CD and press Next.");
    snap("4-another");
    // The next album is primed at once, from the template: the caller's media, no "CD" default.
    EXPECT_EQ(albums(), (QStringList{"1|Alpha Band|First Light|CD|1", "2|||Vinyl|4"}));
    // The songs were read before the answer came, from the primed album: they follow it.
    EXPECT_EQ(albumDataOf(1), QStringList(3, "First Light|CD|1|"));
    EXPECT_EQ(field(readAlbum(1), "Notes"), "Recorded at home");
    EXPECT_EQ(field(readAlbum(1), "XCCD"), "1b031e03");
    EXPECT_EQ(songsOf(1).size(), 3);
    EXPECT_EQ(title(songsOf(1).value(1)), "Midday");

    describeDrive(kTwoTrackDisc);
    scriptEntry("jazz", "DTITLE=Beta Quartet / Second Wind\r\nTTITLE0=Blue\r\nTTITLE1=Green\r\n");
    ASSERT_TRUE(next());
    EXPECT_EQ(controlText(run->thread, "ALB:Album"), "Second Wind");
    EXPECT_EQ(controlText(run->thread, "CAT:Category"), "Jazz");
    EXPECT_EQ(controlText(run->thread, "ALB:Media"), "Vinyl");
    ASSERT_TRUE(next());
    EXPECT_EQ(titles(), (QStringList{"1:Blue", "2:Green"}));
    ASSERT_TRUE(press("Finish"));

    describeDrive("tracks 150 30000 45000\nleadout 60000\n");
    scriptNoMatch();
    ASSERT_TRUE(next());
    ASSERT_EQ(page(), 2);
    EXPECT_EQ(songsOf(3).size(), 3);
    ASSERT_TRUE(press("Cancel"));
    ASSERT_TRUE(finished());

    EXPECT_EQ(run->response, RequestCompleted);
    EXPECT_EQ(field(album, "AlbumID"), "2");
    EXPECT_EQ(field(album, "Album"), "Second Wind");
    EXPECT_EQ(albums(), (QStringList{"1|Alpha Band|First Light|CD|1", "2|Beta Quartet|Second Wind|Vinyl|3"}));
    EXPECT_EQ(songsOf(1).size(), 3);
    const QStringList second = songsOf(2);
    ASSERT_EQ(second.size(), 2);
    EXPECT_EQ(second[0].section('|', 0, 3), "1|1|Beta Quartet|Blue");
    EXPECT_TRUE(songsOf(3).isEmpty());
}

TEST_F(CddbWizard, SongListKeepsTheSideInOrder) {
    describeDrive(kFiveTrackDisc);
    scriptNoMatch();
    start();
    ASSERT_TRUE(next());
    ASSERT_TRUE(next());
    // A song of the album on another side is not the list's, nor part of its order.
    MUS.clear();
    MUS.ID = 99;
    MUS.AlbumID = 1;
    MUS.Side = 2;
    MUS.TrackNumber = 1;
    MUS.Title = "Other side";
    ASSERT_TRUE(MUS.add());
    ASSERT_TRUE(press("Edit"));   // a song form call refreshes the list
    ASSERT_TRUE(press("Cancel"));
    const QStringList five{"1:Track 1", "2:Track 2", "3:Track 3", "4:Track 4", "5:Track 5"};
    ASSERT_EQ(titles(), five);

    ASSERT_TRUE(pick(0));
    ASSERT_TRUE(press("MoveUp"));
    ASSERT_TRUE(pick(4));
    ASSERT_TRUE(press("MoveDown"));
    EXPECT_EQ(titles(), five);
    ASSERT_TRUE(pick(3));
    ASSERT_TRUE(press("MoveTop"));
    EXPECT_EQ(titles(), (QStringList{"1:Track 4", "2:Track 1", "3:Track 2", "4:Track 3", "5:Track 5"}));

    // Added after the highlighted song; deleted, the gap closes behind it.
    ASSERT_TRUE(pick(1));
    ASSERT_TRUE(press("Add"));
    ASSERT_TRUE(type("MUS:Title", "New"));
    ASSERT_TRUE(press("OK"));
    EXPECT_EQ(titles(), (QStringList{"1:Track 4", "2:Track 1", "3:New", "4:Track 2", "5:Track 3", "6:Track 5"}));
    ASSERT_TRUE(pick(1));
    ASSERT_TRUE(press("Delete"));
    ASSERT_TRUE(answerMessage(run->thread, ButtonOK) && runUntilIdle());
    EXPECT_EQ(titles(), (QStringList{"1:Track 4", "2:New", "3:Track 2", "4:Track 3", "5:Track 5"}));
    EXPECT_EQ(songsOf(1).last(), "2|1||Other side|0");

    ASSERT_TRUE(press("Cancel"));
    ASSERT_TRUE(finished());
    EXPECT_EQ(run->response, RequestCancelled);
}

// From the list's side through the later ones; a side before it is not met.
TEST_F(CddbWizard, EditAllSongsGoesOnToLaterSidesUntilAFormIsCancelled) {
    scriptNoMatch();
    start();
    ASSERT_TRUE(next());
    ASSERT_TRUE(next());
    for (const auto &[side, title] : {std::pair{0, "Side zero"}, std::pair{2, "Bonus"}}) {
        MUS.clear();
        MUS.ID = 50 + side;
        MUS.AlbumID = 1;
        MUS.Side = side;
        MUS.TrackNumber = 1;
        MUS.Title = title;
        ASSERT_TRUE(MUS.add());
    }
    ASSERT_TRUE(press("Edit All Songs"));
    for (const char *edited : {"One", "Two"}) {
        ASSERT_TRUE(type("MUS:Title", edited));
        ASSERT_TRUE(press("OK"));
    }
    ASSERT_EQ(controlText(run->thread, "MUS:Title"), "Track 3");
    ASSERT_TRUE(press("Cancel"));
    EXPECT_EQ(window()->windowTitle(), "CDDB Wizard");
    EXPECT_EQ(titles(), (QStringList{"1:One", "2:Two", "3:Track 3"}));

    ASSERT_TRUE(press("Edit All Songs"));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(press("OK"));
    EXPECT_EQ(controlText(run->thread, "MUS:Title"), "Bonus");
    ASSERT_TRUE(press("Cancel"));
    EXPECT_EQ(window()->windowTitle(), "CDDB Wizard");
    EXPECT_EQ(title(songsOf(1).first()), "Side zero");
    ASSERT_TRUE(press("Cancel"));
    ASSERT_TRUE(finished());
}

// Cancel, Escape and the close box: the primed album goes, and with it the songs the disc
// reading gave it, so that the next run's album (the same identifier) starts with none.
TEST_F(CddbWizard, EveryWayOutLeavesNothingOfTheUnfinishedAlbum) {
    scriptNoMatch();
    for (const char *way : {"close box", "Escape", "Cancel"}) {
        SCOPED_TRACE(way);
        start();
        ASSERT_TRUE(next());
        EXPECT_EQ(songsOf(1).size(), 3);
        EXPECT_EQ(albums().size(), 1);
        if (QLatin1String(way) == "close box")
            ASSERT_TRUE(closeByUser(window()));
        else if (QLatin1String(way) == "Escape")
            QTest::keyClick(window()->focusWidget() ? window()->focusWidget() : window(), Qt::Key_Escape);
        else
            ASSERT_TRUE(press("Cancel"));
        ASSERT_TRUE(finished());
        EXPECT_EQ(run->response, RequestCancelled);
        EXPECT_TRUE(albums().isEmpty());
        EXPECT_TRUE(songsOf(1).isEmpty());
    }
}

TEST_F(CddbWizard, WithoutADiscNextStillMovesOnAndTheAlbumIsEnteredByHand) {
    describeDrive("disc no\n");
    start();
    ASSERT_TRUE(next());
    EXPECT_EQ(messageText(run->thread), "CD player not ready.");
    ASSERT_TRUE(answerMessage(run->thread, ButtonOK) && runUntilIdle());
    ASSERT_EQ(page(), 2);
    ASSERT_TRUE(type("ALB:Album", "By Hand"));
    ASSERT_TRUE(next());
    EXPECT_TRUE(listRows(songList()).isEmpty());
    ASSERT_TRUE(press("Finish"));
    ASSERT_TRUE(press("Cancel"));
    ASSERT_TRUE(finished());
    EXPECT_EQ(albums(), QStringList{"1||By Hand|CD|0"});
    EXPECT_EQ(server.connections, 0);
}

// The same disc again under the same title and artist is refused, and the wizard stays on step 1
// with the album unsaved; under another title it is stored with its songs but without the serial
// another album has, which the user is told once.
TEST_F(CddbWizard, ADiscCataloguedAlreadyIsRefusedByTitleAndStoredWithoutItsSerial) {
    scriptEntry("rock", "DTITLE=Alpha Band / First Light\r\nTTITLE0=Dawn\r\nTTITLE1=Noon\r\nTTITLE2=Dusk\r\n");
    ALB.Media = "CD";
    start();
    ASSERT_TRUE(next() && next());
    ASSERT_TRUE(press("Finish"));
    const QStringList storedAndPrimed{"1|Alpha Band|First Light|CD|1", "2|||CD|0"};
    ASSERT_EQ(albums(), storedAndPrimed);
    const QString serial = field(readAlbum(1), "CDIDENTIFIER");
    ASSERT_FALSE(serial.isEmpty());

    ASSERT_TRUE(next() && next());
    ASSERT_TRUE(press("Finish"));
    EXPECT_EQ(messageText(run->thread), "Adding this record creates a duplicate entry for the key:Album");
    ASSERT_TRUE(answerMessage(run->thread, ButtonOK) && runUntilIdle());
    EXPECT_EQ(page(), 1);
    EXPECT_EQ(albums(), storedAndPrimed);

    // Read again into the same album: its songs updated in place.
    ASSERT_TRUE(next());
    ASSERT_TRUE(type("ALB:Album", "Another Title"));
    ASSERT_TRUE(next());
    ASSERT_TRUE(press("Finish"));
    EXPECT_EQ(messageText(run->thread), "This CD's serial number belongs to the album \"First Light\" by Alpha Band. "
                                        "The album was stored without it.");
    ASSERT_TRUE(answerMessage(run->thread, ButtonOK) && runUntilIdle());
    EXPECT_TRUE(messageText(run->thread).isEmpty());
    EXPECT_EQ(page(), 1);
    EXPECT_EQ(albums(), (QStringList{storedAndPrimed[0], "2|Alpha Band|Another Title|CD|1", "3|||CD|0"}));
    EXPECT_EQ(field(readAlbum(2), "CDIDENTIFIER"), "");
    EXPECT_EQ(field(readAlbum(1), "CDIDENTIFIER"), serial);
    // The title typed after the answer reaches the songs when the album is stored.
    EXPECT_EQ(albumDataOf(2), QStringList(3, "Another Title|CD|1|"));
    ASSERT_TRUE(press("Cancel"));
    ASSERT_TRUE(finished());
    EXPECT_EQ(run->response, RequestCompleted);
    EXPECT_EQ(albums().size(), 2);
    EXPECT_EQ(songsOf(2).size(), 3);
}

// Priming the next album gives up after a Finish (Cancel in warning 25): the album stored stays,
// the wizard ends completed with it in the buffer.
TEST_F(CddbWizard, PrimingThatGivesUpAfterAFinishKeepsTheStoredAlbum) {
    scriptNoMatch();
    // The driver refuses the second album, behind its back.
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(ALB.name().toUtf8().constData(), &db), SQLITE_OK);
    data::registerCollation(db);
    const QString column = data::DataFile::columnName(ALB.structure().fields()[size_t(ALB.f_AlbumID)]);
    const QByteArray sql = QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON records WHEN NEW.%1 = 2 "
                                          "BEGIN SELECT RAISE(ABORT, 'refused by test'); END")
                               .arg(column)
                               .toUtf8();
    EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    start();
    ASSERT_TRUE(next());
    ASSERT_TRUE(type("ALB:Album", "Kept"));
    ASSERT_TRUE(next());
    ASSERT_TRUE(press("Finish"));
    EXPECT_EQ(activeWindow(run->thread)->windowTitle(), "Auto Increment Error");
    ASSERT_TRUE(answerMessage(run->thread, ButtonCancel));
    ASSERT_TRUE(finished());
    EXPECT_EQ(run->response, RequestCompleted);
    EXPECT_EQ(field(album, "Album"), "Kept");
    EXPECT_EQ(albums(), QStringList{"1||Kept|CD|0"});
    EXPECT_EQ(songsOf(1).size(), 3);
}

// The album list's button runs the wizard on the list's thread and reads the list again after it.
TEST_F(CddbWizard, TheAlbumListsButtonRunsItAndShowsTheNewAlbum) {
    scriptEntry("rock", "DTITLE=Alpha Band / First Light\r\nTTITLE0=Dawn\r\nTTITLE1=Noon\r\nTTITLE2=Dusk\r\n");
    registerProcedure(QString::fromLatin1(kCddbWizard), CDDBWizard);
    run = startOnThread(BrowseAlbums);
    ASSERT_EQ(window()->windowTitle(), "Albums - 0 entries");
    ASSERT_TRUE(press("CDDB Wizard"));
    ASSERT_TRUE(next() && next());
    ASSERT_TRUE(press("Finish"));
    ASSERT_TRUE(press("Cancel"));
    EXPECT_EQ(window()->windowTitle(), "Albums - 1 entries");
    const ListControl *albumList = qobject_cast<ListControl *>(findControl(window(), "Browse:1"));
    ASSERT_TRUE(albumList);
    EXPECT_EQ(listRows(albumList).value(0).section('|', 0, 1).remove(' '), "AlphaBand|FirstLight");
    ASSERT_TRUE(press("Close"));
    ASSERT_TRUE(finished());
}

// Not a check, so disabled: the road of a CD through the wizard and the notes and songs the album
// form then shows. Run with --gtest_also_run_disabled_tests, TBK_SCREENSHOT set and a real display.
TEST_F(CddbWizard, DISABLED_EnteredCdInTheAlbumForm) {
    if (qEnvironmentVariable("TBK_SCREENSHOT").isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    describeDrive(kFiveTrackDisc);
    scriptEntry("rock", "DTITLE=The Placeholders / Test Pattern\r\nTTITLE0=Colour Bars\r\nTTITLE1=Tone\r\n"
                        "TTITLE2=Line Up\r\nTTITLE3=Station Ident\r\nTTITLE4=Close\\tDown\r\n"
                        "EXTD=Recorded on a bench.\\nAll rights reserved.\r\n");
    ALB.CategoryID = 2;   // the album last read is filed under another category
    start();
    ASSERT_TRUE(next() && next());
    snap("5-road");
    ASSERT_TRUE(press("Finish"));
    ASSERT_TRUE(press("Cancel"));
    ASSERT_TRUE(finished());
    EXPECT_EQ(albumDataOf(1), QStringList(5, "Test Pattern|CD|1|"));
    EXPECT_EQ(field(readAlbum(1), "Notes"), "Recorded on a bench.\nAll rights reserved.");

    const Started form = callOnThread(UpdateAlbum, ChangeRecord, [] { readAlbum(1); });
    ASSERT_TRUE(windowtest::window(form));
    for (const char *tab : {"Notes", "Songs"}) {
        ASSERT_TRUE(chooseTab(form->thread, QString::fromLatin1(tab)));
        EXPECT_TRUE(saveScreenshot(windowtest::window(form), QStringLiteral("-cddbroad-") + QLatin1String(tab)));
    }
    ASSERT_TRUE(windowtest::press(form, "Change"));
    EXPECT_TRUE(saveScreen("-cddbroad-song.png"));
    ASSERT_TRUE(windowtest::press(form, "Cancel"));
    ASSERT_TRUE(windowtest::press(form, "Cancel"));
}

} // namespace
