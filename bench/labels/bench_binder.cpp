// On the 100,000-song catalogue (10,000 albums), offscreen: the binder pages of every album, and
// the flap page of one album as the album list's Quick CD Cover prints it, each from its start
// until the preview is open.
//
//   TBK_BENCH_DIR=<copy of the kept catalogues> bench_binder [--benchmark_filter=...]
#include "albums/quickcdcover.h"
#include "bench/data/catalogue.h"
#include "bench/data/windowbench.h"
#include "core/datafiles.h"
#include "core/procedures.h"
#include "labels/binderpages.h"
#include "runtime/report/preview.h"
#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadwindows.h"

#include <QAbstractButton>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <ctime>

using namespace tbk;

namespace {

int reportThread = 0;

QWidget *shown() { return threadExists(reportThread) ? activeThreadWindow(reportThread) : nullptr; }

void closePreview() {
    if (QWidget *w = shown())
        if (auto *b = w->findChild<QAbstractButton *>(QStringLiteral("Exit")))
            b->click();
    bench::settleWindows();
}

double cpuSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

// Times the run from its start to the open preview; the pages and the CPU time as counters.
void timeRun(benchmark::State &state, const std::function<void()> &prepare, void (*procedure)()) {
    int pages = 0;
    double cpu = 0;
    double started = 0;
    bench::timeSteps(
        state,
        [&] {
            closePreview();
            bench::useKeptCatalogue(100000);
            prepare();
            started = cpuSeconds();
        },
        [&] { reportThread = startThread(procedure, kMinimumThreadStack); },
        [&] {
            cpu = cpuSeconds() - started;
            const report::PreviewImageQueue *q = report::previewedPages(shown());
            pages = q ? q->count() : 0;
            return pages > 0;
        },
        "the preview did not open");
    closePreview();
    state.counters["pages"] = pages;
    state.counters["cpu_ms"] = cpu * 1000;
}

void BM_BinderPagesOfEveryAlbum(benchmark::State &state) {
    timeRun(state, [] {
        PagePrintRange.Style = "Binder";
        PagePrintRange.FirstFileNumber = "F00000";
        PagePrintRange.LastFileNumber = "F99999";
    }, PrintCDBinderPages);
}
BENCHMARK(BM_BinderPagesOfEveryAlbum)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(3);

void BM_QuickCDCoverOfOneAlbum(benchmark::State &state) {
    registerProcedure(QString::fromLatin1(kFlapPrinter), PrintCDFlapPages);
    int album = 0;
    timeRun(state, [&album] {
        // A different album each time, across the file.
        album = album % 10000 + 3779;
        ALB.clear();
        ALB.AlbumID = album;
        ALB.get(ALB.KEYALBUMID);
    }, QuickCDCover);
}
BENCHMARK(BM_QuickCDCoverOfOneAlbum)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(7);

} // namespace

int main(int argc, char **argv) { return bench::runWindowBenchmarks(argc, argv); }
