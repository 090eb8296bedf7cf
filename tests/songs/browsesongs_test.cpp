// The song list on a generated catalogue, driven as a user drives it: every tab with its
// locator, the media and category filters with their pickers, the search, the song form's
// calls, the drag, the procedures it starts and what it keeps for the next time.
#include "core/procedures.h"
#include "runtime/settings/profile.h"
#include "runtime/ui/dragdrop.h"
#include "songlisttest.h"
#include "songs/browsesongs.h"
#include "songs/updatesong.h"
#include "support/windows/scriptedwindow.h"

#include <QHeaderView>

using namespace songtest;

namespace {

class BrowseSongsTest : public SongListTest {
protected:
    void TearDown() override {
        for (const char *p : {"PrintSongsByBPM", "ImportSongs"})
            registerProcedure(QString::fromLatin1(p), {});
        SongListTest::TearDown();
    }
    static Started open() { return callOnThread(BrowseSongs, 0); }
    static QList<int> shownIds(const Call &c) {
        QList<int> ids;
        for (const QString &row : listRows(list(c)))
            ids << row.section(QLatin1Char('|'), 4, 4).trimmed().mid(1).toInt();   // from the file number
        return ids;
    }
};

TEST_F(BrowseSongsTest, EachTabOrdersByItsKeyAndItsLocatorFindsTextAndNumbers) {
    UDKPrompt = "Catalogue No";
    AlbumSongMode = 1;
    auto c = open();
    ListControl *l = list(*c);
    ASSERT_TRUE(l);
    EXPECT_EQ(window(*c)->windowTitle(), "Songs - 24 entries");
    EXPECT_EQ(AlbumSongMode, 0);
    EXPECT_EQ(tabText(*c, 0), "By Artist   ") << "the selected tab has room for its bold caption";
    EXPECT_EQ(tabText(*c, 7), "By Catalogue") << "the first ten characters of the prompt, clipped";
    EXPECT_EQ(l->toolTip(), "Right-Click for Options");
    EXPECT_EQ(l->rowTexts(0).value(0).trimmed(), "Artist A");
    EXPECT_EQ(l->rowTexts(0).value(1).trimmed(), "Title 23") << "within an artist by title";

    struct Case {
        const char *tab;
        const char *typed;
        int expected;
    };
    // By Media and By Category show the filtered media and category: the ones in the buffers,
    // which the current row of the previous tab left there (media CD, category Pop or Rock).
    const Case cases[] = {
        {"By Artist", "artist c", 6},   // "Title 19" before "Title 20"
        {"By Title", "title 1", 15},
        {"By Album", "album 2", 2},
        {"By Chart #", "12", 12},
        {"By BPM", "100", 20},
        {"By Catalogue", "k2", 20},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.tab);
        ASSERT_TRUE(chooseTab(c->thread, k.tab));
        ASSERT_TRUE(runUntilIdle());
        EXPECT_TRUE(tabs(*c)->tabText(tabs(*c)->currentIndex()).endsWith("   "));
        EXPECT_EQ(shown(*c, "Locator"), "") << "cleared when the tab is chosen";
        typeOn(l, k.typed);
        EXPECT_EQ(shown(*c, "Locator"), k.typed);
        EXPECT_EQ(current(), k.expected);
    }
    EXPECT_EQ(tabText(*c, 0), "By Artist") << "a tab losing the selection is clipped again";
    // Backspace shortens the text and locates again; a scroll clears it.
    keyOn(l, Qt::Key_Backspace);
    EXPECT_EQ(shown(*c, "Locator"), "k");
    EXPECT_EQ(current(), 1);
    keyOn(l, Qt::Key_PageDown);
    EXPECT_EQ(shown(*c, "Locator"), "");
    ASSERT_TRUE(chooseTab(c->thread, "By Chart #"));
    typeOn(l, "x");
    EXPECT_EQ(current(), 1) << "a text that is not a number locates at 0";
    ASSERT_TRUE(press(*c, "Close"));
    EXPECT_TRUE(c->done);
}

TEST_F(BrowseSongsTest, TheMediaAndCategoryTabsShowTheChosenOneAndAddPrimesIt) {
    auto c = open();
    ListControl *l = list(*c);
    ASSERT_TRUE(chooseTab(c->thread, "By Media"));
    ASSERT_TRUE(press(*c, "Select Media"));
    pick(*c, "Browse:1", "Vinyl");
    EXPECT_EQ(shownIds(*c), (QList<int>{3, 6, 9, 12, 15, 18, 21, 24}));
    typeOn(l, "f1");
    EXPECT_EQ(current(), 12) << "the file number within the media";

    // A media without songs: an empty list that takes only Add.
    ASSERT_TRUE(press(*c, "Select Media"));
    pick(*c, "Browse:1", "Tape");
    EXPECT_EQ(rowCount(*c), 0);
    EXPECT_FALSE(enabled(*c, "Change"));
    EXPECT_FALSE(enabled(*c, "Delete"));
    EXPECT_FALSE(enabled(*c, "Copy"));
    EXPECT_TRUE(enabled(*c, "Add"));
    // Closing the media list without a choice keeps the filter.
    ASSERT_TRUE(press(*c, "Select Media"));
    ASSERT_TRUE(press(*c, "Exit"));
    EXPECT_EQ(rowCount(*c), 0);

    ASSERT_TRUE(chooseTab(c->thread, "By Category"));
    ASSERT_TRUE(press(*c, "Select Category"));
    pick(*c, "Browse", "Rock");
    typeOn(l, "artist d");
    EXPECT_EQ(current(), 8);
    EXPECT_EQ(l->rowTexts(l->currentRow()).value(5).trimmed(), "Rock");
    // Another window reading other media and categories changes neither tab.
    CAT.CategoryID = 1;
    MED.Media = "Vinyl";
    ASSERT_TRUE(clickRow(l, 0) && runUntilIdle());
    EXPECT_EQ(l->rowTexts(0).value(5).trimmed(), "Rock");
    ASSERT_TRUE(chooseTab(c->thread, "By Media"));
    EXPECT_EQ(rowCount(*c), 0);
    ASSERT_TRUE(chooseTab(c->thread, "By Category"));

    // A new song on this tab takes the category.
    ASSERT_TRUE(press(*c, "Add"));
    EXPECT_EQ(window(*c)->windowTitle(), "Adding Information");
    EXPECT_EQ(shown(*c, "CAT:Category"), "Rock");
    ASSERT_TRUE(type(*c, "MUS:Artist", "Artist Z"));
    ASSERT_TRUE(type(*c, "MUS:Title", "New"));
    ASSERT_TRUE(press(*c, "OK"));
    EXPECT_EQ(window(*c)->windowTitle(), "Songs - 25 entries");
    EXPECT_EQ(current(), 25) << "positioned on the written song";
    EXPECT_EQ(MUS.CategoryID.value(), 2);
    ASSERT_TRUE(press(*c, "Close"));
}

TEST_F(BrowseSongsTest, ASearchOnTheMediaFileTestsEachSongsOwnMediaAndStaysAcrossTabs) {
    auto c = open();
    EXPECT_FALSE(enabled(*c, "Reset Search"));
    search(*c, "MED:Media", "Is Equal To", "vinyl");
    EXPECT_EQ(QW_Response, 1);
    EXPECT_EQ(window(*c)->focusWidget(), list(*c)) << "selected again, for the frame's toolbar";
    EXPECT_TRUE(enabled(*c, "Reset Search"));
    EXPECT_EQ(shownIds(*c), (QList<int>{3, 6, 9, 12, 15, 18, 21, 24}));
    // Combined with the category tab's filter (Rock: the even ones).
    ASSERT_TRUE(chooseTab(c->thread, "By Category"));
    ASSERT_TRUE(press(*c, "Select Category"));
    pick(*c, "Browse", "Rock");
    EXPECT_EQ(shownIds(*c), (QList<int>{6, 12, 18, 24}));
    ASSERT_TRUE(press(*c, "Reset Search"));
    EXPECT_FALSE(enabled(*c, "Reset Search"));
    EXPECT_EQ(shownIds(*c).size(), std::min(12, list(*c)->linesFit()));
    ASSERT_TRUE(chooseTab(c->thread, "By Title"));
    search(*c, "MUS:Artist", "Is Equal To", "artist b");
    EXPECT_EQ(shownIds(*c), (QList<int>{4, 3}));
    ASSERT_TRUE(press(*c, "Close"));
}

TEST_F(BrowseSongsTest, ChangeCopyAndDeleteGoThroughTheSongFormAndReload) {
    auto c = open();
    ListControl *l = list(*c);
    ASSERT_TRUE(doubleClickRow(l, 2));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(window(*c)->windowTitle(), "Changing Information");
    ASSERT_TRUE(type(*c, "MUS:Artist", "Zed"));
    ASSERT_TRUE(press(*c, "OK"));
    EXPECT_EQ(current(), 4) << "the changed song, now at the end of the artist order";
    EXPECT_EQ(l->rowTexts(l->currentRow()).value(0).trimmed(), "Zed");

    // A cancelled change leaves the song and the list where they were.
    keyOn(l, Qt::Key_Home);
    ASSERT_TRUE(press(*c, "Change"));
    ASSERT_TRUE(type(*c, "MUS:Title", "Not kept"));
    ASSERT_TRUE(press(*c, "Cancel"));
    EXPECT_EQ(current(), 2);
    EXPECT_EQ(MUS.Title.str(), "Title 23");

    ASSERT_TRUE(press(*c, "Copy"));
    EXPECT_EQ(window(*c)->windowTitle(), "Adding Information");
    EXPECT_EQ(shown(*c, "MUS:Artist"), "Artist A");
    ASSERT_TRUE(press(*c, "OK"));
    EXPECT_EQ(window(*c)->windowTitle(), "Songs - 25 entries");
    EXPECT_EQ(current(), 25);

    ASSERT_TRUE(press(*c, "Delete"));
    ASSERT_TRUE(answer(*c, ButtonOK));
    EXPECT_EQ(window(*c)->windowTitle(), "Songs - 24 entries");
    EXPECT_FALSE(loadSong(25));
    ASSERT_TRUE(press(*c, "Close"));
}

// An album window of any thread leaves its song mode and album in the shared buffers: the list's
// Add still opens the song form for a song of no album.
TEST_F(BrowseSongsTest, AddAfterAnAlbumWindowRanFilesTheSongUnderNoAlbum) {
    auto c = open();
    AlbumSongMode = 1;
    ALB.clear();
    ALB.AlbumID = 7;
    ALB.Artist = "Various";
    ALB.Album = "Loopback Sessions";
    ASSERT_TRUE(press(*c, "Add"));
    EXPECT_EQ(shown(*c, "MUS:Artist"), "");
    ASSERT_TRUE(type(*c, "MUS:Title", "Alone"));
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(loadSong(kSongs + 1));
    EXPECT_EQ(MUS.AlbumID.value(), 0);
    EXPECT_EQ(MUS.Album.str(), "");
    ASSERT_TRUE(press(*c, "Close"));
}

TEST_F(BrowseSongsTest, ASongDraggedOntoAnotherWindowHandsOverItsIdentifier) {
    auto c = open();
    QStringList drops;
    const int target = startThread([&drops] {
        windowtest::ScriptedWindow w("Target", {"Close"}, true);
        w.onOpen = [](windowtest::ScriptedWindow &self) {
            self.frame()->move(500, 0);
            acceptDrops(self.list(), {QString::fromLatin1(kSongsDrag)});
        };
        w.onEvent = [&drops](windowtest::ScriptedWindow &, const Event &e) {
            if (e.kind == EventKind::Drop)
                drops << e.source + ":" + e.text;
        };
        w.run();
    });
    ASSERT_TRUE(runUntilIdle());
    ListControl *l = list(*c);
    const QPoint row1 = l->viewport()->mapTo(l, l->visualRect(l->listModel()->index(1, 0)).center());
    auto *to = activeWindow(target)->findChild<ListControl *>();
    ASSERT_TRUE(dragAndDrop(l, to, row1));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(drops, QStringList{"Songs:1"}) << "the second row by artist is song 1";
    ASSERT_TRUE(pressButton(target, "Close"));
    ASSERT_TRUE(press(*c, "Close"));
}

TEST_F(BrowseSongsTest, TheTabAndListFormatAreKeptAndPrintStartsTheTabsReportWhenThereIsOne) {
    auto c = open();
    EXPECT_FALSE(enabled(*c, "Print"));
    EXPECT_FALSE(enabled(*c, "Import"));
    EXPECT_FALSE(enabled(*c, "Export"));
    int printedOn = 0;
    registerProcedure("PrintSongsByBPM", [&printedOn] { printedOn = currentThreadNumber(); });
    registerProcedure("ImportSongs", [] {});
    ASSERT_TRUE(chooseTab(c->thread, "By BPM"));
    EXPECT_TRUE(enabled(*c, "Print"));
    EXPECT_TRUE(enabled(*c, "Import"));
    ASSERT_TRUE(press(*c, "Print"));
    EXPECT_NE(printedOn, 0);
    EXPECT_NE(printedOn, c->thread) << "a report runs on a thread of its own";
    ASSERT_TRUE(chooseTab(c->thread, "By Title"));
    EXPECT_FALSE(enabled(*c, "Print"));
    ASSERT_TRUE(chooseTab(c->thread, "By BPM"));
    list(*c)->header()->resizeSection(0, 200);
    ASSERT_TRUE(press(*c, "Close"));
    EXPECT_EQ(getIni("Settings", "SongTab", "", ProgramIniFile), "7");

    // Restored only when the setting says so, but always written.
    c = open();
    EXPECT_EQ(tabs(*c)->currentIndex(), 0);
    EXPECT_EQ(list(*c)->header()->sectionSize(0), 200);
    ASSERT_TRUE(press(*c, "Close"));
    EXPECT_EQ(getIni("Settings", "SongTab", "", ProgramIniFile), "1");
    SaveLastTab = 1;
    putIni("Settings", "SongTab", "7", ProgramIniFile);
    c = open();
    EXPECT_EQ(tabs(*c)->currentIndex(), 6);
    EXPECT_EQ(current(), 24) << "the list reads the restored tab's order";
    ASSERT_TRUE(press(*c, "Close"));
}

} // namespace
