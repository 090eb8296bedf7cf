// The albums-and-songs browser and the album wizard on the catalogue of 1,000,000 songs and
// 100,000 albums in 50 categories, offscreen. Each figure is one step as the user makes it, from
// the event posted to the window until its thread waits again with the window drawn.
//
//   tbk_gencat <dir>/tbk_bench_1000000 1000000 100000 50
//   TBK_BENCH_DIR=<dir> bench_metabrowser [--benchmark_filter=...]
//
// The windows write their places and list formats into that folder, and the wizard primes (and
// deletes again) an album there: point TBK_BENCH_DIR at a copy.
#include "albums/albumsongs.h"
#include "albums/albumwizard.h"
#include "albums/browsealbumsandsongs.h"
#include "bench/data/catalogue.h"
#include "bench/data/windowbench.h"
#include "core/datafiles.h"
#include "core/programsettings.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <functional>

using namespace tbk;

namespace {

constexpr int kSongs = 1000000;
constexpr int kDiscTracks = 20;

bench::BenchWindow<BrowseAlbumsAndSongsWindow> browse;

void settle() { bench::settleWindows(); }

void closeBrowse() { browse.close(); }

void openBrowse() { browse.open(); }

void useBrowse() {
    bench::useKeptCatalogue(kSongs);
    if (!browse) {
        openBrowse();
        browse->frame()->resize(900, 560);
        settle();
    }
}

// Both lists filled, the songs those of the album highlighted.
bool showsBoth() {
    if (!browse || browse->list().failed() || browse->songs().failed() || browse->list().empty() ||
        browse->songs().empty())
        return false;
    const data::Record album = ALB.record();
    const bool follows = browse->list().rereadCurrent() &&
                         browse->songs().resetValue(0, QStringLiteral("ALB:AlbumID")).toLongLong() ==
                             ALB.AlbumID.value();
    ALB.setRecord(album);
    return follows;
}

void timed(benchmark::State &state, const std::function<void()> &before, const std::function<void()> &step) {
    bench::timeSteps(state, before, step, showsBoth, "a list closed, is empty, or shows another album's songs");
}

void albumsScroll(ScrollAction action) {
    Event e = Event::of(EventKind::Scroll, browse->frame(), browse->list().control());
    e.key = action;
    e.value = 1;
    postToWindow(browse->frame(), e);
}

void BM_OpenWithBothLists(benchmark::State &state) {
    bench::useKeptCatalogue(kSongs);
    putIni(QString::fromLatin1(kSettingsSection), QStringLiteral("AlbumTab"), QStringLiteral("1"), ProgramIniFile);
    timed(state, closeBrowse, openBrowse);
}

void BM_AlbumHighlightDownOne(benchmark::State &state) {
    useBrowse();
    browse->tabs()->setCurrentIndex(0);
    timed(state, {}, [] { albumsScroll(ScrollLineDown); });
}

// Down held for 100 rows: each row's move and its song list, one after another.
void BM_AlbumHighlightDown100(benchmark::State &state) {
    useBrowse();
    browse->tabs()->setCurrentIndex(0);
    timed(state, [] { albumsScroll(ScrollTop); }, [] {
        for (int i = 0; i < 100; ++i) {
            albumsScroll(ScrollLineDown);
            settle();
        }
    });
}

// From the Album tab to tab range(0); the category tabs show category 25.
void BM_SwitchTab(benchmark::State &state) {
    useBrowse();
    CAT.clear();
    CAT.CategoryID = 25;
    CAT.get(CAT.KeyCategoryID);
    const int tab = int(state.range(0));
    timed(state, [] { browse->tabs()->setCurrentIndex(0); }, [tab] { browse->tabs()->setCurrentIndex(tab); });
}

QWidget *wizardWindow() {
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == QStringLiteral("Album Wizard"))
            return w;
    return nullptr;
}

bool clickWizard(const char *button) {
    QWidget *w = wizardWindow();
    auto *b = w ? w->findChild<QPushButton *>(QString::fromLatin1(button)) : nullptr;
    if (!b)
        return false;
    b->click();
    return true;
}

qint32 lastAlbum() {
    ALB.set(ALB.KEYALBUMID);
    return ALB.previous() ? ALB.AlbumID.value() : 0;
}

int songsOfAlbum(qint32 album) {
    int n = 0;
    MUS.clear();
    MUS.AlbumID = album;
    MUS.setFromBuffer(MUS.KeyAlbumID);
    while (MUS.next() && MUS.AlbumID.value() == album)
        ++n;
    return n;
}

// Next from the album's page with the media "CD": a 20-track disc read into 20 new songs of the
// primed album, shown in the song list.
void BM_WizardReadsTwentyTrackDisc(benchmark::State &state) {
    closeBrowse();
    bench::useKeptCatalogue(kSongs);
    QTemporaryDir dir;
    const QString drive = QDir(dir.path()).filePath(QStringLiteral("drive.txt"));
    QFile f(drive);
    QString tracks = QStringLiteral("tracks");
    for (int t = 0; t < kDiscTracks; ++t)
        tracks += QStringLiteral(" %1").arg(150 + t * 15000);
    if (!f.open(QIODevice::WriteOnly) ||
        f.write((tracks + QStringLiteral("\nleadout %1\n").arg(150 + kDiscTracks * 15000)).toUtf8()) < 0) {
        state.SkipWithError("cannot describe the disc");
        return;
    }
    f.close();
    qputenv("TBK_CDROM", QFile::encodeName(drive));
    bool done = false;
    startThread(
        [&done] {
            AlbumWizard();
            done = true;
        },
        kMinimumThreadStack);
    settle();
    // On to the songs page, as each step leaves it.
    for (int page = 1; page <= 2; ++page) {
        if (!clickWizard("Next")) {
            state.SkipWithError("the wizard did not open");
            return;
        }
        settle();
    }
    const qint32 album = lastAlbum();
    bench::timeSteps(
        state,
        [album] {
            clickWizard("Back");
            settle();
            deleteSongsOfAlbum(album);
        },
        [] { clickWizard("Next"); }, [album] { return songsOfAlbum(album) == kDiscTracks; },
        "the disc was not read into 20 songs of the primed album");
    clickWizard("Cancel");
    settle();
    qunsetenv("TBK_CDROM");
    if (!done)
        state.SkipWithError("the wizard did not end");
}

#define METABROWSER_BENCHMARK(fn)                                                                                     \
    BENCHMARK(fn)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(15)->ReportAggregatesOnly(true)

METABROWSER_BENCHMARK(BM_OpenWithBothLists);
METABROWSER_BENCHMARK(BM_AlbumHighlightDownOne);
BENCHMARK(BM_AlbumHighlightDown100)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
METABROWSER_BENCHMARK(BM_SwitchTab)->DenseRange(1, 4);
METABROWSER_BENCHMARK(BM_WizardReadsTwentyTrackDisc);

} // namespace

int main(int argc, char **argv) { return bench::runWindowBenchmarks(argc, argv, closeBrowse); }
