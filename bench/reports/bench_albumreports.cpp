// On the 100,000-song catalogue (10,000 albums), offscreen: PrintAlbumsWithSongs for one album,
// from Yes at the preview question until the preview is open; PrintAlbumsByArtist of every
// album, from the criteria's Ok until the PDF file is closed.
//
//   TBK_BENCH_DIR=<copy of the kept catalogues> bench_albumreports [--benchmark_filter=...]
#include "bench/data/catalogue.h"
#include "bench/data/windowbench.h"
#include "core/datafiles.h"
#include "core/programsettings.h"
#include "reports/albumreports.h"
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

QWidget *shown() { return threadExists(reportThread) ? activeThreadWindow(reportThread) : nullptr; }

void click(const QString &button) {
    if (QWidget *w = shown())
        if (auto *b = w->findChild<QAbstractButton *>(button))
            b->click();
}

void BM_PrintAlbumsWithSongsOfOneAlbum(benchmark::State &state) {
    int pages = 0;
    int album = 0;
    bench::timeSteps(
        state,
        [&album] {
            click(QStringLiteral("Exit"));   // the last run's preview
            bench::settleWindows();
            bench::useKeptCatalogue(100000);
            // A different album each time, across the file.
            album = album % 10000 + 3779;
            ALB.clear();
            ALB.AlbumID = album;
            ALB.get(ALB.KEYALBUMID);
            reportThread = startThread(PrintAlbumsWithSongs, kMinimumThreadStack);
            bench::settleWindows();
        },
        [] {
            if (auto *box = qobject_cast<QMessageBox *>(shown()))
                box->button(QMessageBox::Yes)->click();
        },
        [&pages] {
            const report::PreviewImageQueue *q = report::previewedPages(shown());
            pages = q ? q->count() : 0;
            return pages > 0;
        },
        "the preview did not open");
    click(QStringLiteral("Exit"));
    bench::settleWindows();
    state.counters["pages"] = pages;
}
BENCHMARK(BM_PrintAlbumsWithSongsOfOneAlbum)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(5);

void BM_PrintAlbumsByArtistToPdf(benchmark::State &state) {
    QTemporaryDir out;
    const QString file = out.filePath(QStringLiteral("albums.pdf"));
    QPrinter &printer = sharedPrinter();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setCopyCount(1);
    bench::timeSteps(
        state,
        [&file] {
            QFile::remove(file);
            bench::useKeptCatalogue(100000);
            ReportLayout = QStringLiteral("Standard");
            SelectedOrAll = QStringLiteral("All");
            ReportUseCustomFont = 0;
            ReportPreviewChoice = 0;
            reportThread = startThread(PrintAlbumsByArtist, kMinimumThreadStack);
            bench::settleWindows();
        },
        [] { click(QStringLiteral("Ok")); }, [] { return !threadExists(reportThread); }, "the report did not end");
    state.counters["pdf_MiB"] = QFileInfo(file).size() / 1048576.0;
}
BENCHMARK(BM_PrintAlbumsByArtistToPdf)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(3);

} // namespace

int main(int argc, char **argv) { return bench::runWindowBenchmarks(argc, argv); }
