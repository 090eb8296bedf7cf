// A long report: 100,000 two-line bands of nine text fields (about 3,500 pages). Laying them
// out, laying them out and writing the PDF, and in their preview a page turn at 100% and a
// 4 x 4 thumbnail refresh. The peak memory of the process is given as a counter.
#include "runtime/report/preview.h"
#include "runtime/report/printing.h"
#include "runtime/report/report.h"
#include "runtime/threads/scheduler.h"
#include "support/report/previewtesting.h"
#include "support/windows/controltesting.h"
#include "support/windows/windowtesting.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWidget>
#include <benchmark/benchmark.h>

using namespace tbk;
using namespace tbk::report;

namespace {

constexpr int kBands = 100000;

Element field(const QString &name, int x, int y, const QString &picture) {
    Element e;
    e.name = name;
    e.rect = QRect(x, y, 0, 0);
    e.picture = picture;
    return e;
}

Layout songLayout() {
    Layout l;
    l.header.height = 500;
    Element title = field("Title", 31, 50, QString());
    title.text = "Songs by Title";
    title.ownFont = true;
    title.font.size = 16;
    title.font.weight = 700;
    l.header.elements << title;
    l.footer.height = 300;
    Element page = field("Page", 6800, 50, "@pPage <<<#p");
    page.pageNumber = true;
    l.footer.elements << page;
    Band d;
    d.name = "Detail";
    d.height = 340;
    d.elements << field("Title", 31, 0, "@s50") << field("Artist", 1646, 0, "@s50") << field("Album", 3208, 0, "@s50")
               << field("Media", 4781, 0, "@s20") << field("Category", 5979, 0, "@s30")
               << field("FileNumber", 3208, 170, "@s20") << field("ReleaseDate", 4781, 170, "@d2")
               << field("Track", 5979, 170, "@n3b") << field("Chart", 6521, 170, "@n3b");
    l.details << d;
    return l;
}

std::unique_ptr<Report> layOut() {
    auto r = std::make_unique<Report>(songLayout());
    Band &d = *r->layout().detail("Detail");
    QList<Element *> f;
    for (Element &e : d.elements)
        f << &e;
    for (int i = 0; i < kBands; ++i) {
        f[0]->value = QStringLiteral("Song title number %1").arg(i);
        f[1]->value = QStringLiteral("Artist %1").arg(i % 977);
        f[2]->value = QStringLiteral("Album %1").arg(i / 12);
        f[3]->value = QStringLiteral("CD");
        f[4]->value = QStringLiteral("Rock");
        f[5]->value = QStringLiteral("F-%1").arg(i / 12);
        f[6]->value = 60000 + i % 9000;
        f[7]->value = i % 15 + 1;
        f[8]->value = i % 40;
        r->print(QStringLiteral("Detail"));
    }
    r->close();
    return r;
}

long peakKiB() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    return 0;
}

void BM_LayOut(benchmark::State &state) {
    int pages = 0;
    for (auto _ : state)
        pages = layOut()->queue().count();
    state.counters["pages"] = pages;
    state.counters["peak_MiB"] = peakKiB() / 1024.0;
}
BENCHMARK(BM_LayOut)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

void BM_LayOutAndWritePdf(benchmark::State &state) {
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("long.pdf"));
    for (auto _ : state) {
        auto r = layOut();
        PagePrinter out(printer);
        out.begin(r->queue().page(1));
        for (int p = 1; p <= r->queue().count(); ++p)
            out.printPage(r->queue().page(p));
        out.end();
    }
    state.counters["pdf_MiB"] = QFileInfo(dir.filePath("long.pdf")).size() / 1048576.0;
    state.counters["peak_MiB"] = peakKiB() / 1024.0;
}
BENCHMARK(BM_LayOutAndWritePdf)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

// The preview of the long run, open on a thread of its own for the two preview figures.
struct OpenPreview {
    OpenPreview() {
        queue = layOut()->queue();
        thread = startThread([this] { PreviewReport(queue); }, kMinimumThreadStack);
        windowtest::runUntilIdle();
        window = test::previewWindow(thread);
        window->resize(1000, 900);
        windowtest::runUntilIdle();
    }
    ~OpenPreview() {
        windowtest::pressButton(thread, "Exit");
        windowtest::runUntilIdle();
    }
    PreviewImageQueue queue;
    int thread = 0;
    QWidget *window = nullptr;
};

OpenPreview &preview() {
    static OpenPreview p;
    return p;
}

void BM_PreviewPageTurnAt100(benchmark::State &state) {
    OpenPreview &p = preview();
    test::previewCommand(p.window, "MenuZoom5");
    for (auto _ : state)
        if (!test::previewCommand(p.window, "MenuNext"))
            state.SkipWithError("Next did nothing");
    state.counters["peak_MiB"] = peakKiB() / 1024.0;
}
BENCHMARK(BM_PreviewPageTurnAt100)->Unit(benchmark::kMillisecond)->Iterations(50)->Repetitions(3);

void BM_PreviewThumbnails4x4(benchmark::State &state) {
    OpenPreview &p = preview();
    test::previewCommand(p.window, "MenuZoom1");
    windowtest::typeInto(p.thread, "Across", "4");
    windowtest::typeInto(p.thread, "Down", "4");
    for (auto _ : state)
        if (!test::previewCommand(p.window, "MenuNext"))
            state.SkipWithError("Next did nothing");
    state.counters["peak_MiB"] = peakKiB() / 1024.0;
}
BENCHMARK(BM_PreviewThumbnails4x4)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QTemporaryDir home;
    QDir::setCurrent(home.path());
    qputenv("TBK_CONFIG_DIR", home.path().toUtf8());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
