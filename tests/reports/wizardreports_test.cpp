// The reports narrowed through the query wizard, the paper-saver lists and the DJ log: the
// wizard between the preview question and the scan, their columns read back from the pages,
// and two runs at once each with its own query.
#include "core/procedures.h"
#include "reports/djlog.h"
#include "reports/papersavers.h"
#include "reporttest.h"
#include "runtime/querywizard/querywizardtexts.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/values/dates.h"
#include "runtime/values/picture.h"
#include "support/windows/listtesting.h"

#include <QGuiApplication>
#include <QScreen>

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
            ASSERT_TRUE(pressButton(r->thread, "Close")) << window(r)->windowTitle().toStdString();
        } else {
            auto *saved = qobject_cast<ListControl *>(findControl(window(r), "SavedQueries"));
            ASSERT_TRUE(saved && selectRowByKey(saved, 0, "(New Query)"));
            ASSERT_TRUE(press(r, "Select") && press(r, "Manual"));
            ASSERT_TRUE(typeInto(r->thread, "QueryText", text));
            ASSERT_TRUE(press(r, "OK") && press(r, "Finish"));
            ASSERT_TRUE(answerMessage(r->thread, ButtonNo));   // not saved
        }
        ASSERT_TRUE(runUntilIdle(20000));
    }
    static QStringList lines(const std::function<void()> &procedure, const QString &filter = {}) {
        Started r = started(procedure);
        query(r, filter);
        return previewLines(r);
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
        category(1, "Jazz");
        category(2, "Rock");
        song(1, "So What", "Miles Davis", [] {
            MUS.Media = "CD";
            MUS.FileNumber = "C2";
            MUS.CategoryID = 1;
            MUS.Album = "Kind of Blue";
            MUS.UserDefinedKeyField = "opener";
            MUS.ReleaseDate = 1987;   // a bare year
        });
        song(2, "Money", "Pink Floyd", [] {
            MUS.Media = "CD";
            MUS.FileNumber = "C1";
            MUS.CategoryID = 2;
            MUS.ReleaseDate = 68242;   // a day in 1987
        });
        song(3, "Intro", "Band (*)", [] {
            MUS.Media = "LP";
            MUS.FileNumber = "L1";
            MUS.CategoryID = 99;
            MUS.Skips = 1;   // the log has no skip rules
        });
        song(4, "Another", "Abba", [] {
            MUS.Media = "CD";
            MUS.FileNumber = "C1";
            MUS.ReleaseDate = 1999;
        });
    }
};

} // namespace

TEST_F(WizardReports, PaperSaversUseTheCriteriaAsLeftAndTheirOwnColumns) {
    paperSaverSongs();
    SelectedOrAll = "Selected";   // as an earlier criteria window left them
    ReportSelection = "be";
    EXPECT_EQ(lines(PrintPaperSaverByTitle),
              (QStringList{"Songs by Title", runDate() + " | Page    1",
                           "Title | Artist | Album | File # | Trk | BPM | Time | Custom", "Angie | berlin",
                           "Love | Beatles | Help | F1 | 3 | (120) | 3:25 | calm"}));
    SelectedOrAll = "All";
    Started r = started(PrintPaperSaverByArtist);
    query(r, {});
    ASSERT_TRUE(previewed(r));
    const report::DrawItem *detail = report::test::findText(*previewed(r), 1, "Zoo");
    ASSERT_TRUE(detail);
    EXPECT_TRUE(detail->font.face == "Small Fonts" && detail->font.size == 6);
    EXPECT_EQ(previewLines(r),
              (QStringList{"Songs by Artist", runDate() + " | Page    1",
                           "Artist | Title | Album | File # | Trk | BPM | Time | Custom", "Abba | Zoo",
                           "Beatles | Love (Remix) | Help | F1 | 3 | (120) | 3:25 | calm", "berlin | Angie"}));

    // The wizard's filter narrows the list; the marked songs stay out whatever it says.
    EXPECT_EQ(lines(PrintPaperSaverByArtist, "INSTRING('Be', MUS:Artist, 1, 1) = 1").mid(3),
              (QStringList{"Beatles | Love (Remix) | Help | F1 | 3 | (120) | 3:25 | calm"}));
    r = started(PrintPaperSaverByTitle);
    query(r, "MUS:Artist = 'Nobody'");
    EXPECT_EQ(asked(r), "Nothing to Preview.");
    ASSERT_TRUE(answer(r, ButtonOK));

    // Printed to a PDF file.
    r = started(PrintPaperSaverByTitle, false);
    query(r, {});
    ASSERT_TRUE(r->done);
    const QStringList pages = printed();
    ASSERT_EQ(pages.size(), 1);
    for (const char *text : {"Songs by Title", "Page 1", "File #", "Angie", "Love", "(120)", "calm"})
        EXPECT_TRUE(pages[0].contains(text)) << text;
    EXPECT_FALSE(pages[0].contains("Fade"));
}

TEST_F(WizardReports, TheDJLogListsTheQueriedSongsInMediaOrderWithYearsAndNotes) {
    NotesLabel = "Cue";
    djLogSongs();
    const QStringList all{"DJ LOG",
                          "Artist | Title | Category | Album | Cue | File Number | Year",
                          "Abba | Another | C1 | 1999",
                          "Pink Floyd | Money | Rock | C1 | 1987",
                          "Miles Davis | So What | Jazz | Kind of Blue | opener | C2 | 1987",
                          "Band (*) | Intro | L1 | --",
                          runDate() + " | Page    1"};
    EXPECT_EQ(lines(PrintDJLog), all);
    // A query may name the joined category.
    EXPECT_EQ(lines(PrintDJLog, "UPPER(CAT:Category) = 'ROCK' OR MUS:Media = 'LP'").mid(2, 2),
              (QStringList{"Pink Floyd | Money | Rock | C1 | 1987", "Band (*) | Intro | L1 | --"}));

    Started r = started(PrintDJLog, false);
    query(r, {});
    ASSERT_TRUE(r->done);
    const QStringList pages = printed();
    ASSERT_EQ(pages.size(), 1);
    for (const char *text : {"DJ LOG", "Cue", "File Number", "Kind of Blue", "opener", "1999", "Page 1"})
        EXPECT_TRUE(pages[0].contains(text)) << text;
}

TEST_F(WizardReports, TwoDJLogsAtOnceKeepTheirOwnQueries) {
    djLogSongs();
    const Started first = started(PrintDJLog), second = started(PrintDJLog);
    query(second, "MUS:FileNumber = 'C1'");
    query(first, {});
    EXPECT_EQ(previewLines(second).mid(2, 3),
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

TEST_F(WizardReports, TheFrameStartsThemByNameAndCancelAtTheQuestionOpensNothing) {
    registerPaperSavers();
    registerDJLog();
    for (const char *name : {"PrintPaperSaverByTitle", "PrintPaperSaverByArtist", "PrintDJLog"}) {
        Started r = start(findProcedure(name));
        EXPECT_EQ(asked(r), "Do you wish to PREVIEW this Report?") << name;
        ASSERT_TRUE(answer(r, ButtonCancel));
        EXPECT_TRUE(r->done);
        EXPECT_EQ(r->response, RequestCancelled);
        EXPECT_EQ(FileUseCount(CAT), 1) << name;
        registerProcedure(name, {});
    }
}

// Not a check, so disabled: run with --gtest_also_run_disabled_tests, TBK_SCREENSHOT set to a path
// without extension and a real display (xvfb-run with QT_QPA_PLATFORM=xcb); saves a paper-saver
// page and a DJ log page in the preview at 100%.
TEST_F(WizardReports, DISABLED_ScreenshotsOfAPaperSaverAndADJLogPage) {
    if (qEnvironmentVariable("TBK_SCREENSHOT").isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    NotesLabel = "Cue";
    UDKPrompt = "Mood";
    category(1, "Soul");
    category(2, "Rock");
    int id = 0;
    for (const char *s : {"Respect|Aretha Franklin|I Never Loved a Man|", "Superstition|Stevie Wonder|Talking Book|",
                          "Bohemian Rhapsody|Queen|A Night at the Opera|Live", "Heroes|David Bowie|Heroes|Single",
                          "Let It Be|The Beatles|Let It Be|", "What's Going On|Marvin Gaye|What's Going On|Demo"}) {
        const QStringList f = QString(s).split('|');
        song(++id, f[0], f[1], [&] {
            MUS.Album = f[2];
            MUS.Mix = f[3];
            MUS.CategoryID = id % 2 + 1;
            MUS.Media = id % 3 ? "CD" : "LP";
            MUS.FileNumber = QString("CD-%1").arg(id * 7, 4, 10, QChar('0'));
            MUS.ReleaseDate = id % 2 ? 1960 + id * 3 : 60000 + id * 1234;
            MUS.TrackNumber = id;
            MUS.BeatsPerMinute = id % 3 ? 90 + id * 7 : 0;
            MUS.Time = timeOf(0, 2 + id % 4, id * 9 % 60);
            MUS.UserDefinedKeyField = id % 2 ? "upbeat" : "mellow";
        });
    }
    auto shoot = [](void (*procedure)(), const char *name) {
        Started r = started(procedure);
        query(r, {});
        ASSERT_TRUE(window(r));
        window(r)->setGeometry(10, 10, 1000, 740);
        runFor(500);
        EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(qEnvironmentVariable("TBK_SCREENSHOT") + name));
        previewLines(r);
    };
    shoot(PrintPaperSaverByArtist, "-papersaver.png");
    shoot(PrintDJLog, "-djlog.png");
}
