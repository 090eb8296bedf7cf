#include "eventlogfixture.h"
#include "mci/drivefixture.h"

#include "cdaudio/mcicommand.h"
#include "core/datafiles.h"
#include "runtime/values/dates.h"

using namespace tbk;

namespace {

class SendMciCommandTest : public DriveTest {
protected:
    void SetUp() override {
        DriveTest::SetUp();
        UseLog = 1;
    }
    void TearDown() override {
        CloseEventLog();
        UseLog = 0;
        DriveTest::TearDown();
    }
};

TEST_F(SendMciCommandTest, AnswersBecomeTextsCallersTestDirectly) {
    EXPECT_EQ(SendMciCommand(QStringLiteral("open cdaudio shareable")), "1");
    EXPECT_EQ(SendMciCommand(QStringLiteral("status cdaudio ready")), "1");          // true
    EXPECT_EQ(SendMciCommand(QStringLiteral("status cdaudio number of tracks")), "2");
    EXPECT_EQ(SendMciCommand(QStringLiteral("set cdaudio time format tmsf")), "");
    EXPECT_EQ(SendMciCommand(QStringLiteral("play cdaudio from 1")), "");
    EXPECT_EQ(SendMciCommand(QStringLiteral("status cdaudio mode")), "playing");    // as given
    describe(QStringLiteral("tray open\n"));
    EXPECT_EQ(SendMciCommand(QStringLiteral("status cdaudio ready")), "");           // false
    EXPECT_EQ(SendMciCommand(QStringLiteral("status cdaudio mode")), "open");
    EXPECT_TRUE(eventLogLines().empty());
}

TEST_F(SendMciCommandTest, ModeRequestIgnoresTheCommand) {
    SendMciCommand(QStringLiteral("open cdaudio"));
    EXPECT_EQ(SendMciCommand(QStringLiteral("close cdaudio"), 1), "stopped");
    EXPECT_EQ(SendMciCommand(QString(), 1), "stopped");
    EXPECT_EQ(SendMciCommand(QStringLiteral("status cdaudio ready")), "1");   // still open
}

TEST_F(SendMciCommandTest, DeviceAlreadyOpenIsErrorOneAndNotLogged) {
    SendMciCommand(QStringLiteral("open cdaudio shareable"));
    EXPECT_EQ(SendMciCommand(QStringLiteral("open cdaudio shareable")), "Error:1");
    EXPECT_EQ(SendMciCommand(QStringLiteral("open cdaudio")), "Error:1");
    EXPECT_FALSE(QFile::exists(QString::fromLatin1(kEventLogName)));
}

TEST_F(SendMciCommandTest, FailureLogsRequestAnswerAndCode) {
    EXPECT_EQ(SendMciCommand(QStringLiteral("status cdaudio number of tracks")), "Error:263");
    SendMciCommand(QStringLiteral("open cdaudio shareable"));
    EXPECT_EQ(SendMciCommand(QStringLiteral("status cdaudio length track 3")), "Error:282");
    const auto lines = eventLogLines();
    ASSERT_EQ(lines.size(), 6u);
    const std::pair<const char *, const char *> expected[] = {
        {"MCI Request", "status cdaudio number of tracks"}, {"MCI Return", ""}, {"MCI Error", "263"},
        {"MCI Request", "status cdaudio length track 3"}, {"MCI Return", ""}, {"MCI Error", "282"}};
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].label, expected[i].first) << i;
        EXPECT_EQ(lines[i].data, expected[i].second) << i;
    }
}

TEST_F(SendMciCommandTest, FailureWithUseLogOffWritesNothing) {
    UseLog = 0;
    EXPECT_EQ(SendMciCommand(QStringLiteral("status cdaudio mode")), "Error:263");
    EXPECT_FALSE(QFile::exists(QString::fromLatin1(kEventLogName)));
}

TEST(ParseMciTime, Examples) {
    const std::pair<const char *, qint32> cases[] = {
        {"03:25:40", timeOf(0, 3, 25)},   // 20501: frames dropped
        {"03:59:99", timeOf(0, 4, 0)},    // 24001: "99" rounds up
        {"03:25:98", timeOf(0, 3, 25)},
        {"75:10:00", timeOf(1, 15, 10)},
        {"00:60:00", timeOf(0, 1, 0)},
        {"59:59:99", timeOf(1, 0, 0)},
        {"00:00:00", timeOf(0, 0, 0)},
        {"Error:263", timeOf(0, 0, 0)},
        {"", timeOf(0, 0, 0)},
    };
    EXPECT_EQ(timeOf(0, 3, 25), 20501);
    EXPECT_EQ(timeOf(0, 4, 0), 24001);
    for (const auto &[answer, expected] : cases)
        EXPECT_EQ(ParseMciTime(QLatin1String(answer)), expected) << answer;
}

TEST(FormatTrackTime, Examples) {
    const std::pair<qint32, const char *> cases[] = {
        {0, "     "},
        {-5, "     "},
        {timeOf(0, 3, 25), " 3:25"},
        {timeOf(0, 4, 5), " 4:05"},
        {timeOf(0, 0, 5), " 0:05"},
        {timeOf(0, 12, 0, 99), "12:00"},
        {timeOf(1, 2, 3), "62:03"},
        {timeOf(1, 39, 59), "99:59"},
        {timeOf(2, 0, 0), "120:00"},
    };
    for (const auto &[time, expected] : cases)
        EXPECT_EQ(FormatTrackTime(time), QLatin1String(expected)) << time;
}

TEST(FormatReportSongTime, TakesTheSongRecordOnlyWhenAsked) {
    const qint32 saved = MUS.Time.value();
    MUS.Time = timeOf(0, 4, 5);
    FormatReportSongTime(timeOf(0, 3, 25), 0);
    EXPECT_EQ(SongTimeText.str(), QLatin1String(" 3:25"));
    FormatReportSongTime(timeOf(0, 3, 25), 1);
    EXPECT_EQ(SongTimeText.str(), QLatin1String(" 4:05"));
    MUS.Time = 0;
    FormatReportSongTime(timeOf(0, 3, 25), 1);
    EXPECT_TRUE(SongTimeText.empty()); // fixed texts keep no trailing blanks
    MUS.Time = saved;
}

} // namespace
