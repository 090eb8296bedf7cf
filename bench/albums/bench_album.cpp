// The album form opened (its window built, its drop lists filled, its track list of 20 songs
// read) until its thread waits again with the window drawn, and all songs of one media and file
// number (99) re-assigned to an album, on the catalogue of 1,000,000 songs.
//
//   TBK_BENCH_DIR=<copy of the kept catalogues> bench_album
//
// The benchmark adds its own album of 20 songs and 99 loose songs the first time, and the form
// writes its place, so point TBK_BENCH_DIR at a copy.
#include "albums/albumform.h"
#include "albums/albumsongs.h"
#include "albums/updatealbum.h"
#include "bench/data/catalogue.h"
#include "bench/data/windowbench.h"
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/window.h"

#include <QWidget>
#include <benchmark/benchmark.h>

using namespace tbk;

namespace {

constexpr int kSongs = 1000000;
const char *const kFileNumber = "BENCH-REASSIGN";

qint32 benchAlbum = 0;

qint32 highest(data::DataFile &f, const data::Key &k, const data::FieldRef &id) {
    f.set(k);
    return f.previous() ? qint32(id.number()) : 0;
}

// The benchmark's album (found by its title, else added with 20 songs) and 99 loose songs.
void prepare() {
    if (benchAlbum)
        return;
    bench::useKeptCatalogue(kSongs);
    for (data::DataFile *f : {static_cast<data::DataFile *>(&MUS), static_cast<data::DataFile *>(&ALB),
                              static_cast<data::DataFile *>(&CAT), static_cast<data::DataFile *>(&MED)})
        openForUse(*f);
    ALB.clear();
    ALB.Artist = "Bench Artist";
    ALB.Album = "Twenty Tracks";
    if (ALB.get(ALB.KEYARTIST)) {
        benchAlbum = ALB.AlbumID.value();
        return;
    }
    benchAlbum = highest(ALB, ALB.KEYALBUMID, ALB.field(QStringLiteral("AlbumID"))) + 1;
    ALB.clear();
    ALB.AlbumID = benchAlbum;
    ALB.Artist = "Bench Artist";
    ALB.Album = "Twenty Tracks";
    ALB.Media = "CD";
    ALB.FileNumber = kFileNumber;
    ALB.add();
    qint32 id = highest(MUS, MUS.KEYID, MUS.field(QStringLiteral("ID")));
    for (int i = 1; i <= 20 + 99; ++i) {
        MUS.clear();
        MUS.ID = ++id;
        MUS.Artist = "Bench Artist";
        MUS.Title = QStringLiteral("Track %1").arg(i);
        MUS.Media = "CD";
        MUS.Time = 18001 + i * 100;
        if (i <= 20) {
            MUS.AlbumID = benchAlbum;
            MUS.Side = 1;
            MUS.TrackNumber = i;
        } else {
            MUS.FileNumber = kFileNumber;
        }
        MUS.add();
    }
}

QWidget *formWindow() {
    Window *w = Window::find(QStringLiteral("UpdateAlbum"));
    return w ? w->frame() : nullptr;
}

void BM_OpenAlbumFormWith20Tracks(benchmark::State &state) {
    prepare();
    bench::timeSteps(
        state,
        [] {
            if (QWidget *w = formWindow()) {
                postToWindow(w, Event::of(EventKind::CloseWindow, w));
                bench::settleWindows();
            }
        },
        [] {
            startThread([] {
                ALB.clear();
                ALB.AlbumID = benchAlbum;
                ALB.get(ALB.KEYALBUMID);
                GlobalRequest = ChangeRecord;
                UpdateAlbum();
            }, kMinimumThreadStack);
        },
        [] {
            auto *w = dynamic_cast<AlbumForm *>(Window::find(QStringLiteral("UpdateAlbum")));
            return w && w->tracks() && !w->tracks()->empty();
        },
        "the album form did not open");
}
BENCHMARK(BM_OpenAlbumFormWith20Tracks)->Unit(benchmark::kMillisecond)->Iterations(30)->Repetitions(3)->ReportAggregatesOnly();

void BM_ReassignByMediaAndFileNumber99Songs(benchmark::State &state) {
    prepare();
    const qint32 other = benchAlbum + 1;
    for (auto _ : state) {
        state.PauseTiming();
        assignSongsByMedia(other, QStringLiteral("CD"), QString::fromLatin1(kFileNumber), {});
        state.ResumeTiming();
        const AssignResult r = assignSongsByMedia(benchAlbum, QStringLiteral("CD"), QString::fromLatin1(kFileNumber), {});
        if (r.assigned != 99) {
            state.SkipWithError("not 99 songs assigned");
            break;
        }
    }
}
BENCHMARK(BM_ReassignByMediaAndFileNumber99Songs)->Unit(benchmark::kMillisecond)->Iterations(30)->Repetitions(3)->ReportAggregatesOnly();

} // namespace

int main(int argc, char **argv) { return bench::runWindowBenchmarks(argc, argv); }
