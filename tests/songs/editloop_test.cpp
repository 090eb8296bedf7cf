// The edit-all loop: each row of an album in key order gets a change call, until a form is
// left other than by OK; the walk is not thrown off by the forms' own reads and writes.
#include "records/keyrangewalk.h"
#include "runtime/threads/callprotocol.h"
#include "songs/editloop.h"
#include "songs/updatesong.h"
#include "songtest.h"

using namespace songtest;

namespace {

struct Seen {
    qint32 id, request, navigation;
    QString status;
};

class EditLoop : public SongTest {
protected:
    void SetUp() override {
        SongTest::SetUp();
        addSong(1, "a", 3, 2, 1);
        addSong(2, "b", 3, 1, 2);
        addSong(3, "c", 3, 1, 1);
        addSong(4, "d", 4, 1, 1);
        addSong(5, "e", 2, 1, 1);
    }

    // Runs the loop over album 3 with a form that leaves the given statuses in turn.
    EditLoopEnd editAlbum(std::vector<QString> statuses) {
        MUS.clear();
        MUS.AlbumID = 3;
        KeyRangeWalk walk(MUS, MUS.KeyAlbumID, 1);
        NavigationRequest = 9;
        return editAll(MUS, [&] { return walk.next(); }, [&] {
            const qint32 request = takeGlobalRequest();
            seen.push_back({MUS.ID, request, NavigationRequest, EditLoopStatus.str()});
            // What a form does meanwhile: other reads of the file, and a write of the row.
            const data::Record row = MUS.record();
            MUS.set(MUS.SongsByTitle);
            MUS.next();
            MUS.setRecord(row);
            MUS.Title = MUS.Title.str() + "!";
            EXPECT_TRUE(MUS.put());
            EditLoopStatus = statuses[seen.size() - 1];
            NavigationRequest = 5;
        });
    }
    std::vector<qint32> ids() const {
        std::vector<qint32> r;
        for (const Seen &s : seen)
            r.push_back(s.id);
        return r;
    }
    std::vector<Seen> seen;
};

TEST_F(EditLoop, EditsEveryRowOfTheRangeInKeyOrder) {
    EXPECT_EQ(editAlbum({"OK", "OK", "OK"}), EditLoopEnd::RowsDone);
    EXPECT_EQ(ids(), (std::vector<qint32>{3, 2, 1}));
    for (const Seen &s : seen) {
        EXPECT_EQ(s.request, ChangeRecord);
        EXPECT_EQ(s.navigation, 0);
        EXPECT_EQ(s.status, "");
    }
    ASSERT_TRUE(loadSong(4));
    EXPECT_EQ(MUS.Title.str(), "d");
}

TEST_F(EditLoop, StopsAtTheFirstFormNotLeftByOk) {
    EXPECT_EQ(editAlbum({"OK", "Cancel", "OK"}), EditLoopEnd::Stopped);
    EXPECT_EQ(ids(), (std::vector<qint32>{3, 2}));
    seen.clear();
    EXPECT_EQ(editAlbum({"", "OK", "OK"}), EditLoopEnd::Stopped);   // Escape leaves it blank
    EXPECT_EQ(ids(), (std::vector<qint32>{3}));
}

} // namespace
