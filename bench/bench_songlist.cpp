// The song list (BrowseSongs, all fourteen columns, the media and category joined) on large
// catalogues, offscreen. Each figure is one step as the user makes it, from the event posted
// to the window until its thread waits again with the page drawn.
//
//   TBK_BENCH_DIR=<copy of the catalogues> bench_songlist [--benchmark_filter=...]
//
// The list writes its window place, list format and last tab, so point TBK_BENCH_DIR at a copy
// of the kept catalogues (tbk_bench_100000, tbk_bench_1000000).
#include "bench/data/catalogue.h"
#include "bench/data/windowbench.h"
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "core/programsettings.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "songs/browsesongswindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <functional>

using namespace tbk;

namespace {

enum { ByArtist = 0, ByMedia = 3 };

void settle() { bench::settleWindows(); }

bench::BenchWindow<BrowseSongsWindow> session;

void closeBrowse() { session.close(); }
void openBrowse() { session.open(); }
void useCatalogue(int songs) { session.useCatalogue(songs, {&MUS, &CAT, &MED, &CF}); }

void browse(int songs) {
    useCatalogue(songs);
    if (!session) {
        openBrowse();
        session->frame()->resize(900, 420);
        settle();
    }
}

void post(EventKind kind, int key = 0, int value = 0, const QString &text = {}) {
    session.postToList(kind, key, value, text);
}

void chooseTab(int tab) {
    session->tabs()->setCurrentIndex(tab);
    settle();
}

// Times `step`; `before` runs untimed ahead of it. `rows`: whether the step must leave rows.
void timed(benchmark::State &state, const std::function<void()> &before, const std::function<void()> &step,
           bool rows = true) {
    bench::timeSteps(state, before, step,
                     [rows] {
                         return session && !session->list().failed() &&
                                session->list().empty() == !rows;
                     },
                     "the list closed or shows other rows than expected");
}

void BM_OpenFirstPage(benchmark::State &state) {
    useCatalogue(int(state.range(0)));
    putIni(QString::fromLatin1(kSettingsSection), QStringLiteral("SongTab"), QStringLiteral("1"), ProgramIniFile);
    timed(state, closeBrowse, openBrowse);
    state.counters["rss_MB"] = bench::statusKilobytes("VmRSS:") / 1024;
}

// From the first tab to tab range(1).
void BM_SwitchTab(benchmark::State &state) {
    browse(int(state.range(0)));
    const int tab = int(state.range(1));
    timed(state, [] { chooseTab(ByArtist); }, [tab] { session->tabs()->setCurrentIndex(tab); });
}

void BM_LocateTypedPrefix(benchmark::State &state) {
    browse(int(state.range(0)));
    chooseTab(ByArtist);
    timed(state, [] { post(EventKind::Scroll, ScrollTop, 1); },   // a scroll clears the locator
          [] { post(EventKind::AlertKey, 0, 0, QStringLiteral("artist 025")); });
}

void BM_MediaWithoutSongs(benchmark::State &state) {
    browse(int(state.range(0)));
    timed(
        state,
        [] {
            chooseTab(ByArtist);
            MED.Media = "No Such Media";
        },
        [] { session->tabs()->setCurrentIndex(ByMedia); }, false);
}

void BM_SearchArtist(benchmark::State &state) {
    browse(int(state.range(0)));
    chooseTab(ByArtist);
    timed(state, [] { session->search({}); },
          [] { session->search(QStringLiteral("UPPER(MUS:Artist) = 'ARTIST 02500'")); });
    session->search({});
}

void BM_PageDownToTheEnd(benchmark::State &state) {
    browse(int(state.range(0)));
    chooseTab(ByArtist);
    int pages = 0;
    timed(state, [] { post(EventKind::Scroll, ScrollTop, 1); }, [&pages] {
        for (;;) {
            post(EventKind::Scroll, ScrollPageDown, 1);
            settle();
            ++pages;
            if (session->list().reader().moved() == 0)
                break;
        }
    });
    state.counters["pages"] = pages;
}

// Searches that pass few songs: the release years run from 1950 to 1999, a third of the songs have
// no tempo and the others one of 120.
const QString kNoSong = QStringLiteral("MUS:ReleaseDate = 1899");
const QString kOneIn9000 = QStringLiteral("MUS:ReleaseDate = 1975 AND MUS:BeatsPerMinute = 120");
const QString kOneIn900 =
    QStringLiteral("MUS:ReleaseDate = 1975 AND MUS:BeatsPerMinute >= 120 AND MUS:BeatsPerMinute <= 129");

void searchFromTheTop(benchmark::State &state, const QString &filter, bool rows) {
    browse(int(state.range(0)));
    chooseTab(ByArtist);
    timed(state, [] { session->search({}); }, [&filter] { session->search(filter); }, rows);
    session->search({});
}

void BM_SearchMatchingNothing(benchmark::State &state) { searchFromTheTop(state, kNoSong, false); }
void BM_SearchOneIn9000(benchmark::State &state) { searchFromTheTop(state, kOneIn9000, true); }

// One page down at a time through a sparse search, from its top again at its end.
void BM_SparseSearchPageDown(benchmark::State &state) {
    browse(int(state.range(0)));
    chooseTab(ByArtist);
    session->search(kOneIn900);
    settle();
    timed(state,
          [] {
              if (session->list().scrollEnd() > 0)
                  post(EventKind::Scroll, ScrollTop, 1);
          },
          [] { post(EventKind::Scroll, ScrollPageDown, 1); });
    session->search({});
}

#define SONGLIST_BENCHMARK(fn)                                                                         \
    BENCHMARK(fn)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1) \
        ->Repetitions(15)->ReportAggregatesOnly(true)

SONGLIST_BENCHMARK(BM_OpenFirstPage);
BENCHMARK(BM_SwitchTab)
    ->ArgsProduct({{100000, 1000000}, {1, 2, 3, 4, 5, 6, 7}})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);
SONGLIST_BENCHMARK(BM_LocateTypedPrefix);
SONGLIST_BENCHMARK(BM_MediaWithoutSongs);
BENCHMARK(BM_SearchArtist)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)
    ->Repetitions(15)->ReportAggregatesOnly(true);
SONGLIST_BENCHMARK(BM_SearchMatchingNothing);
SONGLIST_BENCHMARK(BM_SearchOneIn9000);
SONGLIST_BENCHMARK(BM_SparseSearchPageDown);
BENCHMARK(BM_PageDownToTheEnd)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

} // namespace

int main(int argc, char **argv) {
    return bench::runWindowBenchmarks(argc, argv, closeBrowse);
}
