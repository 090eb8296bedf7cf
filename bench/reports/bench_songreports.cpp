// PrintSongsByTitle, standard layout, every song of the 100,000-song catalogue, offscreen: from
// the criteria's Ok to the PDF file closed, and from the Ok until the preview is open.
// PrintSongsByCategory for one category (about 2,000 songs), from the criteria's Ok until the
// preview is open. PrintPaperSaverByArtist over every song to a PDF file, from the wizard's
// Close. The process's peak memory is given as a counter (run one benchmark at a time to read
// each one's).
//
//   TBK_BENCH_DIR=<copy of the kept catalogues> bench_songreports [--benchmark_filter=...]
#include "bench/data/catalogue.h"
#include "bench/data/windowbench.h"
#include "core/datafiles.h"
#include "core/programsettings.h"
#include "reports/papersavers.h"
#include "reports/songlistreports.h"
#include "reports/songreports.h"
#include "runtime/querywizard/querywizardtexts.h"
#include "runtime/report/preview.h"
#include "runtime/threads/printersetup.h"
#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadwindows.h"

#include <QAbstractButton>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrinter>
#include <QTemporaryDir>
#include <QWidget>
#include <benchmark/benchmark.h>

using namespace tbk;

namespace {

int reportThread = 0;

long peakKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    return 0;
}

QWidget *shown() { return threadExists(reportThread) ? activeThreadWindow(reportThread) : nullptr; }

void click(const QString &button) {
    if (QWidget *w = shown())
        if (auto *b = w->findChild<QAbstractButton *>(button))
            b->click();
}

// The report started: All, Standard, preview as asked; its first window open.
void openCriteria(bool preview, void (*report)() = PrintSongsByTitle) {
    bench::useKeptCatalogue(100000);
    ReportLayout = QStringLiteral("Standard");
    SelectedOrAll = QStringLiteral("All");
    ReportUseCustomFont = 0;
    ReportPreviewChoice = preview ? 1 : 0;
    reportThread = startThread(report, kMinimumThreadStack);
}

void printToPdf(QTemporaryDir &out, const char *name) {
    QPrinter &printer = sharedPrinter();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out.filePath(QString::fromLatin1(name)));
    printer.setCopyCount(1);
}

bool previewOpen(int &pages) {
    const report::PreviewImageQueue *q = report::previewedPages(shown());
    pages = q ? q->count() : 0;
    return pages > 0;
}

void BM_PrintSongsByTitleToPdf(benchmark::State &state) {
    QTemporaryDir out;
    printToPdf(out, "songs.pdf");
    const QString file = sharedPrinter().outputFileName();
    bench::timeSteps(
        state,
        [&file] {
            QFile::remove(file);
            openCriteria(false);
        },
        [] { click(QStringLiteral("Ok")); }, [] { return !threadExists(reportThread); },
        "the report did not end");
    state.counters["pdf_MiB"] = QFileInfo(file).size() / 1048576.0;
    state.counters["peak_MiB"] = peakKiB() / 1024.0;
}
BENCHMARK(BM_PrintSongsByTitleToPdf)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(3);

void BM_PrintSongsByTitleIntoPreview(benchmark::State &state) {
    int pages = 0;
    bench::timeSteps(
        state,
        [] {
            click(QStringLiteral("Exit"));   // the last run's preview
            bench::settleWindows();
            openCriteria(true);
        },
        [] { click(QStringLiteral("Ok")); }, [&pages] { return previewOpen(pages); }, "the preview did not open");
    click(QStringLiteral("Exit"));
    bench::settleWindows();
    state.counters["pages"] = pages;
    state.counters["peak_MiB"] = peakKiB() / 1024.0;
}
BENCHMARK(BM_PrintSongsByTitleIntoPreview)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(3);

void BM_PrintSongsByCategoryIntoPreview(benchmark::State &state) {
    int pages = 0;
    bench::timeSteps(
        state,
        [] {
            click(QStringLiteral("Exit"));
            bench::settleWindows();
            // The category list opens at the category in the buffer.
            bench::useKeptCatalogue(100000);
            CAT.CategoryID = 7;
            CAT.get(CAT.KeyCategoryID);
            openCriteria(true, PrintSongsByCategory);
            bench::settleWindows();
            click(QStringLiteral("Select"));
        },
        [] { click(QStringLiteral("Ok")); }, [&pages] { return previewOpen(pages); }, "the preview did not open");
    click(QStringLiteral("Exit"));
    bench::settleWindows();
    state.counters["pages"] = pages;
    state.counters["peak_MiB"] = peakKiB() / 1024.0;
}
BENCHMARK(BM_PrintSongsByCategoryIntoPreview)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(5);

void BM_PrintPaperSaverByArtistToPdf(benchmark::State &state) {
    QTemporaryDir out;
    printToPdf(out, "papersaver.pdf");
    const QString file = sharedPrinter().outputFileName();
    bench::timeSteps(
        state,
        [&file] {
            QFile::remove(file);
            openCriteria(false, PrintPaperSaverByArtist);
            // The eleven files fill the connection: the wizard's saved queries need a place.
            LAB.close();
            FON.close();
            bench::settleWindows();
            // Not previewed: printed.
            if (auto *box = qobject_cast<QMessageBox *>(shown()))
                box->button(QMessageBox::No)->click();
        },
        [] { click(QStringLiteral("Close")); }, [] { return !threadExists(reportThread); },
        "the report did not end");
    state.counters["pdf_MiB"] = QFileInfo(file).size() / 1048576.0;
    state.counters["peak_MiB"] = peakKiB() / 1024.0;
}
BENCHMARK(BM_PrintPaperSaverByArtistToPdf)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(3);

} // namespace

int main(int argc, char **argv) {
    SetQueryWizardTexts();   // as at start-up: the wizard's captions
    return bench::runWindowBenchmarks(argc, argv);
}
