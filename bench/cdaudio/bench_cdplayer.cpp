// The CD player on the simulated drive and the catalogue of 100,000 songs and 10,000 albums,
// offscreen.
//
//   tbk_gencat <dir>/tbk_bench_100000 100000 10000 50
//   TBK_BENCH_DIR=<dir> bench_cdplayer [--benchmark_filter=...]
//
// Two albums of the catalogue take the serials of two simulated discs for the run and lose
// them again at its end.
#include "bench/data/catalogue.h"
#include "bench/data/windowbench.h"
#include "cdaudio/cdplayer.h"
#include "cdaudio/cdplayerdrive.h"
#include "cdaudio/discid.h"
#include "cdaudio/mcicommand.h"
#include "core/datafiles.h"
#include "core/programsettings.h"
#include "runtime/mci/mci.h"
#include "runtime/threads/event.h"
#include "runtime/threads/scheduler.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/window.h"

#include <QDir>
#include <QSaveFile>
#include <QWidget>
#include <benchmark/benchmark.h>

using namespace tbk;

namespace {

constexpr int kSongs = 100000;
// Two discs and the albums that hold them.
const QString kDiscs[2] = {QStringLiteral("tracks 150 20000 40000\nleadout 60000\n"),
                           QStringLiteral("tracks 150 15000 31000 47000\nleadout 70000\n")};
const qint32 kAlbums[2] = {4321, 8765};
QString serials[2];
QString titles[2];
bool playerOpen = false;

void describe(const QString &description) {
    QSaveFile f(QStringLiteral("bench_drive.txt"));
    f.open(QIODevice::WriteOnly);
    f.write(description.toUtf8());
    f.commit();
}

QString serialOf(const QString &disc) {
    describe(disc);
    QString answer;
    mciSendString(QStringLiteral("open cdaudio shareable"), answer);
    mciSendString(QStringLiteral("set cdaudio time format tmsf"), answer);
    const QString serial = ReadDiscSerial(mciNumber(SendMciCommand(QStringLiteral("status cdaudio number of tracks"))));
    mciSendString(QStringLiteral("close cdaudio"), answer);
    return serial;
}

// The album's title.
QString markAlbum(qint32 id, const QString &serial) {
    ALB.clear();
    ALB.AlbumID = id;
    if (!ALB.get(ALB.KEYALBUMID))
        return QString();
    ALB.CDIDENTIFIER = serial;
    ALB.put();
    return ALB.Album.str().trimmed();
}

void useCatalogue() {
    bench::useKeptCatalogue(kSongs);
    qputenv("TBK_CDROM", QFile::encodeName(QDir::current().filePath(QStringLiteral("bench_drive.txt"))));
    if (serials[0].isEmpty())
        for (int i = 0; i < 2; ++i) {
            serials[i] = serialOf(kDiscs[i]);
            titles[i] = markAlbum(kAlbums[i], serials[i]);
        }
}

void BM_Poll(benchmark::State &state) {
    useCatalogue();
    describe(kDiscs[0] + QStringLiteral("clock 30000\n"));
    QString answer;
    mciSendString(QStringLiteral("open cdaudio shareable"), answer);
    mciSendString(QStringLiteral("set cdaudio time format tmsf"), answer);
    mciSendString(QStringLiteral("play cdaudio from 2"), answer);
    CdPlayerDrive drive;
    drive.poll();   // the disc has come in
    for (auto _ : state)
        benchmark::DoNotOptimize(drive.poll());
    if (drive.currentTrack != 2 || drive.mode != QLatin1String("playing"))
        state.SkipWithError("the drive is not playing track 2");
    mciSendString(QStringLiteral("close cdaudio"), answer);
}

Window *player() { return Window::find(QStringLiteral("IntegratedCDPlayer")); }

void timerEvent() {
    QWidget *w = player()->frame();
    postToWindow(w, Event::of(EventKind::Timer, w));
}

int disc = 0;

// The player sees the tray open, then the other disc in it; timed from that poll on.
void BM_IdentifyAndList(benchmark::State &state) {
    useCatalogue();
    if (!playerOpen) {
        CDTimer = 1000000;   // its own timer never fires: the benchmark posts the events
        describe(kDiscs[0]);
        startThread([] { IntegratedCDPlayer(); }, kMinimumThreadStack);
        playerOpen = true;
        bench::settleWindows();
        player()->frame()->resize(700, 500);
        bench::settleWindows();
    }
    bench::timeSteps(
        state,
        [] {
            describe(QStringLiteral("tray open\n"));
            timerEvent();
            bench::settleWindows();
            disc = 1 - disc;
            describe(kDiscs[disc]);
        },
        timerEvent,
        [] {
            auto *list = player()->frame()->findChild<ListControl *>(QStringLiteral("List"));
            return player()->frame()->windowTitle() == QStringLiteral("CD Player - ") + titles[disc] && list &&
                   list->model()->rowCount() > 0;
        },
        "the player did not recognise the disc");
}

void finish() {
    if (playerOpen) {
        QWidget *w = player()->frame();
        postToWindow(w, Event::of(EventKind::CloseWindow, w));
        bench::settleWindows();
    }
    for (qint32 id : kAlbums)
        markAlbum(id, QString());
}

BENCHMARK(BM_Poll)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_IdentifyAndList)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(21)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv) { return bench::runWindowBenchmarks(argc, argv, finish); }
