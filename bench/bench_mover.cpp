// The track list's move of its last song to the top, on an album of 99 tracks in the
// 1,000,000-song catalogue: the row looked up by its key as the list hands it over, then the
// whole move (park, 98 shifts, final put) committed as one transaction.
//
//   bench_mover [--benchmark_filter=...]
//
// The catalogue is tbk_gencat's, kept in $TBK_BENCH_DIR (default /tmp) as tbk_bench_1000000;
// a missing one is made first, which takes a while. The album (identifier above the
// catalogue's) is added to it on the first run and reused after.
#include "bench/data/catalogue.h"
#include "bench/data/windowbench.h"
#include "core/datafiles.h"
#include "records/sequencemover.h"

#include <QElapsedTimer>
#include <benchmark/benchmark.h>

using namespace tbk;

namespace {

constexpr int kSongs = 1000000;
constexpr int kTracks = 99;
constexpr qint32 kAlbum = 2000000000;

int tracksOnAlbum() {
    MUS.clear();
    MUS.AlbumID = kAlbum;
    MUS.setFromBuffer(MUS.KeyAlbumID);
    int n = 0;
    while (MUS.next() && MUS.AlbumID == kAlbum)
        ++n;
    return n;
}

// The album's 99 songs on side 1, once for the kept catalogue.
bool ensureAlbum() {
    if (tracksOnAlbum() == kTracks)
        return true;
    MUS.set(MUS.KEYID);
    qint32 id = MUS.previous() ? MUS.ID.value() : 0;
    for (int t = 1; t <= kTracks; ++t) {
        MUS.clear();
        MUS.ID = ++id;
        MUS.AlbumID = kAlbum;
        MUS.Side = 1;
        MUS.TrackNumber = t;
        MUS.Title = QStringLiteral("Track %1").arg(t);
        MUS.Artist = QStringLiteral("Bench Artist");
        if (!MUS.add())
            return false;
    }
    return tracksOnAlbum() == kTracks;
}

void BM_MoveLastTrackToTop(benchmark::State &state) {
    bench::useKeptCatalogue(kSongs);
    if (!ensureAlbum()) {
        state.SkipWithError("cannot add the album's songs");
        return;
    }
    SequenceMover mover(albumTracks());
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        MUS.clear();
        MUS.AlbumID = kAlbum;
        MUS.Side = 1;
        MUS.TrackNumber = kTracks;
        const bool found = MUS.get(MUS.KeyAlbumID);
        const MoveOutcome outcome = found ? mover.move(MUS.position(), MoveMode::ToTop) : MoveOutcome::Failed;
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (outcome != MoveOutcome::Moved || MUS.TrackNumber != 1) {
            state.SkipWithError("the move did not happen");
            return;
        }
    }
}

BENCHMARK(BM_MoveLastTrackToTop)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(25)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv) { return bench::runWindowBenchmarks(argc, argv); }
