// A change form opened on a song and closed again, on catalogues of 100,000 and 1,000,000 songs:
// the call taken, the file's use counted, the working copy taken, the window built with a handful
// of song fields, placed, loaded and shown, then closed by its close box.
//
// The catalogue of n songs is made once (by tbk_gencat, in a process of its own) in the folder
// $TBK_BENCH_<n>, default /tmp/tbk_bench_<n>, and used again while it holds n songs.
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "records/form.h"
#include "core/referentialintegrity.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/windowbuilder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <functional>

using namespace tbk;

namespace {

class UpdateBenchSong : public Form {
public:
    UpdateBenchSong()
        : Form(QStringLiteral("UpdateBenchSong"),
               {&MUS, &MUS.KEYID, QStringLiteral("ID"), DeleteSongRecord, UpdateSongRecord, CaptureSongLinks}) {}

protected:
    QWidget *createForm() override {
        WindowBuilder b(*this, {}, {300, 120});
        b.entry(QStringLiteral("&Artist:"), QStringLiteral("MUS:Artist"), QStringLiteral("@s40"));
        b.entry(QStringLiteral("&Title:"), QStringLiteral("MUS:Title"), QStringLiteral("@s40"));
        b.entry(QStringLiteral("&Mix:"), QStringLiteral("MUS:Mix"), QStringLiteral("@s30"));
        b.entry(QStringLiteral("A&lbum:"), QStringLiteral("MUS:Album"), QStringLiteral("@s40"));
        b.entry(QStringLiteral("&Release Date:"), QStringLiteral("MUS:ReleaseDate"), QStringLiteral("@d6"));
        b.entry(QStringLiteral("T&ime:"), QStringLiteral("MUS:Time"), QStringLiteral("@t1"));
        b.memo(QStringLiteral("&Notes:"), QStringLiteral("MUS:Notes"), 30);
        b.button(QStringLiteral("&OK"));
        b.button(QStringLiteral("Cancel"));
        return b.finish();
    }
};

bool runUntil(const std::function<bool()> &done) {
    for (int turns = 0; turns < 200000; ++turns) {
        if (done())
            return true;
        QCoreApplication::processEvents();
        scheduler::runReady();
    }
    return false;
}

bool useCatalogue(int songs) {
    const QString variable = QStringLiteral("TBK_BENCH_%1").arg(songs);
    QString folder = qEnvironmentVariable(variable.toLatin1().constData());
    if (folder.isEmpty())
        folder = QStringLiteral("/tmp/tbk_bench_%1").arg(songs);
    closeAllDataFiles();
    if (QDir::setCurrent(folder) && MUS.open(data::SharedReadOnly) && MUS.records() == songs) {
        MUS.close();
        openForUse(MUS);
        return true;
    }
    MUS.close();
    const int rc = QProcess::execute(QStringLiteral(TBK_GENCAT),
                                     {folder, QString::number(songs), QString::number(songs / 10), QStringLiteral("50")});
    if (rc != 0 || !QDir::setCurrent(folder))
        return false;
    openForUse(MUS);
    return MUS.records() == songs;
}

void BM_OpenAndCloseChangeForm(benchmark::State &state) {
    const int songs = int(state.range(0));
    if (!useCatalogue(songs)) {
        state.SkipWithError("catalogue not made");
        return;
    }
    const data::Position song = songs / 2;
    for (auto _ : state) {
        bool ended = false;
        QElapsedTimer t;
        t.start();
        startThread([&] {
            MUS.get(song);
            GlobalRequest = ChangeRecord;
            UpdateBenchSong().run();
            ended = true;
        });
        Window *form = nullptr;
        const bool open = runUntil([&] {
            form = Window::find(QStringLiteral("UpdateBenchSong"));
            return form && !scheduler::busy();
        });
        if (!open || !postToWindow(form->frame(), Event::of(EventKind::CloseWindow)) ||
            !runUntil([&] { return ended && threadNumbers().empty(); })) {
            state.SkipWithError("the form did not open and close");
            break;
        }
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
    }
    closeAllDataFiles();
}

BENCHMARK(BM_OpenAndCloseChangeForm)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(30)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir config;
    qputenv("TBK_CONFIG_DIR", config.path().toUtf8());
    setExitHook([](int) {});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
