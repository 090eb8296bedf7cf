// A song explorer on the 100,000-song catalogue, offscreen: nine columns over the songs file,
// ordered by header clicks. Each figure is one step as the user makes it, from the mouse or the
// event posted until the explorer's thread waits again with the page drawn.
//
//   bench_explorer [--benchmark_filter=...]
//
// The catalogue is tbk_gencat's kept in $TBK_BENCH_DIR (default /tmp) as tbk_bench_100000; a
// missing one is made first, which takes a while.
#include "bench/data/catalogue.h"
#include "bench/data/windowbench.h"
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "impex/xplorebrowse.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

#include <functional>

using namespace tbk;

namespace {

constexpr XploreColumn kColumns[] = {
    {"MUS:Artist", "Artist", 77, "Artist", "@s50", 'L', true, false, false, true, true},
    {"MUS:Title", "Title", 75, "Title", "@s50", 'L', true, false, false, true, true},
    {"MUS:Album", "Album", 76, "Album", "@s50", 'L', true, false, false, true, true},
    {"MUS:Media", "Media", 39, "Media", "@s20", 'L', true, false, false, true, true},
    {"MUS:FileNumber", "File Number", 43, "File Number", "@s20", 'L', true, false, false, true, true},
    {"MUS:Time", "Time", 23, "Time", "@t4b", 'R', true, false, false, true, true},
    {"MUS:ReleaseDate", "Released", 36, "Released", "@d17b", 'R', true, false, false, true, true},
    {"MUS:BeatsPerMinute", "BPM", 24, "BPM", "@n_4b", 'R', true, false, false, true, true},
    {"MUS:Rating", "Rating", 24, "Rating", "@n_3b", 'R', true, false, false, true, true},
};

class BenchExplorer : public XploreBrowse {
public:
    BenchExplorer() : XploreBrowse(QStringLiteral("BenchXploreSongs"), {&MUS}, kColumns, QStringLiteral("?Browse")) {
        setKeepsPlace(false);
    }
    using Browse::list;

protected:
    QWidget *buildExplorer() override {
        WindowBuilder b(*this, QStringLiteral("Explore Songs"), {374, 170});
        ListControl *l = b.list(QStringLiteral("Browse"), designFormat(), 160);
        Buttons buttons;
        buttons.close = b.button(QStringLiteral("Cl&ose"));
        setButtons(buttons);
        makeList(l, MUS, [] {
            return std::vector<QVariant>{MUS.Artist.str(), MUS.Title.str(), MUS.Album.str(), MUS.Media.str(),
                                         MUS.FileNumber.str(), MUS.Time.value(), MUS.ReleaseDate.value(),
                                         MUS.BeatsPerMinute.value(), MUS.Rating.value()};
        }).addSortOrder({&MUS.SongsByArtist, {}, {}, LocatorKind::Incremental, 0, {0, 0, StopLetters | StopDigits}});
        QWidget *w = b.finish();
        w->resize(900, 420);
        return w;
    }
};

void settle() { bench::settleWindows(); }

bench::BenchWindow<BenchExplorer> explorer;

BenchExplorer &open() {
    if (!explorer) {
        explorer.useCatalogue(100000, {&MUS});
        explorer.open();
    }
    return *explorer;
}

void clickHeader(int column) {
    QHeaderView *h = explorer->list().control()->header();
    const QPoint at(h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->viewport()->height() / 2);
    QTest::mousePress(h->viewport(), Qt::LeftButton, {}, at);
    settle();
    QTest::mouseRelease(h->viewport(), Qt::LeftButton, {}, at);
}

void post(EventKind kind, int key = 0, int value = 0, const QString &text = {}) {
    explorer.postToList(kind, key, value, text);
}

void timed(benchmark::State &state, const std::function<void()> &before, const std::function<void()> &step) {
    bench::timeSteps(state, before, step, [] { return explorer && !explorer->list().empty(); },
                     "the explorer closed or shows nothing");
}

void BM_HeaderClickText(benchmark::State &state) {
    open();
    timed(state, nullptr, [] { clickHeader(1); });   // Title, ascending and descending by turns
}

void BM_HeaderClickNumber(benchmark::State &state) {
    open();
    timed(state, nullptr, [] { clickHeader(7); });   // BPM
}

void BM_LocatorPrefix(benchmark::State &state) {
    open();
    if (explorer->sortColumn() != 2 || explorer->shownColumns()[1].descending) {
        clickHeader(1);
        settle();
        if (explorer->shownColumns()[1].descending)
            clickHeader(1);
        settle();
    }
    timed(state, [] { post(EventKind::Scroll, ScrollTop, 1); },   // a scroll clears the locator
          [] { post(EventKind::AlertKey, 0, 0, QStringLiteral("m")); });
}

void BM_PageDownOrdered(benchmark::State &state) {
    open();
    timed(state, nullptr, [] { post(EventKind::Scroll, ScrollPageDown, 1); });
}

#define EXPLORER_BENCHMARK(fn)                                                                       \
    BENCHMARK(fn)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(25) \
        ->ReportAggregatesOnly(true)

EXPLORER_BENCHMARK(BM_HeaderClickText);
EXPLORER_BENCHMARK(BM_HeaderClickNumber);
EXPLORER_BENCHMARK(BM_LocatorPrefix);
EXPLORER_BENCHMARK(BM_PageDownOrdered);

} // namespace

int main(int argc, char **argv) {
    return bench::runWindowBenchmarks(argc, argv, [] { explorer.close(); });
}
