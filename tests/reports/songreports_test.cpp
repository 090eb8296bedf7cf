// Each song report's title, order, columns and skips, read back from the pages it makes.
#include "reports/songreports.h"
#include "reporttest.h"

using namespace reporttest;

using SongReports = ReportTest;

TEST_F(SongReports, ByTitleListsTheTitlesStartingWithTheTextInTitleOrderButNotTheMarkedSongs) {
    addCategory(3, "Rock");
    song(1, "theme", "Bee");
    song(2, "The End", "Doors", [] {
        MUS.Album = "The Doors";
        MUS.Media = "CD";
        MUS.CategoryID = 3;
        MUS.FileNumber = "F1";
        MUS.TrackNumber = 11;
        MUS.ChartNumber = 5;
    });
    song(3, "THE X", "Cee");
    song(4, "XTHE", "Dee");
    song(5, "There (Skips)", "Eee");
    song(6, "Theory (skips)", "Eff");   // the test is case-exact
    song(7, "Then", "Gee (*)");
    song(8, "Thesis", "Aitch", [] { MUS.Skips = 1; });
    song(9, "Thermal", "Eye", [] { MUS.DoNotPlay = 1; });

    EXPECT_EQ(lines(PrintSongsByTitle, "the"),
              (QStringList{"Songs by Title", "Title | Artist | Album | Media | Category",
                           "File Number | Release Date | Track | Chart", "The End | Doors | The Doors | CD | Rock",
                           "F1 | 11 | 5", "THE X | Cee", "theme | Bee", "Theory (skips) | Eff", footer()}));
    // An empty text selects every song; the marked ones stay out.
    EXPECT_EQ(lines(PrintSongsByTitle, "").mid(5, 4), (QStringList{"THE X | Cee", "theme | Bee",
                                                                  "Theory (skips) | Eff", "XTHE | Dee"}));

    // Printed straight to a PDF file, it reads back the same.
    Started r = start(PrintSongsByTitle);
    criteria(r, false, "the");
    EXPECT_EQ(r->response, RequestCompleted);
    const QStringList pages = printed();
    ASSERT_EQ(pages.size(), 1);
    for (const char *text : {"Songs by Title", "Release Date", "The End", "Doors", "The Doors", "F1", "Rock",
                             "Theory (skips)", "Page 1"})
        EXPECT_TRUE(pages[0].contains(text)) << text;
    EXPECT_FALSE(pages[0].contains("XTHE"));
}

TEST_F(SongReports, ByArtistAndTheBriefTwinsWhichTakeTheCriteriaJustChosen) {
    UDKPrompt = "Mood";
    song(1, "Alpha", "Dylan", [] {
        MUS.Album = "Blonde";
        MUS.FileNumber = "F7";
        MUS.TrackNumber = 3;
        MUS.UserDefinedKeyField = "calm";
        MUS.Time = timeOf(0, 3, 25);
    });
    song(2, "Beta", "Abba");
    song(3, "Gamma", "dylan jr");
    song(4, "Delta", "Dylan", [] { MUS.DoNotPlay = 1; });
    const QString time = formatPicture("@t4b", timeOf(0, 3, 25));
    EXPECT_EQ(lines(PrintSongsByArtist).mid(0, 4), (QStringList{"Songs by Artist", "Artist | Title | Album | Media | Category",
                                                               "File Number | Release Date | Track | Chart",
                                                               "Abba | Beta"}));
    EXPECT_EQ(lines(PrintSongsByArtist, "DYL", "Brief"),
              (QStringList{"Songs by Artist", "Artist | Title | Album | File Number | Trk | Mood | Time",
                           "Dylan | Alpha | Blonde | F7 | 3 | calm | " + time, "dylan jr | Gamma", footer()}));
    EXPECT_EQ(lines(PrintSongsByTitle, {}, "Brief").mid(1, 2),
              (QStringList{"Title | Artist | Album | File Number | Trk | Mood | Time",
                           "Alpha | Dylan | Blonde | F7 | 3 | calm | " + time}));
}

TEST_F(SongReports, ByChartNumberSelectsByTheNumbersTextAndShowsTheDisplayTitle) {
    for (int chart : {2, 199, 1, 10, 100, 21, 19, 150, 200})
        song(chart, QString("Song %1").arg(chart), "Art", [chart] { MUS.ChartNumber = chart; });
    song(15, "Mixed", "Zed", [] {
        MUS.ChartNumber = 15;
        MUS.Mix = "Remix";
        MUS.DoNotPlay = 1;   // left out by the title and artist lists only
        MUS.FileNumber = "F15";
        MUS.Media = "Vinyl";
        MUS.ReleaseDate = 71266;
    });
    DateFormat = "d2";
    EXPECT_EQ(lines(PrintSongsByChartNumber, "1"),
              (QStringList{"Songs by Chart Number", "Chart # | Artist | Title | Album",
                           "File Number | Release Date | Media", "1 | Art | Song 1", "10 | Art | Song 10",
                           "15 | Zed | Mixed (Remix)", "F15 | " + formatPicture("@d2", 71266) + " | Vinyl",
                           "19 | Art | Song 19", "100 | Art | Song 100", "150 | Art | Song 150",
                           "199 | Art | Song 199", "Page    1"}));
    EXPECT_EQ(lines(PrintSongsByChartNumber, "2", "Brief"),
              (QStringList{"Songs by Chart Number", "Chart # | Artist | Title | Album", "2 | Art | Song 2",
                           "21 | Art | Song 21", "200 | Art | Song 200", "Page    1"}));
}

TEST_F(SongReports, ByUserDefinedKeyIsTitledAndAskedByThePrompt) {
    UDKPrompt = "Mood";
    addCategory(1, "Jazz");
    song(1, "Blue", "Miles", [] {
        MUS.UserDefinedKeyField = "Mellow";
        MUS.CategoryID = 1;
        MUS.TrackNumber = 4;
    });
    song(2, "Loud", "Band", [] { MUS.UserDefinedKeyField = "angry"; });
    song(3, "", "", [] { MUS.Album = "Unknown"; });   // the key's fields all blank: not in the key
    Started r = start(PrintSongsByUserDefinedKey);
    ASSERT_TRUE(window(r));
    EXPECT_EQ(window(r)->findChild<QLabel *>("SelectionPrompt")->text(), "Select moods that start with:");
    criteria(r, true);
    EXPECT_EQ(previewLines(r), (QStringList{"Songs by Mood", "Mood | Artist | Title | Album | Media",
                                            "Category | File Number | Release Date | Track | Chart",
                                            "angry | Band | Loud", "Mellow | Miles | Blue", "Jazz | 4", footer()}));
    EXPECT_EQ(lines(PrintSongsByUserDefinedKey, "mel", "Brief"),
              (QStringList{"Songs by Mood", "Mood | Artist | Title | Album", "Mellow | Miles | Blue", "Page    1"}));
}
