// The album form's track list: its rows, the song form calls that keep the order, re-assign,
// drops from the song list of another thread, and a cancelled new album giving its songs back.
#include "albumtest.h"
#include "songs/browsesongs.h"

#include <QPushButton>
#include <QTest>

using namespace albumtest;

namespace {

class TrackListTest : public AlbumTest {
protected:
    void SetUp() override {
        AlbumTest::SetUp();
        addAlbum(1, "Queen", "Jazz", "F1");
        for (int t = 1; t <= 5; ++t)
            addSong(t, QStringLiteral("Song %1").arg(t), 1, 1, t);
        addSong(6, "Other side", 1, 2, 1);
    }
    // Opens the album's form on its Songs tab.
    Started songs(qint32 album = 1) {
        auto c = change(album);
        EXPECT_TRUE(chooseTab(c->thread, "Songs"));
        list = trackList(*c);
        EXPECT_TRUE(list);
        return c;
    }
    bool pick(int row) { return clickRow(list, row) && runUntilIdle(); }
    QString currentTitle() const { return list->rowTexts(list->currentRow()).value(3).trimmed(); }
    ListControl *list = nullptr;
};

TEST_F(TrackListTest, RowsShowSideTrackAndTimeAndTheSideLocatorJumps) {
    MUS.clear();
    MUS.ID = 2;
    ASSERT_TRUE(MUS.get(MUS.KEYID));
    MUS.Time = 20501;   // 3:25, counted from midnight plus one
    MUS.Mix = "Live";
    ASSERT_TRUE(MUS.put());
    auto c = songs();
    const QStringList rows = listRows(list);
    ASSERT_EQ(rows.size(), 6);
    EXPECT_EQ(rows[1].section('|', 0, 1).remove(' '), "(1)|2");
    EXPECT_EQ(rows[1].section('|', 3, 4).trimmed(), "Song 2 (Live)| 3:25");
    EXPECT_EQ(rows[5].section('|', 0, 3).remove(' '), "(2)|1||Otherside");
    EXPECT_TRUE(findControl(window(*c), "Copy")->isEnabled());
    list->setFocus();
    QTest::keyClick(list, '2');
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(currentTitle(), "Other side");
    ASSERT_TRUE(press(*c, "Cancel"));
}

TEST_F(TrackListTest, AddFollowsTheHighlightedSongOfItsSideAndDeleteClosesTheGap) {
    auto c = songs();
    ASSERT_TRUE(pick(1));   // song 2 of 5
    ASSERT_TRUE(press(*c, "Add"));
    ASSERT_TRUE(type(*c, "MUS:Title", "New"));
    ASSERT_TRUE(press(*c, "OK"));
    EXPECT_EQ(tracks(1), (QStringList{"1.1:Song 1", "1.2:Song 2", "1.3:New", "1.4:Song 3", "1.5:Song 4",
                                      "1.6:Song 5", "2.1:Other side"}));
    EXPECT_EQ(currentTitle(), "New");

    ASSERT_TRUE(pick(5));   // the last of side 1: the new song stays at the end
    ASSERT_TRUE(press(*c, "Add"));
    ASSERT_TRUE(type(*c, "MUS:Title", "Last"));
    ASSERT_TRUE(press(*c, "OK"));
    EXPECT_EQ(tracks(1).mid(5, 3), (QStringList{"1.6:Song 5", "1.7:Last", "2.1:Other side"}));

    // A new song put on another side than the highlighted one stays where its side puts it.
    ASSERT_TRUE(pick(0));
    ASSERT_TRUE(type(*c, "GLO:Side", "2"));
    ASSERT_TRUE(press(*c, "Add"));
    ASSERT_TRUE(type(*c, "MUS:Title", "Side two"));
    ASSERT_TRUE(press(*c, "OK"));
    EXPECT_EQ(tracks(1).mid(7), (QStringList{"2.1:Other side", "2.2:Side two"}));

    ASSERT_TRUE(pick(1));   // "Song 2"
    ASSERT_TRUE(press(*c, "Delete"));
    ASSERT_TRUE(answer(*c, ButtonOK));
    EXPECT_EQ(tracks(1), (QStringList{"1.1:Song 1", "1.2:New", "1.3:Song 3", "1.4:Song 4", "1.5:Song 5",
                                      "1.6:Last", "2.1:Other side", "2.2:Side two"}));
    ASSERT_TRUE(press(*c, "OK"));
}

TEST_F(TrackListTest, MovesKeepTheSideInOrderAndStopAtItsEnds) {
    auto c = songs();
    ASSERT_TRUE(pick(0));
    ASSERT_TRUE(press(*c, "MoveUp"));
    ASSERT_TRUE(pick(4));
    ASSERT_TRUE(press(*c, "MoveDown"));   // the last of side 1: side 2 is another range
    EXPECT_EQ(tracks(1), (QStringList{"1.1:Song 1", "1.2:Song 2", "1.3:Song 3", "1.4:Song 4", "1.5:Song 5",
                                      "2.1:Other side"}));
    ASSERT_TRUE(pick(1));
    ASSERT_TRUE(press(*c, "MoveBottom"));
    EXPECT_EQ(tracks(1), (QStringList{"1.1:Song 1", "1.2:Song 3", "1.3:Song 4", "1.4:Song 5", "1.5:Song 2",
                                      "2.1:Other side"}));
    EXPECT_EQ(currentTitle(), "Song 2");
    ASSERT_TRUE(press(*c, "MoveTop"));
    ASSERT_TRUE(press(*c, "MoveDown"));
    EXPECT_EQ(tracks(1), (QStringList{"1.1:Song 1", "1.2:Song 2", "1.3:Song 3", "1.4:Song 4", "1.5:Song 5",
                                      "2.1:Other side"}));
    ASSERT_TRUE(press(*c, "Cancel"));
}

TEST_F(TrackListTest, EditAllSongsStopsAtTheFirstFormLeftWithCancel) {
    auto c = songs();
    ASSERT_TRUE(press(*c, "Edit All Songs"));
    for (const char *title : {"Edited 1", "Edited 2"}) {
        ASSERT_TRUE(type(*c, "MUS:Title", title));
        ASSERT_TRUE(press(*c, "OK"));
    }
    ASSERT_EQ(controlText(c->thread, "MUS:Title").trimmed(), "Song 3");
    ASSERT_TRUE(press(*c, "Cancel"));
    EXPECT_EQ(window(*c)->windowTitle(), "Changing an Album Record");
    EXPECT_EQ(tracks(1).mid(0, 3), (QStringList{"1.1:Edited 1", "1.2:Edited 2", "1.3:Song 3"}));
    ASSERT_TRUE(press(*c, "Cancel"));
}

TEST_F(TrackListTest, ReassignAsksAndCountsOrTellsWhatWasMissing) {
    addSong(7, "Loose 1", 0, 1, 9, "F1", "cd");
    addSong(8, "Loose 2", 3, 1, 9, "f1", "CD");
    auto c = songs();
    ASSERT_TRUE(press(*c, "Re-assign Songs"));
    EXPECT_EQ(messageText(c->thread),
              "Do you want to assign all songs with file number \"F1\" and media type \"CD\" to this album?");
    ASSERT_TRUE(answer(*c, ButtonYes));
    EXPECT_EQ(messageText(c->thread), "2 songs assigned.");
    ASSERT_TRUE(answer(*c, ButtonOK));
    EXPECT_EQ(listRows(list).size(), 8);
    EXPECT_EQ(albumOfSong(8), 1);
    ASSERT_TRUE(press(*c, "OK"));

    addAlbum(2, "Abba", "Arrival", "F7");
    c = songs(2);
    ASSERT_TRUE(press(*c, "Re-assign Songs"));
    ASSERT_TRUE(answer(*c, ButtonYes));
    EXPECT_EQ(messageText(c->thread), "No songs with that media type and file number were found.");
    ASSERT_TRUE(answer(*c, ButtonOK));
    ASSERT_TRUE(press(*c, "Re-assign Songs"));
    ASSERT_TRUE(answer(*c, ButtonCancel));
    EXPECT_EQ(messageText(c->thread), "");
    EXPECT_EQ(listRows(list).size(), 0);
    ASSERT_TRUE(press(*c, "Cancel"));
}

TEST_F(TrackListTest, ASongDraggedFromTheSongListOfAnotherThreadIsCopiedIn) {
    addAlbum(2, "Abba", "Arrival", "F7");
    addSong(20, "Fernando", 2, 1, 1);
    const int songList = startThread([] { BrowseSongs(); });
    ASSERT_TRUE(runUntilIdle());
    auto *from = activeWindow(songList)->findChild<ListControl *>();
    ASSERT_TRUE(from);
    activeWindow(songList)->move(600, 0);
    auto c = songs();
    ASSERT_TRUE(selectRowByKey(from, 1, "Fernando") && runUntilIdle());
    const QPoint at = from->viewport()->mapTo(from, from->visualRect(from->listModel()->index(from->currentRow(), 0)).center());
    ASSERT_TRUE(dragAndDrop(from, list, at));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(albumOfSong(20), 2);   // the dragged song stays in its album
    EXPECT_EQ(albumOfSong(21), 1);   // its copy is this album's
    EXPECT_EQ(listRows(list).size(), 7);
    EXPECT_EQ(currentTitle(), "Fernando");

    // A song of this album dropped on it does nothing.
    const QPoint own = list->viewport()->mapTo(list, list->visualRect(list->listModel()->index(0, 0)).center());
    ASSERT_TRUE(dragAndDrop(list, list, own));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(MUS.records(), 8);
    ASSERT_TRUE(press(*c, "Cancel"));
    ASSERT_TRUE(pressButton(songList, "Close") && runUntilIdle());
}

TEST_F(TrackListTest, ACancelledNewAlbumDeletesItsNewSongsAndReturnsTheReassignedOnes) {
    addSong(7, "Loose", 0, 1, 9, "F9");
    addSong(8, "Of another album", 1, 1, 8, "F9");
    for (int way = 0; way < 2; ++way) {
        auto c = open(InsertRecord);
        ASSERT_TRUE(type(*c, "ALB:FileNumber", "F9"));
        ASSERT_TRUE(chooseTab(c->thread, "Songs"));
        list = trackList(*c);
        ASSERT_TRUE(press(*c, "Re-assign Songs"));
        ASSERT_TRUE(answer(*c, ButtonYes));
        ASSERT_TRUE(answer(*c, ButtonOK));
        ASSERT_TRUE(press(*c, "Add"));   // the song form, over the album form
        ASSERT_TRUE(type(*c, "MUS:Title", "Brand new"));
        ASSERT_TRUE(press(*c, "OK"));
        EXPECT_EQ(listRows(list).size(), 3);
        if (way == 0)
            ASSERT_TRUE(press(*c, "Cancel"));
        else
            ASSERT_TRUE(closeByUser(window(*c)) && runUntilIdle());
        ASSERT_TRUE(c->done);
        EXPECT_EQ(ALB.records(), 1);
        EXPECT_EQ(albumOfSong(7), 0);
        EXPECT_EQ(albumOfSong(8), 1);
        EXPECT_EQ(MUS.records(), 8) << "the new song is gone";
    }
    // The next new album, primed with the same identifier, starts empty.
    auto c = open(InsertRecord);
    ASSERT_TRUE(chooseTab(c->thread, "Songs"));
    EXPECT_EQ(listRows(trackList(*c)).size(), 0);
    ASSERT_TRUE(press(*c, "Cancel"));
}

} // namespace
