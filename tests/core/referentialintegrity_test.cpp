// Deletes and updates between files: refusals, cascades, rollbacks, records changed elsewhere
// and transactions that cannot begin.
#include "core/referentialintegrity.h"

#include "core/standardwarnings.h"
#include "coretest.h"
#include "runtime/data/transaction.h"

#include <QElapsedTimer>

using namespace tbk;
using namespace tbk::data;
using namespace coretest;

namespace {

const char *const kDeleteRefused = "This record is referenced from the file %1.  This record cannot be deleted while these references exist.";

class Integrity : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        for (DataFile *f : {static_cast<DataFile *>(&CF), static_cast<DataFile *>(&MUS), static_cast<DataFile *>(&ALB),
                            static_cast<DataFile *>(&CAT), static_cast<DataFile *>(&MED), static_cast<DataFile *>(&PLD),
                            static_cast<DataFile *>(&PLA), static_cast<DataFile *>(&TIP), static_cast<DataFile *>(&LAB),
                            static_cast<DataFile *>(&FON), static_cast<DataFile *>(&AW)})
            openForUse(*f);
        ASSERT_TRUE(MUS.isOpen() && AW.isOpen());
    }

    static void addSong(int id, int albumID, const QString &fileNumber, const QString &media = {}, int category = 0) {
        MUS.clear();
        MUS.ID = id;
        MUS.Title = QStringLiteral("song %1").arg(id);
        MUS.AlbumID = albumID;
        MUS.FileNumber = fileNumber;
        MUS.Media = media;
        MUS.CategoryID = category;
        MUS.TrackNumber = id;
        ASSERT_TRUE(MUS.add()) << errorCode();
    }
    static void addAlbum(int id, const QString &fileNumber, int category = 0) {
        ALB.clear();
        ALB.AlbumID = id;
        ALB.Album = QStringLiteral("album %1").arg(id);
        ALB.FileNumber = fileNumber;
        ALB.CategoryID = category;
        ASSERT_TRUE(ALB.add()) << errorCode();
    }
    // Every song as "id:album:file number:media:category", in identifier order.
    static QStringList songs() {
        return rows(MUS, MUS.KEYID, [] {
            return QStringLiteral("%1:%2:%3:%4:%5").arg(MUS.ID.value()).arg(MUS.AlbumID.value())
                .arg(MUS.FileNumber.str(), MUS.Media.str()).arg(MUS.CategoryID.value());
        });
    }
    static QList<int> ids(DataFile &file, const Key &key, const std::function<int()> &id) {
        QList<int> out;
        file.set(key);
        while (file.next())
            out << id();
        return out;
    }

    // Runs the routine on a thread and gives its result; the messages it showed go to `shown`.
    int result(const std::function<int()> &routine, std::deque<int> answers = {}) {
        int r = -1;
        shown = run([&] { r = routine(); }, std::move(answers));
        EXPECT_FALSE(inTransaction());
        return r;
    }
    QStringList texts() const {
        QStringList t;
        for (const Shown &s : shown)
            t << s.text;
        return t;
    }

    std::vector<Shown> shown;
};

// ---------------------------------------------------------------- deletes

TEST_F(Integrity, ASongInAPlaylistIsNotDeleted) {
    addSong(1, 0, "");
    addSong(2, 0, "");
    addEntry(1, 1, 1);
    ASSERT_TRUE(loadSong(1));
    EXPECT_EQ(result(DeleteSongRecord), 1);
    EXPECT_EQ(texts(), QStringList{QString(kDeleteRefused).arg("PlaylistDetails")});
    EXPECT_EQ(shown[0].caption, "Referential Integrity Delete Error");
    ASSERT_TRUE(loadSong(2));
    EXPECT_EQ(result(DeleteSongRecord), 0);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(songs(), QStringList{"1:0:::0"});
}

TEST_F(Integrity, AnAlbumTakesItsSongsAndThoseOfItsFileNumberButNotAnotherAlbums) {
    addAlbum(1, "A1");
    addAlbum(2, "A1");   // another album with the same file number
    addSong(1, 1, "A1");
    addSong(2, 0, "a1");   // no album, same number (keys ignore case)
    addSong(3, 1, "");     // the album's, without a number
    addSong(4, 2, "A1");   // the other album's
    addSong(5, 0, "B2");
    addEntry(1, 1, 4);     // the other album's song may be in a playlist
    ASSERT_TRUE(loadAlbum(1));
    EXPECT_EQ(result(DeleteAlbumRecord), 0);
    EXPECT_TRUE(shown.empty()) << texts().join("\n").toStdString();
    EXPECT_EQ(songs(), QStringList({"4:2:A1::0", "5:0:B2::0"}));
    EXPECT_FALSE(loadAlbum(1));
    EXPECT_TRUE(loadAlbum(2));
}

TEST_F(Integrity, AnAlbumWithASongInAPlaylistIsNotDeletedAtAll) {
    // Whether the song in the playlist is found by the album's file number or by the album.
    for (int inPlaylist : {2, 3, 1}) {
        SCOPED_TRACE(inPlaylist);
        PLA.set(PLA.KEYID);
        while (PLA.next())
            ASSERT_TRUE(PLA.remove());
        MUS.set(MUS.KEYID);
        while (MUS.next())
            ASSERT_TRUE(MUS.remove());
        ALB.set(ALB.KEYALBUMID);
        while (ALB.next())
            ASSERT_TRUE(ALB.remove());
        addAlbum(1, "A1");
        addSong(1, 1, "A1");
        addSong(2, 0, "A1");
        addSong(3, 1, "");
        addEntry(7, 1, inPlaylist);
        const QStringList before = songs();
        ASSERT_TRUE(loadAlbum(1));
        EXPECT_EQ(result(DeleteAlbumRecord), 1);
        EXPECT_EQ(texts(), QStringList{QString(kDeleteRefused).arg("PlaylistDetails")});
        EXPECT_EQ(songs(), before);
        EXPECT_TRUE(loadAlbum(1));
    }
}

TEST_F(Integrity, AnAlbumWithoutFileNumberDeletesOnlyItsOwnSongs) {
    addAlbum(3, "");
    addSong(6, 0, "");
    addSong(7, 3, "");
    ASSERT_TRUE(loadAlbum(3));
    EXPECT_EQ(result(DeleteAlbumRecord), 0);
    EXPECT_EQ(songs(), QStringList{"6:0:::0"});
}

TEST_F(Integrity, CategoriesAndMediaInUseAreNotDeleted) {
    auto addCategory = [](int id, const char *name) {
        CAT.clear();
        CAT.CategoryID = id;
        CAT.Category = name;
        ASSERT_TRUE(CAT.add());
    };
    auto addMedia = [](const char *name) {
        MED.clear();
        MED.Media = name;
        ASSERT_TRUE(MED.add());
    };
    addCategory(1, "Rock");
    addCategory(2, "Jazz");
    addCategory(3, "Folk");
    addAlbum(1, "", 1);
    addSong(1, 0, "", "CD", 2);
    addMedia("cd");
    addMedia("Tape");
    struct Case {
        std::function<bool()> load;
        int (*routine)();
        int expected;
        QString refusedBy;
    };
    const auto category = [](int id) { return [id] { CAT.clear(); CAT.CategoryID = id; return CAT.get(CAT.KeyCategoryID); }; };
    const auto media = [](const char *name) { return [name] { MED.clear(); MED.Media = name; return MED.get(MED.KeyMedia); }; };
    const Case cases[] = {
        {category(1), DeleteCategoryRecord, 1, "Album"},
        {category(2), DeleteCategoryRecord, 1, "Tunebank"},
        {category(3), DeleteCategoryRecord, 0, {}},
        {media("cd"), DeleteMediaRecord, 1, "Tunebank"},   // the song says "CD": the same name to the key
        {media("Tape"), DeleteMediaRecord, 0, {}},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(c.load());
        EXPECT_EQ(result(c.routine), c.expected);
        EXPECT_EQ(texts(), c.refusedBy.isEmpty() ? QStringList() : QStringList{QString(kDeleteRefused).arg(c.refusedBy)});
    }
    EXPECT_EQ(ids(CAT, CAT.KeyCategoryID, [] { return int(CAT.CategoryID.value()); }), QList<int>({1, 2}));
    EXPECT_EQ(MED.records(), 1);
}

TEST_F(Integrity, APlaylistTakesAllItsEntries) {
    PLD.clear();
    PLD.PlaylistID = 1;
    PLD.PLAYLISTDESCRIPTION = "one";
    ASSERT_TRUE(PLD.add());
    for (int seq : {3, 1, 2})
        addEntry(1, seq, seq);
    addEntry(2, 1, 9);
    PLD.clear();
    PLD.PlaylistID = 1;
    ASSERT_TRUE(PLD.get(PLD.KeyPlaylistID));
    EXPECT_EQ(result(DeletePlaylistMasterRecord), 0);
    EXPECT_EQ(PLD.records(), 0);
    EXPECT_EQ(ids(PLA, PLA.KeyPlaylistID, [] { return int(PLA.PlaylistID.value()); }), QList<int>{2});
}

// The files nobody refers to: deleted and changed alone.
TEST_F(Integrity, FilesWithoutDependantsAreDeletedAndChangedAlone) {
    struct Case {
        DataFile *file;
        std::function<void(int)> fill;   // a record numbered n
        int (*remove)();
        int (*update)(bool);
        std::function<QString()> text;   // a field the update changes
        std::function<void(const QString &)> setText;
    };
    const Case cases[] = {
        {&MUS, [](int n) { MUS.ID = n; }, DeleteSongRecord, UpdateSongRecord, [] { return MUS.Title.str(); }, [](const QString &t) { MUS.Title = t; }},
        {&PLD, [](int n) { PLD.PlaylistID = n; }, DeletePlaylistMasterRecord, UpdatePlaylistMasterRecord, [] { return PLD.PLAYLISTDESCRIPTION.str(); }, [](const QString &t) { PLD.PLAYLISTDESCRIPTION = t; }},
        {&PLA, [](int n) { PLA.PlaylistID = 1; PLA.PlaylistSeq = n; }, DeletePlaylistDetailRecord, UpdatePlaylistDetailRecord, [] { return PLA.PLAYLISTNOTES.str(); }, [](const QString &t) { PLA.PLAYLISTNOTES = t; }},
        {&TIP, [](int n) { TIP.ID = n; TIP.TIP = QString::number(n); }, DeleteTipRecord, UpdateTipRecord, [] { return TIP.TIP.str(); }, [](const QString &t) { TIP.TIP = t; }},
        {&LAB, [](int n) { LAB.LabelID = n; }, DeleteLabelRecord, UpdateLabelRecord, [] { return LAB.LABELDESCRIPTION.str(); }, [](const QString &t) { LAB.LABELDESCRIPTION = t; }},
        {&FON, [](int n) { FON.FONTID = n; FON.TYPEFACE = QString::number(n); }, DeleteFontRecord, UpdateFontRecord, [] { return FON.STYLE.str(); }, [](const QString &t) { FON.STYLE = t; }},
        {&AW, [](int n) { AW.Instance = 1; AW.Track = n; }, DeleteAddWizardRecord, UpdateAddWizardRecord, [] { return AW.TITLE.str(); }, [](const QString &t) { AW.TITLE = t; }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file->label().toStdString());
        Position first = 0;
        for (int n : {1, 2}) {
            c.file->clear();
            c.fill(n);
            ASSERT_TRUE(c.file->add()) << errorCode();
            if (n == 1)
                first = c.file->position();
        }
        ASSERT_TRUE(c.file->get(first));
        c.setText("changed");
        EXPECT_EQ(result([&] { return c.update(false); }), 0);
        ASSERT_TRUE(c.file->get(first));
        EXPECT_EQ(c.text(), "changed");
        EXPECT_EQ(result(c.remove), 0);
        EXPECT_TRUE(shown.empty());
        EXPECT_EQ(c.file->records(), 1);
    }
}

TEST_F(Integrity, ARecordDeletedMeanwhileIsReportedAndNothingElseHappens) {
    addSong(1, 0, "");
    ASSERT_TRUE(loadSong(1));
    const Record form = MUS.record();
    ASSERT_TRUE(MUS.remove());
    MUS.setRecord(form);
    EXPECT_EQ(result(DeleteSongRecord), 1);
    EXPECT_EQ(texts(), QStringList{"Error: (Record Not Found (35)) attempting to access a record from the Tunebank file.  Returning to previous window."});
}

// ---------------------------------------------------------------- failures of a cascade

class FailingCascade : public Integrity {
protected:
    // The songs file is open for reading only through MUS; A_S can still write it.
    static void songsReadOnly() {
        closeAfterUse(MUS);
        ASSERT_FALSE(MUS.isOpen());
        ASSERT_TRUE(MUS.open(SharedReadOnly));
        openForUse(MUS);
        ASSERT_EQ(FileUseCount(MUS), 1);
    }
    static void songsWritable() {
        closeAfterUse(MUS);
        openForUse(MUS);
    }
};

TEST_F(FailingCascade, AFailedDeleteOfASongUndoesTheSongsAlreadyDeleted) {
    addAlbum(1, "A1");
    addSong(1, 0, "A1");   // deleted first, through A_S
    addSong(2, 1, "");     // then this one fails
    const QStringList before = songs();
    songsReadOnly();
    ASSERT_TRUE(loadAlbum(1));
    EXPECT_EQ(result(DeleteAlbumRecord), 1);
    EXPECT_EQ(texts(), QStringList{"An error (Access Denied (5)) was experienced when attempting to delete a record from the file Tunebank."});
    EXPECT_EQ(songs(), before);
    EXPECT_TRUE(loadAlbum(1));
}

TEST_F(FailingCascade, AFailedWriteOfASongUndoesTheChange) {
    MED.clear();
    MED.Media = "CD";
    ASSERT_TRUE(MED.add());
    addSong(1, 0, "", "CD");
    songsReadOnly();
    CaptureMediaLinks();
    MED.Media = "Vinyl";
    EXPECT_EQ(result([] { return UpdateMediaRecord(false); }), 1);
    EXPECT_EQ(texts(), QStringList{"An error (Access Denied (5)) was experienced when attempting to update a record from the file.  Probable Cause: Tunebank."});
    EXPECT_EQ(songs(), QStringList{"1:0::CD:0"});
    EXPECT_EQ(MED.Media.str(), "Vinyl");
    const Record form = MED.record();
    ASSERT_FALSE(MED.get(MED.KeyMedia));   // "Vinyl" was never written
    MED.setRecord(form);

    // Once the songs can be written, the same buffer goes through.
    songsWritable();
    EXPECT_EQ(result([] { return UpdateMediaRecord(false); }), 0);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(songs(), QStringList{"1:0::Vinyl:0"});
}

TEST_F(FailingCascade, AnAlbumWhoseSongCannotFollowItIsNotChangedAtAll) {
    addAlbum(1, "A1");
    addSong(1, 1, "A1");
    const QStringList before = songs();
    songsReadOnly();
    ASSERT_TRUE(loadAlbum(1));
    CaptureAlbumLinks();
    ALB.Album = "renamed";
    ALB.FileNumber = "Z9";   // written through A_S before the song is refused
    EXPECT_EQ(result([] { return UpdateAlbumRecord(false); }), 1);
    EXPECT_EQ(texts(), QStringList{"An error (Access Denied (5)) was experienced when attempting to update a record from the file.  Probable Cause: Tunebank."});
    EXPECT_EQ(songs(), before);
    ASSERT_TRUE(loadAlbum(1));
    EXPECT_EQ(ALB.Album.str() + "/" + ALB.FileNumber.str(), "album 1/A1");
}

// ---------------------------------------------------------------- updates

TEST_F(Integrity, ARenamedMediaFormatIsRenamedInEverySong) {
    MED.clear();
    MED.Media = "CD";
    ASSERT_TRUE(MED.add());
    addSong(1, 0, "", "CD");
    addSong(2, 0, "", "cd");
    addSong(3, 0, "", "Tape");
    const auto versions = [] {
        QList<qint64> v;
        MUS.set(MUS.KEYID);
        while (MUS.next())
            v << MUS.record().version;
        return v;
    };
    const QList<qint64> before = versions();

    CaptureMediaLinks();
    EXPECT_EQ(result([] { return UpdateMediaRecord(false); }), 0);   // the same name
    EXPECT_EQ(versions(), before);

    CaptureMediaLinks();
    MED.Media = "Compact Disc";
    EXPECT_EQ(result([] { return UpdateMediaRecord(false); }), 0);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(songs(), QStringList({"1:0::Compact Disc:0", "2:0::Compact Disc:0", "3:0::Tape:0"}));
    MED.clear();
    MED.Media = "CD";
    EXPECT_FALSE(MED.get(MED.KeyMedia));
}

TEST_F(Integrity, ACategoryIdentifierAnAlbumUsesIsRestoredAndTheChangeUndone) {
    CAT.clear();
    CAT.CategoryID = 5;
    CAT.Category = "Rock";
    ASSERT_TRUE(CAT.add());
    addAlbum(1, "", 5);
    addSong(1, 0, "", "", 5);
    CaptureCategoryLinks();
    CAT.CategoryID = 6;
    CAT.Category = "Pop";
    EXPECT_EQ(result([] { return UpdateCategoryRecord(false); }), 1);
    EXPECT_EQ(texts(), QStringList{"This record is referenced from the file Album.  Linking field(s) have been restricted from change and have been reset to original values."});
    EXPECT_EQ(shown[0].caption, "Referential Integrity Update Error");
    EXPECT_EQ(CAT.CategoryID.value(), 5);
    EXPECT_EQ(CAT.Category.str(), "Pop");   // the user's other changes stay in the buffer
    const Record buffer = CAT.record();
    ASSERT_TRUE(CAT.get(CAT.KeyCategoryID));
    EXPECT_EQ(CAT.Category.str(), "Rock");   // but nothing was written
    EXPECT_EQ(songs(), QStringList{"1:0:::5"});

    // The buffer still matches the record on disk: writing it again is no "changed elsewhere".
    CAT.setRecord(buffer);
    CaptureCategoryLinks();
    EXPECT_EQ(result([] { return UpdateCategoryRecord(false); }), 0);
    EXPECT_TRUE(shown.empty()) << texts().join("\n").toStdString();
    ASSERT_TRUE(CAT.get(CAT.KeyCategoryID));
    EXPECT_EQ(CAT.Category.str(), "Pop");
}

TEST_F(Integrity, ACategoryIdentifierOnlySongsUseIsCarriedOver) {
    CAT.clear();
    CAT.CategoryID = 7;
    CAT.Category = "Jazz";
    ASSERT_TRUE(CAT.add());
    addSong(1, 0, "", "", 7);
    addSong(2, 0, "", "", 3);
    CaptureCategoryLinks();
    CAT.CategoryID = 8;
    EXPECT_EQ(result([] { return UpdateCategoryRecord(false); }), 0);
    EXPECT_EQ(songs(), QStringList({"1:0:::8", "2:0:::3"}));
}

TEST_F(Integrity, AnAlbumsNewFileNumberAndIdentifierReachOnlyItsSongs) {
    addAlbum(1, "A1");
    addAlbum(2, "A1");
    addSong(1, 1, "A1");
    addSong(2, 0, "a1");
    addSong(3, 1, "");
    addSong(4, 2, "A1");   // the other album's: untouched
    addSong(5, 0, "");     // no album, no number: untouched
    ASSERT_TRUE(loadAlbum(1));
    CaptureAlbumLinks();
    ALB.FileNumber = "Z9";
    ALB.AlbumID = 11;
    EXPECT_EQ(result([] { return UpdateAlbumRecord(false); }), 0);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(songs(), QStringList({"1:11:Z9::0", "2:0:Z9::0", "3:11:::0", "4:2:A1::0", "5:0:::0"}));
    EXPECT_EQ(FileUseCount(A_S), 0);
}

TEST_F(Integrity, AnAlbumsArtistReachesItsSongsOnlyWhenEveryOneHoldsIt) {
    for (int id : {1, 2}) {
        addAlbum(id, "");
        ALB.Artist = "Band";
        ASSERT_TRUE(ALB.put());
        for (int n : {0, 1}) {
            addSong(id * 10 + n, id, "");
            MUS.Artist = id == 2 && n == 1 ? "Solo" : "Band";   // album 2 is a compilation
            ASSERT_TRUE(MUS.put());
        }
        CaptureAlbumLinks();
        ALB.Artist = "The Band";
        EXPECT_EQ(result([] { return UpdateAlbumRecord(false); }), 0);
    }
    EXPECT_EQ(rows(MUS, MUS.KEYID, [] { return MUS.Artist.str(); }),
              QStringList({"The Band", "The Band", "Band", "Solo"}));
}

TEST_F(Integrity, ARecordChangedElsewhereGives2AndTheOtherVersion) {
    for (bool flag : {false, true}) {
        SCOPED_TRACE(flag);
        MUS.set(MUS.KEYID);
        while (MUS.next())
            ASSERT_TRUE(MUS.remove());
        addSong(1, 0, "");
        ASSERT_TRUE(loadSong(1));
        const Record form = MUS.record();
        MUS.Title = "the other window's";
        ASSERT_TRUE(MUS.put());
        MUS.setRecord(form);
        MUS.Title = "mine";
        EXPECT_EQ(result([flag] { return UpdateSongRecord(flag); }), 2);
        EXPECT_EQ(texts(), QStringList{flag ? "This record was changed by another station. Those changes will now be displayed. Use the Ditto Button or Ctrl+' to recall your changes."
                                            : "This record was changed by another station."});
        EXPECT_EQ(MUS.Title.str(), "the other window's");
        MUS.Title = "mine";
        EXPECT_EQ(result([] { return UpdateSongRecord(false); }), 0);   // now over the version read
    }
}

TEST_F(Integrity, ATransactionThatCannotBeginWithinTwoSecondsIsCancelled) {
    addSong(1, 0, "");
    auto child = startChild({"lock", "5000"});
    ASSERT_TRUE(waitForLine(*child, "ready"));
    ASSERT_TRUE(loadSong(1));
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(result(DeleteSongRecord), 1);
    EXPECT_GE(waited.elapsed(), 1900);
    EXPECT_EQ(texts(), QStringList{"Error: (File Is Already Locked (32)) attempting to frame the delete transaction on Tunebank.  Delete transaction cancelled."});
    EXPECT_EQ(shown[0].caption, "Transaction Framing Error");
    child->kill();
    child->waitForFinished(5000);
    EXPECT_EQ(songs(), QStringList{"1:0:::0"});
}

} // namespace
