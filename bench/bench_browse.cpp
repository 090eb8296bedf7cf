// A song browse window on large catalogues, offscreen: the song list's first nine columns with
// the category joined, three sort orders (artist; media filtered by its reset field; beats per
// minute), a record count in the title. Each figure is one step as the user makes it, from the
// event posted to the window until its thread waits again with the page drawn.
//
//   bench_browse [--benchmark_filter=...]
//
// The catalogues are those of tbk_gencat kept in $TBK_BENCH_DIR (default /tmp) as
// tbk_bench_100000 and tbk_bench_1000000; a missing one is made first, which takes a while.
#include "bench/data/catalogue.h"
#include "bench/data/windowbench.h"
#include "records/browse.h"
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <functional>

using namespace tbk;

namespace {

const QString kFormat = QStringLiteral(
    "77L(2)|M~Artist~@s50@75L(2)|M~Title~@s50@76L(2)|M~Album~@s50@39L(2)|M~Media~@s20@"
    "43L(2)|M~File Number~@s20@51L(2)|M~Category~@s30@23R(2)|M~Time~@t4b@36R(2)|M~Released~@d17b@"
    "24R(2)|M~BPM~@n_4b@");

class BenchSongBrowse : public Browse {
public:
    BenchSongBrowse() : Browse(QStringLiteral("BenchBrowseSongs"), {&MUS, &CAT, &MED}) {
        setCountTitle(QStringLiteral("Songs - "), QStringLiteral(" entries"));
        setKeepsListFormat(false);
        setKeepsPlace(false);
    }
    QTabWidget *tabs = nullptr;

protected:
    QWidget *buildWindow() override {
        WindowBuilder b(*this, QStringLiteral("Browse Songs"), {374, 170});
        for (const char *tab : {"By Artist", "By Media", "By BPM"}) {
            b.tab(QString::fromLatin1(tab));
            b.endTab();
        }
        ListControl *l = b.list(QStringLiteral("Browse"), kFormat, 160);
        Buttons buttons;
        buttons.add = b.button(QStringLiteral("&Add"));
        buttons.change = b.button(QStringLiteral("&Change"));
        buttons.remove = b.button(QStringLiteral("&Delete"));
        buttons.close = b.button(QStringLiteral("Cl&ose"));
        setButtons(buttons);
        BrowseList &songs = makeList(l, MUS, [] {
            return std::vector<QVariant>{MUS.Artist.str(), MUS.Title.str(), MUS.Album.str(), MUS.Media.str(),
                                         MUS.FileNumber.str(), CAT.Category.str(), MUS.Time.value(),
                                         MUS.ReleaseDate.value(), MUS.BeatsPerMinute.value()};
        });
        songs.setJoin({&CAT}, [] {
            CAT.clear();
            CAT.CategoryID = MUS.CategoryID.value();
            if (MUS.CategoryID.value() == 0 || !CAT.get(CAT.KeyCategoryID))
                CAT.clear();
        });
        songs.addSortOrder({&MUS.SongsByArtist, {}, {}, LocatorKind::Incremental, 0, {0, 0, StopLetters | StopDigits}});
        songs.addSortOrder({&MUS.SongsByMedia, QStringLiteral("UPPER(MUS:Media) = UPPER(BRW1::Sort1:Reset:MED:Media)"),
                            {{QStringLiteral("MED:Media"), QStringLiteral("MUS:Media")}}, LocatorKind::Incremental, 1,
                            {1, 0, StopLetters | StopDigits}});
        songs.addSortOrder({&MUS.KEYBEATSPERMINUTE, {}, {}, LocatorKind::Incremental, 0, {0, 0, 0}});
        QWidget *w = b.finish();
        w->resize(900, 420);
        tabs = w->findChild<QTabWidget *>();
        setSortTabs(tabs);
        return w;
    }
};

void settle() { bench::settleWindows(); }

// One browse open at a time.
bench::BenchWindow<BenchSongBrowse> session;

void closeBrowse() { session.close(); }
void openBrowse() { session.open(); }

void useCatalogue(int songs) {
    if (session.useCatalogue(songs, {&MUS, &CAT, &MED}))
        MED.Media = "CD";
}

BenchSongBrowse &browse(int songs) {
    useCatalogue(songs);
    if (!session)
        openBrowse();
    return *session;
}

void post(EventKind kind, int key = 0, int value = 0, const QString &text = {}) {
    session.postToList(kind, key, value, text);
}

// Times `step`; `before` runs untimed ahead of it.
void timed(benchmark::State &state, const std::function<void()> &before, const std::function<void()> &step) {
    bench::timeSteps(state, before, step, [] { return session && !session->list().empty(); },
                     "the browse closed or shows nothing");
}

void BM_OpenFirstPage(benchmark::State &state) {
    useCatalogue(int(state.range(0)));
    timed(state, closeBrowse, openBrowse);
}

void BM_ChangeSortOrder(benchmark::State &state) {
    BenchSongBrowse &b = browse(int(state.range(0)));
    timed(state, nullptr, [&b] { b.tabs->setCurrentIndex((b.tabs->currentIndex() + 1) % 3); });
}

void BM_LocateTypedPrefix(benchmark::State &state) {
    BenchSongBrowse &b = browse(int(state.range(0)));
    b.tabs->setCurrentIndex(0);
    settle();
    timed(state, [] { post(EventKind::Scroll, ScrollTop, 1); },   // a scroll clears the locator
          [] { post(EventKind::AlertKey, 0, 0, QStringLiteral("artist 025")); });
}

void BM_PageDown(benchmark::State &state) {
    BenchSongBrowse &b = browse(int(state.range(0)));
    b.tabs->setCurrentIndex(0);
    settle();
    post(EventKind::Scroll, ScrollThumb, 30);
    settle();
    timed(state, nullptr, [] { post(EventKind::Scroll, ScrollPageDown, 1); });
}

void BM_ThumbTo50(benchmark::State &state) {
    BenchSongBrowse &b = browse(int(state.range(0)));
    b.tabs->setCurrentIndex(0);
    settle();
    timed(state, [] { post(EventKind::Scroll, ScrollTop, 1); }, [] { post(EventKind::Scroll, ScrollThumb, 50); });
}

#define BROWSE_BENCHMARK(fn)                                                                                 \
    BENCHMARK(fn)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1) \
        ->Repetitions(25)->ReportAggregatesOnly(true)

BROWSE_BENCHMARK(BM_OpenFirstPage);
BROWSE_BENCHMARK(BM_ChangeSortOrder);
BROWSE_BENCHMARK(BM_LocateTypedPrefix);
BROWSE_BENCHMARK(BM_PageDown);
BROWSE_BENCHMARK(BM_ThumbTo50);

} // namespace

int main(int argc, char **argv) {
    return bench::runWindowBenchmarks(argc, argv, closeBrowse);
}
