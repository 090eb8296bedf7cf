// The reports narrowed through the query wizard, the paper-saver lists and the DJ log: the
// wizard between the preview question and the scan, their columns read back from the pages,
// and two runs at once each with its own query.
#include "reports/djlog.h"
#include "reports/papersavers.h"
#include "reporttest.h"
#include "runtime/querywizard/querywizardtexts.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/values/dates.h"
#include "runtime/values/picture.h"
#include "support/windows/listtesting.h"


using namespace reporttest;

namespace {

class WizardReports : public ReportTest {
protected:
    void SetUp() override {
        ReportTest::SetUp();
        SetQueryWizardTexts();   // as at start-up: the wizard's captions
    }
    // Started, previewing (or printing), and in its query wizard.
    static Started started(const std::function<void()> &procedure, bool preview = true) {
        Started r = start(procedure);
        EXPECT_EQ(asked(r), "Do you wish to PREVIEW this Report?");
        EXPECT_TRUE(answer(r, preview ? ButtonYes : ButtonNo));
        EXPECT_TRUE(window(r) && window(r)->objectName() == "QueryWizardSaved");
        return r;
    }
    // A typed query run without saving it; an empty text closes the wizard without a query.
    static void query(const Started &r, const QString &text) {
        if (text.isEmpty()) {
            ASSERT_TRUE(pressButton(r->thread, "Close"));
        } else {
            auto *saved = qobject_cast<ListControl *>(findControl(window(r), "SavedQueries"));
            ASSERT_TRUE(saved && selectRowByKey(saved, 0, "(New Query)"));
            ASSERT_TRUE(press(r, "Select") && press(r, "Manual") && typeInto(r->thread, "QueryText", text));
            ASSERT_TRUE(press(r, "OK") && press(r, "Finish") && answerMessage(r->thread, ButtonNo));   // unsaved
        }
        ASSERT_TRUE(runUntilIdle(20000));
    }
    static QStringList lines(const std::function<void()> &procedure, const QString &filter = {}) {
        Started r = started(procedure);
        query(r, filter);
        return previewLines(r);
    }
    // Its pages, printed to a PDF file, show the texts.
    static void printedShow(const std::function<void()> &procedure, std::initializer_list<const char *> texts) {
        Started r = started(procedure, false);
        query(r, {});
        const QStringList pages = printed();
        ASSERT_TRUE(r->done && pages.size() == 1);
        for (const char *text : texts)
            EXPECT_TRUE(pages[0].contains(text)) << text;
    }
    static QString runDate() { return formatPicture("@d4", today()); }

    static void paperSaverSongs() {
        song(1, "Love", "Beatles", [] {
            MUS.Mix = "Remix";
            MUS.Album = "Help";
            MUS.BeatsPerMinute = 120;
            MUS.FileNumber = "F1";
            MUS.TrackNumber = 3;
            MUS.Time = timeOf(0, 3, 25);
            MUS.UserDefinedKeyField = "calm";
        });
        song(2, "Angie", "berlin");
        song(3, "Zoo", "Abba");
        song(4, "Yes (Skips)", "Bee Gees");
        song(5, "Bad", "Bee (*)");
        song(6, "Fade", "Beck", [] { MUS.DoNotPlay = 1; });
        song(7, "Hop", "Beta", [] { MUS.Skips = 1; });
    }
    static void djLogSongs() {
        addCategory(1, "Jazz");
        addCategory(2, "Rock");
        song(11, "So What", "Miles Davis", [] {
            MUS.Media = "CD";
            MUS.FileNumber = "C2";
            MUS.CategoryID = 1;
            MUS.Album = "Kind of Blue";
            MUS.UserDefinedKeyField = "opener";
            MUS.ReleaseDate = 1987;   // a bare year
        });
        // A day in 1987.
        song(12, "Money", "Pink Floyd", [] { MUS.Media = "CD"; MUS.FileNumber = "C1"; MUS.CategoryID = 2; MUS.ReleaseDate = 68242; });
        // The log has no skip rules.
        song(13, "Intro", "Band (*)", [] { MUS.Media = "LP"; MUS.FileNumber = "L1"; MUS.CategoryID = 99; MUS.Skips = 1; });
        song(14, "Another", "Abba", [] { MUS.Media = "CD"; MUS.FileNumber = "C1"; MUS.ReleaseDate = 1999; });
    }
};

} // namespace

TEST_F(WizardReports, PaperSaversUseTheCriteriaAsLeftAndTheirOwnColumns) {
    paperSaverSongs();
    SelectedOrAll = "Selected";   // as an earlier criteria window left them
    ReportSelection = "be";
    const QString love = "Help | F1 | 3 | (120) | 3:25 | calm";
    EXPECT_EQ(lines(PrintPaperSaverByTitle),
              (QStringList{"Songs by Title", runDate() + " | Page    1",
                           "Title | Artist | Album | File # | Trk | BPM | Time | Custom", "Angie | berlin",
                           "Love | Beatles | " + love}));
    SelectedOrAll = "All";
    Started r = started(PrintPaperSaverByArtist);
    query(r, {});
    const report::DrawItem *detail = previewed(r) ? report::test::findText(*previewed(r), 1, "Zoo") : nullptr;
    ASSERT_TRUE(detail);
    EXPECT_TRUE(detail->font.face == "Small Fonts" && detail->font.size == 6);
    EXPECT_EQ(previewLines(r).mid(2), (QStringList{"Artist | Title | Album | File # | Trk | BPM | Time | Custom",
                                                   "Abba | Zoo", "Beatles | Love (Remix) | " + love, "berlin | Angie"}));

    // The wizard's filter narrows the list; the marked songs stay out whatever it says.
    EXPECT_EQ(lines(PrintPaperSaverByArtist, "INSTRING('Be', MUS:Artist, 1, 1) = 1").mid(3),
              (QStringList{"Beatles | Love (Remix) | " + love}));
    r = started(PrintPaperSaverByTitle);
    query(r, "MUS:Artist = 'Nobody'");
    EXPECT_EQ(asked(r), "Nothing to Preview.");
    ASSERT_TRUE(answer(r, ButtonOK));

    printedShow(PrintPaperSaverByTitle, {"Songs by Title", "Page 1", "File #", "Angie", "Love", "(120)", "calm"});
}

TEST_F(WizardReports, TheDJLogListsTheQueriedSongsInMediaOrderWithYearsAndNotes) {
    NotesLabel = "Cue";
    djLogSongs();
    EXPECT_EQ(lines(PrintDJLog), (QStringList{"DJ LOG", "Artist | Title | Category | Album | Cue | File Number | Year",
                                              "Abba | Another | C1 | 1999", "Pink Floyd | Money | Rock | C1 | 1987",
                                              "Miles Davis | So What | Jazz | Kind of Blue | opener | C2 | 1987",
                                              "Band (*) | Intro | L1 | --", runDate() + " | Page    1"}));
    // A query may name the joined category.
    EXPECT_EQ(lines(PrintDJLog, "UPPER(CAT:Category) = 'ROCK' OR MUS:Media = 'LP'").mid(2, 2),
              (QStringList{"Pink Floyd | Money | Rock | C1 | 1987", "Band (*) | Intro | L1 | --"}));
    printedShow(PrintDJLog, {"DJ LOG", "Cue", "File Number", "Kind of Blue", "opener", "1999", "Page 1"});
}

TEST_F(WizardReports, TwoDJLogsAtOnceKeepTheirOwnQueries) {
    djLogSongs();
    const Started first = started(PrintDJLog), second = started(PrintDJLog);
    query(second, "MUS:FileNumber = 'C1'");
    query(first, {});
    EXPECT_EQ(previewLines(second).mid(2),
              (QStringList{"Abba | Another | C1 | 1999", "Pink Floyd | Money | Rock | C1 | 1987",
                           runDate() + " | Page    1"}));
    EXPECT_EQ(previewLines(first).size(), 7);
}

TEST_F(WizardReports, ARefusedFieldListIsReportedAndTheLogGoesOn) {
    djLogSongs();
    Started r = start([] { printDJLogWith("Artist\u00A6MUS:Artist\u00AB"); });
    EXPECT_EQ(asked(r), "An error has prevented the Query Wizard from initializing.");
    EXPECT_EQ(window(r)->windowTitle(), "Query Wizard Error# 1");
    ASSERT_TRUE(answer(r, ButtonOK));
    EXPECT_EQ(asked(r), "Do you wish to PREVIEW this Report?");
    ASSERT_TRUE(answer(r, ButtonYes));
    query(r, {});
    EXPECT_EQ(previewLines(r).size(), 7);
}

// Not a check, so disabled: run with --gtest_also_run_disabled_tests, TBK_SCREENSHOT set to a path
// without extension and a real display (xvfb-run with QT_QPA_PLATFORM=xcb); saves a paper-saver
// page and a DJ log page in the preview at 100%.
TEST_F(WizardReports, DISABLED_ScreenshotsOfAPaperSaverAndADJLogPage) {
    if (qEnvironmentVariable("TBK_SCREENSHOT").isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    NotesLabel = "Cue";
    UDKPrompt = "Mood";
    paperSaverSongs();
    djLogSongs();
    using Shot = std::pair<void (*)(), const char *>;
    for (auto [procedure, name] : {Shot{PrintPaperSaverByArtist, "-papersaver.png"}, Shot{PrintDJLog, "-djlog.png"}}) {
        Started r = started(procedure);
        query(r, {});
        ASSERT_TRUE(window(r));
        window(r)->setGeometry(10, 10, 1000, 740);
        EXPECT_TRUE(saveScreen(name));
        previewLines(r);
    }
}
