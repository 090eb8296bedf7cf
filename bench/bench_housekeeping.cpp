// The housekeeping processes and the File Manager's Build and Pack on the 100,000-song catalogue
// of tbk_gencat, offscreen. Each run works on a fresh copy of the kept catalogue, with the songs,
// albums and media files open through the counts as the frame keeps them. A process's figure is
// its whole run, from the call until it returns; the counter longest_slice_ms is its longest
// slice of work between two turns of its window.
//
//   bench_housekeeping [--benchmark_filter=...]
#include "bench/data/catalogue.h"
#include "bench/data/windowbench.h"
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "setup/housekeeping.h"
#include "runtime/data/driver.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <functional>
#include <memory>

using namespace tbk;

namespace {

constexpr int kSongs = 100000;

std::unique_ptr<QTemporaryDir> work;

void sql(const QString &file, const char *text) {
    sqlite3 *db = nullptr;
    if (sqlite3_open(file.toUtf8().constData(), &db) != SQLITE_OK)
        std::exit(3);
    data::registerCollation(db);
    if (sqlite3_exec(db, text, nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(file), sqlite3_errmsg(db));
        std::exit(3);
    }
    sqlite3_close(db);
}

// A fresh copy of the kept catalogue made current, with `prepare` run on its closed files.
void freshCatalogue(const std::function<void()> &prepare = {}) {
    closeAllDataFiles();
    bench::useKeptCatalogue(kSongs);
    const QString kept = QDir::currentPath();
    closeAllDataFiles();
    work = std::make_unique<QTemporaryDir>();
    for (const QString &name : QDir(kept).entryList({QStringLiteral("*.dat")}, QDir::Files))
        if (!QFile::copy(QDir(kept).filePath(name), work->filePath(name)))
            std::exit(4);
    QDir::setCurrent(work->path());
    if (prepare)
        prepare();
    bench::openAllDataFiles();
    for (data::DataFile *f : {static_cast<data::DataFile *>(&MUS), static_cast<data::DataFile *>(&ALB),
                              static_cast<data::DataFile *>(&MED)})
        openForUse(*f);
}

void settle(const bool &done) {
    while (!done) {
        QCoreApplication::processEvents();
        scheduler::runReady();
    }
}

void runProcessBenchmark(benchmark::State &state, void (*procedure)(), const std::function<void()> &prepare = {}) {
    qint64 longest = 0;
    for (auto _ : state) {
        freshCatalogue(prepare);
        bool done = false;
        QElapsedTimer t;
        t.start();
        startThread([&] {
            procedure();
            done = true;
        }, kMinimumThreadStack);
        settle(done);
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        if (GlobalResponse != 1) {
            state.SkipWithError("the process did not run to its end");
            return;
        }
        longest = std::max(longest, lastProcessFigures().longestTurnNs);
        state.counters["slices"] = lastProcessFigures().turns;
    }
    state.counters["longest_slice_ms"] = double(longest) / 1e6;
}

void BM_CreateAlbumDatabase(benchmark::State &state) {
    // Every song unlinked and no album yet: an album is made for each title and artist.
    runProcessBenchmark(state, CreateAlbumDatabase, [] {
        sql(QStringLiteral("tbkdata.dat"), "UPDATE records SET \"AlbumID\" = 0");
        sql(QStringLiteral("tbkalbum.dat"), "DELETE FROM records");
    });
}
void BM_ConvertSongDates(benchmark::State &state) { runProcessBenchmark(state, ConvertSongDates); }
void BM_ConvertAlbumDates(benchmark::State &state) { runProcessBenchmark(state, ConvertAlbumDates); }
void BM_TestAlbumLinkIntegrity(benchmark::State &state) { runProcessBenchmark(state, TestAlbumLinkIntegrity); }
void BM_ProcessAllSongs(benchmark::State &state) {
    runProcessBenchmark(state, ProcessAllSongs,
                        [] { sql(QStringLiteral("tbkdata.dat"), "UPDATE records SET \"Side\" = 0"); });
}

// The File Manager's actions on the songs file, as it runs them on a file nobody holds.
void runFileAction(benchmark::State &state, const std::function<void()> &action) {
    for (auto _ : state) {
        freshCatalogue();
        closeAllDataFiles();
        bench::openAllDataFiles();
        MUS.close();
        QElapsedTimer t;
        t.start();
        if (!MUS.open(data::Exclusive)) {
            state.SkipWithError("no exclusive open");
            return;
        }
        action();
        const qint64 n = MUS.records();
        MUS.close();
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        if (n != kSongs) {
            state.SkipWithError("records lost");
            return;
        }
    }
}

void BM_BuildSongs(benchmark::State &state) {
    runFileAction(state, [] {
        MUS.send(QStringLiteral("FULLBUILD=on"));
        MUS.buildKeys();
    });
}
void BM_PackSongs(benchmark::State &state) {
    runFileAction(state, [] { MUS.pack(); });
}

#define HOUSEKEEPING_BENCHMARK(fn) \
    BENCHMARK(fn)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(3)

HOUSEKEEPING_BENCHMARK(BM_CreateAlbumDatabase);
HOUSEKEEPING_BENCHMARK(BM_ConvertSongDates);
HOUSEKEEPING_BENCHMARK(BM_ConvertAlbumDates);
HOUSEKEEPING_BENCHMARK(BM_TestAlbumLinkIntegrity);
HOUSEKEEPING_BENCHMARK(BM_ProcessAllSongs);
HOUSEKEEPING_BENCHMARK(BM_BuildSongs);
HOUSEKEEPING_BENCHMARK(BM_PackSongs);

} // namespace

int main(int argc, char **argv) {
    return bench::runWindowBenchmarks(argc, argv, [] { work.reset(); });
}
