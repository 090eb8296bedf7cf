#include "core/datafiles.h"
#include "core/eventlog.h"
#include "core/programsettings.h"
#include "core/smallservices.h"
#include "setup/startuprepair.h"
#include "runtime/threads/threadglobals.h"
#include "runtime/values/dates.h"
#include "runtime/values/picture.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QUrl>
#include <QWidget>
#include <gtest/gtest.h>

using namespace tbk;

namespace {

TEST(FormatSongTitle, TitleSkipsAndMix) {
    struct Case {
        const char *title;
        int skips;
        const char *mix;
        const char *shown;
        int skipsAfter;
    };
    const Case cases[] = {
        {"Song", 0, "", "Song", 0},
        {"Song   ", 0, "  ", "Song", 0},
        {"Song", 1, "", "Song (Skips)", 1},
        {"Song", 1, "Club Mix ", "Song (Skips) (Club Mix)", 1},
        {"Song", 0, "Radio Edit", "Song (Radio Edit)", 0},
        // A title that says it skips shows as it is, but marks the buffer.
        {"Song (Skips)", 0, "", "Song (Skips)", 1},
        {"Song (Skips)", 1, "", "Song (Skips) (Skips)", 1},
    };
    for (const Case &c : cases) {
        MUS.clear();
        MUS.Title = c.title;
        MUS.Skips = c.skips;
        MUS.Mix = c.mix;
        EXPECT_EQ(FormatSongTitle(), QString::fromUtf8(c.shown)) << c.title << "/" << c.mix;
        EXPECT_EQ(SongTitleText.str(), QString::fromUtf8(c.shown).leftJustified(SongTitleText.str().size()));
        EXPECT_EQ(int(MUS.Skips), c.skipsAfter) << c.title;
    }
    // Shown again from the marked buffer, the title gains the mark.
    MUS.clear();
    MUS.Title = "Song (Skips)";
    FormatSongTitle();
    EXPECT_EQ(FormatSongTitle(), "Song (Skips) (Skips)");
}

TEST(StartupRepair, ArgumentsOfTheRepairUtility) {
    struct Case {
        const char *disk;
        QStringList arguments;
    };
    const Case cases[] = {
        {"tbkdata", {"tbkdata.dat", "/E:tbkdata.dex", "/K"}},
        {"TBKCAT  ", {"TBKCAT.dat", "/E:TBKCAT.dex", "/K"}},
        {"tbkdata.dat", {"tbkdata.dat", "/E:tbkdata.dex", "/K"}},
        {"old.tbk.dat", {"old.tbk.dat", "/E:old.dex", "/K"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(repairArguments(QString::fromLatin1(c.disk)), c.arguments) << c.disk;
}

TEST(StartupRepair, OnlyDeclaredDataFilesCanBeMarked) {
    EXPECT_EQ(markedDataFile(QStringLiteral("tbkdata")), &MUS);
    EXPECT_EQ(markedDataFile(QStringLiteral("TBKDATA.DAT")), &MUS);
    EXPECT_EQ(markedDataFile(QStringLiteral("tbkalbum ")), &ALB);
    EXPECT_EQ(markedDataFile(QStringLiteral("TBKConf")), &CF);
    for (const char *other : {"", "TBKEvent.LOG", "A_Songs", "../tbkdata", "tbkdata.dex", "/tmp/tbkdata"})
        EXPECT_EQ(markedDataFile(QString::fromLatin1(other)), nullptr) << other;
}

TEST(EventLog, RecordLayoutOfDateTimeLabelAndData) {
    UseLog = 1;
    AddEventLogEntry(QStringLiteral("play cdaudio"), QStringLiteral("MCI Request"));
    CloseEventLog();
    UseLog = 0;
    QFile log(QStringLiteral("TBKEvent.LOG"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString line = QString::fromUtf8(log.readLine()).remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    ASSERT_GE(line.size(), 52 + 12);
    EXPECT_EQ(line.mid(0, 12).trimmed(), formatPicture(QStringLiteral("@d3"), today()));
    EXPECT_FALSE(line.mid(12, 10).trimmed().isEmpty());
    EXPECT_EQ(line.mid(22, 30), QStringLiteral("MCI Request").leftJustified(30));
    EXPECT_EQ(line.mid(52, 50).trimmed(), "play cdaudio");
}

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

TEST(ShellOpenFile, OpensTheFileFoundWithoutCase) {
    QFile f(QStringLiteral("Track01.WAV"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
    ShellOpenFile(QStringLiteral("play"), QStringLiteral("track01.wav   "));
    ShellOpenFile(QStringLiteral("open"), QStringLiteral("http://example.invalid/"));
    ShellOpenFile(QStringLiteral("open"), QStringLiteral("   "));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    ASSERT_EQ(catcher.opened.size(), 2);
    EXPECT_EQ(QFileInfo(catcher.opened[0].toLocalFile()).fileName(), "Track01.WAV");
    EXPECT_EQ(catcher.opened[1].toString(), "http://example.invalid/");
}

TEST(ShellOpenFile, AnExistingFileIsOpenedByItsFullPathEvenWhenItLooksLikeAnAddress) {
    for (const char *name : {"mix:one.wav", "Notes.txt"}) {
        SCOPED_TRACE(name);
        QFile f(QString::fromLatin1(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("mix"), &catcher, "open");
        ShellOpenFile(QStringLiteral("open"), QString::fromLatin1(name));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("mix"));
        ASSERT_EQ(catcher.opened.size(), 1);
        EXPECT_TRUE(catcher.opened[0].isLocalFile()) << catcher.opened[0].toString().toStdString();
        EXPECT_EQ(catcher.opened[0].toLocalFile(), QFileInfo(QString::fromLatin1(name)).absoluteFilePath());
    }
}

TEST(EnumWindowProc, CollectsTitledTopLevelWindowsIntoTheThreadsQueue) {
    QWidget titled, untitled;
    titled.setWindowTitle(QStringLiteral("TuneBank Pro 98"));
    titled.show();
    untitled.show();
    threadGlobals().WindowQueue.clear();
    EnumWindows(EnumWindowProc, 0);
    QStringList lines;
    for (const WindowQueueEntry &e : threadGlobals().WindowQueue) {
        lines << e.LINE;
        EXPECT_NE(e.HANDLE, 0u);
        EXPECT_EQ(windowTitleOf(e.HANDLE), e.LINE);
    }
    EXPECT_EQ(lines, QStringList{"TuneBank Pro 98"});
    EXPECT_EQ(EnumWindowProc(0, 0), 1);
}

} // namespace

#include "services_test.moc"
