// The album lists and the track list of one album, read back from the pages they make.
#include "reports/albumreports.h"
#include "reporttest.h"
#include "runtime/ui/listcontrol.h"
#include "support/windows/listtesting.h"

using namespace reporttest;

namespace {

class AlbumReports : public ReportTest {
protected:
    void SetUp() override {
        ReportTest::SetUp();
        openForUse(ALB);
    }
    static void album(qint32 id, const QString &artist, const QString &title, const std::function<void()> &more = {}) {
        ALB.clear();
        ALB.AlbumID = id;
        ALB.Artist = artist;
        ALB.Album = title;
        if (more)
            more();
        ASSERT_TRUE(ALB.add()) << data::errorCode();
    }
    // The category picker of the run: the category chosen, or the picker closed.
    static void pick(const Started &r, const QString &category) {
        ASSERT_TRUE(window(r) && window(r)->objectName() == "BrowseCategories");
        if (category.isEmpty()) {
            ASSERT_TRUE(press(r, "Close"));
            return;
        }
        ASSERT_TRUE(selectRowByKey(window(r)->findChild<ListControl *>(), 0, category));
        ASSERT_TRUE(press(r, "Select"));
    }
};

} // namespace

TEST_F(AlbumReports, ByFileNumberSelectsTheNumbersThatStartWithTheTextAndItsBriefTwinPreviewsAsTheCriteriaSaid) {
    album(1, "Zed", "Zero", [] { ALB.FileNumber = "120"; });
    album(2, "Abba", "Gold", [] {
        ALB.FileNumber = "12";
        ALB.Media = "CD";
        ALB.ReleaseDate = 71266;
        ALB.ASSOCIATEDWAVFILE = "gold.wav";
    });
    album(3, "Cat", "Tea", [] { ALB.FileNumber = "x12"; });
    album(4, "Dee", "Dee", [] { ALB.FileNumber = "12b"; });
    album(5, "Eve", "Eve", [] { ALB.FileNumber = "13"; });
    EXPECT_EQ(lines(PrintAlbumsByFileNumber, "12"),
              (QStringList{"Albums by File Number", "File Number | Release Date | Artist | Media",
                           "Album | Associated WAV File", "12 | " + formatPicture("@d2", 71266) + " | Abba | CD",
                           "Gold | gold.wav", "120 | Zed", "Zero", "12b | Dee", "Dee", "Page    1"}));
    EXPECT_EQ(lines(PrintAlbumsByFileNumber, "12B", "Brief"),
              (QStringList{"Albums by File Number", "File Number | Album | Artist | Media", "12b | Dee | Dee",
                           footer()}));

    // Unticked, the brief twin prints at once: no question.
    Started r = start(PrintAlbumsByFileNumber);
    criteria(r, false, "12", "Brief");
    EXPECT_TRUE(r->done);
    EXPECT_EQ(r->response, RequestCompleted);
    const QStringList pages = printed();
    ASSERT_EQ(pages.size(), 1);
    for (const char *text : {"Albums by File Number", "12 Gold Abba CD", "120 Zero Zed", "12b Dee Dee", "Page 1"})
        EXPECT_TRUE(pages[0].contains(text)) << text << "\n" << pages[0].toStdString();
    EXPECT_FALSE(pages[0].contains("Tea"));
}

TEST_F(AlbumReports, ByTitleAndByArtistShowTheReleaseYearAndTheBriefByArtistAsksToPreview) {
    DateFormat = "n4b";   // "Year Only"
    album(1, "Miles", "Kind of Blue", [] {
        ALB.ReleaseDate = 1959;
        ALB.Media = "LP";
        ALB.FileNumber = "F9";
    });
    album(2, "Abba", "Arrival", [] { ALB.ReleaseDate = 1976; });
    EXPECT_EQ(lines(PrintAlbums),
              (QStringList{"Albums", "Album | Artist | Media", "File Number | Release Date | Associated WAV File",
                           "Arrival | Abba", "1976", "Kind of Blue | Miles | LP", "F9 | 1959", "Page    1"}));
    EXPECT_EQ(lines(PrintAlbums, {}, "Brief"),
              (QStringList{"Albums by Album", "Album | Artist | Media | File Number", "Arrival | Abba",
                           "Kind of Blue | Miles | LP | F9", footer()}));

    // The brief twin by artist asks, though the criteria said not to preview; Cancel ends it.
    for (int choice : {ButtonCancel, ButtonYes}) {
        Started r = start(PrintAlbumsByArtist);
        criteria(r, false, "m", "Brief");
        EXPECT_EQ(asked(r), "Do you wish to PREVIEW this Report?");
        ASSERT_TRUE(answer(r, choice));
        if (choice == ButtonCancel) {
            EXPECT_TRUE(r->done);
            EXPECT_EQ(r->response, RequestCancelled);
            continue;
        }
        EXPECT_EQ(previewLines(r), (QStringList{"Albums by Artist", "Artist | Album | Media | File Number",
                                                "Miles | Kind of Blue | LP | F9", footer()}));
    }
    EXPECT_FALSE(QFile::exists(pdf()));
}

TEST_F(AlbumReports, ByCategoryListsTheChosenCategorysAlbumsByArtistUnderItsName) {
    addCategory(1, "Jazz");
    addCategory(2, "Rock");
    addCategory(3, "Polka");
    album(1, "Miles", "Kind of Blue", [] { ALB.CategoryID = 1; });
    album(2, "Coltrane", "Blue Train", [] { ALB.CategoryID = 1; });
    album(3, "Miles", "Bitches Brew", [] { ALB.CategoryID = 1; });
    album(4, "Abba", "Arrival", [] { ALB.CategoryID = 2; });

    Started r = start(PrintAlbumsByCategory);
    pick(r, "Jazz");
    // Another window reads a category while the criteria window is open.
    CAT.CategoryID = 2;
    ASSERT_TRUE(CAT.get(CAT.KeyCategoryID));
    criteria(r, true);
    EXPECT_EQ(previewLines(r), (QStringList{"Jazz Albums", "Artist | Album | Media",
                                            "File Number | Release Date | Associated WAV File",
                                            "Coltrane | Blue Train", "Miles | Bitches Brew", "Miles | Kind of Blue",
                                            "Page    1"}));

    // Brief: asked whatever the criteria said, titled the same.
    r = start(PrintAlbumsByCategory);
    pick(r, "Rock");
    criteria(r, true, {}, "Brief");
    EXPECT_EQ(asked(r), "Do you wish to PREVIEW this Report?");
    ASSERT_TRUE(answer(r, ButtonYes));
    EXPECT_EQ(previewLines(r).mid(0, 3),
              (QStringList{"Rock Albums", "Artist | Album | Media | File Number", "Abba | Arrival"}));

    // A category without albums: nothing, and so no title.
    r = start(PrintAlbumsByCategory);
    pick(r, "Polka");
    criteria(r, true);
    EXPECT_EQ(asked(r), "Nothing to Preview.");
    ASSERT_TRUE(answer(r, ButtonOK));
    EXPECT_TRUE(r->done);

    // The picker closed: no criteria, nothing opened.
    r = start(PrintAlbumsByCategory);
    pick(r, {});
    EXPECT_TRUE(r->done);
    EXPECT_EQ(r->response, RequestCancelled);
    EXPECT_EQ(FileUseCount(ALB), 1);
}

TEST_F(AlbumReports, TheTrackListPrintsTheSongsLinkedToTheAlbumInTheSongsAlbumOrder) {
    album(7, "Various", "Hits");
    album(8, "Solo", "Alone");
    auto track = [](qint32 id, qint32 albumId, const QString &title, const QString &artist, int side, int number,
                    const QString &albumTitle) {
        song(id, title, artist, [=] {
            MUS.AlbumID = albumId;
            MUS.Side = side;
            MUS.TrackNumber = number;
            MUS.Album = albumTitle;
            MUS.Media = "CD";
        });
    };
    // A single artist: by side, then track, then title.
    track(1, 8, "Second Side", "Solo", 2, 1, "Alone");
    track(2, 8, "Two", "Solo", 1, 2, "Alone");
    track(3, 8, "One", "Solo", 1, 1, "Alone");
    track(4, 8, "A title that runs on for more than thirty letters", "Solo", 1, 3, "Alone");
    // A compilation: by the song's artist first; a song filed under another album title is still
    // the album's.
    track(11, 7, "Zulu", "Beta", 1, 1, "Hits");
    track(12, 7, "Yankee", "Alpha", 1, 2, "Hits");
    track(13, 7, "Xray", "Beta", 1, 3, "Hits");
    track(14, 7, "Bonus", "Alpha", 1, 9, "Hits (Bonus Disc)");
    track(15, 8, "Elsewhere", "Solo", 1, 1, "");   // linked to the other album

    auto run = [](qint32 albumId) {
        ALB.clear();
        ALB.AlbumID = albumId;
        EXPECT_TRUE(ALB.get(ALB.KEYALBUMID));
        Started r = start(PrintAlbumsWithSongs);
        EXPECT_EQ(asked(r), "Do you wish to PREVIEW this Report?");
        EXPECT_TRUE(answer(r, ButtonYes));
        return previewLines(r);
    };
    EXPECT_EQ(run(8), (QStringList{"Songs by Album", "Album | Title | Artist | Media", "Elsewhere | Solo | CD",
                                   "Alone | One | Solo | CD", "Alone | Two | Solo | CD",
                                   "Alone | A title that runs on for more | Solo | CD", "Alone | Second Side | Solo | CD",
                                   "Page    1"}));
    EXPECT_EQ(run(7), (QStringList{"Songs by Album", "Album | Title | Artist | Media", "Hits | Yankee | Alpha | CD",
                                   "Hits | Zulu | Beta | CD", "Hits | Xray | Beta | CD",
                                   "Hits (Bonus Disc) | Bonus | Alpha | CD", "Page    1"}));

    // An album without songs; Cancel at the question.
    album(9, "Nobody", "Empty");
    Started r = start(PrintAlbumsWithSongs);
    ASSERT_TRUE(answer(r, ButtonNo));
    EXPECT_EQ(asked(r), "Nothing to Print.");
    ASSERT_TRUE(answer(r, ButtonOK));
    r = start(PrintAlbumsWithSongs);
    ASSERT_TRUE(answer(r, ButtonCancel));
    EXPECT_TRUE(r->done);
    EXPECT_EQ(r->response, RequestCancelled);
}
