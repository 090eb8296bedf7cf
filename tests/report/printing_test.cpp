// Printing pages through the shared printer, here set to write PDF files that pdftotext reads
// back.
#include "runtime/report/printing.h"
#include "runtime/report/report.h"
#include "runtime/threads/printersetup.h"
#include "runtime/threads/scheduler.h"
#include "support/report/pagelines.h"
#include "support/windows/scriptedanswers.h"
#include "support/windows/windowtesting.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPrinterInfo>
#include <gtest/gtest.h>

using namespace tbk;
using namespace tbk::report;
using namespace tbk::windowtest;

namespace {

class PrintingTest : public ::testing::Test {
protected:
    void SetUp() override {
        QPrinter &p = sharedPrinter();
        keptFormat_ = p.outputFormat();
        keptFile_ = p.outputFileName();
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(QDir::current().absoluteFilePath("out.pdf"));
    }
    void TearDown() override {
        endAllThreads();
        QPrinter &p = sharedPrinter();
        p.setOutputFormat(keptFormat_);
        p.setOutputFileName(keptFile_);
    }

    // One page per text, the text alone at the top of it.
    static std::unique_ptr<Report> pagesOf(const QStringList &texts,
                                           Report::Output output = Report::Output::Queue) {
        Layout l;
        Band b;
        b.name = "Line";
        b.height = 500;
        Element e;
        e.name = "Text";
        e.rect = QRect(1000, 1000, 0, 0);
        b.elements << e;
        l.details << b;
        auto r = std::make_unique<Report>(std::move(l));
        r->setOutput(output);
        for (const QString &t : texts) {
            r->element("Text")->text = t;
            r->print("Line");
            r->endPage();
        }
        return r;
    }

    static QStringList pdfPages(const QString &file = "out.pdf") { return test::pdfPages(file); }

    QPrinter::OutputFormat keptFormat_ = QPrinter::PdfFormat;
    QString keptFile_;
};

} // namespace

TEST_F(PrintingTest, APrintoutReadsBackFromThePdfWithItsLettersAsWritten) {
    auto r = pagesOf({"Fine office files: Songs by Title", "Second page"}, Report::Output::Printer);
    r->close();   // the pages went to the printer as each one ended
    EXPECT_TRUE(r->queue().isEmpty());
    EXPECT_EQ(pdfPages(), (QStringList{"Fine office files: Songs by Title", "Second page"}));
    // The printer's own set-up is as it was.
    EXPECT_EQ(sharedPrinter().outputFileName(), QDir::current().absoluteFilePath("out.pdf"));
    EXPECT_FALSE(sharedPrinter().fullPage());
}

TEST(SharedPrinter, WithoutAPrinterOnTheSystemThePrintoutGoesToAPdfFile) {
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "this machine has a printer";
    EXPECT_EQ(sharedPrinter().outputFormat(), QPrinter::PdfFormat);
}

TEST_F(PrintingTest, CopiesRepeatTheRunWhenCollatedAndEachPageWhenNot) {
    auto r = pagesOf({"Alpha", "Bravo"});
    r->close();
    sharedPrinter().setCopyCount(3);
    ASSERT_TRUE(HANDLECOPIES(r->queue(), 2, true));
    EXPECT_EQ(pdfPages(), (QStringList{"Alpha", "Bravo", "Alpha", "Bravo"}));
    ASSERT_TRUE(HANDLECOPIES(r->queue(), 2, false));
    EXPECT_EQ(pdfPages(), (QStringList{"Alpha", "Alpha", "Bravo", "Bravo"}));
    EXPECT_EQ(sharedPrinter().copyCount(), 3);   // put back
    EXPECT_FALSE(HANDLECOPIES(PreviewImageQueue(), 2));

    // The preview's Print: closing sends the queued pages once.
    auto again = pagesOf({"Charlie"});
    again->setPrintOnClose(true);
    EXPECT_TRUE(again->close());
    EXPECT_EQ(pdfPages(), QStringList{"Charlie"});
    EXPECT_EQ(SUPPORTED(1), 0);   // only the copies property is answered
}

TEST_F(PrintingTest, APdfThatCannotBeWrittenIsNamedInAMessageAndNothingPrints) {
    const QString bad = QDir::current().absoluteFilePath("no such folder/out.pdf");
    sharedPrinter().setOutputFileName(bad);
    bool ok = true;
    const auto shown = runAnswering([&] {
        auto r = pagesOf({"Alpha", "Bravo"}, Report::Output::Printer);
        ok = r->close();
    });
    EXPECT_FALSE(ok);
    ASSERT_EQ(shown.size(), 1u);   // once, not once a page
    EXPECT_TRUE(shown[0].text.contains(bad)) << shown[0].text.toStdString();
    EXPECT_EQ(sharedPrinter().outputFileName(), bad);
}

TEST_F(PrintingTest, PrintingToAPdfWithoutAFileAsksForOneAndCancelPrintsNothing) {
    sharedPrinter().setOutputFileName(QString());
    auto r = pagesOf({"Alpha"});
    r->close();
    bool ok = true;
    const int t = startThread([&] { ok = HANDLECOPIES(r->queue(), 1); });
    ASSERT_TRUE(runUntilIdle());
    auto *dialog = qobject_cast<QFileDialog *>(activeWindow(t));
    ASSERT_TRUE(dialog);
    dialog->reject();
    ASSERT_TRUE(runUntilIdle());
    EXPECT_FALSE(ok);
    EXPECT_TRUE(QDir::current().entryList({"*.pdf"}).isEmpty());

    // The name it offers taken: into that file, and the next printout asks again.
    const int u = startThread([&] { ok = HANDLECOPIES(r->queue(), 1); });
    ASSERT_TRUE(runUntilIdle());
    dialog = qobject_cast<QFileDialog *>(activeWindow(u));
    ASSERT_TRUE(dialog);
    static_cast<QDialog *>(dialog)->accept();
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(ok);
    EXPECT_EQ(pdfPages("report.pdf"), QStringList{"Alpha"});
    EXPECT_TRUE(sharedPrinter().outputFileName().isEmpty());
}
