// On the 100,000-song catalogue, offscreen: PreviewLabel of a CD label with two memos of 3,000
// characters, four favourite fonts and a picture, from the call until the preview is open.
//
//   TBK_BENCH_DIR=<copy of the kept catalogues> bench_labelpreview [--benchmark_filter=...]
#include "bench/data/catalogue.h"
#include "bench/data/windowbench.h"
#include "core/datafiles.h"
#include "labels/labelprint.h"
#include "runtime/report/preview.h"
#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadwindows.h"

#include <QAbstractButton>
#include <QDir>
#include <QImage>
#include <QWidget>
#include <benchmark/benchmark.h>

using namespace tbk;

namespace {

int previewThread = 0;

QWidget *shown() { return threadExists(previewThread) ? activeThreadWindow(previewThread) : nullptr; }

void closePreview() {
    if (QWidget *w = shown())
        if (auto *b = w->findChild<QAbstractButton *>(QStringLiteral("Exit")))
            b->click();
    bench::settleWindows();
}

QString memo(const QString &word) {
    QString text;
    for (int n = 1; text.size() < 3000; ++n)
        text += QStringLiteral("%1. %2 of the album, a song title\r\n").arg(n).arg(word);
    return text.left(3000);
}

// The label, its fonts and its picture, in the buffers and the files; the same each run.
void prepareLabel() {
    const QString picture = QDir::current().absoluteFilePath(QStringLiteral("bench_cover.png"));
    if (!QFile::exists(picture)) {
        QImage img(600, 600, QImage::Format_RGB32);
        img.fill(Qt::darkCyan);
        img.save(picture);
    }
    const char *faces[] = {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono", "Arial"};
    for (int id = 1; id <= 4; ++id) {
        FON.clear();
        FON.FONTID = id;
        if (FON.get(FON.KeyFontID))
            continue;
        FON.TYPEFACE = QString::fromLatin1(faces[id - 1]);
        FON.SIZE = QString::number(8 + id);
        FON.COLOUR = QString::number(id * 64);
        FON.STYLE = id % 2 ? QStringLiteral("700") : QStringLiteral("4496");
        FON.add();
    }
    LAB.clear();
    LAB.LABELTYPE = "CD";
    LAB.CDSPINE = "The Artist - The Album";
    LAB.CDTITLE = "The Album";
    LAB.CDCoverText = memo(QStringLiteral("Back"));
    LAB.CDInsideText = memo(QStringLiteral("Inside"));
    LAB.CDSPINEFONTID = 1;
    LAB.CDTITLEFONTID = 2;
    LAB.CDCOVERTEXTFONTID = 3;
    LAB.CDINSIDETEXTFONTID = 4;
    LAB.CDSPINEJUSTIFICATION = "Center";
    LAB.CDTEXTJUSTIFICATION = "Center";
    LAB.CDBACKCOVERJUSTIFICATION = "Left";
    LAB.IMAGENAME = picture;
    LAB.IMAGEPOSITIONX = 3771;
    LAB.IMAGEPOSITIONY = 8438;
    LAB.IMAGESIZEX = 1500;
    LAB.IMAGESIZEY = "1500";
}

void BM_PreviewCdLabel(benchmark::State &state) {
    int items = 0;
    bench::timeSteps(
        state,
        [] {
            closePreview();
            bench::useKeptCatalogue(100000);
            prepareLabel();
        },
        [] { previewThread = startThread(PreviewLabel, kMinimumThreadStack); },
        [&items] {
            const report::PreviewImageQueue *q = report::previewedPages(shown());
            items = q && q->count() == 1 ? int(q->page(1).items.size()) : 0;
            return items > 0;
        },
        "the preview did not open");
    closePreview();
    state.counters["drawn_items"] = items;
}
BENCHMARK(BM_PreviewCdLabel)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(15);

} // namespace

int main(int argc, char **argv) { return bench::runWindowBenchmarks(argc, argv); }
