// A browse list's paging on large catalogues: for each key of the songs file, a list of 9
// columns and 22 lines fed by a page reader, repainted after every fill. Prints the median
// time of each fill and the process's peak memory.
//
//   bench_paging [songs...]      (default: 100000 1000000)
//
// The catalogue of n songs is made once (by tbk_gencat, in a process of its own so that its
// memory does not count here) in the folder $TBK_BENCH_<n>, default /tmp/tbk_bench_<n>, and
// used again while it holds n songs.
#include "bench/data/windowbench.h"
#include "core/datafiles.h"
#include "runtime/data/errors.h"
#include "runtime/expr/pagereader.h"
#include "runtime/ui/listcontrol.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace tbk;
using namespace tbk::data;
using namespace tbk::expr;

namespace {

constexpr int kLines = 22;
constexpr int kRuns = 15;
constexpr int kPageDowns = 10;
constexpr int kCategory = 7;

const QString kFormat = QStringLiteral(
    "75L(2)|M~Artist~@s30@75L(2)|M~Title~@s30@76L(2)|M~Album~@s30@40L(2)|M~Media~@s20@"
    "48L(2)|M~File Number~@s10@45R(2)|M~Release Date~C(0)@n4@30R(2)|M~Category~@n3@"
    "40R(2)|M~ID~@n7@30R(2)|M~BPM~@n_4b@");

class PageRows : public ListRows {
public:
    explicit PageRows(const PageReader &reader) : reader_(reader) {}
    int rowCount() const override { return reader_.size(); }
    QVariant field(int row, int field) const override {
        const std::vector<QVariant> &v = reader_.rows()[size_t(row)].values;
        return field >= 1 && field <= int(v.size()) ? v[size_t(field - 1)] : QVariant();
    }

private:
    const PageReader &reader_;
};

void makeRow(PageReader::Row &row) {
    row.values = {MUS.Artist.str(), MUS.Title.str(), MUS.Album.str(), MUS.Media.str(),
                  MUS.FileNumber.str(), MUS.ReleaseDate.value(), MUS.CategoryID.value(),
                  MUS.ID.value(), MUS.BeatsPerMinute.value()};
}

[[noreturn]] void fail(const char *what) {
    std::fprintf(stderr, "%s failed: %d %s %s\n", what, errorCode(), qPrintable(errorText()),
                 qPrintable(driverErrorText()));
    std::exit(1);
}

void closeAll() {
    for (DataFile *f : DataFile::all())
        f->close();
}

bool openCatalogue(int songs) {
    for (const RegisteredFile &f : registeredDataFiles())
        if (!f.file->open(SharedReadOnly))
            return false;
    return MUS.records() == songs;
}

// The catalogue of `songs` songs, made when missing; its folder becomes current.
void useCatalogue(int songs, const char *gencat) {
    const QString variable = QStringLiteral("TBK_BENCH_%1").arg(songs);
    QString folder = qEnvironmentVariable(variable.toLatin1().constData());
    if (folder.isEmpty())
        folder = QStringLiteral("/tmp/tbk_bench_%1").arg(songs);
    closeAll();
    if (QDir::setCurrent(folder) && openCatalogue(songs))
        return;
    closeAll();
    std::printf("making %d songs in %s ...\n", songs, qPrintable(folder));
    std::fflush(stdout);
    const int albums = songs / 10, categories = 50;
    const int rc = QProcess::execute(QString::fromLocal8Bit(gencat),
                                     {folder, QString::number(songs), QString::number(albums),
                                      QString::number(categories)});
    if (rc != 0 || !QDir::setCurrent(folder) || !openCatalogue(songs))
        fail("making the catalogue");
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// A key field's value of a song halfway through the file (the first one from there on that is
// not blank), as a locator types it: a text without its last two characters.
QString locatorText(const FieldRef &f, Position middle) {
    for (Position p = middle;; ++p) {
        if (!MUS.get(p))
            fail("reading a song for the locator");
        if (f.isText() && !f.text().isEmpty())
            return f.text().left(std::max<qsizetype>(1, f.text().size() - 2));
        if (!f.isText() && f.number() != 0)
            return f.text();
    }
}

struct Figures {
    QString key, located;
    double top = 0, bottom = 0, locate = 0, pageDown = 0, thumb = 0, worst = 0;
};

// The list of one sort order: its key, filter, and the key field that the locator and the thumb
// go by (the first, or the one after a field the filter fixes).
struct Order {
    const Key *key;
    QString filter;
    int keyField = 0;
};

Figures measure(const Order &order, int songs, ListControl &list, PageReader &reader) {
    Figures out;
    out.key = order.key->name() + (order.filter.isEmpty() ? QString() : QStringLiteral(" (filtered)"));
    const FieldRef locatorField(&MUS, order.key->decl().fields[size_t(order.keyField)]);
    out.located = locatorText(locatorField, Position(songs / 2 + songs / 20));   // album 5000 of 10000
    reader.setThumbScale({order.keyField, 0, StopLetters | StopDigits});
    auto timed = [&](std::vector<double> &into, const char *what, const std::function<bool()> &fill) {
        QElapsedTimer t;
        t.start();
        if (!fill())
            fail(what);
        list.listModel()->rowsReset();
        list.viewport()->repaint();
        const double ms = double(t.nsecsElapsed()) / 1e6;
        if (reader.size() != kLines)
            fail("a full page");
        into.push_back(ms);
        out.worst = std::max(out.worst, ms);
    };
    std::vector<double> top, bottom, locate, pageDown, thumb;
    for (int run = 0; run < kRuns; ++run) {
        timed(top, "top", [&] { return reader.top(); });
        timed(bottom, "bottom", [&] { return reader.bottom(); });
        timed(locate, "locate", [&] {
            MUS.clear();
            if (order.keyField > 0)
                MUS.CategoryID = kCategory;
            locatorField.setText(out.located);
            return reader.locate();
        });
        for (int i = 0; i < kPageDowns; ++i)   // on from the located page, halfway through
            timed(pageDown, "page down", [&] { return reader.pageDown(); });
        timed(thumb, "thumb", [&] {
            reader.invalidateThumb();
            return reader.fromThumb(50);
        });
    }
    out.top = median(top);
    out.bottom = median(bottom);
    out.locate = median(locate);
    out.pageDown = median(pageDown);
    out.thumb = median(thumb);
    return out;
}

void run(int songs, const char *gencat) {
    useCatalogue(songs, gencat);
    ListControl list;
    list.setFormat(kFormat);
    list.resize(900, 22 * list.fontMetrics().height() + 60);
    list.show();

    std::printf("\nPaging %d songs: list of 9 columns, %d lines; median ms of %d runs "
                "(page down: %d runs of %d from the located page)\n",
                songs, kLines, kRuns, kRuns, kPageDowns);
    std::printf("%-30s %7s %7s %7s %7s %7s %7s  %s\n", "key", "top", "bottom", "locate", "pgdown",
                "thumb50", "worst", "locator");
    double worst = 0;
    // Every key, then the category tab's: its key filtered to one category, located by artist.
    std::vector<Order> orders;
    for (int k = 0; k < TunebankFile::KeyCount; ++k)
        orders.push_back({&MUS.keyAt(k), {}});
    orders.push_back({&MUS.SONGSBYCATEGORY, QStringLiteral("MUS:CategoryID = %1").arg(kCategory), 1});
    for (const Order &order : orders) {
        ExprView view(MUS, order.key);
        if (!view.setFilter(order.filter))
            fail("the filter");
        if (!view.open())
            fail("opening the view");
        PageReader reader(view, kLines, makeRow);
        PageRows rows(reader);
        list.setRows(&rows);
        reader.top();   // the statements prepared once, as a list that is already open has them
        const Figures f = measure(order, songs, list, reader);
        list.setRows(nullptr);
        worst = std::max(worst, f.worst);
        std::printf("%-30s %7.2f %7.2f %7.2f %7.2f %7.2f %7.2f  \"%s\"\n", qPrintable(f.key), f.top,
                    f.bottom, f.locate, f.pageDown, f.thumb, f.worst, qPrintable(f.located));
    }
    std::printf("slowest single fill: %.2f ms; peak memory (VmHWM): %.1f MB, now (VmRSS): %.1f MB\n",
                worst, bench::statusKilobytes("VmHWM:") / 1024, bench::statusKilobytes("VmRSS:") / 1024);
    closeAll();
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::vector<int> sizes;
    for (const QString &a : app.arguments().mid(1))
        if (a.toInt() > 0)
            sizes.push_back(a.toInt());
    if (sizes.empty())
        sizes = {100000, 1000000};
    for (int songs : sizes)
        run(songs, TBK_GENCAT);
    return 0;
}
