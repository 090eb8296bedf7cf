// The albums-and-songs browser driven as a user drives it: the songs following the highlighted
// album, the empty album list, the category tabs, the album form's calls, the wizard's return,
// the popups and the toolbar on the song list.
#include "albums/browsealbums.h"
#include "albums/albumsonglist.h"
#include "albums/browsealbumsandsongs.h"
#include "albumtest.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/browsetoolbar.h"
#include "runtime/values/dates.h"

#include <QHeaderView>
#include <QStyleOptionViewItem>
#include <QTabWidget>
#include <QTest>

#include <vector>

namespace {

using namespace albumtest;

struct FormCall {
    qint32 request;
    QString album;
    qint64 category;
};

class MetaBrowserTest : public AlbumTest {
protected:
    void SetUp() override {
        AlbumTest::SetUp();
        ProgramIniFile = kProgramIniName;
        SaveLastTab = 0;
        for (auto [id, name] : {std::pair{1, "Rock"}, {2, "Jazz"}}) {
            CAT.CategoryID = id;
            CAT.Category = name;
            ASSERT_TRUE(CAT.add());
        }
        registerProcedure(QString::fromLatin1(kAlbumForm), [this] {
            const qint32 request = takeGlobalRequest();
            calls.push_back({request, ALB.Album.str(), qint64(ALB.CategoryID.value())});
            storeGlobalResponse(RequestCancelled);
        });
    }
    void TearDown() override {
        AlbumTest::TearDown();
        for (const QString &p : registeredProcedures())
            registerProcedure(p, {});
    }
    // Alpha (Rock) with three songs on two sides, Beta (Jazz) with none, Gamma (Rock) with one,
    // and a song of no album.
    void catalogue() {
        for (auto [id, album, category] : {std::tuple{1, "Alpha", 1}, {2, "Beta", 2}, {3, "Gamma", 1}}) {
            addAlbum(id, QStringLiteral("Artist %1").arg(id), album, QStringLiteral("F%1").arg(id));
            ALB.CategoryID = category;
            ASSERT_TRUE(ALB.put());
        }
        addSong(1, "One", 1, 1, 1);
        addSong(2, "Two", 1, 1, 2);
        addSong(3, "Flip", 1, 2, 1);
        addSong(4, "Only", 3, 1, 1);
        addSong(5, "Loose", 0, 1, 1);
    }
    void open() {
        thread = startThread(BrowseAlbumsAndSongs, kMinimumThreadStack);
        ASSERT_TRUE(runUntilIdle());
        albums = qobject_cast<ListControl *>(findControl(window(), "Browse:1"));
        songs = qobject_cast<ListControl *>(findControl(window(), "List"));
        ASSERT_TRUE(albums && songs);
    }
    QWidget *window() const { return activeWindow(thread); }
    QString title() const { return window()->windowTitle(); }
    bool press(const QString &b) const { return pressButton(thread, b) && runUntilIdle(); }
    bool tab(const QString &t) const { return chooseTab(thread, t) && runUntilIdle(); }
    bool enabled(const char *b) const { return findControl(window(), b)->isEnabled(); }
    QStringList albumTitles() const {
        QStringList out;
        for (const QString &row : listRows(albums))
            out << row.section('|', 1, 1).trimmed();
        return out;
    }
    // "side|track|title" as shown.
    QStringList songRows() const {
        QStringList out;
        for (const QString &row : listRows(songs))
            out << row.section('|', 0, 1).remove(' ') + "|" + row.section('|', 3, 3).trimmed();
        return out;
    }
    QStringList popup(ListControl *list) const {
        if (listRows(list).isEmpty())
            QTest::mouseClick(list->viewport(), Qt::RightButton);
        else
            EXPECT_TRUE(rightClickRow(list, 0));
        EXPECT_TRUE(runUntilIdle());
        const QStringList items = menuItems(thread);
        EXPECT_TRUE(dismissMenu(thread) && runUntilIdle());
        return items;
    }
    bool toolbar(BrowseButton b) const {
        Event e = Event::of(EventKind::Toolbar, window());
        e.value = b;
        return postToWindow(window(), e) && runUntilIdle();
    }
    void snap(const char *name) const {
        EXPECT_TRUE(saveScreenshot(window(), QStringLiteral("-metabrowser-") + QLatin1String(name)));
    }

    int thread = 0;
    ListControl *albums = nullptr, *songs = nullptr;
    std::vector<FormCall> calls;
};

TEST_F(MetaBrowserTest, TheSongsFollowTheHighlightedAlbum) {
    catalogue();
    open();
    EXPECT_EQ(title(), "Albums (3) and Songs (5)");
    EXPECT_EQ(albumTitles(), (QStringList{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(songRows(), (QStringList{"(1)|1|One", "(1)|2|Two", "(2)|1|Flip"}));
    snap("alpha");
    ASSERT_TRUE(clickRow(albums, 1) && runUntilIdle());
    EXPECT_TRUE(songRows().isEmpty());   // an album without songs
    pressListKey(albums, Qt::Key_Down);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(songRows(), QStringList{"(1)|1|Only"});
    ASSERT_TRUE(clickRow(albums, 0) && runUntilIdle());

    // The frame's record buttons move in the song list, not the album list.
    ASSERT_TRUE(toolbar(ToolbarLastPage));
    EXPECT_EQ(songs->currentRow(), 2);
    EXPECT_EQ(albums->currentRow(), 0);
    EXPECT_FALSE(toolbarState(window()).enabled(ToolbarHistory));
    // Typing a side on the song list goes to that side's first song.
    ASSERT_TRUE(clickRow(songs, 0) && runUntilIdle());
    QTest::keyClick(songs, Qt::Key_2);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(songs->currentRow(), 2);
    // Double click on a song opens nothing.
    ASSERT_TRUE(doubleClickRow(songs, 0) && runUntilIdle());
    EXPECT_TRUE(calls.empty());

    // Songs changed elsewhere show when the window gains the focus again.
    addSong(6, "Three", 1, 1, 3);
    ASSERT_TRUE(postToWindow(window(), Event::of(EventKind::GainFocus, window())) && runUntilIdle());
    EXPECT_EQ(title(), "Albums (3) and Songs (6)");
    EXPECT_EQ(songRows().size(), 4);
    ASSERT_TRUE(press("Close"));
}

// A track of hours shows its minutes whole, as every track list measures its time column alike.
TEST_F(MetaBrowserTest, ATrackOfHoursShowsItsTimeWhole) {
    addAlbum(1, "Artist", "Long");
    addSong(1, "Drone", 1, 1, 1, {}, "CD", [] { MUS.Time = timeOf(3, 45, 0); });
    open();
    const QModelIndex cell = songs->listModel()->index(0, kTrackTimeColumn);
    EXPECT_EQ(cell.data().toString().trimmed(), "225:00");
    QStyleOptionViewItem option;
    option.initFrom(songs);
    EXPECT_GE(songs->header()->sectionSize(kTrackTimeColumn),
              songs->itemDelegate()->sizeHint(option, cell).width() + songs->unitsToPixels(1));
    ASSERT_TRUE(press("Close"));
}

// No album highlighted: no song is shown, not even those of no album.
TEST_F(MetaBrowserTest, AnEmptyAlbumListShowsNoSongs) {
    addSong(5, "Loose", 0, 0, 0);
    addSong(6, "Stray", 0, 1, 1);
    open();
    EXPECT_EQ(title(), "Albums (0) and Songs (2)");
    EXPECT_TRUE(songRows().isEmpty());
    EXPECT_TRUE(enabled("Add"));
    EXPECT_FALSE(enabled("Change"));
    EXPECT_FALSE(enabled("Delete"));
    EXPECT_FALSE(enabled("Copy"));
    // The wizard and the label windows are not there yet.
    EXPECT_EQ(popup(albums), (QStringList{"Add", "~Change", "~Delete", "-", "~Copy", "-", "~Wizard", "-",
                                          "~Create Label...", "~Quick CD Insert"}));
    EXPECT_EQ(popup(songs), (QStringList{"~Wizard", "-", "~Create Label...", "~Quick CD Insert"}));
    ASSERT_TRUE(press("Close"));
}

// The category tabs filter by the category in the buffer; Add there and Copy keep a category.
TEST_F(MetaBrowserTest, TheCategoryTabsAndTheFormCalls) {
    catalogue();
    CAT.CategoryID = 2;   // as another window left the buffer
    ASSERT_TRUE(CAT.get(CAT.KeyCategoryID));
    open();
    ASSERT_TRUE(tab("Category"));
    EXPECT_EQ(albumTitles(), QStringList{"Beta"});
    EXPECT_TRUE(songRows().isEmpty());
    CAT.CategoryID = 1;
    ASSERT_TRUE(CAT.get(CAT.KeyCategoryID));
    ASSERT_TRUE(tab("Cat/Art"));
    EXPECT_EQ(albumTitles(), (QStringList{"Alpha", "Gamma"}));
    EXPECT_EQ(songRows().size(), 3);
    ASSERT_TRUE(press("Add"));
    ASSERT_TRUE(tab("Album"));
    ASSERT_TRUE(clickRow(albums, 1) && runUntilIdle());
    ASSERT_TRUE(press("Copy"));
    ASSERT_TRUE(press("Change"));
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].request, InsertRecord);
    EXPECT_EQ(calls[0].album, "");
    EXPECT_EQ(calls[0].category, 1);
    EXPECT_EQ(calls[1].request, InsertRecord);
    EXPECT_EQ(calls[1].album, "Beta");
    EXPECT_EQ(calls[1].category, 2);
    EXPECT_EQ(calls[2].request, ChangeRecord);
    ASSERT_TRUE(tab("Cat/Art"));
    ASSERT_TRUE(press("Close"));
    EXPECT_EQ(getIni("Settings", "AlbumTab", "", ProgramIniFile), "5");
}

// The wizard's album and songs show with both counts brought up to date.
TEST_F(MetaBrowserTest, TheCountsAfterTheWizardReturns) {
    catalogue();
    qint32 request = 0;
    registerProcedure(QString::fromLatin1(kAlbumWizard), [&request] {
        request = takeGlobalRequest();
        addAlbum(4, "Artist 4", "Aardvark");
        addSong(7, "New A", 4, 1, 1);
        addSong(8, "New B", 4, 1, 2);
        storeGlobalResponse(RequestCompleted);
    });
    open();
    ASSERT_TRUE(enabled("Wizard"));
    ASSERT_TRUE(press("Wizard"));
    EXPECT_EQ(request, InsertRecord);
    EXPECT_EQ(title(), "Albums (4) and Songs (7)");
    EXPECT_EQ(albumTitles().first(), "Aardvark");
    ASSERT_TRUE(clickRow(albums, 0) && runUntilIdle());
    EXPECT_EQ(songRows(), (QStringList{"(1)|1|New A", "(1)|2|New B"}));
    ASSERT_TRUE(press("Close"));
}

} // namespace
