// The category and media lists with their forms, driven as a user drives them on real files:
// adding, ditto, the first-letter locator, the picker, the integrity rules and duplicates.
#include "core/referentialintegrity.h"
#include "runtime/ui/listcontrol.h"
#include "songs/categories.h"
#include "songs/media.h"
#include "songtest.h"
#include "support/windows/listtesting.h"

#include <QTest>

using namespace songtest;

namespace {

class NameListTest : public SongTest {
protected:
    static ListControl *list(const Call &c) { return qobject_cast<ListControl *>(findControl(window(c), "Browse")); }
    static ListControl *mediaList(const Call &c) {
        return qobject_cast<ListControl *>(findControl(window(c), "Browse:1"));
    }
    static QString currentRow(ListControl *l) { return l->rowTexts(l->currentRow()).value(0).trimmed(); }
    static void typeOn(ListControl *l, char c) {
        l->setFocus();
        QTest::keyClick(l, c);
        ASSERT_TRUE(runUntilIdle());
    }
};

TEST_F(NameListTest, ACategoryIsAddedWithTheNextIdentifierAndRecalledByDitto) {
    addCategory(4, "Jazz");
    auto c = callOnThread(BrowseCategories, 0);
    ASSERT_TRUE(list(*c));
    EXPECT_EQ(window(*c)->windowTitle(), "Categories");
    ASSERT_TRUE(press(*c, "Insert"));
    EXPECT_EQ(window(*c)->windowTitle(), "Add Category");
    EXPECT_EQ(categories(), QStringList({"4:Jazz", "5:"}));   // primed while the form is open
    ASSERT_TRUE(type(*c, "CAT:Category", "Rock"));
    ASSERT_TRUE(press(*c, "Ok"));
    EXPECT_EQ(categories(), QStringList({"4:Jazz", "5:Rock"}));
    EXPECT_EQ(listRows(list(*c)), QStringList({"Jazz", "Rock"}));

    ASSERT_TRUE(press(*c, "Insert"));
    QWidget *entry = findControl(window(*c), "CAT:Category");
    ASSERT_TRUE(clickInto(c->thread, "CAT:Category"));
    QTest::keyClick(entry, Qt::Key_QuoteLeft, Qt::ControlModifier);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(shown(*c, "CAT:Category"), "Rock");
    ASSERT_TRUE(press(*c, "Cancel"));
    EXPECT_EQ(categories(), QStringList({"4:Jazz", "5:Rock"}));

    // A name that differs only in case is the same name.
    ASSERT_TRUE(press(*c, "Insert"));
    ASSERT_TRUE(type(*c, "CAT:Category", "JAZZ"));
    ASSERT_TRUE(press(*c, "Ok"));
    EXPECT_EQ(messageText(c->thread), "Adding this record creates a duplicate entry for the key:CAT:KeyCategory");
    ASSERT_TRUE(answer(*c, ButtonOK));
    ASSERT_TRUE(press(*c, "Cancel"));
    ASSERT_TRUE(press(*c, "Close"));
    EXPECT_TRUE(c->done);
    EXPECT_EQ(categories(), QStringList({"4:Jazz", "5:Rock"}));
}

TEST_F(NameListTest, RepeatsOfALetterWalkThroughItsCategoriesAndOtherLettersGoToTheNextOne) {
    for (auto [id, name] : {std::pair{1, "Blues"}, {2, "Rap"}, {3, "Reggae"}, {4, "Rock"}, {5, "Soul"}})
        addCategory(id, name);
    auto c = callOnThread(BrowseCategories, 0);
    ListControl *l = list(*c);
    ASSERT_TRUE(l);
    typeOn(l, 'r');
    EXPECT_EQ(currentRow(l), "Rap");
    typeOn(l, 'r');
    EXPECT_EQ(currentRow(l), "Reggae");
    typeOn(l, 'R');
    EXPECT_EQ(currentRow(l), "Rock");
    typeOn(l, 'c');   // no category starts with C: the first after it
    EXPECT_EQ(currentRow(l), "Rap");
    typeOn(l, 'p');
    EXPECT_EQ(currentRow(l), "Rap");
}

TEST_F(NameListTest, ThePickerOpensAtTheCallersCategoryAndHandsTheChosenOneBack) {
    for (auto [id, name] : {std::pair{1, "Blues"}, {2, "Pop"}, {3, "Rock"}})
        addCategory(id, name);
    auto c = callOnThread(BrowseCategories, SelectRecord, [] {
        CAT.clear();
        CAT.CategoryID = 2;
        CAT.get(CAT.KeyCategoryID);
    });
    ListControl *l = list(*c);
    ASSERT_TRUE(l);
    EXPECT_EQ(currentRow(l), "Pop");
    ASSERT_TRUE(clickRow(l, 2));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(doubleClickRow(l, 2));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCompleted);
    EXPECT_EQ(CAT.CategoryID.value(), 3);
    EXPECT_EQ(CAT.Category.str(), "Rock");
}

TEST_F(NameListTest, ACategoryInUseIsNotDeleted) {
    addCategory(1, "Pop");
    addCategory(2, "Rock");
    addAlbum(1, "Artist", "Album");
    ALB.CategoryID = 1;
    ASSERT_TRUE(ALB.put());
    addSong(1, "Song");
    MUS.CategoryID = 2;
    ASSERT_TRUE(MUS.put());
    auto c = callOnThread(BrowseCategories, 0);
    const std::vector<std::pair<int, QString>> refusals{{0, "Album"}, {1, "Tunebank"}};
    for (const auto &[row, file] : refusals) {
        ASSERT_TRUE(clickRow(list(*c), row));
        ASSERT_TRUE(runUntilIdle());
        ASSERT_TRUE(press(*c, "Delete"));
        ASSERT_TRUE(answer(*c, ButtonOK));   // are you sure
        EXPECT_TRUE(messageText(c->thread).startsWith("This record is referenced from the file " + file + "."))
            << messageText(c->thread).toStdString();
        ASSERT_TRUE(answer(*c, ButtonOK));
        ASSERT_TRUE(answer(*c, ButtonNo));   // do not try again
    }
    EXPECT_EQ(categories(), QStringList({"1:Pop", "2:Rock"}));
    EXPECT_EQ(listRows(list(*c)), QStringList({"Pop", "Rock"}));
}

TEST_F(NameListTest, ANewMediaFormatIsWrittenOnlyOnOkAndARenameReachesTheSongs) {
    addMedia("CD");
    addMedia("Vinyl");
    addSong(1, "One");
    addSong(2, "Two");
    MUS.Media = "Vinyl";
    ASSERT_TRUE(MUS.put());
    auto c = callOnThread(BrowseMedia, 0);
    ASSERT_TRUE(mediaList(*c));
    EXPECT_EQ(window(*c)->windowTitle(), "Browse Media Formats");
    ASSERT_TRUE(press(*c, "Add"));
    EXPECT_EQ(window(*c)->windowTitle(), "Adding Media Format");
    EXPECT_EQ(media(), QStringList({"CD", "Vinyl"}));
    ASSERT_TRUE(type(*c, "MED:Media", "Tape"));
    ASSERT_TRUE(press(*c, "Cancel"));
    EXPECT_EQ(media(), QStringList({"CD", "Vinyl"}));

    ASSERT_TRUE(press(*c, "Add"));
    ASSERT_TRUE(type(*c, "MED:Media", "vinyl"));
    ASSERT_TRUE(press(*c, "Ok"));
    EXPECT_EQ(messageText(c->thread), "Adding this record creates a duplicate entry for the key:MED:KeyMedia");
    ASSERT_TRUE(answer(*c, ButtonOK));
    ASSERT_TRUE(type(*c, "MED:Media", "Tape"));
    ASSERT_TRUE(press(*c, "Ok"));
    EXPECT_EQ(media(), QStringList({"CD", "Tape", "Vinyl"}));

    ASSERT_TRUE(clickRow(mediaList(*c), 0));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(press(*c, "Change"));
    EXPECT_EQ(window(*c)->windowTitle(), "Changing Media Format");
    ASSERT_TRUE(type(*c, "MED:Media", "Compact Disc"));
    ASSERT_TRUE(press(*c, "Ok"));
    EXPECT_EQ(media(), QStringList({"Compact Disc", "Tape", "Vinyl"}));
    ASSERT_TRUE(loadSong(1));
    EXPECT_EQ(MUS.Media.str(), "Compact Disc");
    ASSERT_TRUE(loadSong(2));
    EXPECT_EQ(MUS.Media.str(), "Vinyl");
    ASSERT_TRUE(press(*c, "Exit"));
    EXPECT_EQ(c->response, RequestCancelled);
}

} // namespace
