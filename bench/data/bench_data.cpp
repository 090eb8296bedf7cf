// Reading, counting, adding and opening on a catalogue of 100,000 songs.
#include "bench/data/catalogue.h"
#include "core/datafiles.h"
#include "runtime/data/transaction.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace tbk;
using namespace tbk::data;

namespace {

// One catalogue for the reading benchmarks, made on first use.
QString catalogueFolder() {
    static std::unique_ptr<QTemporaryDir> dir;
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(dir->path());
        if (!tbk::bench::generateCatalogue()) {
            std::fprintf(stderr, "catalogue generation failed: %d\n", errorCode());
            std::exit(1);
        }
    }
    return dir->path();
}

void openAll() {
    for (const RegisteredFile &f : registeredDataFiles())
        if (!f.file->isOpen() && !f.file->open())
            std::exit(2);
}

void closeAll() {
    for (DataFile *f : DataFile::all())
        f->close();
}

enum Start { FromStart, FromValue, FromEnd };

// The first 20 rows of a key order, from the start, from a located value (the key value of
// a record near the middle of every key) or backwards from the end.
void BM_First20(benchmark::State &state) {
    QDir::setCurrent(catalogueFolder());
    openAll();
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
    QDir::setCurrent(catalogueFolder());
    openAll();
    for (auto _ : state)
        benchmark::DoNotOptimize(MUS.records());
}
BENCHMARK(BM_CountRecords)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

void BM_OpenAllEleven(benchmark::State &state) {
    QDir::setCurrent(catalogueFolder());
    closeAll();
    for (auto _ : state) {
        openAll();
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

} // namespace

BENCHMARK_MAIN();
