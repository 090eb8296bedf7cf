// Not a check, so disabled: run with --gtest_also_run_disabled_tests, TBK_SCREENSHOT set to a path
// without extension and a real display (xvfb-run with QT_QPA_PLATFORM=xcb); saves the criteria
// window of the song report by title and the preview of its page at 100%.
#include "reports/albumreports.h"
#include "reports/playlistreports.h"
#include "reports/songreports.h"
#include "reporttest.h"
#include "runtime/values/dates.h"


using namespace reporttest;

TEST_F(ReportTest, DISABLED_ScreenshotsOfTheCriteriaAndAPreview) {
    if (qEnvironmentVariable("TBK_SCREENSHOT").isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    auto save = [](const char *name) {
        EXPECT_TRUE(saveScreen(name));
    };
    DateFormat = "d2";
    addCategory(1, "Rock");
    addCategory(2, "Soul");
    int id = 0;
    for (const char *s : {"Respect|Aretha Franklin|I Never Loved a Man", "Superstition|Stevie Wonder|Talking Book",
                          "Bohemian Rhapsody|Queen|A Night at the Opera", "Heroes|David Bowie|Heroes",
                          "Let It Be|The Beatles|Let It Be", "What's Going On|Marvin Gaye|What's Going On"}) {
        const QStringList f = QString(s).split('|');
        song(++id, f[0], f[1], [&] {
            MUS.Album = f[2];
            MUS.CategoryID = id % 2 + 1;
            MUS.Media = id % 3 ? "CD" : "LP";
            MUS.FileNumber = QString("CD-%1").arg(id * 7, 4, 10, QChar('0'));
            MUS.ReleaseDate = 60000 + id * 1234;
            MUS.TrackNumber = id;
            MUS.ChartNumber = id * 3;
        });
    }
    Started r = start(PrintSongsByTitle);
    ASSERT_TRUE(window(r));
    window(r)->move(40, 40);
    ASSERT_TRUE(chooseOption(r->thread, "SelectedOrAll", "Selected") && typeInto(r->thread, "ReportSelection", "Re"));
    save("-criteria.png");
    criteria(r, true);
    ASSERT_TRUE(window(r));
    window(r)->setGeometry(10, 10, 1000, 740);
    save("-preview.png");
    previewLines(r);
}

// The same for the previews of the albums by artist, of a playlist chart with its logo and of
// the playlist's list.
TEST_F(ReportTest, DISABLED_ScreenshotsOfAnAlbumListAndAChart) {
    if (qEnvironmentVariable("TBK_SCREENSHOT").isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    auto save = [](const char *name) {
        EXPECT_TRUE(saveScreen(name));
    };
    openForUse(ALB);
    openForUse(PLA);
    openForUse(PLD);
    DateFormat = "d2";
    int id = 0;
    for (const char *s : {"Aretha Franklin|Lady Soul|LP", "Stevie Wonder|Talking Book|CD", "Queen|A Night at the Opera|CD",
                          "David Bowie|Heroes|LP", "The Beatles|Let It Be|CD", "Marvin Gaye|What's Going On|LP"}) {
        const QStringList f = QString(s).split('|');
        ++id;
        ALB.clear();
        ALB.AlbumID = id;
        ALB.Artist = f[0];
        ALB.Album = f[1];
        ALB.Media = f[2];
        ALB.FileNumber = QString("AL-%1").arg(id * 11, 4, 10, QChar('0'));
        ALB.ReleaseDate = 60000 + id * 1234;
        ALB.ASSOCIATEDWAVFILE = QString("C:\\Sounds\\album%1.wav").arg(id);
        ASSERT_TRUE(ALB.add());
        song(id, f[1] + " (single)", f[0], [&] {
            MUS.FileNumber = ALB.FileNumber.str();
            MUS.TrackNumber = id;
            MUS.Time = timeOf(0, 2 + id % 3, id * 7);
            MUS.BeatsPerMinute = id % 2 ? 90 + id * 5 : 0;
        });
        PLA.clear();
        PLA.PlaylistID = 1;
        PLA.PlaylistSeq = id * 3;
        PLA.ID = id;
        PLA.PLAYLISTNOTES = QString("LW:%1").arg((id * 5) % 9 + 1);
        ASSERT_TRUE(PLA.add());
    }
    Started r = start(PrintAlbumsByArtist);
    criteria(r, true);
    ASSERT_TRUE(window(r));
    window(r)->setGeometry(10, 10, 1000, 740);
    save("-albums.png");
    previewLines(r);

    PLD.clear();
    PLD.PlaylistID = 1;
    PLD.PLAYLISTDESCRIPTION = "Top of the Week";
    ASSERT_TRUE(PLD.add());
    r = start(PrintPlaylistChart);
    ASSERT_TRUE(answer(r, ButtonYes));
    ASSERT_TRUE(window(r));
    window(r)->setGeometry(10, 10, 1000, 740);
    save("-chart.png");
    previewLines(r);

    UDKPrompt = "Mood";
    r = start(PrintPlaylist);
    ASSERT_TRUE(answer(r, ButtonYes));
    ASSERT_TRUE(window(r));
    window(r)->setGeometry(10, 10, 1000, 740);
    save("-playlist.png");
    previewLines(r);
}
