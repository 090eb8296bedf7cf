// The explorer song and album lists on the 100,000-song, 10,000-album catalogue, offscreen: the
// song list opening with a kept layout ordered on a column, the album list opening, and a search
// listing the songs anew. Each figure runs from the start (or the filter handed over) until the
// list's thread waits again with the first page drawn.
//
//   TBK_BENCH_DIR=<copy of the catalogue> bench_xplorelists [--benchmark_filter=...]
//
// The lists write their window places and layouts, so point TBK_BENCH_DIR at a copy of the kept
// catalogue (tbk_bench_100000); a missing one is made first, which takes a while.
#include "albums/xplorealbums.h"
#include "bench/data/catalogue.h"
#include "bench/data/windowbench.h"
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/scheduler.h"
#include "songs/xploresongs.h"

#include <benchmark/benchmark.h>

using namespace tbk;

namespace {

void settle() { bench::settleWindows(); }

XploreSongsWindow *songs = nullptr;
XploreAlbumsWindow *albums = nullptr;

void useCatalogue() {
    static bool opened = false;
    if (opened)
        return;
    bench::useKeptCatalogue(100000);
    for (data::DataFile *f : {static_cast<data::DataFile *>(&MUS), static_cast<data::DataFile *>(&CAT),
                              static_cast<data::DataFile *>(&MED), static_cast<data::DataFile *>(&ALB),
                              static_cast<data::DataFile *>(&CF)})
        openForUse(*f);
    opened = true;
}

template <class W>
void openList(W *&window) {
    startThread([&window] {
        W w;
        window = &w;
        w.run();
        window = nullptr;
    }, kMinimumThreadStack);
    settle();
}

template <class W>
void closeList(W *&window) {
    if (window) {
        postToWindow(window->frame(), Event::of(EventKind::CloseWindow, window->frame()));
        settle();
    }
}

template <class W>
void timedOpen(benchmark::State &state, W *&window) {
    bench::timeSteps(state, [&window] { closeList(window); }, [&window] { openList(window); },
                     [&window] { return window && !window->list().empty(); }, "the list closed or shows nothing");
    closeList(window);
}

void BM_XploreSongsOpenOrderedOnTitle(benchmark::State &state) {
    useCatalogue();
    // A layout kept against this design, ordered on the second column.
    openList(songs);
    closeList(songs);
    putIni(QStringLiteral("XploreSongs"), QStringLiteral("XplorePrevCol-?Browse"), QStringLiteral("2"),
           QStringLiteral(".\\POSITION.INI"));
    timedOpen(state, songs);
}

void BM_XploreAlbumsOpen(benchmark::State &state) {
    useCatalogue();
    timedOpen(state, albums);
}

// "Artist begins with artist 025" as the query wizard writes it: 100 of the 5,000 artists.
void BM_XploreSongsSearchArtistBegins(benchmark::State &state) {
    useCatalogue();
    openList(songs);
    bench::timeSteps(
        state, [] { songs->search({}); settle(); },
        [] { songs->search(QStringLiteral("INSTRING('ARTIST 025', UPPER(MUS:Artist), 1, 1) = 1")); },
        [] { return songs && !songs->list().empty(); }, "the search found nothing");
    closeList(songs);
}

#define LIST_BENCHMARK(fn)                                                                          \
    BENCHMARK(fn)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(15) \
        ->ReportAggregatesOnly(true)

LIST_BENCHMARK(BM_XploreSongsOpenOrderedOnTitle);
LIST_BENCHMARK(BM_XploreAlbumsOpen);
LIST_BENCHMARK(BM_XploreSongsSearchArtistBegins);

} // namespace

int main(int argc, char **argv) {
    return bench::runWindowBenchmarks(argc, argv, [] {
        closeList(songs);
        closeList(albums);
    });
}
