// The explorer song list on real files: an empty file, the popup and what each item presses,
// the search with its count and reset, the order kept across openings, a refused search field
// list, a hidden column shown from a saved layout, and a drag onto a playlist form.
#include "core/procedures.h"
#include "impex/xploreformatbrowsebox.h"
#include "playlisttest.h"
#include "runtime/settings/profile.h"
#include "songlisttest.h"
#include "songs/xploresongs.h"

#include <QHeaderView>
#include <QRegularExpression>

using namespace songtest;

namespace {

class XploreSongsTest : public SongListTest {
protected:
    void TearDown() override {
        for (const char *p : {"ImportSongs", "ExportSongs"})
            registerProcedure(QString::fromLatin1(p), {});
        SongListTest::TearDown();
    }
    Started open(const QString &fields = {}) {
        return callOnThread([this, fields] {
            XploreSongsWindow w(fields);
            explorer = &w;
            w.run();
            explorer = nullptr;
        }, 0);
    }
    static QString header(ListControl *l, int column) {
        return l->listModel()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    static QStringList column(ListControl *l, int c) {
        QStringList out;
        for (int r = 0; r < l->listModel()->rowCount(); ++r)
            out << l->rowTexts(r).value(c).trimmed();
        return out;
    }
    static void emptySongs() {
        MUS.set(MUS.KEYID);
        while (MUS.next())
            ASSERT_TRUE(MUS.remove()) << data::errorCode();
    }
    // A right click on the row, or below the rows of a list that has none.
    static QStringList popupOn(const Call &c, int row) {
        ListControl *l = list(c);
        if (l->listModel()->rowCount() == 0)
            QTest::mouseClick(l->viewport(), Qt::RightButton, {}, QPoint(20, 20));
        else
            EXPECT_TRUE(rightClickRow(l, row));
        EXPECT_TRUE(runUntilIdle());
        return menuItems(c.thread);
    }

    XploreSongsWindow *explorer = nullptr;
};

TEST_F(XploreSongsTest, AnEmptyFileOffersAddAndCopyOnlyAndInsertAddsASong) {
    emptySongs();
    auto c = open();
    EXPECT_EQ(window(*c)->windowTitle(), "Songs - 0 entries");
    EXPECT_EQ(rowCount(*c), 0);
    EXPECT_FALSE(enabled(*c, "Change"));
    EXPECT_FALSE(enabled(*c, "Delete"));
    EXPECT_TRUE(enabled(*c, "Copy"));
    EXPECT_TRUE(enabled(*c, "Add"));
    EXPECT_FALSE(enabled(*c, "Reset Search"));
    EXPECT_TRUE(enabled(*c, "Search"));
    ASSERT_TRUE(press(*c, "Copy"));
    EXPECT_EQ(window(*c)->windowTitle(), "Songs - 0 entries") << "nothing to copy";
    EXPECT_EQ(popupOn(*c, 0), (QStringList{"Add", "~Change", "~Delete", "-", "Print", "-", "Search", "-",
                                           "View Properties", "-", "~Import", "~Export"}));
    ASSERT_TRUE(dismissMenu(c->thread) && runUntilIdle());

    keyOn(list(*c), Qt::Key_Insert);
    EXPECT_EQ(window(*c)->windowTitle(), "Adding Information");
    ASSERT_TRUE(type(*c, "MUS:Artist", "Nina"));
    ASSERT_TRUE(type(*c, "MUS:Title", "Sinnerman"));
    ASSERT_TRUE(press(*c, "OK"));
    EXPECT_EQ(window(*c)->windowTitle(), "Songs - 1 entries");
    EXPECT_EQ(listRows(list(*c)).value(0).section('|', 0, 1).remove(' '), "Nina|Sinnerman");
    EXPECT_TRUE(enabled(*c, "Change"));
    ASSERT_TRUE(press(*c, "Close"));
    EXPECT_TRUE(c->done);
}

TEST_F(XploreSongsTest, ThePopupsItemsPressTheirButtons) {
    int imported = 0;
    registerProcedure("ImportSongs", [&imported] { imported = currentThreadNumber(); });
    auto c = open();
    ASSERT_TRUE(explorer);
    EXPECT_EQ(window(*c)->windowTitle(), "Songs - 24 entries");
    EXPECT_EQ(list(*c)->toolTip(), "Click on header to change order, or right-click for options");
    EXPECT_EQ(popupOn(*c, 2), (QStringList{"Add", "Change", "Delete", "-", "Print", "-", "Search", "-",
                                           "View Properties", "-", "Import", "~Export"}));
    ASSERT_TRUE(dismissMenu(c->thread) && runUntilIdle());

    // Each item, and what shows on the list's thread afterwards (closed again by `leave`).
    struct Item {
        const char *text;
        const char *shows;
        const char *leave;
    };
    const Item items[] = {
        {"Add", "Adding Information", "Cancel"},
        {"Change", "Changing Information", "Cancel"},
        {"View Properties", "Format Listbox...", "Close"},
    };
    for (const Item &item : items) {
        SCOPED_TRACE(item.text);
        popupOn(*c, 2);
        ASSERT_TRUE(chooseMenuItem(c->thread, item.text) && runUntilIdle());
        EXPECT_EQ(window(*c)->windowTitle(), item.shows);
        ASSERT_TRUE(press(*c, item.leave));
        EXPECT_EQ(window(*c)->windowTitle(), "Songs - 24 entries");
    }
    popupOn(*c, 2);
    ASSERT_TRUE(chooseMenuItem(c->thread, "Delete") && runUntilIdle());
    EXPECT_FALSE(messageText(c->thread).isEmpty()) << "the song form asks first";
    ASSERT_TRUE(answer(*c, ButtonCancel));
    EXPECT_EQ(window(*c)->windowTitle(), "Songs - 24 entries");

    popupOn(*c, 2);
    ASSERT_TRUE(chooseMenuItem(c->thread, "Search") && runUntilIdle());
    EXPECT_TRUE(findControl(window(*c), "SavedQueries")) << "the query wizard";
    ASSERT_TRUE(closeByUser(window(*c)) && runUntilIdle());
    EXPECT_EQ(QW_Response, 0);
    EXPECT_FALSE(enabled(*c, "Reset Search"));

    popupOn(*c, 2);
    ASSERT_TRUE(chooseMenuItem(c->thread, "Import") && runUntilIdle());
    EXPECT_NE(imported, 0);
    EXPECT_NE(imported, c->thread) << "the import runs on a thread of its own";
    ASSERT_TRUE(press(*c, "Close"));
}

TEST_F(XploreSongsTest, ASearchThatMatchesNothingKeepsTheCountAndResetShowsEverySong) {
    auto c = open();
    search(*c, "MUS:Artist", "Is Equal To", "nobody");
    EXPECT_EQ(QW_Response, 1);
    EXPECT_EQ(rowCount(*c), 0);
    EXPECT_EQ(window(*c)->windowTitle(), "Songs - 24 entries");
    EXPECT_TRUE(enabled(*c, "Reset Search"));
    EXPECT_FALSE(enabled(*c, "Change"));

    search(*c, "MED:Media", "Is Equal To", "vinyl");
    EXPECT_EQ(column(list(*c), 4), (QStringList{"F03", "F06", "F09", "F12", "F15", "F18", "F21", "F24"}))
        << "the media file's name is tested, and the artist order kept";
    ASSERT_TRUE(press(*c, "Reset Search"));
    EXPECT_FALSE(enabled(*c, "Reset Search"));
    EXPECT_EQ(rowCount(*c), std::min(kSongs, list(*c)->linesFit()));
    EXPECT_EQ(current(), 3) << "the list stays on the song it showed";
    ASSERT_TRUE(press(*c, "Close"));
}

TEST_F(XploreSongsTest, AReopenedListIsOrderedOnTheColumnOrderedAtClosingWithoutAMark) {
    auto c = open();
    ListControl *l = list(*c);
    EXPECT_EQ(header(l, 0), "Artist");
    EXPECT_EQ(column(l, 0).value(0), "Artist A");
    ASSERT_TRUE(clickHeader(l, 1));   // titles fall as the songs rise
    ASSERT_TRUE(clickHeader(l, 1));
    EXPECT_EQ(header(l, 1), "<Title");
    EXPECT_EQ(column(l, 1).value(0), "Title 24");
    ASSERT_TRUE(press(*c, "Close"));
    EXPECT_EQ(getIni("XploreSongs", "XplorePrevCol-?Browse", "", ".\\POSITION.INI"), "2");
    EXPECT_FALSE(getIni("XploreSongs", "XploreFormatString-?Browse", "", ".\\POSITION.INI").contains("<Title"));

    c = open();
    l = list(*c);
    EXPECT_EQ(header(l, 1), "Title");
    EXPECT_EQ(explorer->sortColumn(), 2);
    EXPECT_EQ(column(l, 1).mid(0, 2), (QStringList{"Title 01", "Title 02"})) << "ascending again";
    ASSERT_TRUE(press(*c, "Close"));
}

// The table's Mix column follows Rating in the list's fields; the identifier comes after both.
TEST_F(XploreSongsTest, TheMixColumnShowsTheMixFromASavedLayout) {
    ASSERT_TRUE(loadSong(1));
    MUS.Mix = "Radio Edit";
    ASSERT_TRUE(MUS.put());
    auto c = open();
    const QString design = list(*c)->format();
    ASSERT_TRUE(press(*c, "Close"));
    putIni("XploreSongs", "XploreFormatString-?Browse", "75L(2)|M~Artist~@s50@120L(2)|M~Mix~@s30@#16#",
           ".\\POSITION.INI");
    c = open();
    EXPECT_EQ(list(*c)->format().left(20), design.left(20));
    EXPECT_EQ(header(list(*c), 1), "Mix");
    EXPECT_EQ(column(list(*c), 1).filter("Radio Edit").size(), 1);
    EXPECT_EQ(column(list(*c), 1).filter(QRegularExpression("^$")).size(), rowCount(*c) - 1);
    ASSERT_TRUE(press(*c, "Close"));
}

TEST_F(XploreSongsTest, ARefusedSearchFieldListIsReportedAndTheListWorksWithoutSearch) {
    auto c = open(QStringLiteral("Artist%1MUS:Artist%2").arg(QChar(0xA6)).arg(QChar(0xAB)));
    EXPECT_EQ(window(*c)->windowTitle(), "Query Wizard Error# 1");
    EXPECT_EQ(messageText(c->thread), "An error has prevented the Query Wizard from initializing.");
    ASSERT_TRUE(answer(*c, ButtonOK));
    EXPECT_EQ(window(*c)->windowTitle(), "Songs - 24 entries");
    EXPECT_FALSE(enabled(*c, "Search"));
    EXPECT_FALSE(enabled(*c, "Reset Search"));
    EXPECT_EQ(popupOn(*c, 0).mid(4, 3), (QStringList{"Print", "-", "~Search"}));
    ASSERT_TRUE(dismissMenu(c->thread) && runUntilIdle());
    typeOn(list(*c), "artist c");
    EXPECT_EQ(MUS.Artist.str(), "Artist C");
    ASSERT_TRUE(press(*c, "Close"));
}

class XploreSongsDragTest : public PlaylistTest {};

TEST_F(XploreSongsDragTest, ASongDraggedOntoAPlaylistFormIsAppended) {
    roadTrip(2);
    auto c = openPlaylist(ChangeRecord, 1);
    const int songList = startThread(XploreSongs);
    ASSERT_TRUE(runUntilIdle());
    activeWindow(songList)->move(600, 0);
    auto *from = qobject_cast<ListControl *>(findControl(activeWindow(songList), "Browse"));
    ASSERT_TRUE(from && selectRowByKey(from, 1, "Song 7") && runUntilIdle());
    const QPoint at =
        from->viewport()->mapTo(from, from->visualRect(from->listModel()->index(from->currentRow(), 0)).center());
    ASSERT_TRUE(dragAndDrop(from, list, at) && runUntilIdle());
    EXPECT_EQ(entries(1), (QStringList{"1:1", "2:2", "3:7"}));
    ASSERT_TRUE(press(*c, "Cancel") && pressButton(songList, "Close") && runUntilIdle());
}

} // namespace
