// The run frame as the user meets it: the empty and unmatched runs, two reports at once over the
// shared buffers, the percentage of a growing file, Cancel in its variants, the copies, the
// preview question and the custom font.
#include "core/procedures.h"
#include "reports/reportframe.h"
#include "reports/songreports.h"
#include "reporttest.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/threadwindows.h"
#include "songs/browsesongs.h"

#include <QComboBox>
#include <QFontDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace reporttest;

namespace {

class ReportFrame : public ReportTest {
protected:
    // Songs "Song 001" ... by artists "Artist 001" ... in category 1 or 2.
    static void songs(int count, int firstId = 1) {
        for (int i = firstId; i < firstId + count; ++i)
            song(i, QString("Song %1").arg(i, 3, 10, QChar('0')), QString("Artist %1").arg(i, 3, 10, QChar('0')),
                 [i] { MUS.CategoryID = i % 2 + 1; });
    }
    static void twoCategories() {
        category(1, "Odd");
        category(2, "Even");
    }
    // The criteria window of the run answered: preview or print, "Selected" with a text.
    // Ticks or clears "Preview" as wanted.
    static bool previewChoice(int thread, bool preview) {
        return controlValue(thread, "ReportPreviewChoice").toInt() == int(preview) ||
               clickCheck(thread, "ReportPreviewChoice");
    }
    static bool criteria(const Running &r, bool preview, const QString &selection = {}) {
        if (!previewChoice(r.thread, preview))
            return false;
        if (!selection.isNull() &&
            (!chooseOption(r.thread, "SelectedOrAll", "Selected") || !typeInto(r.thread, "ReportSelection", selection)))
            return false;
        return criteriaOk(r);
    }
    static QWidget *progressWindow(int thread) {
        for (QWidget *w : threadWindowList(thread))
            if (w->objectName() == QLatin1String("ProgressWindow"))
                return w;
        return nullptr;
    }
    static bool previewOpen(int thread) { return report::previewedPages(activeWindow(thread)) != nullptr; }
    static bool asking(int thread) { return qobject_cast<QMessageBox *>(activeWindow(thread)) != nullptr; }

    // A thread that runs `turn` between the report's turns until `stop` holds; how many it ran.
    static std::shared_ptr<int> between(std::function<void()> turn, std::function<bool()> stop) {
        auto turns = std::make_shared<int>(0);
        startThread([turns, turn, stop] {
            while (!stop() && *turns < 100000) {
                turn();
                ++*turns;
                yieldNow();
            }
        });
        return turns;
    }
    // Presses the run's Cancel (or Esc) once its progress window has had so many turns; runs
    // with the report from the next run of the threads until the report asks.
    static void cancelSoon(const std::shared_ptr<Running> &r, int turns, bool escape = false) {
        auto count = std::make_shared<int>(0);
        between(
            [r, count, turns, escape] {
                QWidget *p = progressWindow(r->thread);
                if (!p || asking(r->thread) || ++*count != turns)
                    return;
                if (escape)
                    QTest::keyClick(p, Qt::Key_Escape);
                else
                    static_cast<QPushButton *>(findControl(p, "Cancel"))->click();
            },
            [r, count, turns] { return (*count >= turns && asking(r->thread)) || r->done; });
    }
    static void cancelAfter(const std::shared_ptr<Running> &r, int turns, bool escape = false) {
        cancelSoon(r, turns, escape);
        ASSERT_TRUE(runUntilIdle());
        EXPECT_EQ(asked(*r), "Are you sure you want to CANCEL this Report?");
    }
    // Starts the report and answers its criteria without letting it run yet. its criteria without letting it run yet.
    static std::shared_ptr<Running> startHeld(void (*procedure)(), bool preview) {
        auto r = start(procedure);
        EXPECT_TRUE(previewChoice(r->thread, preview));
        EXPECT_TRUE(pressButton(r->thread, "Ok"));
        return r;
    }
};

} // namespace

TEST_F(ReportFrame, AnEmptyFileOrNoMatchingRecordLeavesNothingToPreviewOrPrint) {
    for (bool preview : {true, false}) {
        auto r = start(PrintSongsByTitle);
        ASSERT_TRUE(criteria(*r, preview));
        EXPECT_EQ(asked(*r), preview ? "Nothing to Preview." : "Nothing to Print.");
        EXPECT_EQ(window(*r)->windowTitle(), "NOTE...");
        ASSERT_TRUE(answer(*r, ButtonOK));
        EXPECT_TRUE(r->done);
        EXPECT_EQ(r->response, RequestCancelled);
    }
    songs(3);
    // Previewing, printing through the page queue (copies the PDF printer cannot make) and
    // straight to the printer.
    struct Case {
        bool preview;
        int copies;
        const char *note;
    };
    for (const Case &c : {Case{true, 1, "Nothing to Preview."}, Case{false, 2, "Nothing to Print."},
                          Case{false, 1, ""}}) {
        sharedPrinter().setCopyCount(c.copies);
        auto r = start(PrintSongsByTitle);
        ASSERT_TRUE(criteria(*r, c.preview, "zzz"));
        EXPECT_EQ(asked(*r), c.note);
        if (!asked(*r).isEmpty())
            ASSERT_TRUE(answer(*r, ButtonOK));
        EXPECT_TRUE(r->done);
    }
    EXPECT_FALSE(QFile::exists(pdf()));
    EXPECT_EQ(FileUseCount(MUS), 1) << "the run's own use of the file is over";
    EXPECT_EQ(FileUseCount(CAT), 1);
}

TEST_F(ReportFrame, TheStartsWithTestIgnoresCaseAndAnEmptyTextSelectsEveryRecord) {
    for (const char *t : {"ABCDE", "XABC", "abc", "Ab"})
        song(int(MUS.records()) + 1, t, "Someone");
    auto titles = [this](const QString &selection) {
        auto r = start(PrintSongsByTitle);
        EXPECT_TRUE(criteria(*r, true, selection));
        QStringList shown;
        for (const QString &l : previewLines(*r))
            if (l.endsWith("| Someone"))
                shown << l.section(" | ", 0, 0);
        EXPECT_TRUE(closePreview(*r));
        return shown;
    };
    EXPECT_EQ(titles("abc"), (QStringList{"abc", "ABCDE"}));
    EXPECT_EQ(titles("ABC  "), (QStringList{"abc", "ABCDE"})) << "trailing blanks do not count";
    EXPECT_EQ(titles(""), (QStringList{"Ab", "abc", "ABCDE", "XABC"}));
}

TEST_F(ReportFrame, TwoReportsAtOnceEachPrintTheirOwnSongsWhileOtherWindowsUseTheBuffers) {
    twoCategories();
    songs(120);
    auto byTitle = startHeld(PrintSongsByTitle, true);
    auto byArtist = startHeld(PrintSongsByArtist, true);
    // Another window reading between the reports' turns leaves its song in the buffers.
    auto turns = between(
        [] {
            MUS.clear();
            MUS.Title = "Intruder";
            MUS.Artist = "Intruder";
            CAT.clear();
            CAT.Category = "Intruder";
        },
        [&] { return previewOpen(byTitle->thread) && previewOpen(byArtist->thread); });
    ASSERT_TRUE(runUntilIdle(20000));
    EXPECT_GE(*turns, 4) << "the two runs took turns";
    for (const auto &r : {byTitle, byArtist}) {
        const QStringList lines = previewLines(*r);
        QStringList details;
        for (const QString &l : lines)
            if (l.contains(QRegularExpression("^(Song|Artist) \\d")))
                details << l;
        ASSERT_EQ(details.size(), 120) << lines.join('\n').toStdString();
        for (int i = 1; i <= 120; ++i) {
            const QString song = QString("Song %1").arg(i, 3, 10, QChar('0'));
            const QString artist = QString("Artist %1").arg(i, 3, 10, QChar('0'));
            const QString category = i % 2 ? "Even" : "Odd";
            EXPECT_EQ(details[i - 1], r == byTitle ? song + " | " + artist + " | " + category
                                                  : artist + " | " + song + " | " + category);
        }
        EXPECT_TRUE(closePreview(*r));
    }
}

TEST_F(ReportFrame, ThePercentageNeverPassesAHundredWhenTheFileGrowsDuringTheScan) {
    songs(60);
    auto r = startHeld(PrintSongsByTitle, true);
    auto shown = std::make_shared<QStringList>();
    between(
        [r, shown] {
            if (shown->isEmpty())
                songs(200, 61);   // read by this scan too: they come after its place
            if (QWidget *p = progressWindow(r->thread))
                *shown << p->findChild<QLabel *>("ProgressText")->text();
        },
        [r] { return previewOpen(r->thread); });
    ASSERT_TRUE(runUntilIdle(20000));
    ASSERT_GT(shown->size(), 3);
    int last = -1;
    for (const QString &text : *shown) {
        const auto m = QRegularExpression("^( {0,2}\\d{1,3})% Completed$").match(text);
        ASSERT_TRUE(m.hasMatch()) << text.toStdString();
        const int percent = m.captured(1).trimmed().toInt();
        EXPECT_LE(percent, 100);
        EXPECT_GE(percent, last);
        last = percent;
    }
    EXPECT_EQ(shown->back(), "100% Completed");
    EXPECT_EQ(starting(previewLines(*r), "Song ").size(), 260);
    EXPECT_TRUE(closePreview(*r));
}

TEST_F(ReportFrame, CancelNoGoesOnAndCancelYesIgnoreGoesOnOneRecordAtATime) {
    songs(200);
    auto r = startHeld(PrintSongsByTitle, true);
    cancelAfter(r, 1);
    cancelSoon(r, 2);
    ASSERT_TRUE(answer(*r, ButtonNo));   // goes on, until asked again
    EXPECT_EQ(asked(*r), "Are you sure you want to CANCEL this Report?");
    ASSERT_TRUE(answer(*r, ButtonYes));
    EXPECT_EQ(asked(*r), "Report Cancellation Requested!\n \nPreview Report generated so far?");
    auto turns = between([] {}, [r] { return previewOpen(r->thread); });
    ASSERT_TRUE(answer(*r, ButtonIgnore));
    ASSERT_TRUE(runUntilIdle(20000));
    EXPECT_GT(*turns, 100) << "one record for each of the window's turns";
    EXPECT_EQ(starting(previewLines(*r), "Song ").size(), 200);
    EXPECT_TRUE(closePreview(*r));
    EXPECT_EQ(r->response, RequestCancelled) << "Exit in the preview";

    // Yes to the preview of what was made so far: those pages alone; No: nothing.
    auto partial = startHeld(PrintSongsByTitle, true);
    cancelAfter(partial, 3);
    ASSERT_TRUE(answer(*partial, ButtonYes));
    ASSERT_TRUE(answer(*partial, ButtonYes));
    const int made = starting(previewLines(*partial), "Song ").size();
    EXPECT_GT(made, 29);
    EXPECT_LT(made, 200);
    EXPECT_TRUE(closePreview(*partial));
    auto none = startHeld(PrintSongsByTitle, true);
    cancelAfter(none, 3, true);
    ASSERT_TRUE(answer(*none, ButtonYes));
    ASSERT_TRUE(answer(*none, ButtonNo));
    EXPECT_TRUE(none->done);
    EXPECT_EQ(none->response, RequestCancelled);
}

TEST_F(ReportFrame, CancelWhilePrintingPrintsThePagesMadeAndEscPrintsNothingMore) {
    songs(150);
    // Straight to the printer: the pages made, the one begun included.
    auto direct = startHeld(PrintSongsByTitle, false);
    cancelAfter(direct, 3);
    ASSERT_TRUE(answer(*direct, ButtonYes));   // no preview question when printing
    EXPECT_TRUE(direct->done);
    EXPECT_EQ(direct->response, RequestCancelled);
    const QStringList pages = printed();
    ASSERT_FALSE(pages.isEmpty());
    EXPECT_TRUE(pages.front().contains("Song 001"));
    EXPECT_FALSE(pages.back().contains("Song 150"));
    QFile::remove(pdf());

    // Through the page queue (two copies the PDF printer cannot make): Esc prints nothing.
    sharedPrinter().setCopyCount(2);
    auto escaped = startHeld(PrintSongsByTitle, false);
    cancelAfter(escaped, 3, true);
    ASSERT_TRUE(answer(*escaped, ButtonYes));
    EXPECT_TRUE(escaped->done);
    EXPECT_FALSE(QFile::exists(pdf()));
    auto clicked = startHeld(PrintSongsByTitle, false);
    cancelAfter(clicked, 3);
    ASSERT_TRUE(answer(*clicked, ButtonYes));
    const QStringList twice = printed();
    ASSERT_GE(twice.size(), 4);
    EXPECT_EQ(twice.size() % 2, 0);
    EXPECT_EQ(twice[0], twice[1]) << "each page twice over";
    EXPECT_EQ(sharedPrinter().copyCount(), 2);
}

TEST_F(ReportFrame, PrintInThePreviewPrintsTheReportsCopiesAndLeavesThePrintersOwn) {
    songs(40);
    sharedPrinter().setCopyCount(2);
    sharedPrinter().setCollateCopies(true);
    auto r = startHeld(PrintSongsByTitle, true);
    ASSERT_TRUE(runUntilIdle());
    ASSERT_EQ(previewPageCount(*r), 2);
    ASSERT_TRUE(report::test::previewCommand(window(*r), "MenuPrint"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(r->done);
    EXPECT_EQ(r->response, RequestCompleted);
    const QStringList pages = printed();
    ASSERT_EQ(pages.size(), 4);
    EXPECT_TRUE(pages[0].contains("Song 001"));
    EXPECT_TRUE(pages[1].contains("Song 040"));
    EXPECT_EQ(pages[2], pages[0]) << "collated: the run again";
    EXPECT_EQ(sharedPrinter().copyCount(), 2);
    EXPECT_TRUE(sharedPrinter().collateCopies());
}

// A member that asks whether to preview, its filter one that cannot be set.
ReportMember askingMember() {
    ReportMember m;
    m.start = ReportStart::Question;
    m.files = {&MUS};
    m.key = &MUS.SongsByTitle;
    m.filter = "MUS:NoSuchField = 1";
    report::Element title;
    title.name = "MUS:Title";
    title.picture = "@s50";
    report::Band detail;
    detail.name = "Detail";
    detail.height = 200;
    detail.elements << title;
    m.layout.details << detail;
    return m;
}

TEST_F(ReportFrame, AFileCountedEmptyThatGainsSongsBeforeTheScanIsDoneAtOnce) {
    const ReportMember m = askingMember();
    auto r = start([&m] { runReport(m); });
    ASSERT_TRUE(answer(*r, ButtonYes));
    EXPECT_EQ(window(*r)->windowTitle(), "View Open Error");
    songs(3);   // while the warning waits, after the songs were counted
    auto shown = std::make_shared<QStringList>();
    between(
        [r, shown] {
            if (QWidget *p = progressWindow(r->thread))
                *shown << p->findChild<QLabel *>("ProgressText")->text();
        },
        [r] { return previewOpen(r->thread) || r->done; });
    ASSERT_TRUE(answer(*r, ButtonOK));
    EXPECT_EQ(previewLines(*r), (QStringList{"Song 001", "Song 002", "Song 003"}));
    ASSERT_FALSE(shown->isEmpty());
    EXPECT_EQ(shown->back(), "100% Completed");
    EXPECT_TRUE(closePreview(*r));
}

TEST_F(ReportFrame, CriteriaCancelledOpensNothingAndAReportWithoutCriteriaAsksToPreview) {
    songs(3);
    auto cancelled = start(PrintSongsByTitle);
    EXPECT_EQ(FileUseCount(MUS), 1);
    ASSERT_TRUE(press(*cancelled, "Cancel"));
    EXPECT_TRUE(cancelled->done);
    EXPECT_EQ(cancelled->response, RequestCancelled);

    // A member that asks instead, with a filter that cannot be set: warned, and ignored.
    const ReportMember m = askingMember();
    for (int choice : {ButtonCancel, ButtonNo}) {
        auto r = start([&m] { runReport(m); });
        EXPECT_EQ(asked(*r), "Do you wish to PREVIEW this Report?");
        EXPECT_EQ(window(*r)->windowTitle(), "Preview");
        ASSERT_TRUE(answer(*r, choice));
        if (choice == ButtonCancel) {
            EXPECT_TRUE(r->done);
            EXPECT_EQ(r->response, RequestCancelled);
            continue;
        }
        EXPECT_EQ(window(*r)->windowTitle(), "View Open Error");
        ASSERT_TRUE(answer(*r, ButtonOK));
        EXPECT_TRUE(r->done);
        EXPECT_EQ(r->response, RequestCompleted);
    }
    EXPECT_EQ(printed(), QStringList{"Song 001 Song 002 Song 003"});
}

TEST_F(ReportFrame, TheCustomFontIsOfferedAsKeptAndWrittenBackOnlyWhenChosen) {
    songs(2);
    const QString ini = "TBank98.INI";
    const QString key = "PrintMUS:SongsByTitle";
    putIni("Fonts", "FontName" + key, "DejaVu Serif", ini);
    putIni("Fonts", "FontSize" + key, "12", ini);
    putIni("Fonts", "FontColor" + key, "255", ini);
    putIni("Fonts", "FontStyle" + key, QString::number(700 + 4096), ini);
    ReportUseCustomFont = 1;
    auto entries = [&] {
        QStringList e;
        for (const char *n : {"FontName", "FontSize", "FontColor", "FontStyle"})
            e << getIni("Fonts", n + key, "", ini);
        return e;
    };
    for (bool accept : {false, true}) {
        auto r = start(PrintSongsByTitle);
        ASSERT_TRUE(criteriaOk(*r));
        auto *dialog = qobject_cast<QFontDialog *>(window(*r));
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->windowTitle(), "Select Custom Font for Report");
        const QFont preset = dialog->currentFont();
        EXPECT_EQ(preset.family(), "DejaVu Serif");
        EXPECT_EQ(preset.pointSize(), 12);
        EXPECT_TRUE(preset.bold() && preset.italic());
        auto *colour = dialog->findChild<QComboBox *>("Colour");
        ASSERT_TRUE(colour);
        EXPECT_EQ(colour->currentText(), "Red");
        if (accept) {
            QFont chosen = preset;
            chosen.setPointSize(10);
            dialog->setCurrentFont(chosen);
            colour->setCurrentIndex(colour->findText("Blue"));
            dialog->accept();
        } else {
            dialog->reject();
        }
        ASSERT_TRUE(runUntilIdle());
        const report::PreviewImageQueue *pages = report::previewedPages(window(*r));
        ASSERT_TRUE(pages);
        const report::DrawItem *song = report::test::findText(*pages, 1, "Song 001");
        ASSERT_TRUE(song);
        const report::DrawItem *heading = report::test::findText(*pages, 1, "Songs by Title");
        if (accept) {
            for (const report::DrawItem *item : {song, heading}) {
                EXPECT_EQ(item->font.face, "DejaVu Serif");
                EXPECT_EQ(item->font.size, 10);
                EXPECT_EQ(item->font.weight, 700);
                EXPECT_TRUE(item->font.italic);
                EXPECT_EQ(item->font.colour, QColor(Qt::blue));
            }
            EXPECT_EQ(entries(), (QStringList{"DejaVu Serif", "10", QString::number(0xFF0000),
                                              QString::number(700 + 4096)}));
        } else {
            EXPECT_EQ(song->font.face, "Arial") << "the layout's own fonts";
            EXPECT_EQ(heading->font.size, 14);
            EXPECT_EQ(entries(), (QStringList{"DejaVu Serif", "12", "255", QString::number(700 + 4096)}));
        }
        ASSERT_TRUE(closePreview(*r));
    }
}

TEST_F(ReportFrame, TheSongListsPrintStartsTheReportOfItsTabOnAThreadOfItsOwn) {
    openForUse(CF);
    ProgramIniFile = kProgramIniName;
    SaveLastTab = 0;
    songs(2);
    registerSongReports();
    EXPECT_FALSE(procedureRegistered("PrintSongsByTitleBrief")) << "started by its standard twin alone";
    auto list = start(BrowseSongs);
    struct Case {
        const char *tab;
        const char *prompt;
    };
    for (const Case &c : {Case{"By Title", "Select titles that start with:"},
                          Case{"By Artist", "Select artists that start with:"},
                          Case{"By Chart #", "Select chart numbers that start with:"},
                          Case{"By Custom", "Select customs that start with:"}}) {
        ASSERT_TRUE(chooseTab(list->thread, c.tab));
        ASSERT_TRUE(runUntilIdle());
        const std::vector<int> before = threadNumbers();
        ASSERT_TRUE(press(*list, "Print"));
        int report = 0;
        for (int t : threadNumbers())
            if (std::find(before.begin(), before.end(), t) == before.end())
                report = t;
        ASSERT_NE(report, 0) << c.tab;
        QWidget *criteria = activeWindow(report);
        ASSERT_TRUE(criteria && criteria->objectName() == "ReportCriteria") << c.tab;
        EXPECT_EQ(criteria->findChild<QLabel *>("SelectionPrompt")->text(), c.prompt);
        ASSERT_TRUE(pressButton(report, "Cancel") && runUntilIdle());
        EXPECT_FALSE(threadExists(report));
    }
    ASSERT_TRUE(press(*list, "Close"));
    for (const char *p : {"PrintSongsByChartNumber", "PrintSongsByUserDefinedKey", "PrintSongsByTitle",
                          "PrintSongsByArtist"})
        registerProcedure(p, {});
}
