// Costs of the logical-thread machinery and of the list format strings.
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/listformat.h"
#include "runtime/values/progressstops.h"

#include <QApplication>
#include <benchmark/benchmark.h>

using namespace tbk;

namespace {

const QString kTrackList = QStringLiteral(
    "[10L|@p(<)p@24L(1)|M@n3@](25)|M~Track~80L(2)|M~Artist~@s30@80L(2)|M~Title~@s30@23L(1)|M~Time~L(2)@s8@"
    "39L(2)|M~Media~@s20@48L(2)|M~File Number~L(0)@s20@46R(2)|M~Release Date~C(0)@d2@19R(2)|M~BPM~R(0)@n_4b@"
    "80L(2)|M~In/Out~L(0)@s20@");

// One event posted to a waiting thread and taken by it: two fiber switches and the queue.
void BM_PostAndTakeEvent(benchmark::State &state) {
    bool stop = false;
    long taken = 0;
    const int t = startThread([&] {
        QWidget *none = nullptr;
        while (!stop) {
            waitEvent(none);
            ++taken;
        }
    });
    scheduler::runReady();
    for (auto _ : state) {
        postEvent(t, Event::of(EventKind::User));
        scheduler::runReady();
    }
    stop = true;
    postEvent(t, Event::of(EventKind::User));
    scheduler::runReady();
    state.counters["taken"] = double(taken);
}
BENCHMARK(BM_PostAndTakeEvent);

void BM_StartAndEndThread(benchmark::State &state) {
    for (auto _ : state) {
        startThread([] {});
        scheduler::runReady();
    }
}
BENCHMARK(BM_StartAndEndThread);

void BM_ParseAndWriteListFormat(benchmark::State &state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ListFormat::parse(kTrackList).toString());
}
BENCHMARK(BM_ParseAndWriteListFormat);

void BM_StringStops(benchmark::State &state) {
    for (auto _ : state) {
        SetupStringStops(30, 7, false, "Abba", "ZZ Top");
        for (int i = 0; i < 100; ++i)
            benchmark::DoNotOptimize(GetNextStringStop());
    }
}
BENCHMARK(BM_StringStops);

class ManyRows : public ListRows {
public:
    int rowCount() const override { return 100000; }
    QVariant field(int row, int f) const override { return f == 1 ? QVariant(QStringLiteral("Artist")) : QVariant(row); }
};

// Scrolling a 100,000-row list to a far row: only the rows drawn are asked for.
void BM_ListScrollFar(benchmark::State &state) {
    ManyRows rows;
    ListControl list;
    list.setFormat(QStringLiteral("80L(2)|M~Artist~80R(2)|M~Plays~"));
    list.setRows(&rows);
    list.resize(400, 300);
    list.show();
    int row = 0;
    for (auto _ : state) {
        row = (row + 37717) % 100000;
        list.setCurrentRow(row);
        list.scrollTo(list.listModel()->index(row, 0));
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ListScrollFar);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
