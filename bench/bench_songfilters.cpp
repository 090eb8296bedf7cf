// The song list's searches on the 1,000,000-song catalogue (By Artist), from a warm and from a
// cold songs file, and what the sqlite3 shell takes for the statement of the road each search
// took (walking the key, or collecting the songs that pass), with one page's LIMIT, on the same
// cold file. Each search runs from the unfiltered list until its first page is drawn.
//
//   tbk_gencat <dir>/tbk_bench_1000000 1000000 100000 50
//   TBK_BENCH_DIR=<dir> bench_songfilters [--benchmark_filter=...]
//
// Cold: the songs file is dropped from the system's page cache and the connection's own cache
// emptied just before the step. The shell (Debian package sqlite3) loads the tbkshell module
// built beside this program for the keys' collation and the filters' functions. The list writes
// its window place and last tab into the catalogue's folder.
#include "bench/data/catalogue.h"
#include "bench/data/windowbench.h"
#include "core/datafiles.h"
#include "runtime/data/driver.h"
#include "runtime/expr/exprview.h"
#include "runtime/expr/fieldnames.h"
#include "runtime/ui/listcontrol.h"
#include "songs/browsesongswindow.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTabWidget>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

using namespace tbk;

namespace {

constexpr int kSongs = 1000000;

// 45,121 songs: the sixties at 120 to 160 beats per minute; one artist's 213; none.
const QString kFilters[] = {
    QStringLiteral("MUS:ReleaseDate >= 1960 AND MUS:ReleaseDate <= 1969 AND MUS:BeatsPerMinute >= 120 AND "
                   "MUS:BeatsPerMinute <= 160"),
    QStringLiteral("UPPER(MUS:Artist) = 'ARTIST 02500'"),
    QStringLiteral("MUS:ReleaseDate = 1899"),
};
const char *const kFilterNames[] = {"range", "artist", "none"};

bench::BenchWindow<BrowseSongsWindow> session;

void closeBrowse() { session.close(); }

void browse() {
    if (session.useCatalogue(kSongs, {&MUS, &CAT, &MED, &CF}) || !session) {
        session.open();
        session->frame()->resize(900, 420);
        session->tabs()->setCurrentIndex(0);
        bench::settleWindows();
    }
}

bool collects() { return session->list().reader().view().readsMatches(); }

void dropSongsFromCache() {
    const int fd = ::open(MUS.fullPath().toLocal8Bit().constData(), O_RDONLY);
    if (fd >= 0) {
        posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
    sqlite3_db_release_memory(data::driver::db());
}

void search(const QString &filter) {
    session->search(filter);
    bench::settleWindows();
}

double minimum(const std::vector<double> &v) { return *std::min_element(v.begin(), v.end()); }
double maximum(const std::vector<double> &v) { return *std::max_element(v.begin(), v.end()); }

// range(0): the filter; range(1): 1 for a cold file. "collects": the share of the steps that
// collected the passing songs instead of walking the key.
void BM_Search(benchmark::State &state) {
    browse();
    const QString &filter = kFilters[state.range(0)];
    const bool cold = state.range(1) != 0;
    const bool rows = state.range(0) != 2;
    if (!cold) {   // warm: the pages the search reads are cached before it is timed
        search(filter);
        search({});
    }
    int collected = 0, steps = 0;
    bench::timeSteps(
        state,
        [cold] {
            search({});
            if (cold)
                dropSongsFromCache();
        },
        [&filter] { session->search(filter); },
        [&] {
            if (!session || session->list().failed())
                return false;
            collected += collects() ? 1 : 0;
            ++steps;
            return session->list().empty() == !rows;
        },
        "the list closed or shows other rows than expected");
    state.counters["collects"] = steps ? double(collected) / steps : 0;
    state.SetLabel(kFilterNames[state.range(0)]);
    search({});
}

QString literal(const expr::Value &v) {
    if (v.isText())
        return QLatin1Char('\'') + v.text().replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
    const std::optional<qint64> n = expr::wholeNumber(v.number());
    return n ? QString::number(*n) : QString::number(v.number(), 'g', 17);
}

// The statement of the road the view takes, its values written out: the key walked for one
// page, or the passing songs' keys in stored order.
QString roadStatement(const QString &filter, bool collect, int page) {
    std::optional<expr::Error> error;
    const expr::Expression e = expr::Expression::compile(filter, expr::DeclaredFields(&MUS), error);
    expr::Expression::Key key;
    for (int i : MUS.SongsByArtist.decl().fields)
        key.columns << data::DataFile::columnName(MUS.structure().fields()[size_t(i)]);
    key.collation = expr::driverDialect().caseBlindCollation;
    const expr::Expression::Plan plan = e.plan(key);
    QString where;
    size_t p = 0;
    for (const QChar c : plan.where.sql)
        where += c == QLatin1Char('?') ? literal(plan.where.params.at(p++)) : QString(c);
    const QString columns = key.columns.join(QLatin1Char(','));
    return collect ? QStringLiteral("SELECT _rid,%1 FROM records WHERE %2 LIMIT %3").arg(columns, where).arg(page)
                   : QStringLiteral("SELECT * FROM records WHERE %2 ORDER BY %1,_rid LIMIT %3").arg(columns, where).arg(page);
}

// range(0): the filter. The road is the one the search takes on the cold file.
void BM_ShellFloor(benchmark::State &state) {
    browse();
    const QString &filter = kFilters[state.range(0)];
    search({});
    dropSongsFromCache();
    search(filter);
    const bool collect = collects();
    const QString sql = roadStatement(filter, collect, session->list().reader().pageSize());
    search({});
    const QStringList args{QStringLiteral("-cmd"), QStringLiteral(".load " TBK_SHELL_MODULE), MUS.fullPath(), sql};
    for (auto _ : state) {
        dropSongsFromCache();
        QProcess shell;
        shell.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer t;
        t.start();
        shell.start(QStringLiteral("sqlite3"), args);
        const bool ran = shell.waitForFinished(-1) && shell.exitStatus() == QProcess::NormalExit && shell.exitCode() == 0;
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        if (!ran || !shell.readAllStandardError().isEmpty()) {
            state.SkipWithError("the sqlite3 shell (Debian package sqlite3) is missing or failed");
            return;
        }
    }
    state.counters["collects"] = collect ? 1 : 0;
    state.SetLabel(QStringLiteral("%1: %2").arg(QLatin1String(kFilterNames[state.range(0)]), sql).toStdString());
}

#define FILTER_BENCHMARK(fn)                                                                          \
    BENCHMARK(fn)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(5)       \
        ->ComputeStatistics("min", minimum)->ComputeStatistics("max", maximum)->ReportAggregatesOnly(true)

FILTER_BENCHMARK(BM_Search)->ArgsProduct({{0, 1, 2}, {0, 1}});
FILTER_BENCHMARK(BM_ShellFloor)->DenseRange(0, 2);

} // namespace

int main(int argc, char **argv) { return bench::runWindowBenchmarks(argc, argv, closeBrowse); }
