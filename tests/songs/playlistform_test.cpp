// The playlist form: its entries with their songs and total, the moves, Add after the
// highlighted entry, Delete closing the gap, drops, the header's checks and ditto, and what a
// cancelled new playlist and a failed reordering leave behind.
#include "playlisttest.h"
#include "runtime/data/transaction.h"
#include "runtime/threads/threadwindows.h"
#include "runtime/values/dates.h"
#include "songs/browsesongs.h"

#include <QApplication>
#include <QTest>

using namespace songtest;

namespace {

class PlaylistFormTest : public PlaylistTest {
protected:
    // A drop as a drag of songs ends on the entries list.
    void drop(const Call &c, const QString &text) {
        Event e = Event::of(EventKind::Drop, window(c), list);
        e.text = text;
        e.source = QString::fromLatin1(kSongsDrag);
        postToWindow(window(c), e);
        ASSERT_TRUE(runUntilIdle());
    }
    QString current() const { return cell(list->currentRow(), 0); }
    static void ditto() {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_QuoteLeft, Qt::ControlModifier);
        ASSERT_TRUE(runUntilIdle());
    }
};

TEST_F(PlaylistFormTest, RowsShowTheirSongsAndTheTotalLeavesOutWhatIsGone) {
    roadTrip(3);
    addEntry(1, 4, 99);   // its song was deleted
    addEntry(1, 5, 0);
    auto c = openPlaylist(ChangeRecord, 1);
    ASSERT_TRUE(list);
    EXPECT_EQ(window(*c)->windowTitle(), "Changing a Playlist Record");
    ASSERT_EQ(listRows(list).size(), 5);
    EXPECT_EQ(listRows(list)[1].split('|').mid(0, 4).join('|').remove(' '), "2|Artist2|Song2|00:02:01");
    EXPECT_EQ(listRows(list)[3].split('|').mid(0, 4).join('|').trimmed(), "4|||");
    EXPECT_EQ(shown(*c, "TotalTime"), "00:06:03");
    ASSERT_TRUE(press(*c, "Cancel"));
    EXPECT_EQ(entries(1).size(), 5);
}

TEST_F(PlaylistFormTest, MovesStopAtTheEndsAndShiftOnlyTheEntriesBetween) {
    roadTrip(8);
    auto c = openPlaylist(ChangeRecord, 1);
    ASSERT_TRUE(pick(0) && press(*c, "MoveUp"));
    ASSERT_TRUE(pick(7) && press(*c, "MoveDown"));
    EXPECT_EQ(entries(1), (QStringList{"1:1", "2:2", "3:3", "4:4", "5:5", "6:6", "7:7", "8:8"}));
    ASSERT_TRUE(pick(4) && press(*c, "MoveTop"));
    EXPECT_EQ(entries(1), (QStringList{"1:5", "2:1", "3:2", "4:3", "5:4", "6:6", "7:7", "8:8"}));
    EXPECT_EQ(current(), "1");   // the moved entry stays highlighted
    ASSERT_TRUE(press(*c, "MoveBottom") && press(*c, "MoveUp"));
    EXPECT_EQ(entries(1), (QStringList{"1:1", "2:2", "3:3", "4:4", "5:6", "6:7", "7:5", "8:8"}));
    EXPECT_EQ(current(), "7");
    ASSERT_TRUE(press(*c, "Ok"));
}

TEST_F(PlaylistFormTest, AddGoesAfterTheHighlightedEntryAndDeleteClosesTheGap) {
    roadTrip(6);
    auto c = openPlaylist(ChangeRecord, 1);
    ASSERT_TRUE(pick(2) && press(*c, "Add"));
    ASSERT_TRUE(type(*c, "PLA:PLAYLISTNOTES", "Encore") && press(*c, "Ok"));
    EXPECT_EQ(entries(1), (QStringList{"1:1", "2:2", "3:3", "4:0", "5:4", "6:5", "7:6"}));
    EXPECT_EQ(current(), "4");
    EXPECT_EQ(cell(3, 4), "Encore");

    ASSERT_TRUE(pick(1) && press(*c, "Delete") && answer(*c, ButtonOK));
    EXPECT_EQ(entries(1), (QStringList{"1:1", "2:3", "3:0", "4:4", "5:5", "6:6"}));
    EXPECT_EQ(listRows(list).size(), 6);
    ASSERT_TRUE(press(*c, "Ok"));
}

TEST_F(PlaylistFormTest, DropsAppendExistingSongsOnlyAlsoFromTheSongListOfAnotherThread) {
    addPlaylist(2, "Empty");
    roadTrip(2);
    auto c = openPlaylist(ChangeRecord, 2);
    for (const char *text : {"7", "7", "", "0", "-7", "7x", "99", "99999999999"})
        drop(*c, QString::fromLatin1(text));
    EXPECT_EQ(entries(2), (QStringList{"1:7", "2:7"}));
    EXPECT_EQ(current(), "2");
    EXPECT_EQ(shown(*c, "TotalTime"), "00:14:02");

    const int songList = startThread([] { BrowseSongs(); });
    ASSERT_TRUE(runUntilIdle());
    activeWindow(songList)->move(600, 0);
    auto *from = activeWindow(songList)->findChild<ListControl *>();
    ASSERT_TRUE(from && selectRowByKey(from, 1, "Song 4") && runUntilIdle());
    const QPoint at = from->viewport()->mapTo(from, from->visualRect(from->listModel()->index(from->currentRow(), 0)).center());
    ASSERT_TRUE(dragAndDrop(from, list, at) && runUntilIdle());
    EXPECT_EQ(entries(2), (QStringList{"1:7", "2:7", "3:4"}));
    EXPECT_EQ(entries(1), (QStringList{"1:1", "2:2"}));
    ASSERT_TRUE(press(*c, "Cancel") && pressButton(songList, "Close") && runUntilIdle());
}

// Whichever way a new playlist is cancelled its entries go with it: the next new playlist
// takes the same identifier and must start empty.
TEST_F(PlaylistFormTest, ACancelledNewPlaylistTakesItsEntriesAlong) {
    for (int way = 0; way < 2; ++way) {
        auto c = openPlaylist(InsertRecord);
        EXPECT_EQ(window(*c)->windowTitle(), "Adding a Playlist Record");
        drop(*c, "3");
        ASSERT_TRUE(press(*c, "Add") && press(*c, "Ok"));
        EXPECT_EQ(entries(1), (QStringList{"1:3", "2:0"}));
        ASSERT_TRUE(way == 0 ? press(*c, "Cancel") : closeByUser(window(*c)) && runUntilIdle());
        ASSERT_TRUE(c->done);
        EXPECT_TRUE(playlists().isEmpty());
        EXPECT_EQ(PLA.records(), 0);
    }
    auto c = openPlaylist(InsertRecord);
    EXPECT_EQ(listRows(list).size(), 0);
    ASSERT_TRUE(press(*c, "Cancel"));
}

TEST_F(PlaylistFormTest, TheHeaderIsCheckedStampedAndRecalled) {
    addPlaylist(1, "Chart");
    auto c = openPlaylist(InsertRecord);
    ASSERT_TRUE(type(*c, "PLD:PLAYLISTDESCRIPTION", "chart") && press(*c, "Ok"));
    EXPECT_EQ(messageText(c->thread), "Adding this record creates a duplicate entry for the key:Playlists");
    ASSERT_TRUE(answer(*c, ButtonOK));
    ASSERT_TRUE(type(*c, "PLD:PLAYLISTDESCRIPTION", "Charts") && press(*c, "Ok"));
    EXPECT_EQ(playlists(), (QStringList{"1:Chart", "2:Charts"}));
    EXPECT_EQ(PLD.LASTEDITDATE.value(), today());

    // Ok on an untouched playlist still writes: its date becomes today's.
    c = openPlaylist(ChangeRecord, 1);
    ASSERT_TRUE(press(*c, "Ok"));
    EXPECT_EQ(c->response, RequestCompleted);
    ASSERT_TRUE(PLD.get(PLD.KeyPlaylistID));
    EXPECT_EQ(PLD.LASTEDITDATE.value(), today());

    // The last completed header comes back in the description and the date, not in the notes.
    c = openPlaylist(InsertRecord);
    ASSERT_TRUE(chooseTab(c->thread, "Notes") && type(*c, "PLD:Notes", "mine") && clickInto(c->thread, "PLD:Notes"));
    ditto();
    EXPECT_EQ(shown(*c, "PLD:Notes"), "mine");
    ASSERT_TRUE(chooseTab(c->thread, "Play List") && clickInto(c->thread, "PLD:PLAYLISTDESCRIPTION"));
    ditto();
    EXPECT_EQ(shown(*c, "PLD:PLAYLISTDESCRIPTION"), "Chart");
    ASSERT_TRUE(press(*c, "Cancel"));
}

TEST_F(PlaylistFormTest, YearOnlyShowsTheYearOfTheDayItWasLastEdited) {
    DateFormat = "n4b";
    addPlaylist(1, "Generated");
    PLD.LASTEDITDATE = today();   // as the generator leaves it
    ASSERT_TRUE(PLD.put());
    auto c = openPlaylist(ChangeRecord, 1);
    EXPECT_EQ(shown(*c, "PLD:LASTEDITDATE"), QString::number(yearOf(today())));
    ASSERT_TRUE(press(*c, "Cancel"));
}

// A failed step is reported only after the rollback, so nothing another window writes while
// the message shows can join the reordering; a transaction that cannot begin changes nothing.
TEST_F(PlaylistFormTest, AFailedReorderingIsUndoneBeforeItIsReported) {
    roadTrip(5);
    const QStringList before = entries(1);
    entriesSql(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON records WHEN NEW.%1 = 2 "
                              "BEGIN SELECT RAISE(ABORT, 'refused'); END")
                   .arg(data::DataFile::columnName(PLA.structure().fields()[size_t(PLA.PlaylistSeq.index())])));
    auto c = openPlaylist(ChangeRecord, 1);
    ASSERT_TRUE(pick(4) && press(*c, "MoveTop"));
    EXPECT_TRUE(messageText(c->thread).startsWith("Record swap error: \r"));
    EXPECT_TRUE(messageText(c->thread).endsWith("Key Field PLA:PlaylistSeq = 2\rSection = Put Swap\r"));
    EXPECT_FALSE(data::inTransaction());
    ASSERT_TRUE(answer(*c, ButtonOK));
    EXPECT_EQ(entries(1), before);

    ASSERT_TRUE(data::beginTransaction(1, {&PLA}));
    ASSERT_TRUE(pick(0) && press(*c, "MoveDown"));
    EXPECT_TRUE(messageText(c->thread).endsWith(
        "attempting to frame the update transaction on PlaylistDetails.  Update transaction cancelled."));
    ASSERT_TRUE(answer(*c, ButtonOK) && data::rollbackTransaction());
    EXPECT_EQ(entries(1), before);
    ASSERT_TRUE(press(*c, "Cancel"));
}

} // namespace
