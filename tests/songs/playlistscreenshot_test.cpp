// Not checks, so disabled: run with --gtest_also_run_disabled_tests, TBK_SCREENSHOT set to a
// path without extension and a real display (xvfb-run with QT_QPA_PLATFORM=xcb); saves
// pictures of the playlist list, the playlist form and the entry form.
#include "playlisttest.h"
#include "songs/browseplaylists.h"

#include <QGuiApplication>
#include <QScreen>

using namespace songtest;

namespace {

using PlaylistScreenshot = PlaylistTest;

void save(const char *name) {
    runFor(500);
    EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(qEnvironmentVariable("TBK_SCREENSHOT") +
                                                                      QString::fromLatin1(name) + ".png"));
}

TEST_F(PlaylistScreenshot, DISABLED_PlaylistWindows) {
    if (qEnvironmentVariable("TBK_SCREENSHOT").isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    roadTrip(6);
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

} // namespace
