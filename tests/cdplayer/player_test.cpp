// The CD player on the simulated drive: recognising discs, the question for an unknown one,
// the buttons and the position bar, a drive it cannot have, and its preferences.
#include "cdaudio/cdplayerdrive.h"
#include "cdaudio/eventlogfixture.h"
#include "playerfixture.h"
#include "core/frame.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/messagebox.h"
#include "support/windows/listtesting.h"
#include "songs/updatesong.h"

#include <QAbstractButton>
#include <QFile>
#include <QLineEdit>
#include <QTest>

using namespace playertest;

namespace {

// Each row's track and title.
QStringList tracks(const QStringList &rows) {
    QStringList out;
    for (const QString &r : rows)
        out << r.section(QLatin1Char('|'), 0, 0).trimmed() + QLatin1Char(' ') + r.section(QLatin1Char('|'), 2, 2);
    return out;
}

// The log's entries from..to as "label|data".
QStringList entries(const std::vector<LogLine> &lines, size_t from, size_t to) {
    QStringList out;
    for (size_t i = from; i < to && i < lines.size(); ++i)
        out << lines[i].label + QLatin1Char('|') + lines[i].data;
    return out;
}

qint64 positionMs() { return PlayerTest::ask(QStringLiteral("status cdaudio position"), QStringLiteral("ms")).toLongLong(); }
// Where a frame address stands in milliseconds, as the drive reports it.
qint64 msOfFrame(qint64 frame) { return frame * 1000 / 75; }

TEST(PlayerTexts, TimesBarAndClick) {
    EXPECT_EQ(PlayerTimeText(0), "");
    EXPECT_EQ(PlayerTimeText(20500), "3:25");
    EXPECT_EQ(PlayerTimeText(500), "0:05");
    EXPECT_EQ(PlayerTimeText((3600 + 2 * 60 + 3) * 100), "1:02:03");
    // A length of 0 (no track, or a failed request) must not divide.
    EXPECT_EQ(TrackPercent(500, 0), 0);
    EXPECT_EQ(TrackPercent(500, -3), 0);
    EXPECT_EQ(TrackPercent(2500, 10000), 25);
    EXPECT_EQ(TrackPercent(12000, 10000), 100);
    EXPECT_EQ(TrackPercent(-40, 10000), 0);
    EXPECT_EQ(BarClickPercent(10, 0), 0);
    EXPECT_EQ(BarClickPercent(50, 200), 25);
    EXPECT_EQ(BarClickPercent(250, 200), 100);
    EXPECT_EQ(BarClickPercent(-5, 200), 0);
}

TEST_F(PlayerTest, PeriodOfTenOrLessNeverPolls) {
    addAlbum(1, "Known", discSerial());
    for (qint32 period : {0, 10}) {
        CDTimer = period;
        auto p = start();
        EXPECT_EQ(clock.pending(), 0);
        clock.advance(1000);
        ASSERT_TRUE(runUntilIdle());
        EXPECT_EQ(title(*p), "CD Player");
        EXPECT_EQ(text(*p, "Connection"), "(shared mode)");
        EXPECT_TRUE(press(*p, "Close"));
        EXPECT_TRUE(p->done);
        EXPECT_EQ(ask("status cdaudio mode"), "Error:263");   // the drive is closed again
    }
}

// An empty drive first, then the disc comes in.
TEST_F(PlayerTest, KnownDiscShowsItsAlbumAndSongsInSideAndTrackOrder) {
    addAlbum(1, "Other", "elsewhere");
    addAlbum(2, "Known Album", discSerial());
    addAlbum(3, "Third", "third");
    addSong(1, 2, 1, 1, "D");
    addSong(2, 2, 0, 2, "B");
    addSong(3, 2, 0, 3, "C");
    addSong(4, 2, 0, 1, "A");
    addSong(5, 0, 0, 1, "Loose");
    addSong(6, 1, 0, 1, "Elsewhere");
    addSong(7, 3, 0, 1, "Third's");
    describe(QStringLiteral("tray open\n"));
    auto p = start();
    tick();
    // Until a disc is recognised the list shows the album numbered as the file counts.
    EXPECT_EQ(title(*p), "CD Player");
    EXPECT_EQ(tracks(rows(*p)), QStringList{"1 Third's"});
    describe(kDisc);
    tick();
    EXPECT_EQ(title(*p), "CD Player - Known Album");
    EXPECT_EQ(tracks(rows(*p)), QStringList({"1 A", "2 B", "3 C", "1 D"}));
    EXPECT_EQ(text(*p, "Status"), "Init");
    EXPECT_TRUE(messageText(p->thread).isEmpty());

    // A double click or Enter plays the song's track; a digit goes to that side's first song.
    auto *list = qobject_cast<ListControl *>(findControl(window(*p), "List"));
    ASSERT_TRUE(doubleClickRow(list, 2) && runUntilIdle());
    EXPECT_EQ(ask("status cdaudio current track"), "3");
    ASSERT_TRUE(clickRow(list, 1) && runUntilIdle());
    pressListKey(list, Qt::Key_Return);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(ask("status cdaudio current track"), "2");
    QTest::keyClicks(list, QStringLiteral("1"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(list->currentRow(), 3);
}

TEST_F(PlayerTest, NoToNewCdSuppressesEveryLaterQuestion) {
    addAlbum(1, "Other", "elsewhere");
    addSong(1, 1, 0, 1, "Other's");
    addSong(2, 0, 0, 1, "Loose");
    auto p = start();
    EXPECT_EQ(tracks(rows(*p)), QStringList{"1 Other's"});
    tick();
    EXPECT_EQ(messageText(p->thread), "Add this CD to the database");
    ASSERT_TRUE(answerMessage(p->thread, ButtonNo));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(text(*p, "Connection"), "(no detection)");
    // Neither the last album's songs nor those of no album.
    EXPECT_TRUE(rows(*p).isEmpty());
    EXPECT_EQ(ReadCDOnOpen, 0);

    describe(QStringLiteral("tray open\n"));
    tick();
    describe(QStringLiteral("tracks 150 30000\nleadout 50000\n"));
    tick();
    EXPECT_TRUE(messageText(p->thread).isEmpty());
    EXPECT_EQ(text(*p, "Status"), "Init");
    EXPECT_TRUE(rows(*p).isEmpty());
}

TEST_F(PlayerTest, YesRunsTheAlbumWizardOnAClosedDriveAndReopens) {
    quint8 flag = 0;
    QString modeDuringWizard;
    registerProcedure(QStringLiteral("AlbumWizard"), [&] {
        flag = ReadCDOnOpen;
        modeDuringWizard = ask(QStringLiteral("status cdaudio mode"));
        addAlbum(5, "Added", discSerial());
        addSong(1, 5, 0, 1, "First");
    });
    auto p = start();
    tick();
    ASSERT_EQ(messageText(p->thread), "Add this CD to the database");
    ASSERT_TRUE(answerMessage(p->thread, ButtonYes));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(modeDuringWizard, "Error:263");   // the player had closed the drive
    EXPECT_EQ(text(*p, "Connection"), "(shared mode)");
    EXPECT_EQ(title(*p), "CD Player - Added");
    EXPECT_EQ(tracks(rows(*p)), QStringList{"1 First"});
    EXPECT_EQ(ask("status cdaudio mode"), "stopped");
}

TEST_F(PlayerTest, DriveTakenDuringTheWizardClosesThePlayer) {
    registerProcedure(QStringLiteral("AlbumWizard"), [] {
        QString answer;
        mciSendString(QStringLiteral("open cdaudio"), answer);   // and keeps it
    });
    auto p = start();
    tick();
    ASSERT_TRUE(answerMessage(p->thread, ButtonYes));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(messageText(p->thread), "CD player not available.\nYou may need to eject and re-insert the CD.");
    ASSERT_TRUE(answerMessage(p->thread, ButtonOK));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(p->done);
    EXPECT_EQ(ask("status cdaudio mode"), "stopped");   // the holder still has it
}

TEST_F(PlayerTest, DriveHeldElsewhereIsLoggedWithAnIncidentRecord) {
    UseLog = 1;
    QString answer;
    ASSERT_EQ(mciSendString(QStringLiteral("open cdaudio"), answer), 0);
    auto p = start();
    EXPECT_EQ(messageText(p->thread),
              "CD player not available.  Ensure that no other program is using the CD-ROM drive.");
    ASSERT_TRUE(answerMessage(p->thread, ButtonOK));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(p->done);
    CloseEventLog();
    const std::vector<LogLine> lines = eventLogLines();
    ASSERT_GE(lines.size(), 6u);
    const size_t n = lines.size();
    EXPECT_EQ(entries(lines, 0, 2), QStringList({"CDPlayer|open cdaudio shareable:  Error:1",
                                                 "CDPlayer|open cdaudio:  Error:1"}));
    for (size_t i = 2; i + 4 < n; ++i)
        EXPECT_EQ(lines[i].label, "Open Windows");
    EXPECT_EQ(entries(lines, n - 4, n),
              QStringList({"Version|" + ProgramVersion.str().trimmed(), "AppDate|08/31/98", "AppTime|22:43",
                           "EndIncident|" + QString(47, QLatin1Char('-'))}));
    EXPECT_EQ(ask("status cdaudio mode"), "stopped");   // not closed by the player
}

TEST_F(PlayerTest, NextPastTheLastTrackFailsAndIsLogged) {
    UseLog = 1;
    auto p = start();
    CDTimer = 0;   // no polls: only the buttons talk to the drive
    EXPECT_TRUE(press(*p, "Next"));
    EXPECT_TRUE(press(*p, "Next"));
    EXPECT_TRUE(press(*p, "Next"));
    EXPECT_EQ(ask("status cdaudio current track"), "3");
    CloseEventLog();
    QFile::remove(QString::fromLatin1(kEventLogName));
    EXPECT_TRUE(press(*p, "Next"));
    CloseEventLog();
    const std::vector<LogLine> lines = eventLogLines();
    EXPECT_EQ(entries(lines, 0, lines.size()),
              QStringList({"MCI Request|play cdaudio from 4", "MCI Return|", "MCI Error|282"}));
    EXPECT_EQ(ask("status cdaudio current track"), "3");
}

TEST_F(PlayerTest, PreviousBackAndForward) {
    addAlbum(1, "Known", discSerial());
    auto p = start();
    tick();   // stopped at the start of track 1
    EXPECT_TRUE(press(*p, "Previous"));
    EXPECT_EQ(ask("status cdaudio mode"), "playing");
    EXPECT_EQ(ask("status cdaudio current track"), "1");

    describe(kDisc + QStringLiteral("clock 5000\n"));
    tick();
    EXPECT_TRUE(press(*p, "Previous"));   // five seconds in: the track starts again
    EXPECT_EQ(ask("status cdaudio position"), "01:00:00:00");

    EXPECT_TRUE(press(*p, "Next"));
    describe(kDisc + QStringLiteral("clock 6000\n"));
    tick();
    EXPECT_EQ(text(*p, "Status"), "Sync");
    EXPECT_TRUE(press(*p, "Previous"));   // one second into track 2
    EXPECT_EQ(ask("status cdaudio current track"), "1");
    EXPECT_TRUE(press(*p, "Next"));

    // Back and Forward from 30 seconds into track 2.
    describe(kDisc + QStringLiteral("clock 36000\n"));
    const qint64 at = msOfFrame(20000 + 30 * 75);
    EXPECT_EQ(positionMs(), at);
    EXPECT_TRUE(press(*p, "Forward"));
    EXPECT_NEAR(positionMs(), at + 10000, 14);
    EXPECT_TRUE(press(*p, "Back"));
    EXPECT_TRUE(press(*p, "Back"));
    EXPECT_NEAR(positionMs(), at - 10000, 28);
}


TEST_F(PlayerTest, BarClickSeeksWithinTheTrack) {
    addAlbum(1, "Known", discSerial());
    auto p = start();
    tick();
    EXPECT_TRUE(press(*p, "Next"));
    tick();   // track 2 playing: its length and start are read
    auto *bar = qobject_cast<QAbstractButton *>(findControl(window(*p), "PositionBar"));
    ASSERT_TRUE(bar);
    ASSERT_GT(bar->width(), 40);
    const int x = bar->width() / 4;
    const int percent = x * 100 / bar->width();
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(x, bar->height() / 2));
    ASSERT_TRUE(runUntilIdle());
    const qint64 length = msOfFrame(20000) / 10;   // track 2, in hundredths
    const qint64 start = msOfFrame(20000) / 10 + 1;
    EXPECT_NEAR(positionMs(), (qint64(percent / 100.0 * length) + start) * 10, 14);
}

TEST_F(PlayerTest, FailedLengthLeavesTheBarAtNothing) {
    addAlbum(1, "Known", discSerial());
    auto p = start();
    tick();
    ASSERT_EQ(title(*p), "CD Player - Known");
    describe(kDisc + QStringLiteral("fail 282 status cdaudio length track *\n"));
    EXPECT_TRUE(press(*p, "Next"));   // track 2
    describe(kDisc + QStringLiteral("fail 282 status cdaudio length track *\nclock 5000\n"));
    tick();   // the track's length reads as 0
    auto *bar = qobject_cast<QAbstractButton *>(findControl(window(*p), "PositionBar"));
    ASSERT_TRUE(bar);
    EXPECT_EQ(qobject_cast<QLineEdit *>(findControl(window(*p), "CDP:TrackLength"))->text(), "");
    EXPECT_EQ(qobject_cast<QLineEdit *>(findControl(window(*p), "CDP:TrackPosition"))->text(), "0:05");
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() / 2));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_NEAR(positionMs(), msOfFrame(20000) + 10, 14);   // the track's start
    EXPECT_FALSE(p->done);
}

TEST_F(PlayerTest, EditsHandTheSongAndTheAlbumToTheirForms) {
    addAlbum(1, "Known", discSerial());
    addSong(1, 1, 0, 1, "A");
    addSong(2, 1, 0, 2, "B");
    QStringList calls;
    registerProcedure(QStringLiteral("UpdateSong"), [&calls] {
        calls << QStringLiteral("song %1 %2 mode %3").arg(takeGlobalRequest()).arg(MUS.Title.str()).arg(AlbumSongMode);
        MUS.Title = QStringLiteral("A changed");
        EXPECT_TRUE(MUS.put());
        storeGlobalResponse(RequestCompleted);
    });
    registerProcedure(QStringLiteral("UpdateAlbum"), [&calls] {
        calls << QStringLiteral("album %1 %2 mode %3").arg(takeGlobalRequest()).arg(ALB.Album.str()).arg(AlbumSongMode);
        ALB.Album = QStringLiteral("Renamed");
        EXPECT_TRUE(ALB.put());
        storeGlobalResponse(RequestCompleted);
    });
    auto p = start();
    // No album is known before the disc is identified.
    EXPECT_FALSE(findControl(window(*p), "EditAlbum")->isEnabled());
    tick();
    EXPECT_TRUE(press(*p, "Edit"));
    EXPECT_EQ(tracks(rows(*p)), QStringList({"1 A changed", "2 B"}));
    EXPECT_TRUE(press(*p, "EditAlbum"));
    EXPECT_EQ(calls, QStringList({"song 2 A mode 0", "album 2 Known mode 1"}));
    EXPECT_EQ(title(*p), "CD Player - Renamed");
    registerProcedure(QStringLiteral("UpdateSong"), {});
    registerProcedure(QStringLiteral("UpdateAlbum"), {});
}

TEST_F(PlayerTest, DoNotCheckChosenWithSetStopsThePollsAtOnce) {
    addAlbum(1, "Known", discSerial());
    describe(QStringLiteral("tray open\n"));
    auto p = start();
    tick();
    EXPECT_TRUE(press(*p, "Set"));
    ASSERT_EQ(activeWindow(p->thread)->windowTitle(), "CD Player Preferences");
    qobject_cast<QAbstractButton *>(findControl(activeWindow(p->thread), "Do Not Check"))->click();
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(press(*p, "Ok"));
    EXPECT_EQ(CDTimer, 0);
    describe(kDisc);
    clock.advance(1000);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(title(*p), "CD Player");
    EXPECT_TRUE(p->done == false);
}

TEST_F(PlayerTest, SetupOkStoresTheChoiceAndCancelRestoresTheSaved) {
    ProgramIniFile = kProgramIniName;
    LoadProgramSettings();
    const auto run = [](const QString &choice, const QString &button) {
        const Started c = startOnThread(CDSetup);
        QWidget *w = window(c);
        EXPECT_EQ(w->windowTitle(), "CD Player Preferences");
        qobject_cast<QAbstractButton *>(findControl(w, choice))->click();
        EXPECT_TRUE(runUntilIdle());
        EXPECT_TRUE(press(c, button));
        EXPECT_TRUE(c->done);
    };
    const auto saved = [] { return getIni("Settings", "CDTimer", "none", ProgramIniFile); };
    EXPECT_EQ(CDTimer, 150);
    run("Do Not Check", "Ok");
    EXPECT_EQ(CDTimer, 0);
    EXPECT_EQ(saved(), "0");
    run("1000", "Cancel");
    EXPECT_EQ(CDTimer, 0);
    EXPECT_EQ(saved(), "0");
    run("250", "Ok");
    EXPECT_EQ(CDTimer, 250);
    EXPECT_EQ(saved(), "250");
}

} // namespace
