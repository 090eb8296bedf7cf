#include "bench/data/windowbench.h"

#include "core/fileaccess.h"
#include "core/programsettings.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <ctime>
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
    // The machine may be shared: the process's CPU time of the steps tells what wall time cannot.
    double cpu = 0;
    int steps = 0;
    const auto cpuNow = [] {
        timespec ts{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
    };
    for (auto _ : state) {
        if (before) {
            before();
            settleWindows();
        }
        QElapsedTimer t;
        t.start();
        const double cpuStart = cpuNow();
        step();
        settleWindows();
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        cpu += cpuNow() - cpuStart;
        state.counters["cpu_ms"] = cpu / ++steps;
        if (!fine()) {
            state.SkipWithError(error);
            return;
        }
    }
}

double statusKilobytes(const char *field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toDouble();
    return -1;
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
