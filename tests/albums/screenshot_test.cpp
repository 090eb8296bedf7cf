// Not checks, so disabled: run with --gtest_also_run_disabled_tests, TBK_SCREENSHOT set to a
// path without extension and a real display (xvfb-run with QT_QPA_PLATFORM=xcb); saves a
// picture of each tab of the album form, the Songs tab with a track list.
#include "albumtest.h"
#include "core/programsettings.h"

#include <QImage>

using namespace albumtest;

namespace {

class AlbumScreenshot : public AlbumTest {};

TEST_F(AlbumScreenshot, DISABLED_AlbumFormTabs) {
    if (qEnvironmentVariable("TBK_SCREENSHOT").isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    DateFormat = "d2";
    QImage cover(200, 200, QImage::Format_RGB32);
    cover.fill(QColor(40, 90, 160));
    ASSERT_TRUE(cover.save("cover.png"));
    addAlbum(1, "Queen", "A Night at the Opera", "CD-0042", "CD", "0B3A1F2C");
    ALB.ASSOCIATEDWAVFILE = "overture.wav";
    ALB.ASSOCIATEDIMAGE = "cover.png";
    ALB.XCCD = "9a0b1c0d";
    ALB.Notes = "Recorded 1975.";
    ALB.RATING = 9;
    ASSERT_TRUE(ALB.put());
    const char *titles[] = {"Death on Two Legs", "Lazing on a Sunday Afternoon", "I'm in Love with My Car",
                            "You're My Best Friend", "'39", "Sweet Lady"};
    for (int t = 0; t < 6; ++t) {
        addSong(t + 1, QString::fromLatin1(titles[t]), 1, t < 4 ? 1 : 2, t < 4 ? t + 1 : t - 3);
        MUS.Artist = "Queen";
        MUS.Time = 17001 + 100 * (150 + 17 * t);
        MUS.FileNumber = "CD-0042";
        ASSERT_TRUE(MUS.put());
    }
    auto c = change(1);
    ASSERT_TRUE(window(*c));
    window(*c)->move(20, 20);
    for (const char *tab : {"General", "Songs", "Notes", "Associated Files", "Compact Disc", "Other"}) {
        ASSERT_TRUE(chooseTab(c->thread, QString::fromLatin1(tab)));
        EXPECT_TRUE(saveScreen("-album-" + QString::fromLatin1(tab).replace(' ', '-') + ".png"));
    }
    ASSERT_TRUE(press(*c, "Cancel"));
}

} // namespace
