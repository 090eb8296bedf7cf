#pragma once
// The CD player on its own thread over real data files and the simulated drive, its window
// timer on a manual clock and the drive's play clock moved by rewriting the drive's file.
#include "cdaudio/cdplayer.h"
#include "core/datafiles.h"
#include "core/eventlog.h"
#include "core/fileaccess.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "runtime/data/errors.h"
#include "runtime/mci/mci.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/values/dates.h"
#include "support/catalogue/cataloguetest.h"
#include "support/drivefile.h"
#include "support/qstringprint.h"
#include "support/windows/manualclock.h"
#include "support/windows/threadcall.h"
#include "support/windows/windowtesting.h"

#include <QDir>
#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

namespace playertest {

using namespace tbk;
using namespace tbk::windowtest;

// Three tracks from frames 150, 20000 and 40000 to the lead-out at 60000.
inline const QString kDisc = QStringLiteral("tracks 150 20000 40000\nleadout 60000\n");
// Its serial: the track count, the disc length and the first three track lengths.
inline QString discSerial() {
    return QStringLiteral(" 3%1%2%3%4")
        .arg(timeOf(0, 13, 18))
        .arg(timeOf(0, 4, 24))
        .arg(timeOf(0, 4, 26))
        .arg(timeOf(0, 4, 26))
        .left(24);
}

class PlayerTest : public testing::Test {
protected:
    void SetUp() override {
        setExitHook([](int) {});
        describe(kDisc);
        qputenv("TBK_CDROM", QFile::encodeName(QDir::current().filePath(QStringLiteral("drive.txt"))));
        openForUse(ALB);
        openForUse(MUS);
        ProgramIniFile = kProgramIniName;
        CDTimer = 100;
        UseLog = 0;
        GlobalRequest = 0;
        ReadCDOnOpen = 0;
    }
    void TearDown() override {
        endAllThreads();
        registerProcedure(QStringLiteral("AlbumWizard"), {});
        CloseEventLog();
        UseLog = 0;
        closeAllDataFiles();
        QString answer;
        mciSendString(QStringLiteral("close all"), answer);
        qunsetenv("TBK_CDROM");
    }

    // Rewrites the drive's description in one step (tray, disc, play clock, failures).
    void describe(const QString &description) {
        writeDriveFile(QStringLiteral("drive.txt"), description);
    }

    static void addAlbum(qint32 id, const QString &title, const QString &serial) {
        cataloguetest::addAlbum(id, QStringLiteral("Artist"), title, {}, {}, serial);
    }
    static void addSong(qint32 id, qint32 album, int side, int track, const QString &title) {
        cataloguetest::addSong(id, title, album, side, track, {}, {}, [] {
            MUS.Artist = QStringLiteral("Artist");
            MUS.Time = timeOf(0, 4, 0);
        });
    }

    static Started start() { return startOnThread(IntegratedCDPlayer); }
    // One poll period.
    void tick() {
        clock.advance(CDTimer);
        EXPECT_TRUE(runUntilIdle());
    }
    static QString title(const Call &p) { return window(p) ? window(p)->windowTitle() : QString(); }
    static QString text(const Call &p, const QString &control) {
        auto *label = qobject_cast<QLabel *>(findControl(window(p), control));
        return label ? label->text() : QString();
    }
    static QStringList rows(const Call &p) {
        return listRows(qobject_cast<ListControl *>(findControl(window(p), QStringLiteral("List"))));
    }
public:
    // A drive answer for the test, the time format left as the player keeps it.
    static QString ask(const QString &command, const QString &format = QStringLiteral("tmsf")) {
        QString answer;
        mciSendString(QStringLiteral("set cdaudio time format ") + format, answer);
        const int code = mciSendString(command, answer);
        QString ignored;
        mciSendString(QStringLiteral("set cdaudio time format tmsf"), ignored);
        return code == 0 ? answer : QStringLiteral("Error:%1").arg(code);
    }

protected:

    ManualClock clock;
};

} // namespace playertest
