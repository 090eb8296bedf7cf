// Not checks, so disabled: run with --gtest_also_run_disabled_tests, TBK_SCREENSHOT set to a
// path without extension and a real display (xvfb-run with QT_QPA_PLATFORM=xcb); saves
// pictures of the song form, one per tab, of the category list, of the song list with a search
// and of the song picker.
#include "core/programsettings.h"
#include "songs/categories.h"
#include "songs/updatesong.h"
#include "songlisttest.h"
#include "songs/browsesongswindow.h"
#include "songs/selectfilenumber.h"
#include "songs/xploresongs.h"
#include "songtest.h"


using namespace songtest;

namespace {

class SongScreenshot : public SongTest {
public:
    static void save(const QString &name) {
        EXPECT_TRUE(saveScreen(name + QStringLiteral(".png")));
    }
};

TEST_F(SongScreenshot, DISABLED_SongFormAndCategories) {
    if (qEnvironmentVariable("TBK_SCREENSHOT").isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    for (const char *m : {"CD", "Vinyl", "Cassette (Dolby B)"})
        addMedia(QString::fromLatin1(m));
    for (auto [id, name] : {std::pair{1, "Blues"}, {2, "Pop"}, {3, "Rap"}, {4, "Reggae"}, {5, "Rock"}})
        addCategory(id, QString::fromLatin1(name));
    DateFormat = "d2";
    UDKPrompt = "Catalogue No";
    addSong(1, "Bohemian Rhapsody", 0, 1, 11);
    MUS.Artist = "Queen";
    MUS.Album = "A Night at the Opera";
    MUS.FileNumber = "CD-0042";
    MUS.CategoryID = 5;
    MUS.Time = 35501;
    MUS.Rating = 9;
    MUS.EndType = "Slow";
    MUS.Notes = "Recorded 1975.";
    ASSERT_TRUE(MUS.put());
    auto c = callOnThread(UpdateSong, ChangeRecord, [] { ASSERT_TRUE(loadSong(1)); });
    ASSERT_TRUE(window(*c));
    window(*c)->move(20, 20);
    for (const char *tab : {"General", "Recording/Performance", "Custom", "Notes"}) {
        ASSERT_TRUE(chooseTab(c->thread, QString::fromLatin1(tab)));
        save(QStringLiteral("-song-") + QString::fromLatin1(tab).left(6).replace('/', '-'));
    }
    ASSERT_TRUE(press(*c, "Cancel"));
    auto b = callOnThread(BrowseCategories, 0);
    ASSERT_TRUE(window(*b));
    window(*b)->move(20, 20);
    save(QStringLiteral("-categories"));
    ASSERT_TRUE(press(*b, "Close"));
}

class SongListScreenshot : public SongListTest {};

TEST_F(SongListScreenshot, DISABLED_SongListWithASearchAndThePicker) {
    if (qEnvironmentVariable("TBK_SCREENSHOT").isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    DateFormat = "d2";
    UDKPrompt = "Catalogue No";
    BrowseSongsWindow *browse = nullptr;
    auto c = callOnThread([&browse] {
        BrowseSongsWindow w;
        browse = &w;
        w.run();
        browse = nullptr;
    }, 0);
    ASSERT_TRUE(browse);
    window(*c)->move(20, 20);
    window(*c)->resize(900, 420);
    ASSERT_TRUE(chooseTab(c->thread, "By Category"));
    browse->search("UPPER(MED:Media) = 'VINYL'");
    ASSERT_TRUE(runUntilIdle());
    SongScreenshot::save(QStringLiteral("-songlist"));
    ASSERT_TRUE(press(*c, "Close"));

    auto p = callOnThread(SelectFileNumber, SelectRecord, [] {
        CAT.CategoryID = 2;
        ASSERT_TRUE(CAT.get(CAT.KeyCategoryID));
    });
    ASSERT_TRUE(window(*p));
    window(*p)->move(20, 20);
    ASSERT_TRUE(chooseTab(p->thread, "By Category"));
    SongScreenshot::save(QStringLiteral("-picker"));
    ASSERT_TRUE(press(*p, "Close"));
}

TEST_F(SongListScreenshot, DISABLED_ExplorerOrderedOnAColumnAndItsPopup) {
    if (qEnvironmentVariable("TBK_SCREENSHOT").isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    DateFormat = "d2";
    auto c = callOnThread(XploreSongs, 0);
    ASSERT_TRUE(window(*c));
    window(*c)->setGeometry(20, 20, 900, 440);
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(clickHeader(list(*c), 1) && clickHeader(list(*c), 1));   // Title, descending
    SongScreenshot::save(QStringLiteral("-xploresongs"));
    ASSERT_TRUE(rightClickRow(list(*c), 3) && runUntilIdle());
    SongScreenshot::save(QStringLiteral("-xploresongs-popup"));
    ASSERT_TRUE(dismissMenu(c->thread) && runUntilIdle());
    ASSERT_TRUE(press(*c, "Close"));
}

} // namespace
