#include "core/standardwarnings.h"
#include "labelwizardtest.h"

using namespace labeltest;

namespace {

const QString kCover = QStringLiteral("  1. Intro (3:05)\r\n  2. Middle (12:40)\r\n  3. Finale - Jane Doe (4:10)");

class LabelFillTest : public LabelTest {
protected:
    bool fillFromAlbum(qint32 album) {
        LAB.clear();
        return loadAlbum(album) && fillLabelFromAlbum();
    }
    bool fillFromSong(qint32 id) {
        LAB.clear();
        return loadSong(id) && fillLabelFromFileNumber();
    }
    static QStringList entries(const QString &text) { return text.split(QStringLiteral("\r\n")); }
};

TEST_F(LabelFillTest, AnAlbumGivesTitlesAndNumberedTimedSongsSplitIntoSides) {
    greatestHits();
    ASSERT_TRUE(fillFromAlbum(1));
    EXPECT_EQ(LAB.LABELDESCRIPTION.str(), "Greatest Hits - John Smith");
    EXPECT_EQ(LAB.CDSPINE.str(), "Greatest Hits - John Smith");
    EXPECT_EQ(LAB.CDTITLE.str(), "Greatest Hits - John Smith");
    EXPECT_EQ(LAB.CassetteFlap.str(), "Greatest Hits\r\nJohn Smith");
    EXPECT_EQ(LAB.CassetteTitle.str(), "Greatest Hits\r\nJohn Smith");
    EXPECT_EQ(LAB.ALBUMID.value(), 1);
    EXPECT_EQ(LAB.CDCoverText.str(), kCover);
    EXPECT_EQ(LAB.CDInsideText.str(), kCover);
    EXPECT_EQ(LAB.CassetteContentsA.str(), "  1. Intro (3:05)\r\n  2. Middle (12:40)");
    // Side B starts with its first entry, never with a line break.
    EXPECT_EQ(LAB.CassetteContentsB.str(), "  3. Finale - Jane Doe (4:10)");
    EXPECT_EQ(LAB.IMAGENAME.str(), "hits.png");

    // Artist first, and another delimiter.
    LabelArtistTitleOrder = "A";
    GLO.Delimiter = "-";
    ASSERT_TRUE(fillFromAlbum(1));
    EXPECT_EQ(LAB.LABELDESCRIPTION.str(), "Greatest Hits - John Smith");
    EXPECT_EQ(LAB.CDSPINE.str(), "Smith, John - Greatest Hits");
    EXPECT_EQ(LAB.CassetteFlap.str(), "Smith, John\r\nGreatest Hits");
    EXPECT_EQ(entries(LAB.CDCoverText.str()).value(2), "  3- Jane Doe - Finale (4:10)");
    // A blank delimiter is the default's.
    GLO.Delimiter = " ";
    ASSERT_TRUE(fillFromAlbum(1));
    EXPECT_EQ(entries(LAB.CDCoverText.str()).value(0), "  1. Intro (3:05)");
}

TEST_F(LabelFillTest, SongTimesFoldHoursIntoMinutesAndReadAdditionalInformationOnlyWithoutATime) {
    EXPECT_EQ(labelSongTime(songTime(3, 5), {}), " (3:05)");
    EXPECT_EQ(labelSongTime(songTime(12, 40), "9:99"), " (12:40)");
    // An hour and more keeps its hours, as minutes.
    EXPECT_EQ(labelSongTime(songTime(62, 3), {}), " (62:03)");
    EXPECT_EQ(labelSongTime(0, "4:10  "), " (4:10)");
    EXPECT_EQ(labelSongTime(0, "00:00:00"), "");
    EXPECT_EQ(labelSongTime(0, "live take"), "");
}

TEST_F(LabelFillTest, AnAlbumListsAtMost51SongsAndVariousArtistsKeepTheirOwnNames) {
    addAlbum(7, "vArIoUs", "Big Box");
    for (int i = 1; i <= 60; ++i)
        song(100 + i, QStringLiteral("Song %1").arg(i), 7, 1, i, 0, QStringLiteral("Band %1").arg(i));
    ASSERT_TRUE(fillFromAlbum(7));
    const QStringList cover = entries(LAB.CDCoverText.str());
    EXPECT_EQ(cover.size(), 51);
    EXPECT_EQ(cover.first(), "  1. Song 1 - Band 1");
    EXPECT_EQ(cover.last(), " 51. Song 51 - Band 51");
    EXPECT_EQ(LAB.CDSPINE.str(), "Big Box");
    EXPECT_EQ(LAB.CDTITLE.str(), "Big Box");
    EXPECT_EQ(LAB.CassetteFlap.str(), "Big Box");
    EXPECT_EQ(LAB.CassetteTitle.str(), "Big Box");
    EXPECT_EQ(LAB.LABELDESCRIPTION.str(), "Big Box - vArIoUs");
}

TEST_F(LabelFillTest, AnAlbumWithoutSongsSetsTheTitlesOnly) {
    addAlbum(2, "Doe, Jane", "Empty", {}, "CD");
    LAB.clear();
    LAB.CDCoverText = "kept";
    LAB.IMAGENAME = "kept.png";
    ASSERT_TRUE(loadAlbum(2));
    EXPECT_FALSE(fillLabelFromAlbum());
    EXPECT_EQ(LAB.CDSPINE.str(), "Empty - Jane Doe");
    EXPECT_EQ(LAB.CDCoverText.str(), "kept");
    EXPECT_EQ(LAB.IMAGENAME.str(), "kept.png");
}

TEST_F(LabelFillTest, AFileNumberListsItsSongsWithArtistsAndTheSongsOwnAlbumsPicture) {
    greatestHits();
    addAlbum(2, "Other", "Other Album");
    ALB.ASSOCIATEDIMAGE = "other.png";
    ASSERT_TRUE(ALB.put());
    song(10, "Zulu", 1, 1, 5, songTime(2, 0), "Smith, John", "F-7");
    song(11, "Alpha", 0, 1, 0, 0, "Doe, Jane", "F-7");
    song(12, "Elsewhere", 0, 1, 0, 0, "Doe, Jane", "F-8");
    // The album buffer holds another album: its picture is not the song's.
    ASSERT_TRUE(loadAlbum(2));
    ASSERT_TRUE(fillFromSong(10));
    EXPECT_EQ(LAB.ALBUMID.value(), 0);
    EXPECT_EQ(LAB.LABELDESCRIPTION.str(), "File Number F-7");
    EXPECT_EQ(LAB.CDSPINE.str(), "File Number F-7                  Greatest Hits - John Smith");
    EXPECT_EQ(LAB.CassetteFlap.str(), "File Number F-7                 \r\nGreatest Hits\r\nJohn Smith");
    // By title within the file number; a song without a number takes its place.
    EXPECT_EQ(LAB.CDCoverText.str(), "  1. Alpha - Jane Doe\r\n  5. Zulu - John Smith (2:00)");
    EXPECT_EQ(LAB.IMAGENAME.str(), "hits.png");
    EXPECT_EQ(ALB.AlbumID.value(), 2);

    // A song of no album leaves the picture as it was.
    LAB.clear();
    LAB.IMAGENAME = "mine.png";
    ASSERT_TRUE(loadSong(11));
    ASSERT_TRUE(fillLabelFromFileNumber());
    EXPECT_EQ(LAB.IMAGENAME.str(), "mine.png");

    LabelArtistTitleOrder = "A";
    ASSERT_TRUE(fillFromSong(10));
    EXPECT_EQ(LAB.CDSPINE.str(), "File Number F-7                  John Smith - Greatest Hits");
    EXPECT_EQ(LAB.CassetteTitle.str(), "File Number F-7                 \r\nJohn Smith - Greatest Hits");
    EXPECT_EQ(entries(LAB.CDCoverText.str()).value(0), "  1. Jane Doe - Alpha");
}

TEST_F(LabelFillTest, ABlankFileNumberListsTheWholeAlbumFromItsFirstSong) {
    greatestHits();
    ASSERT_TRUE(fillFromSong(2));
    EXPECT_EQ(LAB.LABELDESCRIPTION.str(), "Greatest Hits - John Smith");
    EXPECT_EQ(LAB.CDSPINE.str(), "Greatest Hits - John Smith");
    EXPECT_EQ(LAB.CassetteFlap.str(), "Greatest Hits\r\nJohn Smith");
    // The album's songs by the same artist, titles only; Jane Doe's song is another group.
    EXPECT_EQ(LAB.CDCoverText.str(), "  1. Intro (3:05)\r\n  2. Middle (12:40)");
    EXPECT_EQ(LAB.ALBUMID.value(), 0);
}

// ---------------------------------------------------------------- the wizard window

class LabelWizardTest : public LabelTest {
protected:
    std::shared_ptr<Call> wizard(qint32 request = 0) { return callOnThread(LabelWizard, request); }
};

TEST_F(LabelWizardTest, OpenedFromAnAlbumItIsFilledAndFinishSavesTheLabel) {
    greatestHits();
    ASSERT_TRUE(loadAlbum(1));
    auto c = wizard();
    EXPECT_EQ(messageText(c->thread), "The text has been updated to use this information.");
    EXPECT_EQ(activeWindow(c->thread)->windowTitle(), "Processing Complete");
    ASSERT_TRUE(answer(*c, ButtonOK));
    EXPECT_EQ(window(*c)->windowTitle(), "Add Label Wizard");
    EXPECT_EQ(page(*c), "Wizard");
    EXPECT_FALSE(enabled(*c, "Back"));
    EXPECT_FALSE(visible(*c, "Finish"));
    // A cassette: General, Side A, Side B.
    ASSERT_TRUE(press(*c, "Next"));
    EXPECT_EQ(page(*c), "General");
    EXPECT_EQ(shown(*c, "LAB:LABELDESCRIPTION"), "Greatest Hits - John Smith");
    EXPECT_TRUE(visible(*c, "LAB:CassetteFlap"));
    EXPECT_FALSE(visible(*c, "LAB:CDSPINE"));
    ASSERT_TRUE(press(*c, "Next"));
    EXPECT_EQ(page(*c), "Side A");
    EXPECT_EQ(controlText(c->thread, "LAB:CassetteContentsA"), "  1. Intro (3:05)\n  2. Middle (12:40)");
    EXPECT_EQ(shown(*c, "Font:LAB:CassetteContentsA"), "Default Font");
    ASSERT_TRUE(press(*c, "Next"));
    EXPECT_EQ(page(*c), "Side B");
    EXPECT_TRUE(visible(*c, "Finish"));
    EXPECT_FALSE(enabled(*c, "Next"));
    ASSERT_TRUE(press(*c, "Back"));
    ASSERT_TRUE(press(*c, "Back"));
    EXPECT_EQ(page(*c), "General");
    ASSERT_TRUE(press(*c, "Back"));
    EXPECT_EQ(page(*c), "Wizard");

    // A CD: General, Front Cover, Back Cover, and Finish there.
    ASSERT_TRUE(chooseOption(c->thread, "LAB:LABELTYPE", "CD"));
    ASSERT_TRUE(press(*c, "Next"));
    EXPECT_TRUE(visible(*c, "LAB:CDSPINE"));
    EXPECT_FALSE(visible(*c, "LAB:CassetteFlap"));
    ASSERT_TRUE(press(*c, "Next"));
    EXPECT_EQ(page(*c), "Front Cover");
    EXPECT_FALSE(visible(*c, "Finish"));
    ASSERT_TRUE(press(*c, "Next"));
    EXPECT_EQ(page(*c), "Back Cover");
    EXPECT_TRUE(visible(*c, "Finish"));
    EXPECT_FALSE(enabled(*c, "Next"));
    ASSERT_TRUE(press(*c, "Back"));
    EXPECT_EQ(page(*c), "Front Cover");
    EXPECT_TRUE(enabled(*c, "Next"));
    ASSERT_TRUE(press(*c, "Next"));
    ASSERT_TRUE(press(*c, "Finish"));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCompleted);
    EXPECT_EQ(labels(), QStringList{"1:Greatest Hits - John Smith/CD"});
    ASSERT_TRUE(loadLabel(1));
    // The texts keep their line breaks through the window.
    EXPECT_EQ(LAB.CDCoverText.str(), kCover);
    EXPECT_EQ(LAB.CassetteFlap.str(), "Greatest Hits\r\nJohn Smith");
    EXPECT_EQ(LAB.CassetteContentsB.str(), "  3. Finale - Jane Doe (4:10)");
    EXPECT_EQ(LAB.IMAGESIZE.str(), "Thumbnail");
    EXPECT_EQ(LAB.IMAGESIZEX.value(), 1000);
    EXPECT_EQ(LAB.IMAGEPOSITIONX.value(), 6792);
    EXPECT_EQ(LAB.IMAGEPOSITIONY.value(), 8052);
    EXPECT_EQ(LAB.IMAGENAME.str(), "hits.png");
}

TEST_F(LabelWizardTest, SelectAlbumFillsAfterTheChoiceAndADuplicateDescriptionKeepsTheWizardOpen) {
    greatestHits();
    addLabel(5, "Greatest Hits - John Smith");
    // Called from the label list: an insert, so nothing is filled at opening.
    auto c = wizard(InsertRecord);
    EXPECT_EQ(messageText(c->thread), "");
    ASSERT_TRUE(press(*c, "Select Album"));
    EXPECT_EQ(window(*c)->windowTitle(), "Select An Album");
    ASSERT_TRUE(press(*c, "Select"));
    ASSERT_TRUE(answer(*c, ButtonOK));   // "Processing Complete"
    ASSERT_TRUE(press(*c, "Next"));
    EXPECT_EQ(shown(*c, "LAB:LABELDESCRIPTION"), "Greatest Hits - John Smith");
    ASSERT_TRUE(press(*c, "Next"));
    ASSERT_TRUE(press(*c, "Next"));
    ASSERT_TRUE(press(*c, "Finish"));
    EXPECT_TRUE(messageText(c->thread).contains("LAB:KeyLabelDescription")) << messageText(c->thread).toStdString();
    ASSERT_TRUE(answer(*c, ButtonOK));
    EXPECT_FALSE(c->done);
    // The first field is selected, on the first page.
    EXPECT_EQ(page(*c), "Wizard");
    ASSERT_TRUE(press(*c, "Next"));
    ASSERT_TRUE(type(*c, "LAB:LABELDESCRIPTION", "Hits on tape"));
    ASSERT_TRUE(press(*c, "Next"));
    ASSERT_TRUE(press(*c, "Next"));
    ASSERT_TRUE(press(*c, "Finish"));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(labels(), (QStringList{"5:Greatest Hits - John Smith/CD", "6:Hits on tape/Cassette"}));

    // The next wizard recalls the saved description with Ctrl+'.
    c = wizard(InsertRecord);
    ASSERT_TRUE(press(*c, "Next"));
    ASSERT_TRUE(clickInto(c->thread, "LAB:LABELDESCRIPTION"));
    ASSERT_TRUE(pressKey(*c, Qt::Key_Apostrophe, Qt::ControlModifier));
    EXPECT_EQ(shown(*c, "LAB:LABELDESCRIPTION"), "Hits on tape");
}

// The wizard opens the songs and albums itself: the frame starts it with no list open.
TEST_F(LabelWizardTest, ItFillsWithNoOtherWindowHoldingTheFilesOpen) {
    greatestHits();
    ASSERT_TRUE(loadAlbum(1));
    closeAllDataFiles();
    auto c = wizard();
    EXPECT_EQ(messageText(c->thread), "The text has been updated to use this information.");
    ASSERT_TRUE(answer(*c, ButtonOK));
    ASSERT_TRUE(press(*c, "Next") && press(*c, "Next") && press(*c, "Next"));
    EXPECT_EQ(controlText(c->thread, "LAB:CassetteContentsB"), "  3. Finale - Jane Doe (4:10)");
    ASSERT_TRUE(press(*c, "Finish"));
    EXPECT_EQ(c->response, RequestCompleted);
}

TEST_F(LabelWizardTest, SelectFileNumberFillsFromTheChosenSong) {
    greatestHits();
    song(10, "Zulu", 1, 1, 5, songTime(2, 0), "Smith, John", "F-7");
    auto c = wizard(InsertRecord);
    ASSERT_TRUE(press(*c, "Select File Number"));
    EXPECT_TRUE(window(*c)->windowTitle().startsWith("Browse Music Database"));
    ASSERT_TRUE(chooseTab(c->thread, "By Title"));
    auto *songs = qobject_cast<ListControl *>(findControl(window(*c), QStringLiteral("Browse")));
    ASSERT_TRUE(selectRowByKey(songs, 1, "Zulu") && runUntilIdle());
    ASSERT_TRUE(press(*c, "Select"));
    EXPECT_EQ(messageText(c->thread), "The text has been updated to use this information.");
    ASSERT_TRUE(answer(*c, ButtonOK));
    ASSERT_TRUE(press(*c, "Next"));
    EXPECT_EQ(shown(*c, "LAB:LABELDESCRIPTION"), "File Number F-7");
    ASSERT_TRUE(press(*c, "Cancel"));
    ASSERT_TRUE(answer(*c, ButtonYes));
    EXPECT_EQ(LAB.records(), 0);
}

TEST_F(LabelWizardTest, CancelAsksOnlyWhenTheLabelChangedAndNeverLeavesThePrimedLabel) {
    auto c = wizard();
    EXPECT_EQ(LAB.records(), 1);
    ASSERT_TRUE(press(*c, "Cancel"));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCancelled);
    EXPECT_EQ(LAB.records(), 0);

    c = wizard();
    ASSERT_TRUE(press(*c, "Next"));
    ASSERT_TRUE(type(*c, "LAB:LABELDESCRIPTION", "Half done"));
    ASSERT_TRUE(closeByUser(window(*c)) && runUntilIdle());
    EXPECT_EQ(messageText(c->thread), "Are you sure you want to cancel?");
    ASSERT_TRUE(answer(*c, ButtonNo));
    EXPECT_FALSE(c->done);
    ASSERT_TRUE(press(*c, "Cancel"));
    EXPECT_EQ(messageText(c->thread), "Are you sure you want to cancel?");
    ASSERT_TRUE(answer(*c, ButtonYes));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(LAB.records(), 0);
}

TEST_F(LabelWizardTest, AltWithALetterTypesNothingButCtrlAltStillTypes) {
    auto c = wizard(InsertRecord);
    ASSERT_TRUE(chooseOption(c->thread, "LAB:LABELTYPE", "CD"));
    ASSERT_TRUE(press(*c, "Next") && press(*c, "Next") && press(*c, "Next"));
    ASSERT_EQ(page(*c), "Back Cover");
    ASSERT_TRUE(clickInto(c->thread, "LAB:CDCoverText"));
    ASSERT_TRUE(pressKey(*c, Qt::Key_P, Qt::AltModifier));
    EXPECT_EQ(controlText(c->thread, "LAB:CDCoverText"), "");
    ASSERT_TRUE(pressKey(*c, Qt::Key_P, Qt::ControlModifier | Qt::AltModifier));
    EXPECT_EQ(controlText(c->thread, "LAB:CDCoverText"), "p");   // AltGr on some systems
}

} // namespace

namespace {

// Not a check, so disabled: run with --gtest_also_run_disabled_tests and TBK_SCREENSHOT set to a
// path without extension (under xvfb-run with QT_QPA_PLATFORM=xcb); saves each page of the
// wizard, for a cassette and for a CD.
TEST_F(LabelWizardTest, DISABLED_Screenshots) {
    if (qEnvironmentVariable("TBK_SCREENSHOT").isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    greatestHits();
    ASSERT_TRUE(loadAlbum(1));
    auto c = wizard();
    ASSERT_TRUE(answer(*c, ButtonOK));
    const auto save = [&c](const QString &name) {
        runFor(300);
        EXPECT_TRUE(window(*c)->grab().save(qEnvironmentVariable("TBK_SCREENSHOT") + "-wizard-" + name + ".png"));
    };
    for (const char *type : {"Cassette", "CD"}) {
        ASSERT_TRUE(chooseOption(c->thread, "LAB:LABELTYPE", QString::fromLatin1(type)));
        save(QStringLiteral("%1-1").arg(type));
        for (int step = 2; enabled(*c, "Next"); ++step) {
            ASSERT_TRUE(press(*c, "Next"));
            save(QStringLiteral("%1-%2-%3").arg(type).arg(step).arg(page(*c).replace(' ', '-')));
        }
        while (enabled(*c, "Back"))
            ASSERT_TRUE(press(*c, "Back"));
    }
}

} // namespace
