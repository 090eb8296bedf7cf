// Not a check, so disabled: run with --gtest_also_run_disabled_tests, TBK_SCREENSHOT set and a
// real display (e.g. under xvfb-run with QT_QPA_PLATFORM=xcb); saves a picture of the screen
// while a twelve-track disc is being read.
#include "cdaudio/readcompactdisc.h"
#include "runtime/threads/scheduler.h"
#include "support/cdlookup/lookupfixture.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

using namespace tbk;

namespace {

class ReadingScreenshot : public cdlookuptest::DiscLookupTest {};

TEST_F(ReadingScreenshot, DISABLED_ReadingCD) {
    const QString path = qEnvironmentVariable("TBK_SCREENSHOT");
    if (path.isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    QString tracks = QStringLiteral("tracks");
    for (int t = 0; t < 12; ++t)
        tracks += QStringLiteral(" %1").arg(150 + t * 15000);
    describeDrive(tracks + QStringLiteral("\nleadout 190000\n"));
    data::Record album = addAlbum(5, "Artist", "Title", 0, {});
    bool done = false;
    startThread([&] { ReadCompactDisc(0, 0, album); done = true; }, kMinimumThreadStack);
    QLabel *status = nullptr;
    while (!done) {
        QCoreApplication::processEvents();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == "ProgressWindow" && w->isVisible())
                status = w->findChild<QLabel *>("ProgressText");
        if (status && status->text() == "Track 6 of 12")
            break;
    }
    ASSERT_FALSE(done);
    EXPECT_EQ(status->window()->windowTitle(), "Reading CD");
    EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(path));
}

} // namespace
