// On the 100,000-song catalogue, offscreen: the label wizard's fill from an album and from a
// file number, from the picker's Select until the wizard shows the texts and its message.
//
//   TBK_BENCH_DIR=<copy of the kept catalogues> bench_labelfill [--benchmark_filter=...]
#include "bench/data/catalogue.h"
#include "bench/data/windowbench.h"
#include "core/datafiles.h"
#include "labels/labelwindows.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadwindows.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QWidget>
#include <benchmark/benchmark.h>

using namespace tbk;

namespace {

int wizardThread = 0;

QWidget *shown() { return threadExists(wizardThread) ? activeThreadWindow(wizardThread) : nullptr; }

bool click(const QString &button) {
    QWidget *w = shown();
    auto *b = w ? w->findChild<QAbstractButton *>(button) : nullptr;
    if (!b)
        return false;
    b->click();
    bench::settleWindows();
    return true;
}

bool answer(QMessageBox::StandardButton button) {
    auto *box = qobject_cast<QMessageBox *>(shown());
    if (!box || !box->button(button))
        return false;
    box->button(button)->click();
    bench::settleWindows();
    return true;
}

// The wizard open (once), its message of the last fill answered, and the picker open on it.
void openPicker(const QString &pickerButton) {
    if (!threadExists(wizardThread)) {
        bench::useKeptCatalogue(100000);
        wizardThread = startThread(
            [] {
                GlobalRequest = InsertRecord;
                LabelWizard();
            },
            kMinimumThreadStack);
        bench::settleWindows();
    }
    answer(QMessageBox::Ok);
    click(pickerButton);
}

// The texts are on the window once the message that follows them shows.
bool filled() {
    auto *box = qobject_cast<QMessageBox *>(shown());
    return box && box->windowTitle() == QLatin1String("Processing Complete");
}

void fillBenchmark(benchmark::State &state, const QString &pickerButton) {
    bench::timeSteps(
        state, [pickerButton] { openPicker(pickerButton); }, [] { click(QStringLiteral("Select")); }, filled,
        "the wizard was not filled");
    state.counters["songs"] = double(LAB.CDCoverText.str().count(QLatin1Char('\n')) + 1);
}

void BM_FillFromAlbum(benchmark::State &state) { fillBenchmark(state, QStringLiteral("Select Album")); }
void BM_FillFromFileNumber(benchmark::State &state) { fillBenchmark(state, QStringLiteral("Select File Number")); }

BENCHMARK(BM_FillFromAlbum)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(15);
BENCHMARK(BM_FillFromFileNumber)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(15);

} // namespace

int main(int argc, char **argv) {
    return bench::runWindowBenchmarks(argc, argv, [] {
        answer(QMessageBox::Ok);
        if (click(QStringLiteral("Cancel")))
            answer(QMessageBox::Yes);
    });
}
