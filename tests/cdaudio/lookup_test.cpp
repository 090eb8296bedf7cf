// Reading a simulated disc and looking it up through the built agent and a scripted server, from
// a window with a timer, on real data files.
#include "cdaudio/disclookup.h"
#include "cdaudio/readcompactdisc.h"
#include "core/datafiles.h"
#include "core/programsettings.h"
#include "runtime/mci/mci.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/scheduler.h"
#include "runtime/values/dates.h"
#include "support/cdlookup/lookupfixture.h"
#include "support/windows/scriptedanswers.h"
#include "support/windows/scriptedwindow.h"
#include "support/windows/windowtesting.h"

using namespace tbk;
using namespace tbk::windowtest;
using namespace cdlookuptest;

namespace {

QStringList texts(const std::vector<ShownMessage> &shown) {
    QStringList l;
    for (const ShownMessage &m : shown)
        l << m.caption + QLatin1Char('|') + m.text;
    return l;
}

class LookUp : public DiscLookupTest {
protected:
    void SetUp() override {
        DiscLookupTest::SetUp();
        addCategory(3, QStringLiteral("ROCK"));
        addCategory(4, QStringLiteral("JAZZ"));
        album = addAlbum(5, QStringLiteral("Old Artist"), QStringLiteral("Old Title"), 4, QStringLiteral("My notes"));
        category = QStringLiteral("Jazz");
    }

    // The look-up from a window whose timer paces the wait, as the album form runs it.
    std::vector<ShownMessage> lookUp(bool wizard = false) {
        return runAnswering(
            [this, wizard] {
                ScriptedWindow w(QStringLiteral("UpdateAlbum"), {QStringLiteral("Close")});
                w.onOpen = [&](ScriptedWindow &win) {
                    win.setTimer(5);
                    const DiscLookupCaller caller{win, album, category, [this] { ++refreshes; }};
                    wizard ? LookUpDiscForWizard(caller) : LookUpDiscForAlbum(caller);
                    win.closeWindow();
                };
                w.run();
            },
            {}, 30000);
    }

    data::Record album;
    QString category;
    int refreshes = 0;
};

TEST_F(LookUp, AnswerInUtf8OrLatin1FillsAlbumAndSongs) {
    int lookUps = 0;
    for (const QByteArray &entry : {kUtf8Entry, kLatin1Entry}) {
        SCOPED_TRACE(entry == kUtf8Entry ? "UTF-8" : "Latin-1");
        server.replies.clear();
        scriptAnswer({readReply(entry)});
        const qint32 id = entry == kUtf8Entry ? 6 : 7;
        album = addAlbum(id, "Old Artist", QStringLiteral("Old Title %1").arg(id), 4, "My notes");
        refreshes = 0;
        ++lookUps;

        EXPECT_EQ(texts(lookUp()), QStringList());
        EXPECT_EQ(refreshes, 1);
        EXPECT_EQ(field(album, "Artist"), QString::fromUtf8("Björk Åström"));
        EXPECT_EQ(field(album, "Album"), QString::fromUtf8("Sjön Över"));
        EXPECT_EQ(field(album, "CategoryID"), "3");
        EXPECT_EQ(category, "ROCK");
        EXPECT_EQ(field(album, "Notes"), QString::fromUtf8("Inspelad i Gävle"));
        EXPECT_EQ(field(album, "XCCD"), "1b031e03");
        EXPECT_EQ(field(album, "CDDBSTRING"), kThreeTrackQuery);
        // The look-up leaves the identifier's length, not the drive's time value.
        EXPECT_EQ(field(album, "TOTALTIME"), "79800");
        const QString artist = QString::fromUtf8("Björk Åström");
        EXPECT_EQ(songsOf(id), QStringList({QStringLiteral("0|1|%1|%2|%3").arg(artist, QString::fromUtf8("Första")).arg(kThreeTrackTimes[0]),
                                            QStringLiteral("0|2|%1|Andra|%2").arg(artist).arg(kThreeTrackTimes[1]),
                                            QStringLiteral("0|3|%1|Tredje|%2").arg(artist).arg(kThreeTrackTimes[2])}));
        // Only the window writes the album.
        EXPECT_EQ(field(readAlbum(id), "Artist"), "Old Artist");
        EXPECT_EQ(exchange("Default", "AutomaticMode"), "Y");
        EXPECT_EQ(server.lines.count("cddb read rock 1b031e03"), lookUps);
    }
}

TEST_F(LookUp, MoreTitlesThanTracksAddsNewTracksAfterAWarning) {
    scriptAnswer({readReply(kFiveTitleEntry)});
    GLO.Side = 2;
    const std::vector<ShownMessage> shown = lookUp();
    EXPECT_EQ(texts(shown), QStringList({"Warning|New track 4: TTITLE3=Four / Fourth", "Warning|New track 5: TTITLE4=Fifth"}));
    EXPECT_EQ(field(album, "Artist"), "Various");
    EXPECT_EQ(field(album, "Album"), "Sampler");
    EXPECT_EQ(songsOf(5), QStringList({QStringLiteral("2|1|One|First|%1").arg(kThreeTrackTimes[0]),
                                       QStringLiteral("2|2|Two|Second|%1").arg(kThreeTrackTimes[1]),
                                       QStringLiteral("2|3|Various|Third|%1").arg(kThreeTrackTimes[2]),
                                       "2|4|Four|Fourth|0", "2|5|Various|Fifth|0"}));
    // No answer's EXTD line: the user's notes stay.
    EXPECT_EQ(field(album, "Notes"), "My notes");
}

TEST_F(LookUp, NoMatchKeepsNotesCategoryAndTrackTitles) {
    scriptNoMatch();
    EXPECT_EQ(texts(lookUp()), QStringList());
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(field(album, "Notes"), "My notes");
    EXPECT_EQ(field(album, "Artist"), "Old Artist");
    EXPECT_EQ(field(album, "CategoryID"), "4");
    EXPECT_EQ(songsOf(5), QStringList({QStringLiteral("0|1|Old Artist|Track 1|%1").arg(kThreeTrackTimes[0]),
                                       QStringLiteral("0|2|Old Artist|Track 2|%1").arg(kThreeTrackTimes[1]),
                                       QStringLiteral("0|3|Old Artist|Track 3|%1").arg(kThreeTrackTimes[2])}));
    EXPECT_TRUE(server.received.contains("cddb query 1b031e03 3 150 20000 40000 800\r\n"));
}

// An agent that is never started leaves no log and no category; one an earlier look-up left in
// the exchange file must not pass for this disc's.
TEST_F(LookUp, AgentNotFoundTellsSoAndChangesNothingButTheDisc) {
    putIni("CDDB", "Category", "rock", ".\\DISCSEEK.INI");
    QFile stale(QStringLiteral("cddb_log.txt"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("DTITLE=Earlier / Disc\r\nEXTD=earlier notes\r\n");
    stale.close();
    qputenv("PATH", "/nonexistent");
    for (const bool wizard : {false, true}) {
        SCOPED_TRACE(wizard ? "wizard" : "album form");
        const std::vector<ShownMessage> shown = lookUp(wizard);
        EXPECT_EQ(texts(shown), QStringList({wizard ? "Critical Error Message|EXE, Batch File or PIF File Not Found:DiscSeek."
                                                    : "Critical Error Message|EXE, Batch File or PIF File Not Found:DiscSeek",
                                             "Error|No information retrieved."}));
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown.front().icon, QMessageBox::Information);
        EXPECT_EQ(field(album, "CategoryID"), "4");
        EXPECT_EQ(field(album, "Notes"), "My notes");
        EXPECT_EQ(field(album, "Artist"), "Old Artist");
        EXPECT_EQ(field(album, "XCCD"), "1b031e03");
        EXPECT_FALSE(QFile::exists(QStringLiteral("cddb_log.txt")));
    }
    EXPECT_EQ(refreshes, 2);
}

// A title longer than a database line comes as lines of one keyword, joined; a log line longer
// than the reader's record is taken whole, never in pieces that could read as a title.
TEST_F(LookUp, SplitTitlesAreJoinedAndLongLinesReadWhole) {
    const QByteArray longLine = "EXTT0=" + QByteArray(1018, 'x') + "TTITLE0=Hijacked";
    scriptAnswer({readReply("DTITLE=The Artist / A Very Long Album T\r\nDTITLE=itle\r\n"
                            "TTITLE0=First\r\n" + longLine + "\r\n"
                            "TTITLE1=A Title Split Over\r\nTTITLE1= Two Lines\r\n"
                            "EXTD=abc \r\nEXTD=def\r\nTTITLE2=Third\r\nTTITLE2=\r\n")});
    EXPECT_EQ(texts(lookUp()), QStringList());
    EXPECT_EQ(field(album, "Album"), "A Very Long Album Title");
    EXPECT_EQ(field(album, "Notes"), "abcdef");
    const QStringList songs = songsOf(5);
    ASSERT_EQ(songs.size(), 3);
    EXPECT_EQ(songs[0].section('|', 3, 3), "First");
    EXPECT_EQ(songs[1].section('|', 3, 3), "A Title Split Over Two Lines");
    EXPECT_EQ(songs[2].section('|', 3, 3), "Third");
}

// The disc's songs were made from the album before the answer: they take its title and media
// now, and follow it where they hold what they took from it; a song's own values and artist stay.
TEST_F(LookUp, SongsTakeTheAlbumTheAnswerMade) {
    scriptAnswer({readReply(kFiveTitleEntry)});
    cataloguetest::addSong(40, "Mine", 5, 0, 2, "Own", "CD", [] { MUS.CategoryID = 9; });
    lookUp();
    EXPECT_EQ(albumDataOf(5), QStringList({"Sampler|CD|3|F5", "Sampler|CD|9|Own", "Sampler|CD|3|F5",
                                           "Sampler|CD|3|F5", "Sampler|CD|3|F5"}));
    EXPECT_EQ(songsOf(5).value(1).section('|', 2, 3), "Two|Second");
}

// The entry format's escapes, decoded once a value is whole: a backslash ending one line escapes
// the first character of the next; in a title a line break is a blank.
TEST_F(LookUp, EscapesAreDecodedOnceAValueIsWhole) {
    scriptAnswer({readReply("DTITLE=Back\\\\Slash / Two\\nLines\r\nTTITLE0=Tab\\there\r\n"
                            "TTITLE1=Split\\\r\nTTITLE1=nOver \\x\r\nTTITLE2=Plain\r\n"
                            "EXTD=Recorded on a bench.\\\r\nEXTD=nAll rights reserved.\r\n")});
    EXPECT_EQ(texts(lookUp()), QStringList());
    EXPECT_EQ(field(album, "Artist"), "Back\\Slash");
    EXPECT_EQ(field(album, "Album"), "Two Lines");
    EXPECT_EQ(field(album, "Notes"), "Recorded on a bench.\nAll rights reserved.");
    QStringList titles;
    for (const QString &song : songsOf(5))
        titles << song.section('|', 3, 3);
    EXPECT_EQ(titles, QStringList({"Tab\there", "Split Over \\x", "Plain"}));
}

// The reading's messages: each stops the look-up before the agent is started, with the album,
// the exchange file and the songs as they were.
TEST_F(LookUp, DriveFailuresStopBeforeTheAgent) {
    struct Case {
        const char *name;
        const char *drive;
        const char *message;
    };
    const Case cases[] = {
        {"no disc", "disc no\n", "CD player not ready."},
        // A drive that fails the ready request counts as ready; the door is looked at next.
        {"door open", "tray open\nfail 262 status cdaudio ready\n", "CD player door open."},
        {"no tracks", "tracks 150 20000\nleadout 60000\nanswer 0 status cdaudio number of tracks\n",
         "CD player not ready."},
        {"failed count", "tracks 150 20000\nleadout 60000\nfail 262 status cdaudio number of tracks\n",
         "CD player not ready."},
        {"failed position", "tracks 150 20000\nleadout 60000\nfail 262 status cdaudio position track 2\n",
         "CD player not ready."},
        {"failed length", "tracks 150 20000\nleadout 60000\nfail 262 status cdaudio length track 2\n",
         "CD player not ready."},
    };
    scriptAnswer({readReply(kUtf8Entry)});
    const data::Record before = album;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        describeDrive(QString::fromLatin1(c.drive));
        EXPECT_EQ(texts(lookUp()), QStringList({QStringLiteral("Error|") + c.message}));
        EXPECT_TRUE(album.sameValues(before));
        EXPECT_EQ(exchange("CDDB", "CDDB"), "<none>");
        EXPECT_TRUE(songsOf(5).isEmpty());
        QString answer;
        EXPECT_EQ(mciSendString(QStringLiteral("status cdaudio mode"), answer), 263) << "the drive was left open";
    }
    EXPECT_EQ(refreshes, int(std::size(cases)));
    EXPECT_EQ(server.connections, 0);
}

// Another window holding the drive: the reading says so and leaves that window's device open.
TEST_F(LookUp, DriveHeldElsewhereIsNotClosed) {
    QString answer;
    ASSERT_EQ(mciSendString(QStringLiteral("open cdaudio"), answer), 0);
    EXPECT_EQ(texts(lookUp()), QStringList({"Error|CD player not available.  Ensure that no other program is "
                                            "using the CD-ROM drive."}));
    EXPECT_EQ(mciSendString(QStringLiteral("status cdaudio number of tracks"), answer), 0);
    EXPECT_EQ(answer, "3");
    EXPECT_EQ(server.connections, 0);
}

// A second look-up while one waits for the agent is refused and waits for nothing.
TEST_F(LookUp, OneLookUpAtATime) {
    scriptAnswer({});
    // "cddb read" is answered by hand below, once the second look-up has been refused.
    server.replies.erase(std::find_if(server.replies.begin(), server.replies.end(),
                                      [](const auto &r) { return r.first == "cddb read"; }));
    bool firstDone = false;
    const int first = startThread(
        [&] {
            ScriptedWindow w(QStringLiteral("UpdateAlbum"), {QStringLiteral("Close")});
            w.onOpen = [&](ScriptedWindow &win) {
                win.setTimer(5);
                LookUpDiscForAlbum({win, album, category, [] {}});
                firstDone = true;
                win.closeWindow();
            };
            w.run();
        },
        kMinimumThreadStack);
    ASSERT_TRUE(runUntil([&] { return server.lines.contains("cddb read rock 1b031e03"); }, 20000));

    data::Record other = addAlbum(8, "Other", "Other", 0, "Other notes");
    QString otherCategory;
    const std::vector<ShownMessage> shown = runAnswering([&] {
        ScriptedWindow w(QStringLiteral("CDDBWizard"), {QStringLiteral("Close")});
        w.onOpen = [&](ScriptedWindow &win) {
            win.setTimer(5);
            LookUpDiscForWizard({win, other, otherCategory, [] {}});
            win.closeWindow();
        };
        w.run();
    });
    EXPECT_EQ(texts(shown), QStringList({"Information|Another window is waiting for DiscSeek to end. Try again "
                                         "when it has ended."}));
    EXPECT_EQ(field(other, "XCCD"), "");
    EXPECT_FALSE(firstDone);

    server.send(readReply(kUtf8Entry));
    ASSERT_TRUE(runUntil([&] { return !threadExists(first); }, 20000));
    EXPECT_TRUE(firstDone);
    EXPECT_EQ(field(album, "Artist"), QString::fromUtf8("Björk Åström"));
}

} // namespace
