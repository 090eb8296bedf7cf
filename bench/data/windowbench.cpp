#include "bench/data/windowbench.h"

#include "core/fileaccess.h"
#include "core/programsettings.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace tbk::bench {

void settleWindows() {
    do {
        QCoreApplication::processEvents();
        scheduler::runReady();
    } while (scheduler::busy());
    QCoreApplication::processEvents();
}

void timeSteps(benchmark::State &state, const std::function<void()> &before, const std::function<void()> &step,
               const std::function<bool()> &fine, const char *error) {
    for (auto _ : state) {
        if (before) {
            before();
            settleWindows();
        }
        QElapsedTimer t;
        t.start();
        step();
        settleWindows();
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        if (!fine()) {
            state.SkipWithError(error);
            return;
        }
    }
}

int runWindowBenchmarks(int argc, char **argv, const std::function<void()> &finish) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The crash marker and window places go to a settings folder of the run's own.
    QTemporaryDir config;
    qputenv("TBK_CONFIG_DIR", config.path().toUtf8());
    QApplication app(argc, argv);
    setExitHook([](int) {});
    ProgramIniFile = kProgramIniName;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (finish)
        finish();
    closeAllDataFiles();
    return 0;
}

} // namespace tbk::bench
