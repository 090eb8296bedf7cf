// Not checks, so disabled: run with --gtest_also_run_disabled_tests and TBK_SCREENSHOT naming a
// folder, preferably under xvfb-run with QT_QPA_PLATFORM=xcb; saves the player playing a known
// disc and the preferences window.
#include "playerfixture.h"

#include <QDir>
#include <QPixmap>

using namespace playertest;

namespace {

class PlayerScreenshot : public PlayerTest {
protected:
    static QString folder() { return qEnvironmentVariable("TBK_SCREENSHOT"); }
    static void save(QWidget *w, const QString &name) {
        ASSERT_TRUE(w);
        EXPECT_TRUE(w->window()->grab().save(QDir(folder()).filePath(name)));
    }
};

TEST_F(PlayerScreenshot, DISABLED_PlayingAKnownDisc) {
    if (folder().isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    addAlbum(1, "Songs From The Big Chair", discSerial());
    addSong(1, 1, 0, 1, "Shout");
    addSong(2, 1, 0, 2, "The Working Hour");
    addSong(3, 1, 0, 3, "Everybody Wants to Rule the World");
    auto p = start();
    tick();
    ASSERT_TRUE(press(*p, "Next"));
    ASSERT_TRUE(press(*p, "Next"));
    describe(kDisc + QStringLiteral("clock 95000\n"));
    tick();
    save(window(*p), QStringLiteral("cdplayer.png"));
    ASSERT_TRUE(pressButton(p->thread, QStringLiteral("Set")));
    ASSERT_TRUE(runUntilIdle());
    save(activeWindow(p->thread), QStringLiteral("cdsetup.png"));
}

} // namespace
