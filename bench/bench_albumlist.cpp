// The album list (BrowseAlbums) on the catalogue of 1,000,000 songs and 100,000 albums in 50
// categories, offscreen. Each figure is one step as the user makes it, from the event posted to
// the window until its thread waits again with the page drawn.
//
//   tbk_gencat <dir>/tbk_bench_1000000 1000000 100000 50
//   TBK_BENCH_DIR=<dir> bench_albumlist [--benchmark_filter=...]
//
// The list writes its window place, list format and last tab into that folder.
#include "albums/browsealbums.h"
#include "bench/data/catalogue.h"
#include "bench/data/windowbench.h"
#include "core/datafiles.h"
#include "core/programsettings.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"

#include <QTabWidget>
#include <benchmark/benchmark.h>

#include <functional>

using namespace tbk;

namespace {

constexpr int kSongs = 1000000;
enum { AlbumTab = 0, CategoryTab = 3, CatArtTab = 4 };

bench::BenchWindow<BrowseAlbumsWindow> browse;

void settle() { bench::settleWindows(); }

void closeBrowse() { browse.close(); }

void openBrowse() { browse.open(); }

// The category a tab shows: the one in the buffer, as the picker leaves it.
void readCategory(qint64 id) {
    CAT.clear();
    CAT.CategoryID = id;
    CAT.get(CAT.KeyCategoryID);
}

void useBrowse() {
    bench::useKeptCatalogue(kSongs);
    if (!browse) {
        openBrowse();
        browse->frame()->resize(900, 420);
        settle();
    }
}

void post(EventKind kind, int key = 0, const QString &text = {}) { browse.postToList(kind, key, 1, text); }

void chooseTab(int tab) { browse->tabs()->setCurrentIndex(tab); }

bool showsAlbums() { return browse && !browse->list().failed() && !browse->list().empty(); }

void timed(benchmark::State &state, const std::function<void()> &before, const std::function<void()> &step,
           const std::function<bool()> &fine = showsAlbums) {
    bench::timeSteps(state, before, step, fine, "the list closed or shows other albums than expected");
}

void BM_OpenFirstPage(benchmark::State &state) {
    bench::useKeptCatalogue(kSongs);
    putIni(QString::fromLatin1(kSettingsSection), QStringLiteral("AlbumTab"), QStringLiteral("1"), ProgramIniFile);
    timed(state, closeBrowse, openBrowse);
}

// From the Album tab to tab range(0); the category tabs show category 25.
void BM_SwitchTab(benchmark::State &state) {
    useBrowse();
    readCategory(25);
    const int tab = int(state.range(0));
    timed(state, [] { chooseTab(AlbumTab); }, [tab] { chooseTab(tab); });
}

// Another category in the buffer, as the picker leaves it, and the refresh that follows.
void BM_CategoryChange(benchmark::State &state) {
    useBrowse();
    const int tab = int(state.range(0));
    chooseTab(tab);
    settle();
    // Each repetition goes on to the next category: every step changes the one shown.
    static qint64 category = 1;
    timed(
        state, {},
        [] {
            category = category % 50 + 1;
            readCategory(category);
            post(EventKind::Sized);
        },
        [tab] {
            return showsAlbums() &&
                   browse->list().resetValue(tab, QStringLiteral("CAT:CategoryID")).toLongLong() == category;
        });
}

// Typing on the Album tab and, within a category, on the Cat/Art tab.
void BM_Locate(benchmark::State &state) {
    useBrowse();
    readCategory(25);
    const int tab = int(state.range(0));
    const QString typed = tab == AlbumTab ? QStringLiteral("album 5") : QStringLiteral("artist 02");
    chooseTab(tab);
    settle();
    // The album or artist at or after the typed text, within the category on Cat/Art.
    const auto located = [tab, typed] {
        const QString found = tab == AlbumTab ? ALB.Album.str() : ALB.Artist.str();
        return showsAlbums() && browse->list().locatorText() == typed &&
               found.compare(typed, Qt::CaseInsensitive) >= 0 && (tab == AlbumTab || ALB.CategoryID.value() == 25);
    };
    timed(state, [] { post(EventKind::Scroll, ScrollTop); },   // a scroll clears the locator
          [typed] { post(EventKind::AlertKey, 0, typed); }, located);
}

#define ALBUMLIST_BENCHMARK(fn) \
    BENCHMARK(fn)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(15)->ReportAggregatesOnly(true)

ALBUMLIST_BENCHMARK(BM_OpenFirstPage);
ALBUMLIST_BENCHMARK(BM_SwitchTab)->DenseRange(1, 4);
ALBUMLIST_BENCHMARK(BM_CategoryChange)->Arg(CategoryTab)->Arg(CatArtTab);
ALBUMLIST_BENCHMARK(BM_Locate)->Arg(AlbumTab)->Arg(CatArtTab);

} // namespace

int main(int argc, char **argv) { return bench::runWindowBenchmarks(argc, argv, closeBrowse); }
