// The playlist list with its menu and the procedures of later windows, the entry form, and the
// entries' arithmetic without a window: the total time, the drop's check and the append.
#include "core/procedures.h"
#include "playlisttest.h"
#include "songs/browseplaylists.h"
#include "songs/playlistentries.h"
#include "songs/updateplaylistdetails.h"
#include "support/windows/scriptedanswers.h"

#include <QApplication>
#include <QTest>

using namespace songtest;

namespace {

class PlaylistsTest : public PlaylistTest {
protected:
    void TearDown() override {
        for (const char *name : {"PrintPlaylist", "PrintPlaylistChart", "GeneratePlaylist"})
            registerProcedure(QString::fromLatin1(name), {});
        PlaylistTest::TearDown();
    }
    QStringList popup(const Call &c) {
        if (listRows(list).isEmpty())
            QTest::mouseClick(list->viewport(), Qt::RightButton);
        else
            EXPECT_TRUE(rightClickRow(list, 0));
        EXPECT_TRUE(runUntilIdle());
        const QStringList items = menuItems(c.thread);
        EXPECT_TRUE(dismissMenu(c.thread) && runUntilIdle());
        return items;
    }
    std::shared_ptr<Call> openList() {
        auto c = call(BrowsePlayLists, 0);
        list = qobject_cast<ListControl *>(findControl(window(*c), QStringLiteral("Browse")));
        return c;
    }
    static QString notes(qint32 playlist, qint64 seq) {
        PLA.clear();
        PLA.PlaylistID = playlist;
        PLA.PlaylistSeq = seq;
        return PLA.get(PLA.KeyPlaylistID) ? PLA.PLAYLISTNOTES.str() : QStringLiteral("none");
    }
    // The entry form for a new entry of the playlist.
    std::shared_ptr<Call> newEntry(qint32 playlist) {
        return call(UpdatePlaylistDetails, InsertRecord, [playlist] {
            PLA.clear();
            PLA.PlaylistID = playlist;
        });
    }
};

TEST_F(PlaylistsTest, TheMenuOffersWhatCanRunAndThePrintsTakeTheHighlightedPlaylist) {
    auto c = openList();
    ASSERT_TRUE(list);
    EXPECT_EQ(window(*c)->windowTitle(), "Playlists");
    const QStringList later{"Add", "~Change", "~Delete", "-", "~Print", "~Top 40", "-", "~Generate Play List"};
    EXPECT_EQ(popup(*c), later);

    EXPECT_FALSE(findControl(window(*c), "Print")->isEnabled());
    ASSERT_TRUE(press(*c, "Close"));

    QStringList printed;
    for (const char *name : {"PrintPlaylist", "PrintPlaylistChart", "GeneratePlaylist"})
        registerProcedure(QString::fromLatin1(name), [&printed, name] {
            printed << QStringLiteral("%1 %2").arg(QString::fromLatin1(name)).arg(PLD.PlaylistID.value());
        });
    c = openList();
    EXPECT_EQ(popup(*c), (QStringList{"Add", "~Change", "~Delete", "-", "Print", "Top 40", "-", "Generate Play List"}));
    ASSERT_TRUE(press(*c, "Print"));
    EXPECT_TRUE(printed.isEmpty()) << "no playlist to print";

    addPlaylist(4, "Zydeco");
    addPlaylist(7, "Blues");
    ASSERT_TRUE(press(*c, "Close"));
    c = openList();
    EXPECT_EQ(listRows(list), (QStringList{"Blues", "Zydeco"}));
    QTest::keyClick(list, 'z');
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(press(*c, "Print") && press(*c, "Top 40"));
    EXPECT_EQ(printed, (QStringList{"PrintPlaylist 4", "PrintPlaylistChart 4"}));
    EXPECT_EQ(window(*c)->windowTitle(), "Playlists");
    ASSERT_TRUE(press(*c, "Close"));
}

TEST_F(PlaylistsTest, AddAndDeleteThroughTheFormWithTheEntries) {
    roadTrip(3);
    addPlaylist(2, "Keep");
    addEntry(2, 1, 5);
    auto c = openList();
    ASSERT_TRUE(press(*c, "Add"));
    ASSERT_TRUE(type(*c, "PLD:PLAYLISTDESCRIPTION", "New One"));
    ASSERT_TRUE(press(*c, "Ok"));
    EXPECT_EQ(playlists(), (QStringList{"1:Road Trip", "2:Keep", "3:New One"}));
    EXPECT_EQ(listRows(list), (QStringList{"Keep", "New One", "Road Trip"}));

    ASSERT_TRUE(selectRowByKey(list, 0, "Road Trip") && runUntilIdle() && press(*c, "Delete"));
    ASSERT_TRUE(answer(*c, ButtonOK));
    EXPECT_EQ(playlists(), (QStringList{"2:Keep", "3:New One"}));
    EXPECT_TRUE(entries(1).isEmpty());
    EXPECT_EQ(entries(2), QStringList{"1:5"});
    ASSERT_TRUE(press(*c, "Close"));
}

// A new entry follows the last of its own playlist, whatever other playlists hold.
TEST_F(PlaylistsTest, TheEntryFormNumbersWithinItsPlaylistAndShowsItsSong) {
    addPlaylist(1, "Empty");
    addPlaylist(2, "Seven");
    for (int s = 1; s <= 7; ++s)
        addEntry(2, s, s);
    addPlaylist(3, "Later");
    addEntry(3, 12, 1);
    auto c = newEntry(1);
    EXPECT_EQ(window(*c)->windowTitle(), "Adding a Playlist Detail");
    ASSERT_TRUE(type(*c, "PLA:PLAYLISTNOTES", QString(50, 'n')));
    ASSERT_TRUE(press(*c, "Ok"));
    EXPECT_EQ(entries(1), QStringList{"1:0"});
    EXPECT_EQ(notes(1, 1), QString(40, 'n'));

    c = newEntry(2);
    EXPECT_EQ(shown(*c, "MUS:Artist"), "");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_QuoteLeft, Qt::ControlModifier);   // ditto
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(press(*c, "Select Song"));
    auto *picker = qobject_cast<ListControl *>(findControl(window(*c), "Browse"));
    ASSERT_TRUE(picker && selectRowByKey(picker, 1, "Song 3") && runUntilIdle() && press(*c, "Select"));
    EXPECT_EQ(shown(*c, "MUS:Title"), "Song 3");
    ASSERT_TRUE(press(*c, "Ok"));
    EXPECT_EQ(entries(2).last(), "8:3");
    EXPECT_EQ(notes(2, 8), QString(40, 'n'));

    // Changing shows the entry's song; a cancelled new entry leaves nothing.
    c = call(UpdatePlaylistDetails, ChangeRecord, [] {
        PLA.clear();
        PLA.PlaylistID = 2;
        PLA.PlaylistSeq = 8;
        ASSERT_TRUE(PLA.get(PLA.KeyPlaylistID));
    });
    EXPECT_EQ(window(*c)->windowTitle(), "Changing a Playlist Detail");
    EXPECT_EQ(shown(*c, "MUS:Artist"), "Artist 3");
    ASSERT_TRUE(press(*c, "Cancel"));
    c = newEntry(3);
    ASSERT_TRUE(press(*c, "Cancel"));
    EXPECT_EQ(entries(3), QStringList{"12:1"});
}

TEST_F(PlaylistsTest, TheTotalKeepsTheHundredthOnceAndSkipsWhatIsGone) {
    addPlaylist(1, "Hundred");
    for (int s = 1; s <= 100; ++s)
        addEntry(1, s, 1);   // 1:01 each
    addEntry(1, 101, 99);
    addEntry(1, 102, 0);
    addEntry(2, 1, 10);
    qint32 total = -1;
    ASSERT_TRUE(playlistTotalTime(1, total));
    EXPECT_EQ(total, 100 * 6100 + 1);
    ASSERT_TRUE(playlistTotalTime(3, total));
    EXPECT_EQ(total, 0);
}

TEST_F(PlaylistsTest, OnlyAPositiveNumberOfAnExistingSongIsADroppedSong) {
    EXPECT_EQ(droppedSong(" 10 "), 10);
    for (const char *bad : {"", "0", "-1", "1.5", "1e2", "0x1", "11", "4294967297"})
        EXPECT_EQ(droppedSong(QString::fromLatin1(bad)), std::nullopt) << bad;
}

// Every third failed add asks; Retry tries three more times.
TEST_F(PlaylistsTest, AnAppendThatKeepsFailingAsksAndGivesUp) {
    addEntry(1, 1, 2);
    entriesSql(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON records BEGIN SELECT RAISE(ABORT, 'no'); END"));
    Appended outcome{};
    const auto shown = runAnswering([&outcome] { outcome = appendToPlaylist(1, 4); }, {ButtonRetry, ButtonCancel});
    EXPECT_EQ(outcome, Appended::GaveUp);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "Auto Increment Error");
    entriesSql(QStringLiteral("DROP TRIGGER refuse"));
    EXPECT_EQ(appendToPlaylist(1, 4), Appended::Added);
    EXPECT_EQ(entries(1), (QStringList{"1:2", "2:4"}));
}

} // namespace
