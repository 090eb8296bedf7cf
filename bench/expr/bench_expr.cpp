// Filters and orders over the 100,000-song catalogue of the data-driver benchmark.
#include "bench/data/catalogue.h"
#include "core/datafiles.h"
#include "runtime/expr/exprview.h"

#include <benchmark/benchmark.h>

using namespace tbk;
using namespace tbk::data;
using namespace tbk::expr;

namespace {

// Reads the whole view once per iteration; answers the rows of the last pass.
template <typename AnyView>
int readAll(benchmark::State &state, AnyView &v) {
    int n = 0;
    for (auto _ : state) {
        n = 0;
        v.set();
        while (v.next())
            ++n;
    }
    return n;
}

const char *const kFilters[] = {
    "UPPER(MUS:Artist) = 'ABBA' AND MUS:BeatsPerMinute > 120",
    "UPPER(MUS:Artist) = 'ARTIST 00042' AND MUS:BeatsPerMinute > 120",
    "INSTRING('00042', MUS:Artist, 1, 1) AND MUS:Media = 'CD'",
};

// Every song that passes, in key order (SQL path).
void BM_FilterAllSongs(benchmark::State &state) {
    tbk::bench::useSharedCatalogue();
    ExprView v(MUS, &MUS.SongsByArtist);
    if (!v.setFilter(kFilters[state.range(0)]) || !v.open()) {
        state.SkipWithError("filter refused");
        return;
    }
    const int n = readAll(state, v);
    state.SetLabel(QStringLiteral("%1 rows: %2").arg(n).arg(QLatin1String(kFilters[state.range(0)])).toStdString());
}
BENCHMARK(BM_FilterAllSongs)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The same filter evaluated per record by the driver's view, for comparison.
void BM_FilterAllSongsRowByRow(benchmark::State &state) {
    tbk::bench::useSharedCatalogue();
    DeclaredFields fields;
    std::optional<Error> error;
    const Expression e = Expression::compile(kFilters[state.range(0)], fields, error);
    View v(MUS, MUS.SongsByArtist);
    v.setFilter([&e] { return e.matches(); });
    v.open();
    const int n = readAll(state, v);
    state.SetLabel(QStringLiteral("%1 rows").arg(n).toStdString());
}
BENCHMARK(BM_FilterAllSongsRowByRow)->Arg(0)->Unit(benchmark::kMillisecond);

// Reads a page of 20 rows from the start of the view.
void readFirstPage(benchmark::State &state, ExprView &v) {
    v.set();
    int n = 0;
    while (n < 20 && v.next())
        ++n;
    if (n != 20)
        state.SkipWithError("fewer than 20 rows");
}

// A browse's first page (20 rows) of a filtered view in key order.
void BM_FilteredFirstPage(benchmark::State &state) {
    tbk::bench::useSharedCatalogue();
    VariableScope window;
    QString media = QStringLiteral("minidisc");
    window.bindText(QStringLiteral("BRW1::Sort3:Reset:MED:Media"), &media);
    ExprView v(MUS, state.range(0) == 0 ? &MUS.SongsByArtist : &MUS.SongsByMedia);
    v.setNames(&window);
    const char *filter = state.range(1) == 0
                             ? "UPPER(MUS:Media) = UPPER(BRW1::Sort3:Reset:MED:Media)"
                             : "(UPPER(MUS:Media) = UPPER(BRW1::Sort3:Reset:MED:Media)) AND "
                               "(MUS:BeatsPerMinute > 150 AND INSTRING('9', MUS:Artist, 1, 1))";
    if (!v.setFilter(filter) || !v.open()) {
        state.SkipWithError("filter refused");
        return;
    }
    for (auto _ : state)
        readFirstPage(state, v);
    state.SetLabel(std::string(state.range(0) == 0 ? "SongsByArtist: " : "SongsByMedia: ") + filter);
}
BENCHMARK(BM_FilteredFirstPage)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

// The browse by media's first page (20 rows) through SongsByMedia, the sort filter on a
// media with songs (one sought as a whole, one as a prefix, since UPPER of "MiniDisc" may come
// from a dotless i) and on one without, over 100,000 and 1,000,000 songs kept between runs.
void BM_MediaFirstPage(benchmark::State &state) {
    const int songs = int(state.range(0));
    tbk::bench::useKeptCatalogue(songs);
    static const char *const media[] = {"cd", "MiniDisc", "Laserdisc"};
    QString value = QLatin1String(media[state.range(1)]);
    VariableScope window;
    window.bindText(QStringLiteral("BRW1::Sort3:Reset:MED:Media"), &value);
    ExprView v(MUS, &MUS.SongsByMedia);
    v.setNames(&window);
    if (!v.setFilter(QStringLiteral("UPPER(MUS:Media) = UPPER(BRW1::Sort3:Reset:MED:Media)")) || !v.open()) {
        state.SkipWithError("filter refused");
        return;
    }
    const int expected = state.range(1) == 2 ? 0 : 20;
    for (auto _ : state) {
        v.set();
        int n = 0;
        while (n < 20 && v.next())
            ++n;
        if (n != expected)
            state.SkipWithError("unexpected number of rows");
    }
    state.SetLabel(QStringLiteral("%1 songs, media %2").arg(MUS.records()).arg(value).toStdString());
}
BENCHMARK(BM_MediaFirstPage)
    ->ArgsProduct({{100000, 1000000}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

// An explorer's first page ordered on a column (the whole ordered list is made each time).
void BM_OrderedFirstPage(benchmark::State &state) {
    tbk::bench::useSharedCatalogue();
    const char *order = state.range(0) == 0 ? "UPPER(MUS:Title)" : "-MUS:BeatsPerMinute";
    ExprView v(MUS, &MUS.SongsByArtist);
    if (!v.setOrder(order) || !v.open()) {
        state.SkipWithError("order refused");
        return;
    }
    for (auto _ : state)
        readFirstPage(state, v);
    state.SetLabel(order);
}
BENCHMARK(BM_OrderedFirstPage)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

// Parsing and binding a long query-wizard filter.
void BM_CompileWizardFilter(benchmark::State &state) {
    tbk::bench::useSharedCatalogue();
    QString text = QStringLiteral("(UPPER(MUS:Artist) = 'ABBA' OR MUS:BeatsPerMinute > 120)");
    const QString clause = QStringLiteral(" AND (INSTRING('X', UPPER(MUS:Title), 1, 1) = 0 OR MUS:Rating >= 3)");
    while (text.size() + clause.size() <= kFilterTextSize)
        text += clause;
    DeclaredFields fields(&MUS);
    for (auto _ : state) {
        std::optional<Error> error;
        const Expression e = Expression::compile(text, fields, error);
        if (error)
            state.SkipWithError("refused");
        benchmark::DoNotOptimize(e.plan());
    }
}
BENCHMARK(BM_CompileWizardFilter)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
