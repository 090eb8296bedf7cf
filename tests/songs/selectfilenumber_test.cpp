// The song picker on a generated catalogue: select mode and its answer, the tabs with their
// locators, the category tab with its picker, the chart-number thumb, and a call without the
// select request.
#include "songlisttest.h"
#include "songs/selectfilenumber.h"

using namespace songtest;

namespace {

class SelectFileNumberTest : public SongListTest {
protected:
    // Called as the other windows call it, with a category in its buffer.
    static Started open(qint32 request = SelectRecord, qint32 category = 2) {
        return callOnThread(SelectFileNumber, request, [category] {
            CAT.clear();
            CAT.CategoryID = category;
            ASSERT_TRUE(CAT.get(CAT.KeyCategoryID));
            MUS.clear();
        });
    }
};

TEST_F(SelectFileNumberTest, TheChosenSongComesBackReadAgainWithItsCategory) {
    auto c = open();
    ListControl *l = list(*c);
    ASSERT_TRUE(l);
    EXPECT_EQ(window(*c)->windowTitle(), "Browse Music Database - 24 entries");
    QStringList captions;
    for (int i = 0; i < tabs(*c)->count(); ++i)
        captions << tabText(*c, i).trimmed();
    EXPECT_EQ(captions, QStringList({"By Artist", "By Title", "By Album", "By Media", "By Category", "By Chart #"}));
    EXPECT_TRUE(enabled(*c, "Select"));

    struct Case {
        const char *tab;
        const char *typed;
        int expected;
    };
    const Case cases[] = {
        {"By Title", "title 1", 15},
        {"By Album", "album 2", 2},
        {"By Media", "v", 3},            // the media itself, then file number
        {"By Artist", "artist d", 8},
        // The category the buffer holds: the last row read left Rock there.
        {"By Category", "artist e", 10},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.tab);
        ASSERT_TRUE(chooseTab(c->thread, k.tab));
        typeOn(l, k.typed);
        EXPECT_EQ(shown(*c, "Locator"), k.typed);
        EXPECT_EQ(current(), k.expected);
    }
    EXPECT_EQ(window(*c)->windowTitle(), "Browse Music Database - 24 entries") << "the whole file";
    for (const QString &row : listRows(l))
        EXPECT_TRUE(row.endsWith("Rock")) << row.toStdString();
    // Changed by another window after the pick: the caller's write of it must fail.
    ASSERT_TRUE(press(*c, "Select"));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCompleted);
    EXPECT_EQ(MUS.ID.value(), 10);
    EXPECT_EQ(CAT.Category.str(), "Rock");
    const data::Record picked = MUS.record();
    MUS.Title = "Changed elsewhere";
    ASSERT_TRUE(MUS.put());
    MUS.setRecord(picked);
    MUS.AlbumID = 7;
    EXPECT_FALSE(MUS.put());
}

TEST_F(SelectFileNumberTest, ACategoryWithoutSongsEmptiesTheTabAndGreysSelect) {
    auto c = open();
    ListControl *l = list(*c);
    ASSERT_TRUE(chooseTab(c->thread, "By Category"));
    ASSERT_TRUE(press(*c, "Select Category"));
    pick(*c, "Browse", "Jazz");
    EXPECT_EQ(rowCount(*c), 0);
    EXPECT_FALSE(enabled(*c, "Select"));
    QTest::mouseClick(l->viewport(), Qt::RightButton);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_FALSE(chooseMenuItem(c->thread, "Select"));
    dismissMenu(c->thread);
    ASSERT_TRUE(runUntilIdle());
    // Back to a category with songs; a double click selects.
    ASSERT_TRUE(press(*c, "Select Category"));
    pick(*c, "Browse", "Pop");
    ASSERT_TRUE(doubleClickRow(l, 0));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCompleted);
    EXPECT_EQ(MUS.ID.value(), 1);
}

TEST_F(SelectFileNumberTest, WithoutTheSelectRequestNothingIsChosen) {
    auto c = open(0);
    ListControl *l = list(*c);
    EXPECT_FALSE(enabled(*c, "Select"));
    ASSERT_TRUE(doubleClickRow(l, 0));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_FALSE(c->done);
    ASSERT_TRUE(rightClickRow(l, 0));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_FALSE(chooseMenuItem(c->thread, "Select"));
    dismissMenu(c->thread);
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(press(*c, "Close"));
    EXPECT_EQ(c->response, RequestCancelled);
}

TEST_F(SelectFileNumberTest, TheChartNumberThumbStandsInTheMiddleOrAtTheEndAScrollReached) {
    auto c = open();
    ListControl *l = list(*c);
    ASSERT_TRUE(chooseTab(c->thread, "By Chart #"));
    ASSERT_LT(l->linesFit(), kSongs) << "the page must be full";
    EXPECT_EQ(l->thumb(), 50);
    typeOn(l, "12");
    EXPECT_EQ(current(), 12);
    EXPECT_EQ(l->thumb(), 50);
    keyOn(l, Qt::Key_End);
    EXPECT_EQ(current(), 24);
    EXPECT_EQ(l->thumb(), 100);
    keyOn(l, Qt::Key_Up);
    EXPECT_EQ(l->thumb(), 50) << "a move within the page";
    keyOn(l, Qt::Key_PageUp);
    keyOn(l, Qt::Key_PageUp);
    keyOn(l, Qt::Key_PageUp);
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(l->thumb(), 1) << "the top";
    // A drag of the thumb there goes to an end or nowhere.
    ASSERT_TRUE(dragThumb(l, 100));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(current(), 24);
    ASSERT_TRUE(press(*c, "Close"));
}

} // namespace
