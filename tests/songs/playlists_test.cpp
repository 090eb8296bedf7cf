// The playlist list with its menu and the procedures of later windows, the entry form, and the
// entries' arithmetic without a window: the total time and the append that keeps failing.
#include "core/procedures.h"
#include "playlisttest.h"
#include "songs/browseplaylists.h"
#include "songs/playlistentries.h"
#include "songs/updateplaylistdetails.h"
#include "support/windows/scriptedanswers.h"

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
    Started openList() {
        auto c = callOnThread(BrowsePlayLists, 0);
        list = qobject_cast<ListControl *>(findControl(window(*c), QStringLiteral("Browse")));
        return c;
    }
    QStringList popup(const Call &c) { return listPopupItems(c.thread, list); }
};

TEST_F(PlaylistsTest, TheListOffersWhatCanRunPrintsTheHighlightedAndDeletesWithEntries) {
    auto c = openList();
    EXPECT_EQ(popup(*c), (QStringList{"Add", "~Change", "~Delete", "-", "~Print", "~Top 40", "-", "~Generate Play List"}));
    ASSERT_TRUE(press(*c, "Close"));

    QStringList printed;
    for (const char *name : {"PrintPlaylist", "PrintPlaylistChart", "GeneratePlaylist"})
        registerProcedure(QString::fromLatin1(name), [&printed, name] {
            printed << QStringLiteral("%1 %2").arg(QString::fromLatin1(name)).arg(PLD.PlaylistID.value());
        });
    c = openList();
    EXPECT_EQ(popup(*c), (QStringList{"Add", "~Change", "~Delete", "-", "Print", "Top 40", "-", "Generate Play List"}));
    ASSERT_TRUE(press(*c, "Add") && type(*c, "PLD:PLAYLISTDESCRIPTION", "Zydeco") && press(*c, "Ok"));
    addPlaylist(5, "Road Trip");
    addEntry(5, 1, 1);
    addPlaylist(7, "Blues");
    addEntry(7, 1, 5);
    ASSERT_TRUE(press(*c, "Close"));
    c = openList();
    EXPECT_EQ(window(*c)->windowTitle(), "Playlists");
    EXPECT_EQ(listRows(list), (QStringList{"Blues", "Road Trip", "Zydeco"}));
    QTest::keyClick(list, 'z');
    ASSERT_TRUE(runUntilIdle() && press(*c, "Print") && press(*c, "Top 40"));
    EXPECT_EQ(printed, (QStringList{"PrintPlaylist 1", "PrintPlaylistChart 1"}));

    ASSERT_TRUE(selectRowByKey(list, 0, "Road Trip") && runUntilIdle() && press(*c, "Delete") && answer(*c, ButtonOK));
    EXPECT_EQ(playlists(), (QStringList{"1:Zydeco", "7:Blues"}));
    EXPECT_TRUE(entries(5).isEmpty());
    EXPECT_EQ(entries(7), QStringList{"1:5"});
    ASSERT_TRUE(press(*c, "Close"));
}

// A new entry follows the last of its own playlist, whatever other playlists hold.
TEST_F(PlaylistsTest, TheEntryFormNumbersWithinItsPlaylistAndShowsItsSong) {
    roadTrip(7);
    addPlaylist(2, "Empty");
    addPlaylist(3, "Later");
    addEntry(3, 12, 1);
    for (qint32 playlist : {2, 1}) {
        auto c = callOnThread(UpdatePlaylistDetails, InsertRecord, [playlist] {
            PLA.clear();
            PLA.PlaylistID = playlist;
        });
        EXPECT_EQ(window(*c)->windowTitle(), "Adding a Playlist Detail");
        ASSERT_TRUE(type(*c, "PLA:PLAYLISTNOTES", QString(50, 'n')) && press(*c, "Select Song"));
        auto *picker = qobject_cast<ListControl *>(findControl(window(*c), "Browse"));
        ASSERT_TRUE(picker && selectRowByKey(picker, 1, "Song 3") && runUntilIdle() && press(*c, "Select"));
        EXPECT_EQ(shown(*c, "MUS:Artist"), "Artist 3");
        ASSERT_TRUE(press(*c, "Ok"));
        EXPECT_EQ(PLA.PLAYLISTNOTES.str(), QString(40, 'n'));
    }
    EXPECT_EQ(entries(2), QStringList{"1:3"});
    EXPECT_EQ(entries(1).last(), "8:3");
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
