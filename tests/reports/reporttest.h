#pragma once
// The report tests' fixture: songs in real data files in the test's folder, a report run on a
// thread of its own and driven as a user drives it, the shared printer writing a PDF file, and
// the pages the preview shows read back.
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "core/programsettings.h"
#include "runtime/report/preview.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/printersetup.h"
#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadwindows.h"
#include "runtime/values/dates.h"
#include "runtime/values/picture.h"
#include "support/catalogue/cataloguetest.h"
#include "support/report/pagelines.h"
#include "support/windows/controltesting.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace reporttest {

using namespace cataloguetest;

class ReportTest : public testing::Test {
protected:
    void SetUp() override {
        openCatalogue({&MUS, &CAT});
        ReportLayout = "Standard";
        SelectedOrAll = "All";
        ReportPreviewChoice = 1;
        ReportUseCustomFont = 0;
        ReportSelection = "";
        UDKPrompt = "Custom";
        DateFormat = "";
        sharedPrinter().setOutputFormat(QPrinter::PdfFormat);
        sharedPrinter().setOutputFileName(pdf());
        sharedPrinter().setCopyCount(1);
        sharedPrinter().setCollateCopies(false);
    }
    void TearDown() override {
        closeCatalogue();
        sharedPrinter().setOutputFileName({});
    }

    static QString pdf() { return QDir::current().absoluteFilePath("out.pdf"); }
    static QStringList printed() { return QFile::exists(pdf()) ? report::test::pdfPages(pdf()) : QStringList(); }

    // A song; `more` sets further fields before it is added.
    static void song(qint32 id, const QString &title, const QString &artist, const std::function<void()> &more = {}) {
        MUS.clear();
        MUS.ID = id;
        MUS.Title = title;
        MUS.Artist = artist;
        if (more)
            more();
        ASSERT_TRUE(MUS.add()) << data::errorCode();
    }

    // Starts the procedure on a thread of its own, as the frame and the song list do.
    static Started start(const std::function<void()> &procedure) { return startOnThread(procedure); }
    // Fills its criteria window: preview or not, the layout, "Selected" with the text (a null
    // text: "All"). Ok is pressed, and the run goes on when `run` is set.
    static void criteria(const Started &r, bool preview, const QString &selection = {},
                         const QString &layout = "Standard", bool run = true) {
        ASSERT_TRUE(window(r) && window(r)->objectName() == "ReportCriteria");
        if (controlValue(r->thread, "ReportPreviewChoice").toInt() != int(preview)) {
            ASSERT_TRUE(clickCheck(r->thread, "ReportPreviewChoice"));
        }
        ASSERT_TRUE(chooseOption(r->thread, "ReportLayout", layout));
        ASSERT_TRUE(chooseOption(r->thread, "SelectedOrAll", selection.isNull() ? "All" : "Selected"));
        if (!selection.isNull()) {
            ASSERT_TRUE(typeInto(r->thread, "ReportSelection", selection));
        }
        ASSERT_TRUE(pressButton(r->thread, "Ok"));
        if (run) {
            ASSERT_TRUE(runUntilIdle(20000));
        }
    }
    // The criteria filled with the preview ticked; the preview's lines.
    static QStringList lines(void (*procedure)(), const QString &selection = {}, const QString &layout = "Standard") {
        Started r = start(procedure);
        criteria(r, true, selection, layout);
        return previewLines(r);
    }
    // The footer of a one-page report run today.
    static QString footer() { return formatPicture("@d4", today()) + " | Page    1"; }
    static bool answer(const Started &r, int button) { return windowtest::answer(r, button, 20000); }
    static QString asked(const Started &r) { return messageText(r->thread); }
    static bool asking(const Started &r) { return qobject_cast<QMessageBox *>(window(r)) != nullptr; }
    static const report::PreviewImageQueue *previewed(const Started &r) { return report::previewedPages(window(r)); }
    // The lines of every page the run's preview shows, and the preview closed by Exit.
    static QStringList previewLines(const Started &r) {
        const report::PreviewImageQueue *q = previewed(r);
        const QStringList lines = q ? report::test::allLines(*q) : QStringList();
        EXPECT_TRUE(q && press(r, "Exit")) << asked(r).toStdString();
        return lines;
    }
    static QString progressText(const Started &r) {
        for (QWidget *w : threadWindowList(r->thread))
            if (w->objectName() == "ProgressWindow")
                return w->findChild<QLabel *>("ProgressText")->text();
        return {};
    }
    // A thread that runs `turn` between the report's turns until `stop` holds (not yet run).
    static std::shared_ptr<int> between(std::function<void()> turn, std::function<bool()> stop) {
        auto turns = std::make_shared<int>(0);
        startThread([turns, turn, stop] {
            for (; !stop() && *turns < 100000; ++*turns) {
                turn();
                yieldNow();
            }
        });
        return turns;
    }
    // Cancel (or Esc) on the progress window at its `turns`th turn; runs until the report asks.
    static void cancelAt(const Started &r, int turns, bool escape = false, bool run = true) {
        auto seen = std::make_shared<int>(0);
        between([=] {
            QWidget *p = nullptr;
            for (QWidget *w : threadWindowList(r->thread))
                if (w->objectName() == "ProgressWindow" && !asking(r) && ++*seen == turns)
                    p = w;
            if (p && escape)
                QTest::keyClick(p, Qt::Key_Escape);
            else if (p)
                p->findChild<QPushButton *>("Cancel")->click();
        }, [=] { return (*seen >= turns && asking(r)) || r->done; });
        if (run) {
            ASSERT_TRUE(runUntilIdle());
        }
    }
    static const char *cancelQuestion() { return "Are you sure you want to CANCEL this Report?"; }
};

} // namespace reporttest
