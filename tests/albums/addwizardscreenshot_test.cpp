// Not checks, so disabled: run with --gtest_also_run_disabled_tests, TBK_SCREENSHOT set to a
// path without extension and a real display (xvfb-run with QT_QPA_PLATFORM=xcb); saves pictures
// of both add wizards, a track form and the add-mode choice.
#include "addwizardtest.h"
#include "core/programsettings.h"


using namespace addwizardtest;

namespace {

class AddWizardScreenshot : public AddWizardTest {
protected:
    static void save(const Call &c, const char *name) {
        window(c)->move(20, 20);
        EXPECT_TRUE(saveScreen("-" + QString::fromLatin1(name) + ".png"));
    }
};

TEST_F(AddWizardScreenshot, DISABLED_AddWizardsTrackFormAndAddModeChoice) {
    if (qEnvironmentVariable("TBK_SCREENSHOT").isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    DateFormat = "d2";
    auto c = start(AddSingleArtist, InsertRecord, [] {
        const char *titles[] = {"Mustt Mustt", "Nothing Else", "", "Sea of Tears"};
        for (int t = 0; t < 4; ++t)
            addRow(owner(), t + 1, QString::fromLatin1(titles[t]), t == 2 ? 0 : timeOf(0, 4 + t, 10 * t));
    });
    ASSERT_TRUE(type(*c, "MUS:Artist", "Nusrat Ensemble"));
    ASSERT_TRUE(type(*c, "MUS:Album", "Night Songs"));
    ASSERT_TRUE(type(*c, "MUS:FileNumber", "CD-0107"));
    save(*c, "addsingleartist-general");
    ASSERT_TRUE(chooseTab(c->thread, "Songs"));
    save(*c, "addsingleartist-songs");
    ASSERT_TRUE(selectRowByKey(rowList(*c), 0, "2") && runUntilIdle());
    ASSERT_TRUE(press(*c, "Change"));
    save(*c, "trackform");
    ASSERT_TRUE(press(*c, "Cancel"));
    ASSERT_TRUE(closeByUser(window(*c)) && runUntilIdle());
    ASSERT_TRUE(answer(*c, ButtonYes));

    c = start(AddCompilation, InsertRecord, [] {
        AW.set(AW.KeyInstance);   // the rows the cancelled wizard left
        while (AW.next())
            AW.remove();
        addRow(owner(), 1, "Dancing Queen", timeOf(0, 3, 51), "Abba");
        addRow(owner(), 2, "Heart of Glass", timeOf(0, 4, 35), "Blondie");
        addRow(owner(), 3, "Track 3", 0, "Various");
    });
    ASSERT_TRUE(type(*c, "MUS:Album", "Hits of the Seventies"));
    save(*c, "addcompilation-general");
    ASSERT_TRUE(chooseTab(c->thread, "Songs"));
    save(*c, "addcompilation-songs");
    ASSERT_TRUE(closeByUser(window(*c)) && runUntilIdle());
    ASSERT_TRUE(answer(*c, ButtonYes));

    c = start([] {}, 0, [] { SelectAddMode(); });
    save(*c, "selectaddmode");
    ASSERT_TRUE(press(*c, "Ok"));
}

} // namespace
