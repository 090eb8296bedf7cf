// PrintSongsByTitle, standard layout, every song of the 100,000-song catalogue, offscreen: from
// the criteria's Ok to the PDF file closed, and from the Ok until the preview is open. The
// process's peak memory is given as a counter (run one benchmark at a time to read each one's).
//
//   TBK_BENCH_DIR=<copy of the kept catalogues> bench_songreports [--benchmark_filter=...]
#include "bench/data/catalogue.h"
#include "bench/data/windowbench.h"
#include "core/programsettings.h"
#include "reports/songreports.h"
#include "runtime/report/preview.h"
#include "runtime/threads/printersetup.h"
#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadwindows.h"

#include <QAbstractButton>
#include <QFile>
#include <QFileInfo>
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

// The report started, its criteria window open: All, Standard, preview as asked.
void openCriteria(bool preview) {
    bench::useKeptCatalogue(100000);
    ReportLayout = QStringLiteral("Standard");
    SelectedOrAll = QStringLiteral("All");
    ReportUseCustomFont = 0;
    ReportPreviewChoice = preview ? 1 : 0;
    reportThread = startThread(PrintSongsByTitle, kMinimumThreadStack);
}

void BM_PrintSongsByTitleToPdf(benchmark::State &state) {
    QTemporaryDir out;
    const QString file = out.filePath(QStringLiteral("songs.pdf"));
    QPrinter &printer = sharedPrinter();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setCopyCount(1);
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
        [] { click(QStringLiteral("Ok")); },
        [&pages] {
            const report::PreviewImageQueue *q = report::previewedPages(shown());
            pages = q ? q->count() : 0;
            return pages > 0;
        },
        "the preview did not open");
    click(QStringLiteral("Exit"));
    bench::settleWindows();
    state.counters["pages"] = pages;
    state.counters["peak_MiB"] = peakKiB() / 1024.0;
}
BENCHMARK(BM_PrintSongsByTitleIntoPreview)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(3);

} // namespace

int main(int argc, char **argv) { return bench::runWindowBenchmarks(argc, argv); }
