#include "core/programsettings.h"
#include "runtime/settings/profile.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <limits>

using namespace tbk;

namespace {

void writeIni(const QByteArray &bytes) {
    QDir().mkpath(settingsFolder());
    QFile f(settingsFolder() + "/TBank98.INI");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void expectDefaults() {
    EXPECT_EQ(SU_Albums, 0);
    EXPECT_EQ(SU_Songs, 0);
    EXPECT_EQ(SU_Playlists, 0);
    EXPECT_EQ(SU_Labels, 0);
    EXPECT_EQ(AutoAddToAlbums.str(), "1");
    EXPECT_EQ(AddMode.str(), "1");
    EXPECT_EQ(LabelArtistTitleOrder.str(), "1");
    EXPECT_EQ(GLO.Delimiter.str(), ".");
    EXPECT_EQ(UDKPrompt.str(), "Custom");
    EXPECT_EQ(NotesLabel.str(), "Notes");
    EXPECT_EQ(DateFormat.str(), "");
    EXPECT_EQ(Logo.str(), "");
    EXPECT_EQ(UseLog, 0);
    EXPECT_EQ(Interface.str(), "Standard");
    EXPECT_EQ(CDTimer, 150);
    EXPECT_EQ(SetupWizardComplete, 0);
    EXPECT_EQ(DefaultWizardCompilation, 0);
    EXPECT_EQ(SaveLastTab, 1);
    EXPECT_EQ(AltCasFmt, 0);
    EXPECT_EQ(DbgMode, 0);
    EXPECT_EQ(ShowTips, 1);
}

void scribbleOverSettings() {
    SU_Albums = 7; AutoAddToAlbums = "x"; GLO.Delimiter = "-"; UDKPrompt = "y"; CDTimer = 1;
    SaveLastTab = 0; ShowTips = 0; Interface = "z";
    ReportLayout = "Brief"; SelectedOrAll = "Selected"; ReportPreviewChoice = 0;
    ReportUseCustomFont = 1; ReportSelection = "abc";
}

} // namespace

TEST(ProgramSettings, MissingOrEmptyFileGivesEveryDefaultAndResetsReportChoices) {
    scribbleOverSettings();
    LoadProgramSettings();
    expectDefaults();
    EXPECT_EQ(ReportLayout.str(), "Standard");
    EXPECT_EQ(SelectedOrAll.str(), "All");
    EXPECT_EQ(ReportPreviewChoice, 1);
    EXPECT_EQ(ReportUseCustomFont, 1) << "kept for the whole run";
    EXPECT_EQ(ReportSelection.str(), "abc");

    writeIni("");
    scribbleOverSettings();
    LoadProgramSettings();
    expectDefaults();
}

TEST(ProgramSettings, FullFileIsReadAndCutToEachSettingsSize) {
    writeIni("[Settings]\r\nSU_Albums=1\r\nSU_Songs=1\r\nSU_Playlists=1\r\nSU_Labels=1\r\n"
             "AutoAddToAlbums=0\r\nAddMode=2 Wizard\r\nLabelArtistTitleOrder=2\r\nGLO:Delimiter=/|\r\n"
             "UDKPrompt=A prompt that is much longer than allowed\r\nNotesLabel=Remarks\r\n"
             "DateFormat=d17\r\nLogo=/tmp/logo.bmp\r\nUseLog=1\r\nInterface=Explorer\r\n"
             "CDTimer=75\r\nSetupWizardComplete=1\r\nDefaultWizardCompilation=1\r\nSaveLastTab=0\r\n"
             "AltCasFmt=1\r\nDbgMode=1\r\nShowTips=0\r\n");
    LoadProgramSettings();
    EXPECT_EQ(SU_Albums + SU_Songs + SU_Playlists + SU_Labels, 4);
    EXPECT_EQ(AutoAddToAlbums.str(), "0");
    EXPECT_EQ(AddMode.str(), "2 Wizard");
    EXPECT_EQ(LabelArtistTitleOrder.str(), "2");
    EXPECT_EQ(GLO.Delimiter.str(), "/");
    EXPECT_EQ(UDKPrompt.str(), "A prompt that is much lo");
    EXPECT_EQ(NotesLabel.str(), "Remarks");
    EXPECT_EQ(DateFormat.str(), "d17");
    EXPECT_EQ(Logo.str(), "/tmp/logo.bmp");
    EXPECT_EQ(UseLog, 1);
    EXPECT_TRUE(explorerInterface());
    EXPECT_EQ(CDTimer, 75);
    EXPECT_EQ(SetupWizardComplete, 1);
    EXPECT_EQ(DefaultWizardCompilation, 1);
    EXPECT_EQ(SaveLastTab, 0);
    EXPECT_EQ(AltCasFmt, 1);
    EXPECT_EQ(DbgMode, 1);
    EXPECT_EQ(ShowTips, 0);
}

TEST(ProgramSettings, NumbersTakeTheTextsValueAndInterfaceIgnoresTrailingBlanks) {
    writeIni("[Settings]\nCDTimer=\nShowTips=abc\nSU_Songs= 1 \nInterface=Explorer   \n");
    LoadProgramSettings();
    EXPECT_EQ(CDTimer, 0);   // present but blank: no number in it
    EXPECT_EQ(ShowTips, 0);
    EXPECT_EQ(SU_Songs, 1);
    EXPECT_TRUE(explorerInterface());
    Interface = "Explorers";
    EXPECT_FALSE(explorerInterface());
    Interface = "explorer";
    EXPECT_FALSE(explorerInterface());
}

TEST(ProgramSettings, NumbersBeyondTheirTypeAreHeldAtItsRange) {
    writeIni("[Settings]\nCDTimer=1e30\nUseLog=300\nShowTips=-5\nSU_Songs=1e30\nSU_Albums=-1e30\n"
             "DbgMode=255.9\nAltCasFmt=1e400\n");
    LoadProgramSettings();
    EXPECT_EQ(CDTimer, std::numeric_limits<qint32>::max());
    EXPECT_EQ(UseLog, 255);
    EXPECT_EQ(ShowTips, 0);
    EXPECT_EQ(SU_Songs, 255);
    EXPECT_EQ(SU_Albums, 0);
    EXPECT_EQ(DbgMode, 255);
    EXPECT_EQ(AltCasFmt, 255);
    writeIni("[Settings]\nCDTimer=-1e30\n");
    LoadProgramSettings();
    EXPECT_EQ(CDTimer, std::numeric_limits<qint32>::min());
    writeIni("[Settings]\nCDTimer=-2147483649\n");
    LoadProgramSettings();
    EXPECT_EQ(CDTimer, std::numeric_limits<qint32>::min());
}
