// The playlist generator and the chart update on the 100,000-song catalogue: a 99-song playlist
// drawn with each weighting (Ok's work: the songs' order read, the header, the draws and the
// entries); a category no song carries, which uses all 1,001 attempts; and the chart update of
// a 1,000-entry playlist through its timer slices, from the answer to its question until it
// returns. Each generated playlist is deleted again, untimed.
//
//   TBK_BENCH_DIR=<copy of the kept catalogues> bench_generator
//
// The chart's playlist and the empty category are added the first time: point TBK_BENCH_DIR at
// a copy.
#include "bench/data/catalogue.h"
#include "bench/data/windowbench.h"
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "setup/housekeeping.h"
#include "core/referentialintegrity.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadwindows.h"
#include "songs/generateplaylist.h"
#include "songs/updateplaylistchart.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <benchmark/benchmark.h>

using namespace tbk;

namespace {

constexpr int kSongs = 100000;
constexpr int kEntries = 1000;
const char *const kChartPlaylist = "Bench Chart 1000";
const char *const kNoSongs = "Bench No Songs";

qint32 chartPlaylist = 0;

void settle(const bool &done) {
    while (!done) {
        QCoreApplication::processEvents();
        scheduler::runReady();
    }
}

void prepare() {
    if (chartPlaylist)
        return;
    bench::useKeptCatalogue(kSongs);
    for (data::DataFile *f : {static_cast<data::DataFile *>(&MUS), static_cast<data::DataFile *>(&CAT),
                              static_cast<data::DataFile *>(&PLD), static_cast<data::DataFile *>(&PLA)})
        openForUse(*f);
    CAT.clear();
    CAT.Category = kNoSongs;
    if (!CAT.get(CAT.KeyCategory)) {
        CAT.set(CAT.KeyCategoryID);
        const qint64 id = CAT.previous() ? CAT.CategoryID.value() + 1 : 1;
        CAT.clear();
        CAT.CategoryID = id;
        CAT.Category = kNoSongs;
        CAT.add();
    }
    PLD.clear();
    PLD.PLAYLISTDESCRIPTION = kChartPlaylist;
    if (PLD.get(PLD.KEYPLAYLISTDESCRIPTION)) {
        chartPlaylist = PLD.PlaylistID.value();
        return;
    }
    PLD.set(PLD.KeyPlaylistID);
    chartPlaylist = PLD.previous() ? PLD.PlaylistID.value() + 1 : 1;
    PLD.clear();
    PLD.PlaylistID = chartPlaylist;
    PLD.PLAYLISTDESCRIPTION = kChartPlaylist;
    PLD.add();
    PLA.stream();
    for (int i = 1; i <= kEntries; ++i) {
        PLA.clear();
        PLA.PlaylistID = chartPlaylist;
        PLA.PlaylistSeq = i;
        PLA.ID = i * 97;
        PLA.PLAYLISTNOTES = QStringLiteral("Bench LW:%1").arg(kEntries + 1 - i);
        PLA.add();
    }
    PLA.flush();
}

void dropPlaylist(qint32 id) {
    PLD.clear();
    PLD.PlaylistID = id;
    if (PLD.get(PLD.KeyPlaylistID))
        DeletePlaylistMasterRecord();
}

void runGenerator(benchmark::State &state, const PlaylistCriteria &criteria, int expected) {
    prepare();
    qint64 entries = 0;
    for (auto _ : state) {
        bool done = false;
        qint32 id = 0;
        QElapsedTimer t;
        t.start();
        startThread([&] {
            id = generatePlaylist(criteria);
            done = true;
        }, kMinimumThreadStack);
        settle(done);
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        state.PauseTiming();
        entries = 0;
        PLA.clear();
        PLA.PlaylistID = id;
        PLA.setFromBuffer(PLA.KeyPlaylistID);
        while (PLA.next() && PLA.PlaylistID.value() == id)
            ++entries;
        dropPlaylist(id);
        state.ResumeTiming();
        if (id == 0 || (expected >= 0 && entries != expected)) {
            state.SkipWithError("the playlist was not generated as expected");
            return;
        }
    }
    state.counters["entries"] = double(entries);
}

void BM_Generate99Songs(benchmark::State &state) {
    const Weighting w = Weighting(state.range(0));
    state.SetLabel(std::array{"No Weighting", "Recent Addition", "Recent Release", "Older Addition",
                              "Older Release"}[size_t(state.range(0))]);
    // A release weighting may run out of attempts on a catalogue of old songs: any count will do.
    const bool releases = w == Weighting::RecentRelease || w == Weighting::OlderRelease;
    runGenerator(state, {99, 0, 0, {}, w}, releases ? -1 : 99);
}
BENCHMARK(BM_Generate99Songs)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10)->Repetitions(3)->ReportAggregatesOnly();

void BM_GenerateFromACategoryNoSongHas(benchmark::State &state) {
    runGenerator(state, {99, 0, 0, QString::fromLatin1(kNoSongs), Weighting::None}, 0);
}
BENCHMARK(BM_GenerateFromACategoryNoSongHas)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10)->Repetitions(3)->ReportAggregatesOnly();

void BM_ChartUpdateOf1000Entries(benchmark::State &state) {
    prepare();
    for (auto _ : state) {
        bool done = false;
        qint32 response = 0;
        const int thread = startThread([&] {
            PLD.clear();
            PLD.PlaylistID = chartPlaylist;
            UpdatePlaylistChart();
            response = GlobalResponse;
            done = true;
        }, kMinimumThreadStack);
        bench::settleWindows();
        auto *box = qobject_cast<QMessageBox *>(activeThreadWindow(thread));
        if (!box) {
            state.SkipWithError("no question");
            return;
        }
        QElapsedTimer t;
        t.start();
        box->button(QMessageBox::Ok)->click();
        settle(done);
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        if (response != RequestCompleted) {
            state.SkipWithError("the update did not run to its end");
            return;
        }
        state.counters["slices"] = lastProcessFigures().turns;
        state.counters["longest_slice_ms"] = double(lastProcessFigures().longestTurnNs) / 1e6;
    }
}
BENCHMARK(BM_ChartUpdateOf1000Entries)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5)->Repetitions(3)->ReportAggregatesOnly();

} // namespace

int main(int argc, char **argv) { return bench::runWindowBenchmarks(argc, argv); }
