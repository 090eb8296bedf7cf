#include "core/help.h"
#include "framefixture.h"

#include "runtime/querywizard/displaytexts.h"
#include "setup/startuprepair.h"
#include "runtime/querywizard/querywizardtexts.h"
#include "runtime/data/upgrader.h"
#include "runtime/threads/messagebox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>

using namespace tbk;
using tbk::windowtest::answerMessage;
using tbk::windowtest::messageText;
using tbk::windowtest::runUntil;
using tbk::windowtest::runUntilIdle;

namespace {

QString badFile() {
    return getIni(QStringLiteral("tbk98r"), QStringLiteral("BadFile"), QStringLiteral("<none>"), defaultSettingsFile());
}

QStringList mediaInFileOrder() {
    QStringList names;
    MED.setPhysical();
    while (MED.next())
        names << MED.Media.str();
    return names;
}

TEST_F(FrameTest, FirstStartInAnEmptyFolderCreatesTheFilesAndSettlesTheVersion) {
    provide(QStringLiteral("SetQueryWizardTexts"), SetQueryWizardTexts);
    ASSERT_TRUE(startMainProgram());

    for (const char *name : {"tbkdata.dat", "tbkalbum.dat", "tbkmedia.dat", "TBKConf.dat"})
        EXPECT_TRUE(QFile::exists(QString::fromLatin1(name))) << name;
    EXPECT_EQ(mediaInFileOrder(),
              (QStringList{"CD", "LP", "EP", "7\" Single", "CD Single", "Cassette (Dolby B)", "Cassette (Dolby C)",
                           "Cassette (Dolby S)", "Cassette (DBX)", "Cassette (HX Pro)",
                           // the name is longer than the field holds
                           "Cassette (Prerecorde",
                           "Other"}));
    EXPECT_EQ(getIni(QStringLiteral("Global Settings"), QStringLiteral("Version"), {}, QStringLiteral("TBank98.INI")),
              "2.0");
    EXPECT_EQ(ProgramVersion.str(), "Version 2.0");
    EXPECT_EQ(badFile(), "");
    EXPECT_EQ(QW_FileName.str(), "TKBQUERY");
    EXPECT_EQ(QW_DisplayText(171).toString(), "Query Wizard");
    EXPECT_EQ(helpFile(), "tbk98.HLP");
    EXPECT_EQ(frameTable().thread, mainThread);
    QStringList registration;
    for (const RegisteredFile &r : registeredDataFiles()) {
        registration << r.file->prefix() + QLatin1Char(' ') + r.file->label() + QLatin1Char(' ') +
                            QString::number(r.registration);
        EXPECT_TRUE(data::up_IsRegistered(*r.file)) << r.file->label().toStdString();
    }
    EXPECT_EQ(registration, (QStringList{"AW AddWizard 2", "ALB Album 4", "CAT Categories 1", "CF Configuration 1",
                                         "FON Fonts 1", "LAB Labels 2", "TIP TBKTips 0", "MED Media 1",
                                         "MUS Tunebank 6", "PLA PlaylistDetails 2", "PLD PlaylistMaster 1"}));
    EXPECT_FALSE(data::up_IsRegistered(A_S));

    ASSERT_TRUE(exitFrame());
    EXPECT_FALSE(MUS.isOpen());
    EXPECT_FALSE(ALB.isOpen());
    EXPECT_FALSE(MED.isOpen());
    EXPECT_EQ(frameTable().thread, 0);
    EXPECT_NE(getIni(QStringLiteral("Main"), QStringLiteral("Width"), {}, QStringLiteral(".\\POSITION.INI")), "");
    EXPECT_TRUE(exitCodes.empty());
}

TEST_F(FrameTest, AMediaFileWithARecordGetsNoDefaults) {
    ASSERT_TRUE(MED.create());
    ASSERT_TRUE(MED.open());
    MED.clear();
    MED.Media = "Minidisc";
    ASSERT_TRUE(MED.add());
    MED.close();

    ASSERT_TRUE(startMainProgram());
    EXPECT_EQ(mediaInFileOrder(), QStringList{"Minidisc"});
    ASSERT_TRUE(exitFrame());
}

TEST_F(FrameTest, AlbumCopyIsOfferedOnlyForAnOldCatalogueWithSongsAndNoAlbums) {
    struct Case {
        const char *storedVersion;   // nullptr: no entry
        bool withAlbum;
        bool offered;
    };
    const Case cases[] = {
        {nullptr, false, true}, {"", false, true},      {"1.4", false, true},
        {"1.5", false, false},  {"2.0", false, false}, {nullptr, true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.storedVersion ? c.storedVersion : "(none)");
        enterFreshFolder();
        if (c.storedVersion)
            setting("Global Settings", "Version", QString::fromLatin1(c.storedVersion));
        ASSERT_TRUE(MUS.create() && MUS.open());
        MUS.clear();
        MUS.ID = 1;
        MUS.Title = "Song";
        ASSERT_TRUE(MUS.add());
        MUS.close();
        if (c.withAlbum) {
            ASSERT_TRUE(ALB.create() && ALB.open());
            ALB.clear();
            ALB.AlbumID = 1;
            ALB.Album = "Album";
            ASSERT_TRUE(ALB.add());
            ALB.close();
        }
        int copies = 0;
        provide(QStringLiteral("CreateAlbumDatabase"), [&copies] { ++copies; });
        setting("Settings", "AutoAddToAlbums", QStringLiteral("0"));

        mainThread = startThread([this] { MainProgram(); mainReturned = true; }, kMinimumThreadStack);
        ASSERT_TRUE(runUntilIdle());
        if (c.offered) {
            EXPECT_EQ(messageText(mainThread), "Do you want to copy your album information from the general music "
                                               "database into the album database? (Recommended)");
            ASSERT_TRUE(answerMessage(mainThread, ButtonYes));
            ASSERT_TRUE(runUntil([] { return frameTable().thread != 0; }));
            EXPECT_EQ(copies, 1);
            EXPECT_EQ(getIni(QStringLiteral("Settings"), QStringLiteral("AutoAddToAlbums"), {},
                             QStringLiteral("TBank98.INI")),
                      "1");
        } else {
            EXPECT_EQ(messageText(mainThread), "");
            EXPECT_EQ(frameTable().thread, mainThread);
            EXPECT_EQ(copies, 0);
        }
        ASSERT_TRUE(exitFrame());
        endRun();
    }
}

TEST_F(FrameTest, DecliningTheAlbumCopyCopiesNothing) {
    ASSERT_TRUE(MUS.create() && MUS.open());
    MUS.clear();
    MUS.ID = 1;
    ASSERT_TRUE(MUS.add());
    MUS.close();
    int copies = 0;
    provide(QStringLiteral("CreateAlbumDatabase"), [&copies] { ++copies; });
    mainThread = startThread([this] { MainProgram(); mainReturned = true; }, kMinimumThreadStack);
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(answerMessage(mainThread, ButtonNo));
    ASSERT_TRUE(runUntil([] { return frameTable().thread != 0; }));
    EXPECT_EQ(copies, 0);
    EXPECT_EQ(getIni(QStringLiteral("Settings"), QStringLiteral("AutoAddToAlbums"), QStringLiteral("unset"),
                     QStringLiteral("TBank98.INI")),
              "unset");
    ASSERT_TRUE(exitFrame());
}

// A stand-in repair utility on PATH that writes down how it was started.
class RepairTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        ASSERT_TRUE(bin.isValid());
        record = QDir(bin.path()).filePath(QStringLiteral("started.txt"));
        QFile script(QDir(bin.path()).filePath(QStringLiteral("datfix")));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '%1.tmp'\n"
                                    "pwd >> '%1.tmp'\nmv '%1.tmp' '%1'\n")
                         .arg(record)
                         .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        oldPath = qgetenv("PATH");
        qputenv("PATH", bin.path().toUtf8() + ":" + oldPath);
    }
    void TearDown() override {
        qputenv("PATH", oldPath);
        FrameTest::TearDown();
    }
    void mark(const QString &name) { putIni(QStringLiteral("tbk98r"), QStringLiteral("BadFile"), name, defaultSettingsFile()); }

    QTemporaryDir bin;
    QString record;
    QByteArray oldPath;
};

TEST_F(RepairTest, YesStartsTheRepairOfTheMarkedFileAndEndsTheProgram) {
    mark(QStringLiteral("tbkdata"));
    mainThread = startThread([this] { MainProgram(); mainReturned = true; }, kMinimumThreadStack);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(messageText(mainThread), "Warning : The program may have crashed attempting to open the file tbkdata. "
                                       "Do you wish to have the program attempt to fix the file ? ");
    ASSERT_TRUE(answerMessage(mainThread, ButtonYes));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(messageText(mainThread), "This program needs to close while the Fix Utility attempts to fix the file. "
                                       "When the fix program finishes running you can run this application again.");
    ASSERT_TRUE(answerMessage(mainThread, ButtonOK));
    ASSERT_TRUE(runUntil([this] { return !exitCodes.empty(); }));
    EXPECT_EQ(exitCodes, std::vector<int>{0});
    EXPECT_FALSE(mainReturned);
    EXPECT_EQ(frameTable().thread, 0) << "the frame never opened";

    ASSERT_TRUE(runUntil([this] { return QFile::exists(record); }, 10000));
    QFile started(record);
    ASSERT_TRUE(started.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(started.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines.mid(0, 4), (QStringList{"tbkdata.dat", "/E:tbkdata.dex", "/K", "/R:tbkdata.dat.fixreport"}));
    EXPECT_EQ(QDir(lines[4]).canonicalPath(), QDir::current().canonicalPath());
    EXPECT_TRUE(QFile::exists(QStringLiteral("tbkdata.dex")));
    EXPECT_EQ(badFile(), "");
}

TEST_F(RepairTest, WhatTheRepairCameToIsShownOnceAtTheNextStart) {
    ASSERT_TRUE(MUS.create() && MUS.open());
    MUS.clear();
    MUS.ID = 1;
    ASSERT_TRUE(MUS.add());
    MUS.close();
    mark(QStringLiteral("tbkdata"));
    qputenv("PATH", QFileInfo(QStringLiteral(TBK_DATFIX)).path().toUtf8() + ":" + oldPath);
    mainThread = startThread([this] { MainProgram(); mainReturned = true; }, kMinimumThreadStack);
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(answerMessage(mainThread, ButtonYes));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(answerMessage(mainThread, ButtonOK));
    ASSERT_TRUE(runUntil([this] { return !exitCodes.empty(); }));
    ASSERT_TRUE(runUntil([] { return QFile::exists(QStringLiteral("tbkdata.dat.fixreport")); }, 20000));
    endRun();
    exitCodes.clear();
    detail::forgetStartupPrepared();

    mainThread = startThread([this] { MainProgram(); mainReturned = true; }, kMinimumThreadStack);
    ASSERT_TRUE(runUntilIdle());
    const QString shown = messageText(mainThread);
    EXPECT_TRUE(shown.startsWith(QLatin1String("The Fix Utility checked tbkdata.dat: no damage found.\n\ndatfix: ")))
        << shown.toStdString();
    ASSERT_TRUE(answerMessage(mainThread, ButtonOK));
    ASSERT_TRUE(runUntil([] { return frameTable().thread != 0; }));
    EXPECT_FALSE(QFile::exists(QStringLiteral("tbkdata.dat.fixreport")));
    ASSERT_TRUE(exitFrame());
}

TEST_F(RepairTest, ARepairThatFailedOrLostRecordsSaysSo) {
    const struct {
        const char *result, *shown;
    } cases[] = {
        {"0\ndatfix: tbkdata.dat: 1 problem(s) found",
         "The Fix Utility repaired tbkdata.dat.\n\ndatfix: tbkdata.dat: 1 problem(s) found"},
        {"6\ndatfix: 3 record(s) could not be read",
         "The Fix Utility repaired tbkdata.dat but could not recover every record (exit status 6).\n\n"
         "datfix: 3 record(s) could not be read"},
        {"5\ndatfix: tbkdata.dat is damaged beyond repair",
         "The Fix Utility did not repair tbkdata.dat (exit status 5).\n\ndatfix: tbkdata.dat is damaged beyond repair"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.result);
        enterFreshFolder();
        QFile result(QStringLiteral("tbkdata.dat.fixreport"));
        ASSERT_TRUE(result.open(QIODevice::WriteOnly));
        result.write(c.result);
        result.close();
        mainThread = startThread([this] { MainProgram(); mainReturned = true; }, kMinimumThreadStack);
        ASSERT_TRUE(runUntilIdle());
        EXPECT_EQ(messageText(mainThread), c.shown);
        ASSERT_TRUE(answerMessage(mainThread, ButtonOK));
        ASSERT_TRUE(runUntil([] { return frameTable().thread != 0; }));
        ASSERT_TRUE(exitFrame());
        endRun();
    }
}

TEST_F(RepairTest, NoGoesOnStartingWithoutRepair) {
    mark(QStringLiteral("TBKCAT"));
    mainThread = startThread([this] { MainProgram(); mainReturned = true; }, kMinimumThreadStack);
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(messageText(mainThread).contains(QLatin1String("open the file TBKCAT.")));
    ASSERT_TRUE(answerMessage(mainThread, ButtonNo));
    ASSERT_TRUE(runUntil([] { return frameTable().thread != 0; }));
    EXPECT_FALSE(QFile::exists(record));
    ASSERT_TRUE(exitFrame());
    EXPECT_TRUE(exitCodes.empty());
}

TEST_F(RepairTest, AMarkerNamingNoDataFileIsClearedWithoutAQuestion) {
    for (const char *marker : {"../../etc/passwd", "tbkdata; rm -rf ~", "TBKEvent.LOG", "   "}) {
        SCOPED_TRACE(marker);
        enterFreshFolder();
        mark(QString::fromLatin1(marker));
        mainThread = startThread([this] { MainProgram(); mainReturned = true; }, kMinimumThreadStack);
        ASSERT_TRUE(runUntil([] { return frameTable().thread != 0; }));
        EXPECT_EQ(messageText(mainThread), "");
        EXPECT_EQ(badFile(), "");
        ASSERT_TRUE(exitFrame());
        endRun();
    }
    EXPECT_FALSE(QFile::exists(record));
}

TEST_F(RepairTest, ARepairUtilityThatCannotBeStartedIsReportedAndTheMarkerKept) {
    qputenv("PATH", QByteArray("/nonexistent"));
    mark(QStringLiteral("tbkalbum.dat"));
    mainThread = startThread([this] { MainProgram(); mainReturned = true; }, kMinimumThreadStack);
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(answerMessage(mainThread, ButtonYes));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(answerMessage(mainThread, ButtonOK));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(messageText(mainThread).startsWith(QLatin1String("The Fix Utility could not be started")));
    ASSERT_TRUE(answerMessage(mainThread, ButtonOK));
    ASSERT_TRUE(runUntil([this] { return !exitCodes.empty(); }));
    EXPECT_EQ(exitCodes, std::vector<int>{0});
    EXPECT_EQ(badFile(), "tbkalbum.dat");
}

TEST_F(FrameTest, EndOfTheSessionClosesTheFrameLikeExit) {
    ASSERT_TRUE(startMainProgram());
    ASSERT_EQ(std::raise(SIGTERM), 0);
    ASSERT_TRUE(runUntil([this] { return mainReturned; }));
    EXPECT_FALSE(MUS.isOpen());
    EXPECT_EQ(frameTable().thread, 0);
    EXPECT_NE(getIni(QStringLiteral("Main"), QStringLiteral("XPosit"), {}, QStringLiteral(".\\POSITION.INI")), "");
    // The frame gave the signal back when it closed.
    struct sigaction now {};
    ASSERT_EQ(sigaction(SIGTERM, nullptr, &now), 0);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

TEST(QueryWizardTexts, AllTextsInTheirOrder) {
    QW_ResetDisplayTexts();
    SetQueryWizardTexts();
    const auto &calls = QW_DisplayTextCalls();
    ASSERT_EQ(calls.size(), 124);
    QList<qint32> firstIds;
    for (int i = 0; i < 12; ++i)
        firstIds << calls[i].first;
    EXPECT_EQ(firstIds, (QList<qint32>{1, 2, 3, 4, 5, 6, 7, 9, 8, 10, 11, 12}));
    EXPECT_EQ(calls.last().first, 303);
    for (qint32 id : {100, 200, 230}) {
        EXPECT_EQ(QW_DisplayText(id).typeId(), QMetaType::QString) << id;
        EXPECT_EQ(QW_DisplayText(id).toString(), "") << id;
    }
    EXPECT_EQ(QW_DisplayText(170).typeId(), QMetaType::QString);
    EXPECT_EQ(QW_DisplayText(170).toString(), "2");
    EXPECT_EQ(QW_DisplayText(72).typeId(), QMetaType::Int);
    EXPECT_EQ(QW_DisplayText(80).toInt(), 12);
    EXPECT_EQ(QW_DisplayText(301).toString(), "Converting Data File Structure  -- Please Wait...");
    EXPECT_EQ(QW_DisplayText(221).toString(),
              "This query is no longer valid because fields|and/or expressions were renamed or deleted from|the "
              "database after you created the query.| |You must edit the query and fix the problems|before it can be "
              "used.");
}

} // namespace
