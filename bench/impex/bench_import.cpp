// The import of songs: what the export writes of a catalogue (all fields with the header line)
// imported into an empty songs file beside the catalogue's categories, assigned by Auto with the
// header stripped; the whole run from opening the file to closing it, on a logical thread with
// its progress window (offscreen). Then the album copy that the Yes after an import runs, on
// the songs so imported (none linked) and the catalogue's albums. And the import once more with a
// second station writing a song every 100 ms meanwhile (bench_station, another process): the
// longest its single writes took, by themselves and in a transaction.
//
//   [TBK_BENCH_KEEP_IMPORT=<folder>] bench_import [benchmark flags] [catalogue folder...]
//
// A folder holds a catalogue made by tbk_gencat (it is copied first: the run empties the songs
// file); without folders the kept catalogue of 100,000 songs is used (see bench/data/catalogue.h).
// With TBK_BENCH_KEEP_IMPORT, each imported catalogue is copied to a folder of the same name there.
#include "bench/data/catalogue.h"
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "setup/housekeeping.h"
#include "impex/exportfields.h"
#include "impex/exportrun.h"
#include "impex/importrun.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

using namespace tbk;

namespace {

void closeDataFiles() {
    for (const RegisteredFile &f : registeredDataFiles())
        f.file->close();
}

void onThread(const std::function<void()> &work) {
    bool done = false;
    startThread([&] {
        work();
        done = true;
    }, kMinimumThreadStack);
    while (!done) {
        QCoreApplication::processEvents();
        scheduler::runReady();
    }
}

bool copyFolder(const QString &from, const QString &to) {
    for (const QFileInfo &f : QDir(from).entryInfoList(QDir::Files))
        if (!f.fileName().endsWith(QLatin1String("-lock")) && !QFile::copy(f.filePath(), to + "/" + f.fileName()))
            return false;
    return true;
}

// This process's write calls and bytes written so far (/proc/self/io), to see what the commits cost.
std::pair<double, double> writesSoFar() {
    QFile io(QStringLiteral("/proc/self/io"));
    double calls = 0, bytes = 0;
    if (io.open(QIODevice::ReadOnly))
        for (const QByteArray &line : io.readAll().split('\n')) {
            if (line.startsWith("syscw:"))
                calls = line.mid(6).trimmed().toDouble();
            else if (line.startsWith("wchar:"))
                bytes = line.mid(6).trimmed().toDouble();
        }
    return {calls, bytes};
}

bool emptySongs() {
    MUS.close();
    return MUS.create() && MUS.open();
}

ImportOutcome importSongs(const QString &file) {
    ImportOutcome outcome;
    onThread([&] {
        ImportTransfer t;
        const qint64 size = ImportOpenNamedFile(t, file);
        ImportFieldLists lists;
        if (size <= 0 || !readImportColumns(t, lists))
            return;
        AutoAssignImportFields(lists);
        outcome = ImportFileSongs(t, lists, true, size);
        ImportCloseFile(t);
    });
    return outcome;
}

// A copy of the catalogue made current and opened, with its songs exported to songs.csv: the
// number of songs, or -1 when that failed.
qint64 exportedCopy(const QString &folder, const QTemporaryDir &work) {
    closeDataFiles();
    if (!copyFolder(folder, work.path()))
        return -1;
    QDir::setCurrent(work.path());
    tbk::bench::openAllDataFiles();
    bool written = false;
    onThread([&] { written = RunExportToFile(work.filePath(QStringLiteral("songs.csv")), exportableFields(), true); });
    return written ? MUS.records() : -1;
}

// The work timed (timing paused before and after), with its write calls and kilobytes written
// per song as counters: what the commits cost.
void timeWithWrites(benchmark::State &state, qint64 songs, const std::function<void()> &work) {
    const auto before = writesSoFar();
    state.ResumeTiming();
    work();
    state.PauseTiming();
    const auto after = writesSoFar();
    state.counters["writes_per_song"] = (after.first - before.first) / double(songs);
    state.counters["written_KB_per_song"] = (after.second - before.second) / 1024 / double(songs);
}

// The second station, started in the current folder, once it has opened the files.
std::unique_ptr<QProcess> startStation() {
    auto p = std::make_unique<QProcess>();
    p->setProgram(QStringLiteral(TBK_BENCH_STATION));
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start();
    while (p->waitForReadyRead(10000) && !p->canReadLine()) {
    }
    if (p->readLine().trimmed() != "ready")
        return nullptr;
    return p;
}

// Stops the station and takes what it counted.
bool stopStation(QProcess &station, benchmark::State &state) {
    station.write("\n");
    station.closeWriteChannel();
    if (!station.waitForFinished(10000))
        return false;
    const QList<QByteArray> figures = station.readAll().simplified().split(' ');
    if (figures.size() != 5)
        return false;
    state.counters["station_writes"] = figures[0].toDouble();
    state.counters["station_refused"] = figures[1].toDouble();
    state.counters["station_reads_refused"] = figures[2].toDouble();
    state.counters["station_longest_ms"] = figures[3].toDouble();
    state.counters["station_longest_in_transaction_ms"] = figures[4].toDouble();
    return true;
}

void BM_Import(benchmark::State &state, QString folder, bool withStation) {
    QTemporaryDir work;
    const qint64 songs = exportedCopy(folder, work);
    if (songs < 0) {
        state.SkipWithError("the catalogue could not be copied and exported");
        return;
    }
    const QString file = work.filePath(QStringLiteral("songs.csv"));
    ImportOutcome outcome;
    for (auto _ : state) {
        state.PauseTiming();
        if (!emptySongs()) {
            state.SkipWithError("the songs file could not be made");
            break;
        }
        std::unique_ptr<QProcess> station = withStation ? startStation() : nullptr;
        if (withStation && !station) {
            state.SkipWithError("the second station did not start");
            break;
        }
        timeWithWrites(state, songs, [&] { outcome = importSongs(file); });
        if (station && !stopStation(*station, state))
            state.SkipWithError("the second station did not tell what it counted");
        state.ResumeTiming();
        if (outcome.added != songs)
            state.SkipWithError("not every song was imported");
    }
    state.counters["songs"] = double(outcome.added);
    state.counters["MB"] = double(QFileInfo(file).size()) / 1e6;
    closeDataFiles();
    // The imported catalogue kept for the list benchmarks, which want one in the import's order.
    const QString keep = qEnvironmentVariable("TBK_BENCH_KEEP_IMPORT");
    if (!keep.isEmpty()) {
        const QString to = keep + "/" + QFileInfo(folder).fileName();
        QFile::remove(file);
        if (!QDir().mkpath(to) || !copyFolder(work.path(), to))
            state.SkipWithError("the imported catalogue could not be kept");
    }
}

void BM_AlbumCopyAfterImport(benchmark::State &state, QString folder) {
    QTemporaryDir work;
    const qint64 songs = exportedCopy(folder, work);
    if (songs < 0 || !emptySongs() || importSongs(work.filePath(QStringLiteral("songs.csv"))).added != songs) {
        state.SkipWithError("the catalogue could not be copied, exported and imported");
        return;
    }
    closeDataFiles();
    const QStringList files{QStringLiteral("tbkdata.dat"), QStringLiteral("tbkalbum.dat")};
    for (const QString &f : files)
        QFile::copy(work.filePath(f), work.filePath(f + ".kept"));
    for (auto _ : state) {
        state.PauseTiming();
        closeDataFiles();
        for (const QString &f : files) {
            QFile::remove(work.filePath(f));
            QFile::copy(work.filePath(f + ".kept"), work.filePath(f));
        }
        tbk::bench::openAllDataFiles();
        timeWithWrites(state, songs, [] {
            onThread([] {
                GlobalRequest = ChangeRecord;
                CreateAlbumDatabase();
            });
        });
        state.ResumeTiming();
        if (GlobalResponse != RequestCompleted)
            state.SkipWithError("the copy did not run to its end");
    }
    closeDataFiles();
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tbk::setExitHook([](int) {});
    // Five runs each unless the flag says otherwise (a run at a million songs takes minutes).
    std::vector<char *> args(argv, argv + argc);
    char fiveRuns[] = "--benchmark_repetitions=5";
    if (std::none_of(args.begin(), args.end(), [](const char *a) { return std::strstr(a, "--benchmark_repetitions"); }))
        args.insert(args.begin() + 1, fiveRuns);
    argc = int(args.size());
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    const QStringList folders = tbk::bench::catalogueFolders(argc, argv, {100000});
    for (const QString &folder : folders) {
        const std::string name = QFileInfo(folder).fileName().toStdString();
        benchmark::RegisterBenchmark(("ImportAllFieldsAuto/" + name).c_str(), BM_Import, folder, false)
            ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->ReportAggregatesOnly(true);
        // Each run shown: its station's longest wait is the figure.
        benchmark::RegisterBenchmark(("ImportWithAStationWriting/" + name).c_str(), BM_Import, folder, true)
            ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
        benchmark::RegisterBenchmark(("AlbumCopyAfterImport/" + name).c_str(), BM_AlbumCopyAfterImport, folder)
            ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->ReportAggregatesOnly(true);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    closeDataFiles();
    return 0;
}
