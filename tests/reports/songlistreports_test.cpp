// The song lists by media, album, category and beats per minute: their columns, joins,
// selections and skips read back from the pages, the category choice, and the names the frame
// and the song list start them by.
#include "core/procedures.h"
#include "reports/djlog.h"
#include "reports/papersavers.h"
#include "reports/songlistreports.h"
#include "reporttest.h"
#include "runtime/ui/listcontrol.h"
#include "songs/browsesongs.h"
#include "support/windows/listtesting.h"

using namespace reporttest;

namespace {

class SongListReports : public ReportTest {
protected:
    // The category report started and its category chosen in the category list.
    static Started byCategory(const QString &category) {
        Started r = start(PrintSongsByCategory);
        EXPECT_TRUE(window(r) && window(r)->objectName() == "BrowseCategories");
        auto *list = window(r)->findChild<ListControl *>();
        EXPECT_TRUE(list && selectRowByKey(list, 0, category) && runUntilIdle());
        EXPECT_TRUE(press(r, "Select"));
        return r;
    }
};

} // namespace

TEST_F(SongListReports, ByMediaAndByAlbumJoinTheCategoryAndSelectByTheirOwnField) {
    addCategory(3, "Rock");
    song(1, "Tape Song", "Zed", [] {
        MUS.Media = "Cassette (Dolby B)";
        MUS.Album = "Taped";
        MUS.CategoryID = 3;
        MUS.FileNumber = "T1";
        MUS.TrackNumber = 2;
        MUS.ChartNumber = 9;
    });
    // No such category: its column stays blank.
    song(2, "Other Tape", "Amy", [] { MUS.Media = "cassette"; MUS.Album = "Bootleg"; MUS.CategoryID = 99; });
    song(3, "Disc Song", "Bob", [] { MUS.Media = "CD"; MUS.Album = "Taped Again"; MUS.CategoryID = 3; });
    song(4, "Marked", "Cee (*)", [] { MUS.Media = "CD"; });   // these lists skip nothing

    EXPECT_EQ(lines(PrintSongsByMedia, "cas"),
              (QStringList{"Songs by Media", "Media | Title | Album | Artist | Category",
                           "File Number | Release Date | Track | Chart", "cassette | Other Tape | Bootleg | Amy",
                           "Cassette (Dolby B) | Tape Song | Taped | Zed | Rock", "T1 | 2 | 9", footer()}));
    EXPECT_EQ(lines(PrintSongsByMedia, {}, "Brief"),
              (QStringList{"Songs by Media", "Media | Artist | Title | Album | File Number",
                           "cassette | Amy | Other Tape | Bootleg", "Cassette (Dolby B) | Zed | Tape Song | Taped | T1",
                           "CD | Bob | Disc Song | Taped Again", "CD | Cee (*) | Marked", footer()}));
    EXPECT_EQ(lines(PrintSongsByAlbum, "taped").mid(1),
              (QStringList{"Album | Artist | Title | Media | Category", "File Number | Release Date | Track | Chart",
                           "Taped | Zed | Tape Song | Cassette (Dolby B) | Rock", "T1 | 2 | 9",
                           "Taped Again | Bob | Disc Song | CD | Rock", footer()}));

    // The headings stand on a silver box in the report's font.
    Started r = start(PrintSongsByAlbum);
    criteria(r, true, {}, "Brief");
    const report::Page &page = previewed(r)->page(1);
    const auto box = std::find_if(page.items.begin(), page.items.end(),
                                  [](const report::DrawItem &i) { return i.kind == report::ElementKind::Box; });
    const report::DrawItem *heading = report::test::findText(*previewed(r), 1, "File Number");
    ASSERT_TRUE(box != page.items.end() && heading);
    EXPECT_TRUE(box->filled && box->fill == QColor(0xC0, 0xC0, 0xC0));
    EXPECT_TRUE(box->rect.contains(heading->rect.topLeft()));
    EXPECT_TRUE(heading->font.face == "MS Sans Serif" && heading->font.size == 8);
    previewLines(r);

    // Printed to a PDF file.
    r = start(PrintSongsByMedia);
    criteria(r, false, "cas");
    EXPECT_EQ(r->response, RequestCompleted);
    const QStringList pages = printed();
    ASSERT_EQ(pages.size(), 1);
    for (const char *text : {"Songs by Media", "Release Date", "Cassette (Dolby B)", "Tape Song", "Rock", "Page 1"})
        EXPECT_TRUE(pages[0].contains(text)) << text;
    EXPECT_FALSE(pages[0].contains("Disc Song"));
}

TEST_F(SongListReports, ByBPMPrintsOnlySongsWithBeatsThatTheSongFilterKeeps) {
    song(1, "Still", "Quiet");
    Started r = start(PrintSongsByBPM);
    criteria(r, true);
    EXPECT_EQ(asked(r), "Nothing to Preview.");
    ASSERT_TRUE(answer(r, ButtonOK));

    UDKPrompt = "Mood";
    for (int bpm : {12, 112, 120, 125, 129, 130, 1})
        song(bpm + 100, QString("Beat %1").arg(bpm), "Drummer", [bpm] { MUS.BeatsPerMinute = bpm; });
    song(2, "Starred", "Band (*)", [] { MUS.BeatsPerMinute = 121; MUS.CategoryID = 1; });
    song(3, "Calm", "Keys", [] {
        MUS.BeatsPerMinute = 123;
        MUS.UserDefinedKeyField = "easy";
        MUS.Time = timeOf(0, 4, 5);
        MUS.FileNumber = "K3";
        MUS.TrackNumber = 7;
    });
    song(4, "Dropped", "Keys", [] { MUS.BeatsPerMinute = 124; MUS.DoNotPlay = 1; });
    EXPECT_EQ(lines(PrintSongsByBPM, "12"),
              (QStringList{"Songs by Beats Per Minute", "BPM | Artist | Title | Album | Media | Category",
                           "File Number | Release Date | Track | Chart", "12 | Drummer | Beat 12", "120 | Drummer | Beat 120",
                           "123 | Keys | Calm", "K3 | 7", "125 | Drummer | Beat 125", "129 | Drummer | Beat 129",
                           footer()}));
    EXPECT_EQ(lines(PrintSongsByBPM, "123", "Brief"),
              (QStringList{"Songs by Beats Per Minute", "BPM | Artist | Title | Album | File Number | Trk | Mood | Time",
                           "123 | Keys | Calm | K3 | 7 | easy | " + formatPicture("@t4b", timeOf(0, 4, 5)), footer()}));

    // The category report prints the starred song: it has no skip rules.
    addCategory(1, "Jazz");
    r = byCategory("Jazz");
    criteria(r, true);
    EXPECT_EQ(previewLines(r).mid(3, 1), QStringList{"Band (*) | Starred"});
}

TEST_F(SongListReports, ByCategoryPrintsTheChosenCategorysSongsUnderItsName) {
    DateFormat = "d2";
    addCategory(1, "Pop");
    addCategory(2, "Jazz");
    for (int i = 1; i <= 40; ++i)
        song(i, QString("Tune %1").arg(i, 2, 10, QChar('0')), i % 2 ? "Miles" : "Ella", [i] { MUS.CategoryID = i % 4 ? 1 : 2; });
    song(50, "Blue", "Miles", [] {
        MUS.CategoryID = 2;
        MUS.Album = "Kind";
        MUS.Media = "LP";
        MUS.FileNumber = "J-0050-LONGER";
        MUS.ReleaseDate = 71266;
    });

    Started r = byCategory("Jazz");
    ASSERT_TRUE(window(r));
    EXPECT_EQ(window(r)->findChild<QLabel *>("SelectionPrompt")->text(), "Select artists that start with:");
    // Another window moves the categories buffer while the criteria are asked.
    CAT.CategoryID = 1;
    ASSERT_TRUE(CAT.get(CAT.KeyCategoryID));
    criteria(r, true, "mi");
    EXPECT_EQ(previewLines(r), (QStringList{"Music in Jazz Category", "Artist | Title | Album | Media",
                                            "File Number | Release Date", "Miles | Blue | Kind | LP",
                                            "J-0050-LON | " + formatPicture("@d2", 71266), footer()}));

    r = byCategory("Jazz");
    criteria(r, true, {}, "Brief");
    const QStringList brief = previewLines(r);
    EXPECT_EQ(brief.mid(0, 3), (QStringList{"Music in Jazz Category", "Artist | Title | Album | Media | File Number",
                                            "Ella | Tune 04"}));
    EXPECT_EQ(brief.size(), 2 + 11 + 1) << "the eleven songs of the category, then the footer";
}

TEST_F(SongListReports, ACancelledCategoryChoicePrintsNothingAndAsksNoCriteria) {
    addCategory(1, "Jazz");
    song(1, "Blue", "Miles", [] { MUS.CategoryID = 1; });
    CAT.CategoryID = 1;
    ASSERT_TRUE(CAT.get(CAT.KeyCategoryID));   // a stale category in the buffer
    Started r = start(PrintSongsByCategory);
    ASSERT_TRUE(window(r) && window(r)->objectName() == "BrowseCategories");
    ASSERT_TRUE(press(r, "Close"));
    EXPECT_TRUE(r->done);
    EXPECT_EQ(r->response, RequestCancelled);
    EXPECT_EQ(FileUseCount(CAT), 1) << "the run's own use is over";
}

TEST_F(SongListReports, TheFrameAndTheSongListStartThemByName) {
    registerSongListReports();
    registerPaperSavers();
    registerDJLog();
    // The song list's tabs 3, 4, 5 and 7, then the frame's paper savers and DJ log.
    const QStringList names{songReportOfTab(3), songReportOfTab(4), songReportOfTab(7), songReportOfTab(5),
                            "PrintPaperSaverByTitle", "PrintPaperSaverByArtist", "PrintDJLog"};
    const QStringList first{"Select albums that start with:", "Select media that start with:",
                            "Select BPMs that start with:"};
    for (const QString &name : names) {
        Started r = start(findProcedure(name));
        ASSERT_TRUE(window(r)) << name.toStdString();
        if (auto *prompt = window(r)->findChild<QLabel *>("SelectionPrompt")) {
            EXPECT_EQ(prompt->text(), first[names.indexOf(name)]);
            ASSERT_TRUE(press(r, "Cancel"));
        } else if (window(r)->objectName() == "BrowseCategories") {
            ASSERT_TRUE(press(r, "Close"));
        } else {
            EXPECT_EQ(asked(r), "Do you wish to PREVIEW this Report?");
            ASSERT_TRUE(answer(r, ButtonCancel));
        }
        EXPECT_TRUE(r->done && r->response == RequestCancelled) << name.toStdString();
        registerProcedure(name, {});
    }
    EXPECT_EQ(FileUseCount(CAT), 1);
    EXPECT_FALSE(procedureRegistered("PrintSongsByMediaBrief"));
}
