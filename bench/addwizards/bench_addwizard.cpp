// What an add wizard's OK writes for 99 rows (the album step and 99 songs, each row removed) on
// the catalogue of 100,000 songs, and a 99-track disc read into a thread's rows on the simulated
// drive (TBK_CDROM, set here).
//
//   TBK_BENCH_DIR=<copy of the kept catalogues> bench_addwizard
//
// Each OK's album, songs and header are removed again untimed, so the catalogue stays as it was;
// point TBK_BENCH_DIR at a copy all the same.
#include "albums/addwizardwrite.h"
#include "bench/data/catalogue.h"
#include "bench/data/windowbench.h"
#include "cdaudio/readcompactdisc.h"
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "runtime/threads/scheduler.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

using namespace tbk;

namespace {

constexpr int kSongs = 100000;
constexpr int kRows = 99;
// The rows' owner: a thread number no window of the benchmark has.
constexpr qint64 kOwner = 900;

// The catalogue, with the files the measured steps use held open through the open counts, as
// the wizard holds them: the steps' own uses then do not close them.
void useCatalogue() {
    bench::useKeptCatalogue(kSongs);
    for (data::DataFile *f : {static_cast<data::DataFile *>(&MUS), static_cast<data::DataFile *>(&ALB),
                              static_cast<data::DataFile *>(&AW)})
        if (FileUseCount(*f) == 0)
            openForUse(*f);
}

void removeRows() {
    AW.set(AW.KeyInstance);
    while (AW.next())
        AW.remove();
}

void addRows(qint64 owner) {
    for (int t = 1; t <= kRows; ++t) {
        AW.clear();
        AW.Instance = owner;
        AW.Side = 1;
        AW.Track = t;
        AW.TITLE = t % 3 == 0 ? QString() : QStringLiteral("Bench Title %1").arg(t);
        AW.TIME = 18001 + t * 100;
        AW.add();
    }
}

// A header as the wizard primes it: under the next song identifier, in the file.
data::Record primeHeader(int run) {
    MUS.set(MUS.KEYID);
    const qint32 id = MUS.previous() ? MUS.ID + 1 : 1;
    MUS.clear();
    MUS.ID = id;
    MUS.Artist = "Bench Wizard Artist";
    MUS.Album = QStringLiteral("Bench Wizard Album %1").arg(run);
    MUS.Media = "CD";
    MUS.FileNumber = "BENCH-WIZARD";
    MUS.add();
    return MUS.record();
}

// The album and the songs one OK wrote, and its header.
void removeWritten(qint32 album, const data::Record &header) {
    MUS.clear();
    MUS.AlbumID = album;
    MUS.setFromBuffer(MUS.KeyAlbumID);
    while (MUS.next() && MUS.AlbumID.value() == album)
        MUS.remove();
    if (MUS.get(header.position))
        MUS.remove();
    ALB.clear();
    ALB.AlbumID = album;
    if (ALB.get(ALB.KEYALBUMID))
        ALB.remove();
}

void BM_AddWizardOkWith99Rows(benchmark::State &state) {
    useCatalogue();
    removeRows();
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        addRows(kOwner);
        const data::Record header = primeHeader(++run);
        state.ResumeTiming();
        const qint32 album = AddWizardAlbumStep(header, AddWizardKind::SingleArtist, {}, true);
        const int written = AddWizardWriteSongs(header, AddWizardKind::SingleArtist, album, kOwner);
        state.PauseTiming();
        removeWritten(album, header);
        state.ResumeTiming();
        if (album == 0 || written != kRows) {
            state.SkipWithError("the album or the songs were not written");
            break;
        }
    }
}
BENCHMARK(BM_AddWizardOkWith99Rows)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3)->ReportAggregatesOnly();

// A disc of 99 tracks of 48 seconds.
bool describe99TrackDisc(const QString &path) {
    QString tracks = QStringLiteral("tracks");
    for (int t = 0; t < kRows; ++t)
        tracks += QStringLiteral(" %1").arg(150 + t * 3600);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write((tracks + QStringLiteral("\nleadout %1\n").arg(150 + kRows * 3600)).toUtf8());
    return true;
}

void BM_ReadDiscOf99TracksIntoRows(benchmark::State &state) {
    useCatalogue();
    QTemporaryDir dir;
    const QString drive = QDir(dir.path()).filePath(QStringLiteral("drive.txt"));
    if (!describe99TrackDisc(drive)) {
        state.SkipWithError("cannot describe the disc");
        return;
    }
    qputenv("TBK_CDROM", QFile::encodeName(drive));
    auto result = std::make_shared<qint32>(0);
    bench::timeSteps(
        state,
        [result] {
            removeRows();
            *result = 0;
        },
        [result] {
            startThread(
                [result] {
                    ALB.clear();
                    data::Record album = ALB.record();
                    *result = ReadCompactDisc(0, 1, album);
                },
                kMinimumThreadStack);
        },
        [result] { return *result == 1 && AW.records() == kRows; }, "the disc was not read into 99 rows");
    removeRows();
    qunsetenv("TBK_CDROM");
}
BENCHMARK(BM_ReadDiscOf99TracksIntoRows)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20)->Repetitions(3)->ReportAggregatesOnly();

} // namespace

int main(int argc, char **argv) { return bench::runWindowBenchmarks(argc, argv); }
