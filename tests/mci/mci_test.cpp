#include "drivefixture.h"

#include "runtime/mci/simulateddrive.h"

#include <QFile>

using namespace tbk;

namespace {

using Answers = std::vector<std::pair<const char *, const char *>>;

// Every query the catalogue sends, in the three time formats, for the two-track disc.
const Answers kDiscAnswers = {
    {"set cdaudio time format msf", ""},
    {"status cdaudio number of tracks", "2"},
    {"status cdaudio length", "08:24:51"},
    {"status cdaudio length track 1", "03:58:00"},
    {"status cdaudio length track 2", "04:26:50"},   // one frame short of the lead-out
    {"status cdaudio position track 1", "00:02:00"},
    {"status cdaudio position track 2", "04:00:00"},
    {"status cdaudio position", "00:02:00"},
    {"status cdaudio current track", "1"},
    {"set cdaudio time format tmsf", ""},
    {"status cdaudio time format", "tmsf"},
    {"status cdaudio length", "08:24:51"},
    {"status cdaudio length track 2", "04:26:50"},
    {"status cdaudio position track 2", "02:00:00:00"},
    {"status cdaudio position", "01:00:00:00"},
    {"set cdaudio time format ms", ""},
    {"status cdaudio length", "504680"},
    {"status cdaudio length track 1", "238000"},
    {"status cdaudio length track 2", "266666"},
    {"status cdaudio position track 2", "240000"},
    {"status cdaudio position", "2000"},
    {"status cdaudio mode", "stopped"},
    {"status cdaudio ready", "true"},
    {"status cdaudio media present", "true"},
};

TEST_F(DriveTest, AnswersEveryQueryInEachTimeFormat) {
    EXPECT_EQ(ask("open cdaudio shareable"), "1");
    EXPECT_EQ(ask("status cdaudio time format"), "msf");
    for (const auto &[command, answer] : kDiscAnswers)
        EXPECT_EQ(ask(command), answer) << command;
}

TEST_F(DriveTest, ErrorCodesOfTheCommandLanguage) {
    EXPECT_EQ(code("status cdaudio mode"), kMciInvalidDeviceName);   // not open yet
    ASSERT_EQ(code("open cdaudio shareable"), 0);
    const std::vector<std::pair<const char *, int>> cases = {
        {"open cdaudio shareable", kMciDeviceOpen},
        {"open cdaudio", kMciDeviceOpen},
        {"", kMciMissingCommandString},
        {"eject cdaudio", kMciUnrecognizedCommand},
        {"status", kMciMissingDeviceName},
        {"status cd mode", kMciInvalidDeviceName},
        {"status cdaudio", kMciMissingParameter},
        {"status cdaudio volume", kMciUnrecognizedKeyword},
        {"status cdaudio length track", kMciMissingParameter},
        {"status cdaudio length track x", kMciBadInteger},
        {"status cdaudio length track 0", kMciOutOfRange},
        {"status cdaudio position track 3", kMciOutOfRange},
        {"set cdaudio time format frames", kMciBadTimeFormat},
        {"set cdaudio door open", kMciUnrecognizedKeyword},
        {"play cdaudio to 2", kMciUnrecognizedKeyword},
        {"play cdaudio from", kMciMissingParameter},
        {"STATUS  CDAUDIO   MODE", 0},
    };
    for (const auto &[command, expected] : cases)
        EXPECT_EQ(code(command), expected) << command;
    ASSERT_EQ(code("close cdaudio"), 0);
    EXPECT_EQ(code("status cdaudio mode"), kMciInvalidDeviceName);
    EXPECT_EQ(code("close cdaudio"), kMciInvalidDeviceName);
    EXPECT_EQ(ask("open cdaudio"), "1");
    EXPECT_EQ(ask("status cdaudio time format"), "msf");   // a new open starts afresh
}

TEST_F(DriveTest, AnswerThatDoesNotFitTheBufferIsAnError) {
    ASSERT_EQ(code("open cdaudio"), 0);
    QString answer = QStringLiteral("old");
    EXPECT_EQ(mciSendString(QStringLiteral("status cdaudio mode"), answer, 7), kMciParamOverflow);
    EXPECT_TRUE(answer.isEmpty());
    EXPECT_EQ(mciSendString(QStringLiteral("status cdaudio mode"), answer, 8), 0);
    EXPECT_EQ(answer, "stopped");
}

TEST_F(DriveTest, TrayAndDiscFollowTheDescription) {
    ASSERT_EQ(code("open cdaudio shareable"), 0);
    for (const char *state : {"tray open\ntracks 150 18000\nleadout 38001\n", "disc no\n", ""}) {
        describe(QString::fromLatin1(state));
        EXPECT_EQ(ask("status cdaudio mode"), "open") << state;
        EXPECT_EQ(ask("status cdaudio ready"), "false") << state;
        EXPECT_EQ(code("status cdaudio number of tracks"), kMciHardware) << state;
        EXPECT_EQ(code("play cdaudio from 1"), kMciHardware) << state;
    }
    describe(QStringLiteral("tray closed\ntracks 150 9000 30000\nleadout 60000\n"));
    EXPECT_EQ(ask("status cdaudio mode"), "stopped");
    EXPECT_EQ(ask("status cdaudio number of tracks"), "3");
    EXPECT_EQ(ask("status cdaudio length track 3"), "06:39:74");   // 29999 frames
}

TEST_F(DriveTest, PlayFollowsTheClock) {
    ASSERT_EQ(code("open cdaudio shareable"), 0);
    ask("set cdaudio time format tmsf");
    ask("play cdaudio from 2");
    EXPECT_EQ(ask("status cdaudio mode"), "playing");
    describe(QString::fromLatin1(kTwoTrackDisc) + "clock 3000\n");
    EXPECT_EQ(ask("status cdaudio position"), "02:00:03:00");
    EXPECT_EQ(ask("status cdaudio current track"), "2");

    ask("pause cdaudio");
    describe(QString::fromLatin1(kTwoTrackDisc) + "clock 10000\n");
    EXPECT_EQ(ask("status cdaudio mode"), "paused");
    EXPECT_EQ(ask("status cdaudio position"), "02:00:03:00");
    ask("play cdaudio");   // resumes where it paused
    describe(QString::fromLatin1(kTwoTrackDisc) + "clock 11000\n");
    EXPECT_EQ(ask("status cdaudio position"), "02:00:04:00");

    // 18300 + 19701 frames reach the lead-out: the drive stops and rests at track 1.
    describe(QString::fromLatin1(kTwoTrackDisc) + "clock 273679\n");
    EXPECT_EQ(ask("status cdaudio mode"), "playing");
    describe(QString::fromLatin1(kTwoTrackDisc) + "clock 273680\n");
    EXPECT_EQ(ask("status cdaudio mode"), "stopped");
    EXPECT_EQ(ask("status cdaudio position"), "01:00:00:00");

    ask("play cdaudio from 2:01:02:03");
    EXPECT_EQ(ask("status cdaudio position"), "02:01:02:03");
    ask("stop cdaudio");
    EXPECT_EQ(ask("status cdaudio mode"), "stopped");
    EXPECT_EQ(ask("status cdaudio current track"), "1");
}

TEST_F(DriveTest, PlayPositionsInEachFormatAndOutOfRange) {
    ASSERT_EQ(code("open cdaudio shareable"), 0);
    ask("set cdaudio time format tmsf");
    EXPECT_EQ(code("play cdaudio from 3"), kMciOutOfRange);   // Next on the last track
    EXPECT_EQ(code("play cdaudio from 0"), kMciOutOfRange);
    EXPECT_EQ(code("play cdaudio from 2:x"), kMciBadInteger);
    ask("set cdaudio time format ms");
    ask("play cdaudio from 250000");
    EXPECT_EQ(ask("status cdaudio position"), "250000");
    EXPECT_EQ(ask("status cdaudio current track"), "2");
    EXPECT_EQ(code("play cdaudio from -5000"), kMciBadInteger);   // Back at the start
    EXPECT_EQ(code("play cdaudio from 506680"), kMciOutOfRange);  // the lead-out itself
    EXPECT_EQ(code("play cdaudio from 1000"), kMciOutOfRange);    // before track 1
    ask("set cdaudio time format msf");
    ask("play cdaudio from 04:00:10");
    EXPECT_EQ(ask("status cdaudio position"), "04:00:10");
    EXPECT_EQ(ask("status cdaudio mode"), "playing");
}

TEST_F(DriveTest, ChangingTheDiscStopsPlay) {
    ASSERT_EQ(code("open cdaudio shareable"), 0);
    ask("play cdaudio from 04:00:00");
    describe(QStringLiteral("tray open\n"));
    EXPECT_EQ(ask("status cdaudio mode"), "open");
    describe(QString::fromLatin1(kTwoTrackDisc));
    EXPECT_EQ(ask("status cdaudio mode"), "stopped");
    EXPECT_EQ(ask("status cdaudio position"), "00:02:00");
}

TEST_F(DriveTest, ScriptedFailures) {
    describe(QString::fromLatin1(kTwoTrackDisc)
             + "fail 262 open cdaudio shareable\n"
               "fail 276 status cdaudio length track *\n"
               "fail 288 play cdaudio from 2\n");
    EXPECT_EQ(code("open cdaudio shareable"), kMciHardware);
    EXPECT_EQ(code("status cdaudio mode"), kMciInvalidDeviceName);   // the failed open left it closed
    ASSERT_EQ(code("open  CDAUDIO"), 0);
    EXPECT_EQ(code("status cdaudio length track 2"), 276);
    EXPECT_EQ(ask("status cdaudio length"), "08:24:51");
    ask("set cdaudio time format tmsf");
    EXPECT_EQ(code("play cdaudio from 2"), 288);
    EXPECT_EQ(ask("status cdaudio mode"), "stopped");
    describe(QString::fromLatin1(kTwoTrackDisc));   // the script is read again too
    EXPECT_EQ(ask("status cdaudio length track 2"), "04:26:50");
}

TEST_F(DriveTest, BadDescriptions) {
    for (const char *bad : {"tracks 150 x\nleadout 38001\n", "tracks 150 18000\n",
                            "tracks 18000 150\nleadout 38001\n", "tracks 150\nleadout 151\n",
                            "tray ajar\n", "fail 0 status cdaudio mode\n", "volume 11\n"}) {
        describe(QString::fromLatin1(bad));
        EXPECT_EQ(code("open cdaudio"), kMciCannotLoadDriver) << bad;
    }
    // A bad rewrite while open keeps the disc last read.
    describe(QString::fromLatin1(kTwoTrackDisc));
    ASSERT_EQ(code("open cdaudio"), 0);
    describe(QStringLiteral("tracks 150 9000\nleadout 100\n"));
    EXPECT_EQ(ask("status cdaudio number of tracks"), "2");
    EXPECT_EQ(ask("status cdaudio length track 2"), "04:26:50");
}

TEST_F(DriveTest, MissingDriveCannotBeOpened) {
    qputenv("TBK_CDROM", "/nonexistent/dev/sr9");
    EXPECT_EQ(code("open cdaudio shareable"), kMciCannotLoadDriver);
    EXPECT_EQ(code("status cdaudio mode"), kMciInvalidDeviceName);
}

TEST(DriveDescription, CommentsBlanksAndDefaults) {
    QString why;
    const auto d = parseDriveDescription(QStringLiteral("# a test disc\n\n  TRACKS  150   200 # two\n"
                                                        "LEADOUT 300\r\nclock 5\ntray Closed\n"),
                                         &why);
    ASSERT_TRUE(d) << why.toStdString();
    ASSERT_TRUE(d->disc);
    EXPECT_EQ(d->disc->starts, (std::vector<quint32>{150, 200}));
    EXPECT_EQ(d->disc->leadout, 300u);
    EXPECT_EQ(d->clock, 5);
    EXPECT_FALSE(d->trayOpen);
    EXPECT_FALSE(parseDriveDescription(QStringLiteral("clock -1\n"), &why));
    EXPECT_TRUE(why.contains(QLatin1String("line 1")));
}

} // namespace

namespace {

// Commands put together at random from the language's own words never upset the device:
// each gets an answer that fits or a known error, and the device still answers afterwards.
TEST_F(DriveTest, RandomCommandsGetAnAnswerOrAnError) {
    const QStringList words = {"open", "close", "status", "set", "play", "pause", "stop", "cdaudio",
                               "all", "shareable", "mode", "ready", "number", "of", "tracks", "track",
                               "current", "length", "position", "time", "format", "tmsf", "msf", "ms",
                               "from", "0", "1", "2", "3", "99", "4294967296", "-1", "2:", ":", "1:2:3:4:5",
                               "04:00:00", "255:255:255:255", "999999999", "x"};
    quint32 seed = 12345;
    const auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 16) % quint32(n));
    };
    const QString discs[] = {QString::fromLatin1(kTwoTrackDisc), QStringLiteral("tray open\n"),
                             QStringLiteral("tracks 150\nleadout 152\nclock 99999\n")};
    for (int i = 0; i < 3000; ++i) {
        if (i % 500 == 0)
            describe(discs[i / 500 % 3]);
        QStringList command{words[next(7)], QStringLiteral("cdaudio")};
        for (int n = next(5); n > 0; --n)
            command << words[next(int(words.size()))];
        QString answer;
        const int rc = mciSendString(command.join(QLatin1Char(' ')), answer);
        if (rc == 0)
            EXPECT_LT(answer.size(), kMciAnswerSize);
        else
            EXPECT_TRUE(rc >= kMciUnrecognizedKeyword && rc <= kMciBadTimeFormat) << rc;
    }
    QString answer;
    code("open cdaudio");
    EXPECT_EQ(mciSendString(QStringLiteral("status cdaudio time format"), answer), 0);
}

} // namespace
