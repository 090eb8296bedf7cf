// Not checks, so disabled: run with --gtest_also_run_disabled_tests, TBK_SCREENSHOT set to a
// path without extension and a real display (xvfb-run with QT_QPA_PLATFORM=xcb); saves
// pictures of the playlist list, the playlist form, the entry form, the generator and the
// chart update's progress.
#include "playlisttest.h"
#include "setup/housekeeping.h"
#include "runtime/data/transaction.h"
#include "runtime/values/dates.h"
#include "songs/browseplaylists.h"
#include "songs/generateplaylist.h"
#include "songs/updateplaylistchart.h"


using namespace songtest;

namespace {

using PlaylistScreenshot = PlaylistTest;

void save(const char *name) {
    EXPECT_TRUE(saveScreen(QString::fromLatin1(name) + ".png"));
}

TEST_F(PlaylistScreenshot, DISABLED_PlaylistWindows) {
    if (qEnvironmentVariable("TBK_SCREENSHOT").isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    DateFormat = "n4b";   // the form shows the year it was last edited
    roadTrip(6);
    PLD.LASTEDITDATE = today();
    ASSERT_TRUE(PLD.put());
    addEntry(1, 7, 99);   // a song that is gone
    addPlaylist(2, "Sunday Morning");
    addPlaylist(3, "Party Mix");
    const int browse = startThread([] { BrowsePlayLists(); });
    ASSERT_TRUE(runUntilIdle());
    activeWindow(browse)->move(20, 20);
    save("-playlists");
    ASSERT_TRUE(pressButton(browse, "Close") && runUntilIdle());

    auto c = openPlaylist(ChangeRecord, 1);
    window(*c)->move(20, 20);
    ASSERT_TRUE(pick(2));
    save("-playlist-form");
    ASSERT_TRUE(press(*c, "Change"));
    window(*c)->move(120, 120);
    save("-playlist-entry");
    ASSERT_TRUE(press(*c, "Cancel") && press(*c, "Cancel"));
}

TEST_F(PlaylistScreenshot, DISABLED_GeneratorAndChart) {
    if (qEnvironmentVariable("TBK_SCREENSHOT").isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    addCategory(1, "Pop");
    addCategory(2, "Rock");
    auto c = callOnThread(GeneratePlaylist, 0);
    window(*c)->move(20, 20);
    ASSERT_TRUE(type(*c, "LOC:PlaylistSize", "25") && type(*c, "LOC:StartDate", "01/01/1990") &&
                type(*c, "LOC:Category", "rock") && chooseOption(c->thread, "LOC:Weighting", "Recent Addition"));
    save("-generator");
    ASSERT_TRUE(press(*c, "Cancel"));

    addPlaylist(1, "Chart");
    ASSERT_TRUE(data::beginTransaction(1, {&PLA}));
    for (int i = 1; i <= 20000; ++i)
        addEntry(1, i, 1 + i % 10);
    ASSERT_TRUE(data::commitTransaction());
    bool done = false;
    const int thread = startThread([&] {
        PLD.clear();
        PLD.PlaylistID = 1;
        UpdatePlaylistChart();
        done = true;
    });
    ASSERT_TRUE(runUntilIdle());
    activeWindow(thread)->move(20, 20);
    save("-chart-question");
    ASSERT_TRUE(answerMessage(thread, ButtonOK));
    ASSERT_TRUE(runUntil([] { return lastProcessFigures().turns >= 20; }, 20000));
    activeWindow(thread)->move(20, 20);
    // Soon, before the walk ends.
    EXPECT_TRUE(saveScreen("-chart-progress.png", 50));
    ASSERT_TRUE(pressButton(thread, "Cancel"));
    ASSERT_TRUE(runUntil([&] { return done; }));
}

} // namespace
