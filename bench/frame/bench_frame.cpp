// The program's start and end on a large catalogue: the main program body opens its files and
// the frame (media check, version, album-copy check, splash started), then File / Exit closes it.
#include "bench/data/catalogue.h"
#include "core/datafiles.h"
#include "core/frame.h"
#include "setup/mainprogram.h"
#include "runtime/data/datafile.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <functional>

namespace {

bool runUntil(const std::function<bool()> &done) {
    for (int turns = 0; turns < 200000; ++turns) {
        if (done())
            return true;
        QCoreApplication::processEvents();
        tbk::scheduler::runReady();
    }
    return false;
}

void BM_StartAndExit(benchmark::State &state) {
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    qputenv("TBK_CONFIG_DIR", folder.filePath(QStringLiteral("config")).toUtf8());
    tbk::bench::CatalogueSize size;
    size.songs = int(state.range(0));
    if (!tbk::bench::generateCatalogue(size)) {
        state.SkipWithError("catalogue not made");
        return;
    }
    for (auto _ : state) {
        bool returned = false;
        tbk::startThread([&returned] {
            tbk::MainProgram();
            returned = true;
        }, tbk::kMinimumThreadStack);
        if (!runUntil([] { return tbk::frameTable().thread != 0; }) || !tbk::postFrameCommand(-6) ||
            !runUntil([&returned] { return returned; })) {
            state.SkipWithError("the frame did not open and close");
            break;
        }
        // The splash thread ends by itself; let it, so each round starts alike.
        tbk::scheduler::shutdown();
        runUntil([] { return tbk::threadNumbers().empty(); });
    }
    for (tbk::data::DataFile *f : tbk::data::DataFile::all())
        f->close();
}
BENCHMARK(BM_StartAndExit)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tbk::setExitHook([](int) {});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
