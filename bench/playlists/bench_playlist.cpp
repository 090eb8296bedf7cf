// The playlist form on a playlist of 1,000 entries in the catalogue of 100,000 songs: opened
// (its window built, the first page of entries read, the total time of all 1,000 added up) until
// its thread waits again; the last entry moved to the top by its button (the move and the list's
// reload); entry 2 deleted and the entries after it renumbered, as the form does after the entry
// form's delete; a song dropped on the entries list (the append and the list's reload, with
// its total); and the total alone.
//
//   TBK_BENCH_DIR=<copy of the kept catalogues> bench_playlist
//
// The benchmark adds its own playlist the first time and the form writes its place, so point
// TBK_BENCH_DIR at a copy.
#include "bench/data/catalogue.h"
#include "bench/data/windowbench.h"
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "core/referentialintegrity.h"
#include "records/sequencemover.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadwindows.h"
#include "runtime/ui/window.h"
#include "songs/browsesongs.h"
#include "songs/playlistentries.h"
#include "songs/playlistform.h"
#include "songs/updateplaylist.h"

#include <QPushButton>
#include <QWidget>
#include <benchmark/benchmark.h>

using namespace tbk;

namespace {

constexpr int kSongs = 100000;
constexpr int kEntries = 1000;
const char *const kDescription = "Bench 1000";

qint32 benchPlaylist = 0;

qint64 lastEntry() {
    PLA.clear();
    PLA.PlaylistID = benchPlaylist;
    PLA.PlaylistSeq = 999999;
    PLA.setFromBuffer(PLA.KeyPlaylistID);
    return PLA.previous() && PLA.PlaylistID.value() == benchPlaylist ? PLA.PlaylistSeq.value() : 0;
}

bool addEntry(qint64 seq, qint64 song) {
    PLA.clear();
    PLA.PlaylistID = benchPlaylist;
    PLA.PlaylistSeq = seq;
    PLA.ID = song;
    return PLA.add();
}

void prepareOnce() {
    bench::useKeptCatalogue(kSongs);
    for (data::DataFile *f : {static_cast<data::DataFile *>(&MUS), static_cast<data::DataFile *>(&PLD),
                              static_cast<data::DataFile *>(&PLA)})
        openForUse(*f);
    PLD.clear();
    PLD.PLAYLISTDESCRIPTION = kDescription;
    if (PLD.get(PLD.KEYPLAYLISTDESCRIPTION)) {
        benchPlaylist = PLD.PlaylistID.value();
        return;
    }
    PLD.set(PLD.KeyPlaylistID);
    benchPlaylist = PLD.previous() ? PLD.PlaylistID.value() + 1 : 1;
    PLD.clear();
    PLD.PlaylistID = benchPlaylist;
    PLD.PLAYLISTDESCRIPTION = kDescription;
    PLD.add();
    for (int i = 1; i <= kEntries; ++i)
        addEntry(i, i);
}

// Back to 1,000 entries: a drop or the refill before a delete may have left more.
void trimToThousand() {
    for (qint64 last = lastEntry(); last > kEntries; last = lastEntry())
        PLA.remove();
}

// The benchmark's playlist (found by its description, else added with songs 1 to 1,000), with
// 1,000 entries.
void prepare() {
    if (!benchPlaylist)
        prepareOnce();
    trimToThousand();
}

PlaylistForm *form() { return dynamic_cast<PlaylistForm *>(Window::find(QStringLiteral("UpdatePlaylist"))); }

void closeForm() {
    if (PlaylistForm *f = form()) {
        postToWindow(f->frame(), Event::of(EventKind::CloseWindow, f->frame()));
        bench::settleWindows();
    }
}

void openForm() {
    startThread(
        [] {
            PLD.clear();
            PLD.PlaylistID = benchPlaylist;
            PLD.get(PLD.KeyPlaylistID);
            GlobalRequest = ChangeRecord;
            UpdatePlaylist();
        },
        kMinimumThreadStack);
    bench::settleWindows();
}

bool formShowsEntries() {
    PlaylistForm *f = form();
    return f && f->entries() && !f->entries()->empty() && f->totalTime() > 0;
}

void BM_OpenPlaylistFormWith1000Entries(benchmark::State &state) {
    prepare();
    bench::timeSteps(state, closeForm, openForm, formShowsEntries, "the playlist form did not open");
    closeForm();
}
BENCHMARK(BM_OpenPlaylistFormWith1000Entries)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20)->Repetitions(3)->ReportAggregatesOnly();

void BM_MoveLastEntryToTop(benchmark::State &state) {
    prepare();
    openForm();
    qint64 moved = 0;
    bench::timeSteps(
        state,
        [&moved] {
            form()->entries()->scroll(ScrollBottom);
            moved = form()->entries()->current()->position;
        },
        [] { form()->widget()->findChild<QPushButton *>(QStringLiteral("MoveTop"))->click(); },
        [&moved] {
            PLA.get(data::Position(moved));
            return PLA.PlaylistSeq.value() == 1 && form()->entries()->currentPosition() == moved;
        },
        "the move did not happen");
    closeForm();
}
BENCHMARK(BM_MoveLastEntryToTop)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10)->Repetitions(3)->ReportAggregatesOnly();

void BM_DeleteEntry2AndRenumber(benchmark::State &state) {
    prepare();
    for (auto _ : state) {
        state.PauseTiming();
        addEntry(lastEntry() + 1, 4242);
        state.ResumeTiming();
        PLA.clear();
        PLA.PlaylistID = benchPlaylist;
        PLA.PlaylistSeq = 2;
        bool done = PLA.get(PLA.KeyPlaylistID) && DeletePlaylistDetailRecord() == 0;
        PLA.clear();
        PLA.PlaylistID = benchPlaylist;
        done = done && SequenceMover(playlistEntries()).renumber(PLA.record(), 2) == MoveOutcome::Moved;
        if (!done || lastEntry() != kEntries) {
            state.SkipWithError("the delete or the renumbering failed");
            return;
        }
    }
}
BENCHMARK(BM_DeleteEntry2AndRenumber)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(3)->ReportAggregatesOnly();

void BM_DropASong(benchmark::State &state) {
    prepare();
    openForm();
    bench::timeSteps(
        state,
        trimToThousand,
        [] {
            ListControl *list = form()->widget()->findChild<ListControl *>(QStringLiteral("Browse:2"));
            Event e = Event::of(EventKind::Drop, form()->frame(), list);
            e.text = QStringLiteral("777");
            e.source = QString::fromLatin1(kSongsDrag);
            postToWindow(form()->frame(), e);
        },
        [] { return lastEntry() == kEntries + 1 && form()->entries()->currentPosition() == PLA.position(); },
        "the drop was not appended");
    closeForm();
}
BENCHMARK(BM_DropASong)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20)->Repetitions(3)->ReportAggregatesOnly();

// The total alone, as every reload of the list computes it.
void BM_TotalTimeOf1000Entries(benchmark::State &state) {
    prepare();
    for (auto _ : state) {
        qint32 total = 0;
        if (!playlistTotalTime(benchPlaylist, total) || total == 0) {
            state.SkipWithError("no total");
            return;
        }
    }
}
BENCHMARK(BM_TotalTimeOf1000Entries)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3)->ReportAggregatesOnly();

} // namespace

int main(int argc, char **argv) { return bench::runWindowBenchmarks(argc, argv); }
