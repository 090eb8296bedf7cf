// Costs of a paged list's refill: the window reads a new page into its rows and the list
// redraws. Telling the list what changed (pageChanged) against resetting its model.
#include "runtime/ui/listcontrol.h"

#include <QApplication>
#include <QHeaderView>
#include <benchmark/benchmark.h>

using namespace tbk;

namespace {

const QString kNineColumns = QStringLiteral(
    "60L(2)|M~Title~@s20@75L(2)|M~Artist~@s20@50L(2)|M~Album~@s20@30R(2)|M~Year~C(0)@n4@"
    "26R(2)|M~BPM~C(0)@n3@28L(2)|M~Time~@s8@30L(2)|M~Media~@s10@30L(2)|M~File~@s10@32R(2)|M~Plays~C(0)@n5@");
constexpr int kLines = 22;
constexpr int kSongs = 100000;

// A page of songs made up from their numbers, as a window's page queue would hold them.
class Page : public ListRows {
public:
    int rowCount() const override { return int(songs.size()); }
    QVariant field(int row, int field) const override {
        const int s = songs[row];
        switch (field) {
        case 1: return QStringLiteral("Song %1").arg(s, 6, 10, QLatin1Char('0'));
        case 2: return QStringLiteral("Artist %1").arg(s % 977);
        case 3: return QStringLiteral("Album %1").arg(s / 12);
        case 4: return qint64(1960 + s % 40);
        case 5: return qint64(80 + s % 60);
        case 6: return QStringLiteral("%1:%2").arg(2 + s % 5).arg(s % 60, 2, 10, QLatin1Char('0'));
        case 7: return QStringLiteral("CD");
        case 8: return QStringLiteral("F-%1").arg(s / 12);
        case 9: return qint64(s * 7 % 500);
        default: return {};
        }
    }
    void read(int first) {
        songs.clear();
        for (int s = first; s < first + kLines; ++s)
            songs.push_back(s);
    }
    std::vector<int> songs;
};

// A shown paged list of exactly kLines whole rows.
struct PagedList {
    PagedList() {
        list.setFormat(kNineColumns);
        list.setPaged(true);
        list.setRows(&page);
        page.read(0);
        list.listModel()->pageChanged();
        list.resize(700, 600);
        list.show();
        QApplication::processEvents();
        list.resize(700, list.height() - list.viewport()->height() + kLines * list.lineHeight());
        QApplication::processEvents();
        list.setCurrentRow(5);
    }
    bool ready() const { return list.linesFit() == kLines && list.listModel()->rowCount() == kLines; }
    ListControl list;
    Page page;
};

// Refills the page, moved by so many rows each time, and lets the list redraw: either the list
// is told what changed (pageChanged) or its model is reset and the current row put back by hand.
// A forced redraw paints every row whatever the list was told.
void refill(benchmark::State &state, int step, bool reset, bool forced) {
    PagedList p;
    if (!p.ready())
        return state.SkipWithError("the list does not fit 22 lines");
    int first = 0;
    for (auto _ : state) {
        first = (first + step) % (kSongs - kLines);
        p.page.read(first);
        if (reset) {
            p.list.listModel()->rowsReset();
            p.list.setCurrentRow(5);
        } else {
            p.list.listModel()->pageChanged();
        }
        if (forced)
            p.list.viewport()->repaint();
        QApplication::processEvents();
    }
    state.counters["current"] = p.list.currentRow();
}

// A new page each time, every row different.
void BM_PagedRefillRedraw(benchmark::State &state) { refill(state, kLines, false, true); }
BENCHMARK(BM_PagedRefillRedraw)->Unit(benchmark::kMillisecond);
void BM_PagedResetRedraw(benchmark::State &state) { refill(state, kLines, true, true); }
BENCHMARK(BM_PagedResetRedraw)->Unit(benchmark::kMillisecond);

// The page moved by one row, as a line scroll past the page's edge does; the view repaints by
// itself what it was told is out of date.
void BM_PagedLineScroll(benchmark::State &state) { refill(state, 1, false, false); }
BENCHMARK(BM_PagedLineScroll)->Unit(benchmark::kMillisecond);
void BM_PagedLineScrollByReset(benchmark::State &state) { refill(state, 1, true, false); }
BENCHMARK(BM_PagedLineScrollByReset)->Unit(benchmark::kMillisecond);

// A refresh that finds one row changed (say, after a form wrote it): one row is redrawn.
void BM_PagedRefreshOneRow(benchmark::State &state) {
    PagedList p;
    if (!p.ready())
        return state.SkipWithError("the list does not fit 22 lines");
    int n = 0;
    for (auto _ : state) {
        p.page.songs[7] = (++n % 2) ? kSongs + 1 : 7;
        p.list.listModel()->pageChanged();
        QApplication::processEvents();   // the view repaints what it was told is out of date
    }
}
BENCHMARK(BM_PagedRefreshOneRow)->Unit(benchmark::kMillisecond);

// Only the rows' data: reading the page and comparing it with the last one, no drawing.
void BM_PagedRefillDataOnly(benchmark::State &state) {
    PagedList p;
    p.list.hide();
    int first = 0;
    for (auto _ : state) {
        first = (first + kLines) % (kSongs - kLines);
        p.page.read(first);
        p.list.listModel()->pageChanged();
    }
}
BENCHMARK(BM_PagedRefillDataOnly)->Unit(benchmark::kMillisecond);

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
