// The import of songs: what the export writes of a catalogue (all fields with the header line)
// imported into an empty songs file beside the catalogue's categories, assigned by Auto with the
// header stripped; the whole run from opening the file to closing it, on a logical thread with
// its progress window (offscreen).
//
//   bench_import [benchmark flags] [catalogue folder...]
//
// A folder holds a catalogue made by tbk_gencat (it is copied first: the run empties the songs
// file); without folders the kept catalogue of 100,000 songs is used (see bench/data/catalogue.h).
#include "bench/data/catalogue.h"
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "impex/exportfields.h"
#include "impex/exportrun.h"
#include "impex/importrun.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <functional>

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

void BM_Import(benchmark::State &state, QString folder) {
    closeDataFiles();
    QTemporaryDir work;
    if (!copyFolder(folder, work.path())) {
        state.SkipWithError("the catalogue could not be copied");
        return;
    }
    QDir::setCurrent(work.path());
    tbk::bench::openAllDataFiles();
    const qint64 songs = MUS.records();
    const QString file = work.filePath(QStringLiteral("songs.csv"));
    onThread([&] { RunExportToFile(file, exportableFields(), true); });
    ImportOutcome outcome;
    for (auto _ : state) {
        state.PauseTiming();
        MUS.close();
        if (!MUS.create() || !MUS.open()) {
            state.SkipWithError("the songs file could not be made");
            break;
        }
        state.ResumeTiming();
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
        if (outcome.added != songs)
            state.SkipWithError("not every song was imported");
    }
    state.counters["songs"] = double(outcome.added);
    state.counters["MB"] = double(QFileInfo(file).size()) / 1e6;
    closeDataFiles();
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tbk::setExitHook([](int) {});
    benchmark::Initialize(&argc, argv);
    const QStringList folders = tbk::bench::catalogueFolders(argc, argv, {100000});
    for (const QString &folder : folders) {
        const std::string name = QFileInfo(folder).fileName().toStdString();
        benchmark::RegisterBenchmark(("ImportAllFieldsAuto/" + name).c_str(), BM_Import, folder)
            ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    closeDataFiles();
    return 0;
}
