#include "drivefixture.h"

#include <QFile>

using namespace tbk;

namespace {

constexpr qint64 kSectorBytes = 2352;

// A disc image of the given track starts and lead-out: a sparse data file and its cue sheet
// (track times there count from the end of the two-second lead-in).
QString makeCueImage(const std::vector<quint32> &starts, quint32 leadout) {
    QFile bin(QStringLiteral("disc.bin"));
    EXPECT_TRUE(bin.open(QIODevice::WriteOnly));
    EXPECT_TRUE(bin.resize(qint64(leadout - 150) * kSectorBytes));
    QString cue = QStringLiteral("FILE \"disc.bin\" BINARY\n");
    for (size_t i = 0; i < starts.size(); ++i) {
        const quint32 f = starts[i] - 150;
        cue += QStringLiteral("  TRACK %1 AUDIO\n    INDEX 01 %2:%3:%4\n")
                   .arg(i + 1, 2, 10, QLatin1Char('0'))
                   .arg(f / 4500, 2, 10, QLatin1Char('0'))
                   .arg(f / 75 % 60, 2, 10, QLatin1Char('0'))
                   .arg(f % 75, 2, 10, QLatin1Char('0'));
    }
    QFile f(QStringLiteral("disc.cue"));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(cue.toUtf8());
    return QDir::current().filePath(QStringLiteral("disc.cue"));
}

const char *const kQueries[] = {
    "status cdaudio mode", "status cdaudio ready", "status cdaudio number of tracks",
    "status cdaudio length", "status cdaudio position", "status cdaudio current track",
};

QStringList allAnswers(int tracks) {
    QStringList answers;
    QString a;
    for (const char *format : {"msf", "tmsf", "ms"}) {
        mciSendString(QStringLiteral("set cdaudio time format ") + QLatin1String(format), a);
        for (const char *q : kQueries) {
            const int code = mciSendString(QLatin1String(q), a);
            answers << QStringLiteral("%1 -> %2 %3").arg(QLatin1String(q)).arg(code).arg(a);
        }
        for (int t = 0; t <= tracks + 1; ++t)
            for (const char *q : {"length", "position"}) {
                const QString c = QStringLiteral("status cdaudio %1 track %2").arg(QLatin1String(q)).arg(t);
                const int code = mciSendString(c, a);
                answers << QStringLiteral("%1 -> %2 %3").arg(c).arg(code).arg(a);
            }
    }
    return answers;
}

class ImageTest : public DriveTest {
protected:
    // The answers of the simulated drive and of the cue image of the same disc.
    std::pair<QStringList, QStringList> compare(const std::vector<quint32> &starts, quint32 leadout) {
        QString desc = QStringLiteral("tracks");
        for (quint32 s : starts)
            desc += QLatin1Char(' ') + QString::number(s);
        describe(desc + QStringLiteral("\nleadout %1\n").arg(leadout));
        qputenv("TBK_CDROM", QFile::encodeName(path_));
        EXPECT_EQ(code("open cdaudio shareable"), 0);
        const QStringList simulated = allAnswers(int(starts.size()));
        EXPECT_EQ(code("close cdaudio"), 0);
        qputenv("TBK_CDROM", QFile::encodeName(makeCueImage(starts, leadout)));
        EXPECT_EQ(code("open cdaudio shareable"), 0);
        const QStringList image = allAnswers(int(starts.size()));
        return {simulated, image};
    }
};

TEST_F(ImageTest, CueImageAnswersLikeTheSimulatedDrive) {
    for (const auto &[starts, leadout] :
         std::vector<std::pair<std::vector<quint32>, quint32>>{
             {{150, 18000}, 38001},
             {{150}, 226},
             {{150, 15224, 33000, 33075, 250000}, 300074}}) {
        const auto [simulated, image] = compare(starts, leadout);
        EXPECT_EQ(simulated, image);
        EXPECT_EQ(simulated.size(), 3 * (6 + 2 * (int(starts.size()) + 2)));
        TearDown();
    }
}

TEST_F(ImageTest, ImagePlaysOnItsOwnClock) {
    qputenv("TBK_CDROM", QFile::encodeName(makeCueImage({150, 18000}, 38001)));
    ASSERT_EQ(code("open cdaudio"), 0);
    ask("set cdaudio time format tmsf");
    ask("play cdaudio from 2");
    EXPECT_EQ(ask("status cdaudio mode"), "playing");
    EXPECT_EQ(ask("status cdaudio current track"), "2");
    ask("pause cdaudio");
    EXPECT_EQ(ask("status cdaudio mode"), "paused");
    ask("stop cdaudio");
    EXPECT_EQ(ask("status cdaudio position"), "01:00:00:00");
    EXPECT_EQ(code("play cdaudio from 3"), kMciOutOfRange);
}

TEST_F(ImageTest, TocImageIsReadToo) {
    makeCueImage({150, 18000}, 38001);   // for its data file
    QFile toc(QStringLiteral("disc.toc"));
    ASSERT_TRUE(toc.open(QIODevice::WriteOnly));
    toc.write("CD_DA\nTRACK AUDIO\nFILE \"disc.bin\" 0 03:58:00\n"
              "TRACK AUDIO\nFILE \"disc.bin\" 03:58:00 04:26:51\n");
    toc.close();
    qputenv("TBK_CDROM", QFile::encodeName(QDir::current().filePath(QStringLiteral("disc.toc"))));
    ASSERT_EQ(code("open cdaudio"), 0);
    EXPECT_EQ(ask("status cdaudio number of tracks"), "2");
    EXPECT_EQ(ask("status cdaudio position track 2"), "04:00:00");
    EXPECT_EQ(ask("status cdaudio length track 2"), "04:26:50");
}

TEST_F(ImageTest, UnreadableImageCannotBeOpened) {
    QFile cue(QStringLiteral("broken.cue"));
    ASSERT_TRUE(cue.open(QIODevice::WriteOnly));
    cue.write("FILE \"missing.bin\" BINARY\n  TRACK 01 AUDIO\n");
    cue.close();
    qputenv("TBK_CDROM", QFile::encodeName(QDir::current().filePath(QStringLiteral("broken.cue"))));
    EXPECT_EQ(code("open cdaudio"), kMciCannotLoadDriver);
}

} // namespace
