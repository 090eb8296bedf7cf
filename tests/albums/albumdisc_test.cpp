// The album form's CD reading and look-up as a user works them: the simulated drive, the built
// agent in automatic mode and the scripted CDDB server, through the form's buttons and fields.
#include "albumtest.h"
#include "core/programsettings.h"
#include "runtime/values/dates.h"
#include "support/cdlookup/lookupfixture.h"

#include <QApplication>

using namespace albumtest;
using namespace cdlookuptest;

namespace {

const QString kLookUpButton = QStringLiteral("Get CD information from CDDB (Internet)");
// The serial of the three-track disc: its track count, then the disc length and the track
// lengths as time values, cut to the field.
QString serial() {
    return QStringLiteral(" 3%1%2%3%4")
        .arg(timeOf(0, 13, 18))
        .arg(kThreeTrackTimes[0])
        .arg(kThreeTrackTimes[1])
        .arg(kThreeTrackTimes[2])
        .left(24);
}

class AlbumDiscTest : public DiscLookupTest {
protected:
    void SetUp() override {
        DiscLookupTest::SetUp();
        openForUse(MED);
        MED.clear();
        MED.Media = "CD";
        ASSERT_TRUE(MED.add());
        addCategory(3, "ROCK");
        addCategory(4, "JAZZ");
        addAlbum(5, "Old Artist", "Old Title", 4, "My notes");
    }

    // Presses the look-up button and lets the agent run to its end: the form waits with the
    // cross-hair cursor, which goes when the agent has ended.
    static bool lookUp(const Call &c) {
        if (!pressButton(c.thread, kLookUpButton) || !runUntilIdle())
            return false;
        return runUntil([] { return QApplication::overrideCursor() == nullptr; }, 30000) && runUntilIdle();
    }
    static bool answer(const Call &c) { return answerMessage(c.thread, ButtonOK) && runUntilIdle(); }
    static QStringList listed(const Call &c) {
        return listRows(qobject_cast<ListControl *>(findControl(activeWindow(c.thread), "Browse:2")));
    }
    static QString trackTime(int track) { return QString::number(kThreeTrackTimes[track - 1]); }
};

// Read, then Look Up, then OK: the form shows the answer at once and writes it with the album.
TEST_F(AlbumDiscTest, ReadAndLookUpWriteTheAnswerInLatin1WithTheAlbum) {
    scriptAnswer({readReply(kLatin1Entry)});
    auto c = openAlbumForm(ChangeRecord, [] { readAlbum(5); });
    ASSERT_TRUE(chooseTab(c->thread, "Compact Disc"));
    ASSERT_TRUE(press(*c, "Read"));
    EXPECT_EQ(messageText(c->thread), "CD Identification updated.");
    ASSERT_TRUE(answer(*c));
    EXPECT_EQ(controlText(c->thread, "ALB:CDIDENTIFIER").trimmed(), serial().trimmed());
    EXPECT_EQ(controlText(c->thread, "ALB:XCCD"), "1b031e03");
    // The same disc again: the identification stands.
    ASSERT_TRUE(press(*c, "Read"));
    EXPECT_EQ(messageText(c->thread), "CD Identification not updated.");
    ASSERT_TRUE(answer(*c));

    ASSERT_TRUE(lookUp(*c));
    EXPECT_EQ(messageText(c->thread), "");
    EXPECT_EQ(controlText(c->thread, "ALB:Artist"), QString::fromUtf8("Björk Åström"));
    EXPECT_EQ(controlText(c->thread, "CAT:Category"), "ROCK");
    EXPECT_EQ(controlText(c->thread, "ALB:Notes"), QString::fromUtf8("Inspelad i Gävle"));
    const QStringList rows = listed(*c);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(rows[0].contains(QString::fromUtf8("|Första|"))) << rows[0].toStdString();
    EXPECT_TRUE(rows[0].contains(QStringLiteral("| 4:24|"))) << rows[0].toStdString();
    // Only OK writes the album.
    EXPECT_EQ(field(readAlbum(5), "Artist"), "Old Artist");

    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(c->done);
    const tbk::data::Record album = readAlbum(5);
    EXPECT_EQ(field(album, "Artist"), QString::fromUtf8("Björk Åström"));
    EXPECT_EQ(field(album, "Album"), QString::fromUtf8("Sjön Över"));
    EXPECT_EQ(field(album, "CategoryID"), "3");
    EXPECT_EQ(field(album, "Notes"), QString::fromUtf8("Inspelad i Gävle"));
    EXPECT_EQ(field(album, "XCCD"), "1b031e03");
    EXPECT_EQ(field(album, "CDDBSTRING"), kThreeTrackQuery);
    EXPECT_EQ(field(album, "CDIDENTIFIER"), serial());
    const QString artist = QString::fromUtf8("Björk Åström");
    EXPECT_EQ(songsOf(5), QStringList({"1|1|" + artist + QString::fromUtf8("|Första|") + trackTime(1),
                                       "1|2|" + artist + "|Andra|" + trackTime(2), "1|3|" + artist + "|Tredje|" + trackTime(3)}));
}

// More titles than tracks: each extra one is told and added on the chosen side; an answer
// without notes leaves the user's.
TEST_F(AlbumDiscTest, ExtraTitlesBecomeNewTracksOnTheChosenSide) {
    scriptAnswer({readReply(kFiveTitleEntry)});
    auto c = openAlbumForm(ChangeRecord, [] { readAlbum(5); });
    ASSERT_TRUE(chooseTab(c->thread, "Songs"));
    ASSERT_TRUE(typeInto(c->thread, "GLO:Side", "2") && runUntilIdle());
    ASSERT_TRUE(chooseTab(c->thread, "Compact Disc"));
    ASSERT_TRUE(lookUp(*c));
    EXPECT_EQ(messageText(c->thread), "New track 4: TTITLE3=Four / Fourth");
    ASSERT_TRUE(answer(*c));
    EXPECT_EQ(messageText(c->thread), "New track 5: TTITLE4=Fifth");
    ASSERT_TRUE(answer(*c));
    EXPECT_EQ(listed(*c).size(), 5);
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(c->done);
    const tbk::data::Record album = readAlbum(5);
    EXPECT_EQ(field(album, "Artist"), "Various");
    EXPECT_EQ(field(album, "Album"), "Sampler");
    EXPECT_EQ(field(album, "Notes"), "My notes");
    EXPECT_EQ(songsOf(5), QStringList({"2|1|One|First|" + trackTime(1), "2|2|Two|Second|" + trackTime(2),
                                       "2|3|Various|Third|" + trackTime(3), "2|4|Four|Fourth|0", "2|5|Various|Fifth|0"}));
}

// No match: the disc's tracks are there as "Track n", everything the user wrote stays.
TEST_F(AlbumDiscTest, NoAnswerKeepsTheAlbumAndItsNotes) {
    scriptNoMatch();
    auto c = openAlbumForm(ChangeRecord, [] { readAlbum(5); });
    ASSERT_TRUE(chooseTab(c->thread, "Compact Disc"));
    ASSERT_TRUE(lookUp(*c));
    EXPECT_EQ(messageText(c->thread), "");
    EXPECT_EQ(controlText(c->thread, "ALB:XCCD"), "1b031e03");
    EXPECT_EQ(listed(*c).size(), 3);
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(c->done);
    const tbk::data::Record album = readAlbum(5);
    EXPECT_EQ(field(album, "Artist"), "Old Artist");
    EXPECT_EQ(field(album, "CategoryID"), "4");
    EXPECT_EQ(field(album, "Notes"), "My notes");
    EXPECT_EQ(field(album, "XCCD"), "1b031e03");
    EXPECT_EQ(songsOf(5), QStringList({"1|1|Old Artist|Track 1|" + trackTime(1), "1|2|Old Artist|Track 2|" + trackTime(2),
                                       "1|3|Old Artist|Track 3|" + trackTime(3)}));
}

// "Read CD Information" times the tracks the album has and adds the missing ones on the chosen
// side; the identifier and the length it counts go to the album.
TEST_F(AlbumDiscTest, ReadCdInformationTimesAndAddsTracks) {
    MUS.clear();
    MUS.ID = 40;
    MUS.AlbumID = 5;
    MUS.Side = 1;
    MUS.TrackNumber = 2;
    MUS.Title = "My Second";
    ASSERT_TRUE(MUS.add());
    auto c = openAlbumForm(ChangeRecord, [] { readAlbum(5); });
    ASSERT_TRUE(chooseTab(c->thread, "Songs"));
    ASSERT_TRUE(press(*c, "Read CD Information"));
    EXPECT_EQ(messageText(c->thread), "");
    EXPECT_EQ(listed(*c).size(), 3);
    ASSERT_TRUE(press(*c, "OK"));
    const tbk::data::Record album = readAlbum(5);
    EXPECT_EQ(field(album, "XCCD"), "1b031e03");
    EXPECT_EQ(field(album, "TOTALTIME"), "79800");
    EXPECT_EQ(songsOf(5), QStringList({"1|1|Old Artist|Track 1|" + trackTime(1), "1|2||My Second|" + trackTime(2),
                                       "1|3|Old Artist|Track 3|" + trackTime(3)}));
    EXPECT_EQ(server.connections, 0);
}

// Entering the empty ID field reads the whole disc once; a failed reading is told once, not
// again each time the focus comes back from its message; a filled ID field reads nothing.
TEST_F(AlbumDiscTest, EnteringAnEmptyIdReadsTheDisc) {
    describeDrive("disc no\n");
    auto c = openAlbumForm(ChangeRecord, [] { readAlbum(5); });
    ASSERT_TRUE(chooseTab(c->thread, "Compact Disc"));
    clickInto(c->thread, "ALB:XCCD");
    EXPECT_EQ(messageText(c->thread), "CD player not ready.");
    ASSERT_TRUE(answer(*c));
    // The window system gives the form the focus back, and the ID field with it.
    QApplication::setActiveWindow(nullptr);
    ASSERT_TRUE(activate(activeWindow(c->thread)));
    runUntilIdle();
    EXPECT_EQ(messageText(c->thread), "");

    describeDrive(QString::fromLatin1(kThreeTrackDisc));
    ASSERT_TRUE(clickInto(c->thread, "ALB:CDIDENTIFIER"));
    clickInto(c->thread, "ALB:XCCD");
    EXPECT_EQ(messageText(c->thread), "");
    EXPECT_EQ(controlText(c->thread, "ALB:XCCD"), "1b031e03");
    EXPECT_EQ(songsOf(5).size(), 3);

    describeDrive("disc no\n");
    ASSERT_TRUE(clickInto(c->thread, "ALB:CDIDENTIFIER"));
    ASSERT_TRUE(clickInto(c->thread, "ALB:XCCD"));
    EXPECT_EQ(messageText(c->thread), "");
    ASSERT_TRUE(press(*c, "OK"));
    EXPECT_EQ(field(readAlbum(5), "XCCD"), "1b031e03");
}

// A new album that is cancelled after the disc gave it songs takes them with it: the next new
// album, primed with the same identifier, starts empty.
TEST_F(AlbumDiscTest, ACancelledNewAlbumLeavesNoSongsFromTheDisc) {
    scriptAnswer({readReply(kUtf8Entry)});
    for (const bool viaLookUp : {false, true}) {
        SCOPED_TRACE(viaLookUp ? "look-up" : "Read CD Information");
        auto c = openAlbumForm(InsertRecord);
        if (viaLookUp) {
            ASSERT_TRUE(chooseTab(c->thread, "Compact Disc"));
            ASSERT_TRUE(lookUp(*c));
        } else {
            ASSERT_TRUE(chooseTab(c->thread, "Songs"));
            ASSERT_TRUE(press(*c, "Read CD Information"));
        }
        EXPECT_EQ(messageText(c->thread), "");
        EXPECT_EQ(songsOf(6).size(), 3);
        ASSERT_TRUE(press(*c, "Cancel"));
        ASSERT_TRUE(c->done);
        EXPECT_EQ(songsOf(6), QStringList());
        ALB.clear();
        ALB.AlbumID = 6;
        EXPECT_FALSE(ALB.get(ALB.KEYALBUMID));
    }
    auto c = openAlbumForm(InsertRecord);
    ASSERT_TRUE(chooseTab(c->thread, "Songs"));
    EXPECT_EQ(listed(*c), QStringList());
    ASSERT_TRUE(press(*c, "Cancel"));
}

// A new album looked up, then changed on General before OK: every song carries the stored
// album's title, media and category.
TEST_F(AlbumDiscTest, ANewAlbumsChangesAfterTheLookUpReachItsSongs) {
    addMedia("Vinyl");
    scriptAnswer({readReply(kUtf8Entry)});
    auto c = openAlbumForm(InsertRecord);
    ASSERT_TRUE(chooseTab(c->thread, "Compact Disc"));
    ASSERT_TRUE(lookUp(*c));
    ASSERT_EQ(albumDataOf(6), QStringList(3, QString::fromUtf8("Sjön Över|CD|3|")));
    ASSERT_TRUE(chooseTab(c->thread, "General"));
    ASSERT_TRUE(typeInto(c->thread, "ALB:Album", "Changed") && runUntilIdle());
    ASSERT_TRUE(typeInto(c->thread, "ALB:Media", "Vinyl") && runUntilIdle());
    ASSERT_TRUE(typeInto(c->thread, "CAT:Category", "JAZZ") && runUntilIdle());
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(field(readAlbum(6), "Media"), "Vinyl");
    EXPECT_EQ(albumDataOf(6), QStringList(3, "Changed|Vinyl|4|"));
}

// Not a check, so disabled: run with --gtest_also_run_disabled_tests, TBK_SCREENSHOT set to a
// path without extension and a real display (xvfb-run with QT_QPA_PLATFORM=xcb); saves the
// General and Songs tabs of the album form after a look-up.
TEST_F(AlbumDiscTest, DISABLED_AfterALookUp) {
    if (qEnvironmentVariable("TBK_SCREENSHOT").isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    DateFormat = "d2";
    scriptAnswer({readReply(kUtf8Entry)});
    auto c = openAlbumForm(ChangeRecord, [] { readAlbum(5); });
    ASSERT_TRUE(activeWindow(c->thread));
    activeWindow(c->thread)->move(20, 20);
    ASSERT_TRUE(chooseTab(c->thread, "Compact Disc"));
    ASSERT_TRUE(lookUp(*c));
    for (const char *tab : {"General", "Songs", "Compact Disc"}) {
        ASSERT_TRUE(chooseTab(c->thread, QString::fromLatin1(tab)));
        EXPECT_TRUE(saveScreen("-lookup-" + QString::fromLatin1(tab).replace(' ', '-') + ".png"));
    }
    ASSERT_TRUE(press(*c, "Cancel"));
}

} // namespace
