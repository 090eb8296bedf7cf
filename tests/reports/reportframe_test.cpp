// The run frame as the user meets it: runs with nothing to show, two reports at once over the
// shared buffers, the percentage, Cancel in its variants, the copies, the preview question, the
// custom font and the song list's Print.
#include "core/procedures.h"
#include "reports/reportframe.h"
#include "reports/songreports.h"
#include "reporttest.h"
#include "runtime/settings/profile.h"

#include <QComboBox>
#include <QFontDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace reporttest;

namespace {

class ReportFrame : public ReportTest {
protected:
    // "Song 001" by "Artist 001" ..., in category 1 or 2.
    static void songs(int count, int first = 1) {
        for (int i = first; i < first + count; ++i)
            song(i, QString("Song %1").arg(i, 3, 10, QChar('0')), QString("Artist %1").arg(i, 3, 10, QChar('0')),
                 [i] { MUS.CategoryID = i % 2 + 1; });
    }
    static Started held(void (*procedure)(), bool preview) {
        Started r = start(procedure);
        criteria(r, preview, {}, "Standard", false);
        return r;
    }
    static int songLines(const QStringList &lines) {
        return int(lines.filter(QRegularExpression("^(Song|Artist) \\d")).size());
    }
};

// Asks whether to preview; its filter cannot be set.
ReportMember askingMember() {
    ReportMember m;
    m.files = {&MUS};
    m.key = &MUS.SongsByTitle;
    m.filter = "MUS:NoSuchField = 1";
    report::Band detail;
    detail.name = "Detail";
    detail.height = 200;
    report::Element title;
    title.name = "MUS:Title";
    title.picture = "@s50";
    detail.elements << title;
    m.layout.details << detail;
    return m;
}

} // namespace

TEST_F(ReportFrame, AnEmptyFileOrNoMatchLeavesNothingToPreviewOrPrint) {
    struct Case {
        int songs;
        bool preview;
        int copies;   // 2: through the page queue, as the PDF printer makes no copies
        const char *note;
    };
    for (const Case &c : {Case{0, true, 1, "Nothing to Preview."}, Case{0, false, 1, "Nothing to Print."},
                          Case{3, true, 1, "Nothing to Preview."}, Case{3, false, 2, "Nothing to Print."},
                          Case{3, false, 1, ""}}) {
        if (c.songs && !MUS.records())
            songs(c.songs);
        sharedPrinter().setCopyCount(c.copies);
        Started r = start(PrintSongsByTitle);
        criteria(r, c.preview, "zzz");
        EXPECT_EQ(asked(r), c.note);
        if (*c.note) {
            EXPECT_EQ(window(r)->windowTitle(), "NOTE...");
            ASSERT_TRUE(answer(r, ButtonOK));
        }
        EXPECT_TRUE(r->done);
    }
    EXPECT_FALSE(QFile::exists(pdf()));
    EXPECT_EQ(FileUseCount(MUS), 1) << "the runs' own uses are over";
}

TEST_F(ReportFrame, TwoReportsAtOnceEachPrintTheirOwnSongsWhileOtherWindowsUseTheBuffers) {
    addCategory(1, "Odd");
    addCategory(2, "Even");
    songs(120);
    const Started byTitle = held(PrintSongsByTitle, true), byArtist = held(PrintSongsByArtist, true);
    auto turns = between([] {
        MUS.clear();
        MUS.Title = "Intruder";
        MUS.Artist = "Intruder";
        CAT.Category = "Intruder";
    }, [=] { return previewed(byTitle) && previewed(byArtist); });
    ASSERT_TRUE(runUntilIdle(20000));
    EXPECT_GE(*turns, 4) << "the runs took turns with the intruder";
    for (const Started &r : {byTitle, byArtist}) {
        const QStringList lines = previewLines(r).filter(QRegularExpression("^(Song|Artist) \\d"));
        ASSERT_EQ(lines.size(), 120);
        for (int i = 1; i <= 120; ++i) {
            const QString song = QString("Song %1").arg(i, 3, 10, QChar('0'));
            const QString artist = QString("Artist %1").arg(i, 3, 10, QChar('0'));
            const QString pair = r == byTitle ? song + " | " + artist : artist + " | " + song;
            EXPECT_EQ(lines[i - 1], pair + (i % 2 ? " | Even" : " | Odd"));
        }
    }
}

TEST_F(ReportFrame, ThePercentageNeverPassesAHundredAndAFileCountedEmptyIsDoneAtOnce) {
    // Counted empty, the songs come while the view's warning waits.
    const ReportMember m = askingMember();
    Started r = start([&m] { runReport(m); });
    ASSERT_TRUE(answer(r, ButtonYes));
    EXPECT_EQ(window(r)->windowTitle(), "View Open Error");
    songs(60);
    auto shown = std::make_shared<QStringList>();
    auto capture = [shown](const Started &run) {
        if (const QString text = progressText(run); !text.isEmpty())
            *shown << text;
    };
    between([=] { capture(r); }, [=] { return previewed(r) != nullptr; });
    ASSERT_TRUE(answer(r, ButtonOK));
    EXPECT_EQ(previewLines(r).size(), 60);
    ASSERT_FALSE(shown->isEmpty());
    EXPECT_EQ(shown->back(), "100% Completed");

    // Counted at 60, the file grows to 260 during the scan.
    shown->clear();
    Started grows = held(PrintSongsByTitle, true);
    between([=] {
        if (MUS.records() == 60)
            songs(200, 61);
        capture(grows);
    }, [=] { return previewed(grows) != nullptr; });
    ASSERT_TRUE(runUntilIdle(20000));
    int last = 0;
    for (const QString &text : *shown) {
        const auto m = QRegularExpression("^ {0,2}(\\d{1,3})% Completed$").match(text);
        ASSERT_TRUE(m.hasMatch()) << text.toStdString();
        EXPECT_LE(m.captured(1).toInt(), 100);
        EXPECT_GE(m.captured(1).toInt(), last);
        last = m.captured(1).toInt();
    }
    EXPECT_EQ(last, 100);
    EXPECT_EQ(songLines(previewLines(grows)), 260);
}

TEST_F(ReportFrame, CancelNoGoesOnCancelYesIgnoreGoesOnOneRecordAtATimeAndYesPreviewsWhatWasMade) {
    songs(200);
    Started r = held(PrintSongsByTitle, true);
    cancelAt(r, 1);
    EXPECT_EQ(asked(r), cancelQuestion());
    cancelAt(r, 2, false, false);
    ASSERT_TRUE(answer(r, ButtonNo));
    EXPECT_EQ(asked(r), cancelQuestion()) << "went on until asked again";
    ASSERT_TRUE(answer(r, ButtonYes));
    EXPECT_EQ(asked(r), "Report Cancellation Requested!\n \nPreview Report generated so far?");
    auto turns = between([] {}, [=] { return previewed(r) != nullptr; });
    ASSERT_TRUE(answer(r, ButtonIgnore));
    EXPECT_GT(*turns, 100) << "one record for each of the window's turns";
    EXPECT_EQ(songLines(previewLines(r)), 200);

    for (int choice : {ButtonYes, ButtonNo}) {
        Started partial = held(PrintSongsByTitle, true);
        cancelAt(partial, 3, choice == ButtonNo);
        ASSERT_TRUE(answer(partial, ButtonYes));
        ASSERT_TRUE(answer(partial, choice));
        if (choice == ButtonYes) {
            const int made = songLines(previewLines(partial));
            EXPECT_TRUE(made > 29 && made < 200) << made;
        }
        EXPECT_EQ(partial->response, RequestCancelled);
    }
}

TEST_F(ReportFrame, CancelWhilePrintingPrintsThePagesMadeAndEscPrintsNothingMore) {
    songs(150);
    struct Case {
        int copies;   // 2: through the page queue
        bool escape;
        int pages;    // -1: those made, the one begun included
    };
    for (const Case &c : {Case{1, false, -1}, Case{2, true, 0}, Case{2, false, -1}}) {
        QFile::remove(pdf());
        sharedPrinter().setCopyCount(c.copies);
        Started r = held(PrintSongsByTitle, false);
        cancelAt(r, 3, c.escape);
        ASSERT_TRUE(answer(r, ButtonYes));   // no preview question when printing
        EXPECT_TRUE(r->done);
        const QStringList pages = printed();
        if (c.pages == 0) {
            EXPECT_TRUE(pages.isEmpty());
            continue;
        }
        ASSERT_GE(pages.size(), 2 * c.copies) << "a page and the one begun";
        EXPECT_TRUE(pages[0].contains("Song 001"));
        EXPECT_FALSE(pages.join(' ').contains("Song 150"));
        if (c.copies == 2) {
            EXPECT_TRUE(pages.size() % 2 == 0 && pages[1] == pages[0]) << "each page twice over";
        }
    }
    EXPECT_EQ(sharedPrinter().copyCount(), 2) << "the printer's own setting";
}

TEST_F(ReportFrame, PrintInThePreviewPrintsTheReportsCopiesAndLeavesThePrintersOwn) {
    songs(40);
    sharedPrinter().setCopyCount(2);
    sharedPrinter().setCollateCopies(true);
    Started r = held(PrintSongsByTitle, true);
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(!QFile::exists(pdf()) && previewed(r) && previewed(r)->count() == 2);
    ASSERT_TRUE(press(r, "Print"));
    EXPECT_EQ(r->response, RequestCompleted);
    const QStringList pages = printed();
    ASSERT_EQ(pages.size(), 4);
    EXPECT_TRUE(pages[0].contains("Song 001") && pages[1].contains("Song 040"));
    EXPECT_EQ(pages[2], pages[0]) << "collated: the run again";
    EXPECT_EQ(sharedPrinter().copyCount(), 2);
}

TEST_F(ReportFrame, CriteriaCancelledOpensNothingAndAReportWithoutCriteriaAsksToPreview) {
    songs(3);
    Started cancelled = start(PrintSongsByTitle);
    ASSERT_TRUE(press(cancelled, "Cancel"));
    EXPECT_EQ(cancelled->response, RequestCancelled);
    EXPECT_EQ(FileUseCount(CAT), 1);
    const ReportMember m = askingMember();
    for (int choice : {ButtonCancel, ButtonNo}) {
        Started r = start([&m] { runReport(m); });
        EXPECT_EQ(asked(r), "Do you wish to PREVIEW this Report?");
        EXPECT_EQ(window(r)->windowTitle(), "Preview");
        ASSERT_TRUE(answer(r, choice));
        if (choice == ButtonNo) {   // the filter is warned of and ignored
            ASSERT_TRUE(window(r)->windowTitle() == "View Open Error" && answer(r, ButtonOK));
        }
        EXPECT_EQ(r->response, choice == ButtonNo ? RequestCompleted : RequestCancelled);
    }
    EXPECT_EQ(printed(), QStringList{"Song 001 Song 002 Song 003"});
}

TEST_F(ReportFrame, TheCustomFontIsOfferedAsKeptAndWrittenBackOnlyWhenChosen) {
    song(1, "Song", "Artist");
    const QString key = "PrintMUS:SongsByTitle";
    const QStringList names{"FontName", "FontSize", "FontColor", "FontStyle"};
    auto entries = [&] {
        QStringList e;
        for (const QString &n : names)
            e << getIni("Fonts", n + key, "", "TBank98.INI");
        return e;
    };
    const QStringList kept{"DejaVu Serif", "12", "255", QString::number(700 + 4096)};
    for (int i = 0; i < 4; ++i)
        putIni("Fonts", names[i] + key, kept[i], "TBank98.INI");
    ReportUseCustomFont = 1;
    for (bool accept : {false, true}) {
        Started r = start(PrintSongsByTitle);
        criteria(r, true);
        auto *dialog = qobject_cast<QFontDialog *>(window(r));
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->windowTitle(), "Select Custom Font for Report");
        QFont font = dialog->currentFont();
        EXPECT_TRUE(font.family() == "DejaVu Serif" && font.pointSize() == 12 && font.bold() && font.italic());
        auto *colour = dialog->findChild<QComboBox *>("Colour");
        EXPECT_EQ(colour->currentText(), "Red");
        font.setPointSize(10);
        dialog->setCurrentFont(font);
        colour->setCurrentIndex(colour->findText("Blue"));
        accept ? dialog->accept() : dialog->reject();
        ASSERT_TRUE(runUntilIdle());
        ASSERT_TRUE(previewed(r));
        const report::FontSpec title = report::test::findText(*previewed(r), 1, "Songs by Title")->font;
        const report::FontSpec detail = report::test::findText(*previewed(r), 1, "Song")->font;
        if (accept) {
            for (const report::FontSpec &f : {title, detail})
                EXPECT_TRUE(f == (report::FontSpec{"DejaVu Serif", 10, 700, true, false, QColor(Qt::blue)}));
            EXPECT_EQ(entries(), (QStringList{"DejaVu Serif", "10", QString::number(0xFF0000), kept[3]}));
        } else {
            EXPECT_TRUE(detail.face == "Arial" && title.size == 14) << "the layout's own fonts";
            EXPECT_EQ(entries(), kept);
        }
        previewLines(r);
    }
}

TEST_F(ReportFrame, TheStandardReportsAreRegisteredUnderTheirNamesAndTheBriefTwinsAreNot) {
    registerSongReports();
    using Named = std::pair<const char *, const char *>;
    for (auto [name, noun] : {Named{"PrintSongsByTitle", "titles"}, Named{"PrintSongsByArtist", "artists"},
                              Named{"PrintSongsByChartNumber", "chart numbers"},
                              Named{"PrintSongsByUserDefinedKey", "customs"}}) {
        Started r = start(findProcedure(name));
        ASSERT_TRUE(window(r)) << name;
        EXPECT_EQ(window(r)->findChild<QLabel *>("SelectionPrompt")->text(), QString("Select %1 that start with:").arg(noun));
        ASSERT_TRUE(press(r, "Cancel"));
        registerProcedure(name, {});
    }
    EXPECT_FALSE(procedureRegistered("PrintSongsByTitleBrief"));
}
