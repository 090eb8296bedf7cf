// The album picker on a real album file: choosing, closing, its tabs and locators, and the
// picker called without the select request.
#include "albums/selectalbum.h"
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "support/windows/controltesting.h"
#include "support/catalogue/cataloguetest.h"
#include "support/windows/listtesting.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

using namespace cataloguetest;

namespace {

class SelectAlbumTest : public testing::Test {
protected:
    void SetUp() override { openCatalogue({&ALB}); }
    void TearDown() override { closeCatalogue(); }
    static void addAlbum(qint32 id, const char *artist, const char *album, const char *fileNumber) {
        ALB.clear();
        ALB.AlbumID = id;
        ALB.Artist = artist;
        ALB.Album = album;
        ALB.FileNumber = fileNumber;
        ALB.Notes = QStringLiteral("Notes %1").arg(id);
        ASSERT_TRUE(ALB.add());
    }
    void addAlbums() {
        addAlbum(1, "Queen", "Jazz", "F3");
        addAlbum(2, "Abba", "Arrival", "F2");
        addAlbum(3, "Blondie", "Autoamerican", "F1");
        addAlbum(4, "Queen", "Innuendo", "F4");
    }
    Started open(qint32 request, qint32 atAlbum = 0) {
        Started c = callOnThread(SelectAlbum, request, [atAlbum] {
            ALB.clear();
            if (atAlbum)
                loadAlbum(atAlbum);
        });
        list = qobject_cast<ListControl *>(findControl(window(c), "Browse:1"));
        EXPECT_TRUE(list);
        return c;
    }
    QString current(int column = 0) const { return list->rowTexts(list->currentRow()).value(column).trimmed(); }
    void typeOn(char ch) {
        list->setFocus();
        QTest::keyClick(list, ch);
        ASSERT_TRUE(runUntilIdle());
    }
    ListControl *list = nullptr;
};

TEST_F(SelectAlbumTest, SelectHandsBackTheWholeAlbumAndCloseTheHighlightedOneCancelled) {
    addAlbums();
    auto c = open(SelectRecord, 4);
    EXPECT_EQ(activeWindow(c->thread)->windowTitle(), "Select An Album");
    EXPECT_EQ(current(), "Innuendo");   // at the caller's album
    ASSERT_TRUE(doubleClickRow(list, 0));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCompleted);
    EXPECT_EQ(ALB.AlbumID.value(), 2);
    EXPECT_EQ(ALB.Notes.str(), "Notes 2");

    c = open(SelectRecord);
    ASSERT_TRUE(clickRow(list, 1));
    ASSERT_TRUE(runUntilIdle());
    ALB.clear();
    ASSERT_TRUE(pressButton(c->thread, "Close") && runUntilIdle());
    ASSERT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCancelled);
    EXPECT_EQ(ALB.AlbumID.value(), 3);
    EXPECT_EQ(ALB.Notes.str(), "Notes 3");
}

TEST_F(SelectAlbumTest, EachTabLocatesByTheFirstLetterOfItsOwnField) {
    addAlbums();
    auto c = open(SelectRecord);
    typeOn('i');
    EXPECT_EQ(current(), "Innuendo");
    typeOn('a');
    EXPECT_EQ(current(), "Arrival");
    typeOn('a');
    EXPECT_EQ(current(), "Autoamerican");
    ASSERT_TRUE(chooseTab(c->thread, "Artist"));
    EXPECT_EQ(listRows(list).value(0).section('|', 1, 1).trimmed(), "Abba");
    typeOn('q');
    EXPECT_EQ(current(1), "Queen");
    EXPECT_EQ(current(), "Innuendo");
    typeOn('q');
    EXPECT_EQ(current(), "Jazz");
    ASSERT_TRUE(chooseTab(c->thread, "File #"));
    EXPECT_EQ(current(2), "F3");   // Jazz still, in the other order
    ASSERT_TRUE(clickRow(list, 0));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(current(2), "F1");
    typeOn('f');
    EXPECT_EQ(current(2), "F2");
    ASSERT_TRUE(pressButton(c->thread, "Select") && runUntilIdle());
    EXPECT_EQ(c->response, RequestCompleted);
    EXPECT_EQ(ALB.AlbumID.value(), 2);
}

TEST_F(SelectAlbumTest, WithoutTheSelectRequestOrAlbumsOnlyCloseLeaves) {
    addAlbums();
    auto c = open(ChangeRecord);
    auto *select = qobject_cast<QPushButton *>(findControl(activeWindow(c->thread), "Select"));
    ASSERT_TRUE(select);
    EXPECT_FALSE(select->isVisible());
    ASSERT_TRUE(doubleClickRow(list, 0));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_FALSE(c->done);
    ASSERT_TRUE(rightClickRow(list, 0));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_FALSE(chooseMenuItem(c->thread, "Select"));   // greyed
    ASSERT_TRUE(dismissMenu(c->thread) && runUntilIdle());
    ASSERT_TRUE(pressButton(c->thread, "Close") && runUntilIdle());
    EXPECT_EQ(c->response, RequestCancelled);

    ALB.clear();
    ALB.set(ALB.KEYALBUMID);
    while (ALB.next())
        ASSERT_TRUE(ALB.remove());
    ALB.AlbumID = 9;
    c = open(SelectRecord, 0);
    EXPECT_TRUE(listRows(list).isEmpty());
    ASSERT_TRUE(pressButton(c->thread, "Close") && runUntilIdle());
    EXPECT_EQ(c->response, RequestCancelled);
    EXPECT_EQ(ALB.AlbumID.value(), 0);
}

} // namespace
