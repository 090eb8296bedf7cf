// Songs taken into an album without a window: the re-assign walk and its texts, a dropped song
// copied in, and what a cancelled new album gives back.
#include "albums/albumsonglist.h"
#include "albums/albumsongs.h"
#include "albumtest.h"

using namespace albumtest;

namespace {

class AlbumSongsTest : public AlbumTest {
protected:
    static AssignResult assign(qint32 album, const QString &media, const QString &fileNumber,
                               QList<QPair<qint32, qint32>> *moved = nullptr) {
        return assignSongsByMedia(album, media, fileNumber, [moved](qint32 id, qint32 former) {
            if (moved)
                moved->append({id, former});
        });
    }
};

TEST_F(AlbumSongsTest, AssignWalksOneMediaAndFileNumberAndTellsHowItEnded) {
    addSong(1, "A", 0, 1, 1, "F1", "CD");
    addSong(2, "B", 7, 1, 2, "f1", "cd");   // key case differs: the same media and number
    addSong(3, "C", 0, 1, 3, "F1", "Cd");
    addSong(4, "D", 0, 1, 1, "F2", "CD");
    addSong(5, "E", 0, 1, 1, "F1", "Vinyl");
    QList<QPair<qint32, qint32>> moved;
    AssignResult r = assign(9, "CD", "F1", &moved);
    EXPECT_EQ(r.assigned, 3);
    EXPECT_EQ(assignMessage(r), qMakePair(QStringLiteral("Process complete."), QStringLiteral("3 songs assigned.")));
    EXPECT_EQ(tracks(9), (QStringList{"1.1:A", "1.2:B", "1.3:C"}));
    EXPECT_EQ(albumOfSong(4), 0);
    EXPECT_EQ(albumOfSong(5), 0);
    EXPECT_EQ(moved, (QList<QPair<qint32, qint32>>{{1, 0}, {2, 7}, {3, 0}}));

    r = assign(9, "CD", "F0");   // the walk meets F1 first
    EXPECT_EQ(assignMessage(r).second, "No songs with that file number were found.");
    r = assign(9, "CASSETTE", "F1");   // ... and the next media after Cassette is CD
    EXPECT_EQ(assignMessage(r).first, "Process failed.");
    EXPECT_EQ(assignMessage(r).second, "No songs with that media type were found.");
    r = assign(9, "Zip", "F1");
    EXPECT_EQ(assignMessage(r).second, "No songs with that media type and file number were found.");
}

TEST_F(AlbumSongsTest, ADroppedSongIsCopiedWithTheNextIdentifierEvenAcrossGaps) {
    addSong(1, "One", 5, 2, 4);
    addSong(7, "Seven", 6, 1, 1);   // the record count (2) + 1 = 3 is free, 2 is not used
    addSong(3, "Three", 6, 1, 2);
    const qint32 copy = copySongIntoAlbum(1, 6);
    EXPECT_EQ(copy, 8);
    EXPECT_EQ(albumOfSong(1), 5);   // the dropped song stays where it was
    EXPECT_EQ(tracks(6), (QStringList{"1.1:Seven", "1.2:Three", "2.4:One"}));
    EXPECT_EQ(copySongIntoAlbum(7, 6), 0);    // already the album's
    EXPECT_EQ(copySongIntoAlbum(99, 6), 0);   // no such song
    EXPECT_EQ(MUS.records(), 4);
}

TEST_F(AlbumSongsTest, GivingBackDeletesTheCallsSongsAndReturnsMovedOnes) {
    addSong(1, "Before", 4, 1, 1);
    AlbumSongsTaken taken;
    ASSERT_TRUE(taken.start(4));
    addSong(2, "Added", 4, 1, 2);
    addSong(3, "Moved", 4, 1, 3);
    taken.moved(3, 8);
    addSong(5, "Moved on", 2, 1, 1);   // moved in and then out again by the user
    taken.moved(5, 9);
    addSong(6, "Elsewhere", 9, 1, 1);
    ASSERT_TRUE(taken.giveBack());
    EXPECT_EQ(tracks(4), QStringList{"1.1:Before"});
    EXPECT_EQ(albumOfSong(2), -1);
    EXPECT_EQ(albumOfSong(3), 8);
    EXPECT_EQ(albumOfSong(5), 2);
    EXPECT_EQ(albumOfSong(6), 9);
}

// Saved filter texts and other windows name the song lists' reset values: the album form's and
// the wizards' lists answer to the same names.
TEST_F(AlbumSongsTest, TheSongListsAnswerToTheirResetNames) {
    addAlbum(1, "Artist", "One");
    addAlbum(2, "Artist", "Two");
    addSong(1, "A1", 1, 1, 1);
    addSong(2, "B1", 1, 2, 1);
    addSong(3, "B2", 1, 2, 2);
    addSong(4, "Other", 2, 2, 1);
    auto row = [] { return std::vector<QVariant>{MUS.Title.str()}; };
    ListControl albumForm, wizard;
    for (ListControl *l : {&albumForm, &wizard}) {
        l->setFormat(QStringLiteral("80L~Title~@s30@"));
        l->resize(300, 200);
        l->show();
    }
    auto tracks = makeAlbumSongList(&albumForm, row);
    auto oneSide = makeAlbumSongList(&wizard, row, [] { return QVariant(qint64(2)); });
    tracks->setQueryFilter(QStringLiteral("MUS:AlbumID = BRW2::Sort1:Reset:ALB:AlbumID"));
    oneSide->setQueryFilter(
        QStringLiteral("MUS:AlbumID = BRW2::Sort1:Reset:ALB:AlbumID AND MUS:Side = BRW2::Sort1:Reset:GLO:Side"));
    bool loaded = false;
    startThread(
        [&] {
            loaded = loadAlbum(1) && tracks->refresh(0) && oneSide->refresh(0);
        },
        kMinimumThreadStack);
    ASSERT_TRUE(runUntilIdle());
    // A name the list does not bind fails its filter with a warning that would still be open.
    EXPECT_TRUE(loaded);
    EXPECT_EQ(listRows(&albumForm), (QStringList{"A1", "B1", "B2"}));
    EXPECT_EQ(listRows(&wizard), (QStringList{"B1", "B2"}));
}

} // namespace
