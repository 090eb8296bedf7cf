#pragma once
// Shared pieces of the report tests: songs in real data files in the test's folder, a report
// run on its own logical thread and driven as a user drives it, the shared printer writing a
// PDF file, and the pages the preview shows read back.
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "core/programsettings.h"
#include "runtime/report/preview.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/printersetup.h"
#include "runtime/threads/scheduler.h"
#include "support/report/pagelines.h"
#include "support/report/previewtesting.h"
#include "support/windows/controltesting.h"
#include "support/windows/windowtesting.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace reporttest {

using namespace tbk;
using namespace tbk::windowtest;

struct Running {
    int thread = 0;
    bool done = false;
    qint32 response = -1;
};

class ReportTest : public testing::Test {
protected:
    void SetUp() override {
        setExitHook([](int) {});
        openForUse(MUS);
        openForUse(CAT);
        GlobalRequest = 0;
        ReportLayout = "Standard";
        SelectedOrAll = "All";
        ReportPreviewChoice = 1;
        ReportUseCustomFont = 0;
        ReportSelection = "";
        UDKPrompt = "Custom";
        DateFormat = "";
        QPrinter &p = sharedPrinter();
        keptFile_ = p.outputFileName();
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(pdf());
        p.setCopyCount(1);
        p.setCollateCopies(false);
    }
    void TearDown() override {
        endAllThreads();
        closeAllDataFiles();
        QPrinter &p = sharedPrinter();
        p.setOutputFileName(keptFile_);
        p.setCopyCount(1);
        p.setCollateCopies(false);
    }

    static QString pdf() { return QDir::current().absoluteFilePath(QStringLiteral("out.pdf")); }
    static QStringList printed() { return QFile::exists(pdf()) ? report::test::pdfPages(pdf()) : QStringList(); }

    // A song; `more` sets further fields before it is added.
    static void song(qint32 id, const QString &title, const QString &artist,
                     const std::function<void()> &more = {}) {
        MUS.clear();
        MUS.ID = id;
        MUS.Title = title;
        MUS.Artist = artist;
        if (more)
            more();
        ASSERT_TRUE(MUS.add()) << data::errorCode();
    }
    static void category(qint64 id, const QString &name) {
        CAT.clear();
        CAT.CategoryID = id;
        CAT.Category = name;
        ASSERT_TRUE(CAT.add()) << data::errorCode();
    }

    // Starts the procedure on a thread of its own, as the frame and the song list do.
    static std::shared_ptr<Running> start(const std::function<void()> &procedure) {
        auto r = std::make_shared<Running>();
        r->thread = startThread(
            [r, procedure] {
                procedure();
                r->response = GlobalResponse;
                r->done = true;
            },
            kMinimumThreadStack);
        EXPECT_TRUE(runUntilIdle());
        return r;
    }
    static QWidget *window(const Running &r) { return activeWindow(r.thread); }
    static bool press(const Running &r, const QString &button) { return pressButton(r.thread, button) && runUntilIdle(); }
    static bool answer(const Running &r, int button) { return answerMessage(r.thread, button) && runUntilIdle(); }
    static QString asked(const Running &r) { return messageText(r.thread); }
    // The criteria window confirmed as it stands.
    static bool criteriaOk(const Running &r) {
        QWidget *w = window(r);
        return w && w->objectName() == QLatin1String("ReportCriteria") && press(r, QStringLiteral("Ok"));
    }
    // The lines of every page the run's preview shows (empty when it shows none).
    static QStringList previewLines(const Running &r) {
        const report::PreviewImageQueue *q = report::previewedPages(window(r));
        return q ? report::test::allLines(*q) : QStringList();
    }
    static int previewPageCount(const Running &r) {
        const report::PreviewImageQueue *q = report::previewedPages(window(r));
        return q ? q->count() : 0;
    }
    static bool closePreview(const Running &r) { return press(r, QStringLiteral("Exit")); }

    // The lines that begin with a text, in their order.
    static QStringList starting(const QStringList &lines, const QString &prefix) {
        QStringList out;
        for (const QString &l : lines)
            if (l.startsWith(prefix))
                out << l;
        return out;
    }

private:
    QString keptFile_;
};

} // namespace reporttest
