// The export of songs, the whole run from making the file to closing it, on a logical thread
// with its progress window (offscreen): all 30 fields with the header line, and Artist, Album
// and Title only.
//
//   bench_export [benchmark flags] [catalogue folder...]
//
// A folder holds a catalogue made by tbk_gencat; without folders the kept catalogues of 100,000
// and 1,000,000 songs are used (made when missing, see bench/data/catalogue.h).
#include "bench/data/catalogue.h"
#include "core/datafiles.h"
#include "impex/exportfields.h"
#include "impex/exportrun.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>

using namespace tbk;

namespace {

QList<ExportField> chosen(const QStringList &names) {
    QList<ExportField> out;
    for (const ExportField &f : exportableFields())
        if (names.isEmpty() || names.contains(f.field))
            out.append(f);
    return out;
}

void useFolder(const QString &folder) {
    for (const RegisteredFile &f : registeredDataFiles())
        f.file->close();
    QDir::setCurrent(folder);
    tbk::bench::openAllDataFiles();
}

void exportOnce(benchmark::State &state, const QList<ExportField> &fields, const QString &file) {
    bool done = false;
    bool reached = false;
    startThread([&] {
        reached = RunExportToFile(file, fields, true);
        done = true;
    }, kMinimumThreadStack);
    while (!done) {
        QCoreApplication::processEvents();
        scheduler::runReady();
    }
    if (!reached)
        state.SkipWithError("the export did not run");
}

void BM_Export(benchmark::State &state, QString folder, QStringList names) {
    useFolder(folder);
    const qint64 songs = MUS.records();
    const QList<ExportField> fields = chosen(names);
    QTemporaryDir out;
    const QString file = out.filePath(QStringLiteral("songs.csv"));
    for (auto _ : state)
        exportOnce(state, fields, file);
    state.counters["songs"] = double(songs);
    state.counters["MB"] = double(QFileInfo(file).size()) / 1e6;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tbk::setExitHook([](int) {});
    benchmark::Initialize(&argc, argv);
    const QStringList folders = tbk::bench::catalogueFolders(argc, argv, {100000, 1000000});
    const QStringList threeFields{QStringLiteral("MUS:Artist"), QStringLiteral("MUS:Album"), QStringLiteral("MUS:Title")};
    for (const QString &folder : folders) {
        const std::string name = QFileInfo(folder).fileName().toStdString();
        benchmark::RegisterBenchmark(("Export30FieldsWithHeader/" + name).c_str(), BM_Export, folder, QStringList())
            ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
        benchmark::RegisterBenchmark(("ExportArtistAlbumTitle/" + name).c_str(), BM_Export, folder, threeFields)
            ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const RegisteredFile &f : registeredDataFiles())
        f.file->close();
    return 0;
}
