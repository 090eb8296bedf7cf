// Reading, counting, adding and opening on a catalogue of 100,000 songs.
#include "bench/data/catalogue.h"
#include "core/datafiles.h"
#include "runtime/data/transaction.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace tbk;
using namespace tbk::data;

namespace {

void closeAll() {
    for (DataFile *f : DataFile::all())
        f->close();
}

enum Start { FromStart, FromValue, FromEnd };

// The first 20 rows of a key order, from the start, from a located value (the key value of
// a record near the middle of every key) or backwards from the end.
void BM_First20(benchmark::State &state) {
    tbk::bench::useSharedCatalogue();
    const Key &key = MUS.keyAt(int(state.range(0)));
    const Start start = Start(state.range(1));
    Record located;
    if (start == FromValue) {
        MUS.get(Position(55000));   // album 5000 of 10000: mid-file in every key
        located = MUS.record();
    }
    for (auto _ : state) {
        if (start == FromValue) {
            MUS.setRecord(located);
            MUS.setFromBuffer(key);
        } else {
            MUS.set(key);
        }
        int n = 0;
        while (n < 20 && (start == FromEnd ? MUS.previous() : MUS.next()))
            ++n;
        if (n != 20)
            state.SkipWithError("fewer than 20 rows");
    }
    state.SetLabel(key.name().toStdString());
}

void First20Args(benchmark::internal::Benchmark *b) {
    for (int start = FromStart; start <= FromEnd; ++start)
        for (int k = 0; k < TunebankFile::KeyCount; ++k)
            b->Args({k, start});
}
BENCHMARK(BM_First20)->Apply(First20Args)->Unit(benchmark::kMicrosecond)
    ->Repetitions(3)->ReportAggregatesOnly(true);

void BM_CountRecords(benchmark::State &state) {
    tbk::bench::useSharedCatalogue();
    for (auto _ : state)
        if (MUS.records() != 100000)
            state.SkipWithError("wrong count");
}
BENCHMARK(BM_CountRecords)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

void BM_OpenAllEleven(benchmark::State &state) {
    tbk::bench::useSharedCatalogue();
    closeAll();
    for (auto _ : state) {
        tbk::bench::openAllDataFiles();
        state.PauseTiming();
        closeAll();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenAllEleven)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

void BM_Add100kSongsInOneTransaction(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        closeAll();
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        if (!CF.create() || !CF.open() || !MUS.create() || !MUS.open()) {
            state.SkipWithError("cannot create the files");
            break;
        }
        state.ResumeTiming();
        beginTransaction(5, {&MUS});
        const bool ok = tbk::bench::addSongs(1, 100000, 10000, 50);
        commitTransaction();
        state.PauseTiming();
        if (!ok || MUS.records() != 100000)
            state.SkipWithError("adding failed");
        closeAll();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Add100kSongsInOneTransaction)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)
    ->ReportAggregatesOnly(true);

// 200 puts, each its own commit, as a walk without a transaction writes: plain and streamed.
void BM_Put200EachCommitted(benchmark::State &state) {
    tbk::bench::useSharedCatalogue();
    const bool streamed = state.range(0) != 0;
    for (auto _ : state) {
        if (streamed)
            MUS.stream();
        MUS.setPhysical();
        for (int i = 0; i < 200 && MUS.next(); ++i) {
            MUS.Side = MUS.Side.value() == 1 ? 2 : 1;
            if (!MUS.put())
                state.SkipWithError("put failed");
        }
        if (streamed)
            MUS.flush();
    }
    state.SetLabel(streamed ? "streamed" : "plain");
}
BENCHMARK(BM_Put200EachCommitted)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)
    ->Repetitions(3)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
