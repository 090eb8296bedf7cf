// tbk_datfix_trial <folder> [files [songs [seed [first]]]]: the repair tool over randomly damaged copies
// of a catalogue's songs file (`songs` songs, some deleted, some with long memos), each rebuilt
// file compared record by record with the undamaged one. One line per file:
//   records held = kept unchanged + counted lost + named damaged + changed unseen
// where "changed unseen" are records kept changed that the tool did not name (listed: no key or
// page structure shows such a change), then the exceptions: a lost count that is not the number
// of records missing, a missing record left unnamed while the names are said to be exact, a
// record made up, exit 0 although something was lost or named damaged, a refusal. Totals at the
// end; exits 1 when there was an exception. `first`: the number of the first file (to damage one
// file again as a longer run did).
#include "bench/data/catalogue.h"
#include "core/datafiles.h"
#include "runtime/data/driver.h"
#include "runtime/data/transaction.h"
#include "runtime/data/upgrader.h"
#include "tools/datfix/repair.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>

#include <sqlite3.h>

#include <cstdio>
#include <map>

using namespace tbk;
using namespace tbk::data;

namespace {

// Rows by position, each its values in column order.
using Rows = std::map<qint64, QList<QByteArray>>;

bool query(const QString &file, const char *sql, const std::function<void(sqlite3_stmt *)> &row) {
    sqlite3 *db = nullptr;
    sqlite3_stmt *st = nullptr;
    bool ok = sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK;
    if (ok) {
        registerCollation(db);
        ok = sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK;
        int rc = SQLITE_ROW;
        while (ok && (rc = sqlite3_step(st)) == SQLITE_ROW)
            row(st);
        ok = ok && rc == SQLITE_DONE;
    }
    sqlite3_finalize(st);
    sqlite3_close_v2(db);
    return ok;
}

Rows rowsOf(const QString &file) {
    Rows rows;
    query(file, "SELECT * FROM records ORDER BY _rid", [&](sqlite3_stmt *st) {
        QList<QByteArray> values;
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            values << QByteArray::number(sqlite3_column_type(st, c)) + ':'
                          + QByteArray(static_cast<const char *>(sqlite3_column_blob(st, c)), sqlite3_column_bytes(st, c));
        rows[sqlite3_column_int64(st, 0)] = values;
    });
    return rows;
}

// The undamaged file's pages, by what they hold.
struct Layout {
    int pageSize = 4096;
    qint64 pages = 0;
    QList<quint32> leaves, overflows;
    QList<std::pair<quint32, quint32>> firstOverflows;   // (leaf, first overflow page of one of its cells)
};

Layout layoutOf(const QString &file) {
    Layout l;
    QHash<QString, quint32> leafAt;
    query(file, "SELECT path, pageno, pagetype FROM dbstat WHERE name='records' ORDER BY path", [&](sqlite3_stmt *st) {
        const QString path = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        const quint32 page = quint32(sqlite3_column_int64(st, 1));
        const QByteArray type(reinterpret_cast<const char *>(sqlite3_column_text(st, 2)));
        if (type == "leaf") {
            l.leaves << page;
            leafAt[path] = page;
        } else if (type == "overflow") {
            l.overflows << page;
            if (path.endsWith(QLatin1String("+000000")))
                l.firstOverflows << std::pair{leafAt.value(path.left(path.lastIndexOf(QLatin1Char('/')) + 1)), page};
        }
    });
    query(file, "PRAGMA page_size", [&](sqlite3_stmt *st) { l.pageSize = sqlite3_column_int(st, 0); });
    l.pages = QFileInfo(file).size() / l.pageSize;
    return l;
}

// The catalogue the trials damage copies of: made once in <folder>/base.
bool makeBase(const QString &base, int songs, quint32 seed) {
    if (QFile::exists(base + QStringLiteral("/tbkdata.dex")))
        return true;
    QDir(base).removeRecursively();
    if (!QDir().mkpath(base) || !QDir::setCurrent(base) || !bench::generateCatalogue({songs, qMax(1, songs / 10), 50}))
        return false;
    if (!CF.open() || !MUS.open() || !up_UsingFile(QStringLiteral("MUS"), QStringLiteral("Tunebank"), MUS, 6))
        return false;
    QRandomGenerator r(seed);
    QSet<int> gone;
    const int run = r.bounded(1, songs - 400);
    for (int id = run; id < run + 400; ++id)   // whole pages freed
        gone.insert(id);
    while (gone.size() < songs / 20 + 400)
        gone.insert(r.bounded(1, songs + 1));
    if (!beginTransaction(5, {&MUS}))
        return false;
    for (int id = 1; id <= songs; ++id) {
        MUS.clear();
        MUS.ID = id;
        if (!MUS.get(MUS.KEYID))
            return false;
        if (gone.contains(id)) {
            if (!MUS.remove())
                return false;
        } else if (r.bounded(20) == 0) {
            // Memos of characters that take two and three bytes: rows longer than a page.
            QString notes;
            for (int i = 0; i < 2000; ++i)
                notes += QChar(r.bounded(2) ? 0xe9 : 0x65e5 + r.bounded(64));
            MUS.Notes = notes;
            MUS.Recording = notes.left(256);
            if (!MUS.put())
                return false;
        }
    }
    if (!commitTransaction() || !up_MakeExample(MUS).isEmpty())
        return false;
    for (const RegisteredFile &f : registeredDataFiles())
        f.file->close();
    return true;
}

const char *const kKinds[] = {"bit flips",    "zeroed pages",   "swapped pages", "truncated", "cell pointer",
                              "overflow pointer", "free list", "first page",    "leaf bits"};

QByteArray be(quint32 v, int bytes = 4) {
    QByteArray b;
    for (int i = bytes - 1; i >= 0; --i)
        b += char(v >> (8 * i));
    return b;
}

// Damages the file's bytes in one random way of the kinds above; says what it did.
QString damage(QByteArray &f, const Layout &l, QRandomGenerator &r, int kind) {
    const int ps = l.pageSize;
    const auto pageNo = [&] { return quint32(r.bounded(qint64(1), l.pages + 1)); };
    const auto put = [&](qint64 at, const QByteArray &b) {
        if (at >= 0 && at + b.size() <= f.size())
            f.replace(at, b.size(), b);
    };
    QStringList what;
    switch (kind) {
    case 0:
        for (int i = r.bounded(1, 9); i > 0; --i) {
            const qint64 at = r.bounded(qint64(f.size()));
            const int bit = r.bounded(8);
            f[at] = char(f[at] ^ (1 << bit));
            what << QStringLiteral("%1.%2").arg(at).arg(bit);
        }
        break;
    case 1:
        for (int i = r.bounded(1, 4); i > 0; --i) {
            const quint32 p = pageNo();
            put(qint64(p - 1) * ps, QByteArray(ps, '\0'));
            what << QString::number(p);
        }
        break;
    case 2: {
        const quint32 a = pageNo(), b = pageNo();
        const QByteArray pa = f.mid(qint64(a - 1) * ps, ps), pb = f.mid(qint64(b - 1) * ps, ps);
        put(qint64(a - 1) * ps, pb);
        put(qint64(b - 1) * ps, pa);
        what << QStringLiteral("%1<->%2").arg(a).arg(b);
        break;
    }
    case 3: {
        const qint64 to = f.size() * r.bounded(40, 100) / 100 + r.bounded(ps);
        f.truncate(qMin(to, f.size()));
        what << QStringLiteral("to %1").arg(f.size());
        break;
    }
    case 4: {
        const quint32 leaf = l.leaves[r.bounded(int(l.leaves.size()))];
        const qint64 at = qint64(leaf - 1) * ps;
        const int cells = int(quint8(f[at + 3])) << 8 | quint8(f[at + 4]);
        const int c = r.bounded(qMax(1, cells));
        const quint32 to = r.bounded(3) == 0 ? 1 : quint32(r.bounded(ps + 16));
        put(at + 8 + 2 * c, be(to, 2));
        what << QStringLiteral("page %1 cell %2 -> %3").arg(leaf).arg(c).arg(to);
        break;
    }
    case 5: {
        if (l.firstOverflows.isEmpty())
            break;
        const quint32 target = l.overflows[r.bounded(int(l.overflows.size()))];
        if (r.bounded(2)) {   // a cell's pointer to its chain
            const auto [leaf, first] = l.firstOverflows[r.bounded(int(l.firstOverflows.size()))];
            const qint64 at = f.mid(qint64(leaf - 1) * ps, ps).indexOf(be(first));
            if (at >= 0)
                put(qint64(leaf - 1) * ps + at, be(target));
            what << QStringLiteral("cell on %1: %2 -> %3").arg(leaf).arg(first).arg(target);
        } else {   // an overflow page's next
            const quint32 p = l.overflows[r.bounded(int(l.overflows.size()))];
            put(qint64(p - 1) * ps, be(r.bounded(2) ? target : p));
            what << QStringLiteral("next of %1").arg(p);
        }
        break;
    }
    case 6: {
        const quint32 trunk = pageNo(), count = quint32(r.bounded(1, 12));
        put(32, be(trunk) + be(count));
        what << QStringLiteral("trunk %1, %2 pages").arg(trunk).arg(count);
        break;
    }
    case 7:
        switch (r.bounded(4)) {
        case 0: put(0, QByteArray(ps, '\0')); what << QStringLiteral("zeroed"); break;
        case 1: f[r.bounded(16)] = char(r.bounded(256)); what << QStringLiteral("magic"); break;
        case 2: put(16, be(quint32(r.bounded(65536)), 2)); what << QStringLiteral("page size"); break;
        default:
            for (int i = 0; i < 8; ++i)
                f[100 + r.bounded(ps - 100)] = char(r.bounded(256));
            what << QStringLiteral("8 bytes of its tree");
        }
        break;
    default:
        for (int i = r.bounded(1, 5); i > 0; --i) {
            const quint32 leaf = l.leaves[r.bounded(int(l.leaves.size()))];
            const qint64 at = qint64(leaf - 1) * ps + r.bounded(ps / 2, ps);
            const int bit = r.bounded(8);
            f[at] = char(f[at] ^ (1 << bit));
            what << QStringLiteral("%1.%2").arg(at).arg(bit);
        }
    }
    return what.join(QStringLiteral(", "));
}

struct Totals {
    qint64 files = 0, held = 0, unchanged = 0, lost = 0, damaged = 0, falseAlarms = 0, unseen = 0, exceptions = 0;
    std::map<int, int> exits;
};

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: tbk_datfix_trial <folder> [files [songs [seed [first]]]]\n");
        return 2;
    }
    const QString folder = QFileInfo(args[0]).absoluteFilePath();
    const int files = args.value(1, QStringLiteral("300")).toInt(), songs = args.value(2, QStringLiteral("20000")).toInt();
    const quint32 seed = args.value(3, QStringLiteral("1")).toUInt();
    const int first = args.value(4, QStringLiteral("0")).toInt();
    const QString base = folder + QStringLiteral("/base"), trial = folder + QStringLiteral("/trial");
    if (!makeBase(base, songs, seed)) {
        std::fprintf(stderr, "cannot make the catalogue in %s\n", qPrintable(base));
        return 2;
    }
    const Rows held = rowsOf(base + QStringLiteral("/tbkdata.dat"));
    const Layout layout = layoutOf(base + QStringLiteral("/tbkdata.dat"));
    QFile original(base + QStringLiteral("/tbkdata.dat"));
    if (held.empty() || !original.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(original.fileName()));
        return 2;
    }
    const QByteArray bytes = original.readAll();
    std::printf("%zu records on %lld pages of %d bytes, %lld leaves, %lld overflow pages\n", held.size(), layout.pages,
                layout.pageSize, qint64(layout.leaves.size()), qint64(layout.overflows.size()));
    Totals t;
    for (int n = first; n < first + files; ++n) {
        QRandomGenerator r(seed * 100003u + quint32(n));
        const int kind = r.bounded(int(std::size(kKinds)));
        QByteArray damaged = bytes;
        const QString how = damage(damaged, layout, r, kind);
        QDir(trial).removeRecursively();
        QDir().mkpath(trial);
        QDir::setCurrent(trial);
        QFile f(QStringLiteral("tbkdata.dat"));
        if (!f.open(QIODevice::WriteOnly) || f.write(damaged) != damaged.size())
            return 2;
        f.close();
        QFile::copy(base + QStringLiteral("/tbkdata.dex"), QStringLiteral("tbkdata.dex"));
        const datfix::Outcome o = datfix::run({QStringLiteral("tbkdata.dat"), QStringLiteral("/E:tbkdata.dex"), QStringLiteral("/K")});
        ++t.files;
        ++t.exits[o.exit];
        t.held += qint64(held.size());
        QStringList exceptions, unseen;
        qint64 unchanged = 0, missing = 0, named = 0, falseAlarms = 0;
        if (o.exit != datfix::Done && o.exit != datfix::Lost) {
            exceptions << QStringLiteral("refused: ") + o.messages.join(QStringLiteral(" / "));
            missing = qint64(held.size());
        } else {
            const Rows kept = rowsOf(QStringLiteral("tbkdata.dat"));
            const QSet<qint64> damagedSet(o.damaged.begin(), o.damaged.end()), lostSet(o.lostNumbers.begin(), o.lostNumbers.end());
            const bool exact = o.lost == o.lostNumbers.size();
            for (const auto &[rid, values] : held) {
                const auto k = kept.find(rid);
                if (k == kept.end()) {
                    ++missing;
                    if (exact && !lostSet.contains(rid))
                        exceptions << QStringLiteral("record %1 missing, not named").arg(rid);
                } else if (damagedSet.contains(rid)) {
                    ++named;
                    falseAlarms += k->second == values;
                } else if (k->second == values) {
                    ++unchanged;
                } else {
                    QStringList columns;
                    for (qsizetype c = 0; c < values.size(); ++c)
                        if (c >= k->second.size() || k->second[c] != values[c])
                            columns << QString::number(c);
                    unseen << QStringLiteral("%1 (column %2)").arg(rid).arg(columns.join(QLatin1Char(',')));
                }
            }
            for (const auto &[rid, values] : kept)
                if (!held.count(rid))
                    exceptions << QStringLiteral("record %1 made up%2").arg(rid).arg(damagedSet.contains(rid) ? QStringLiteral(" (named damaged)") : QString());
            if (o.lost != missing)
                exceptions << QStringLiteral("lost count %1, %2 missing").arg(o.lost).arg(missing);
            if (o.exit == datfix::Done && (missing || named))
                exceptions << QStringLiteral("exit 0 with %1 missing, %2 named damaged").arg(missing).arg(named);
        }
        t.unchanged += unchanged;
        t.lost += missing;
        t.damaged += named;
        t.falseAlarms += falseAlarms;
        t.unseen += unseen.size();
        t.exceptions += !exceptions.isEmpty();
        std::printf("#%d %s (%s): exit %d, %zu held = %lld unchanged + %lld lost + %lld damaged (%lld of them unchanged) + %lld unseen; %lld problem(s)\n",
                    n, kKinds[kind], qPrintable(how), o.exit, held.size(), unchanged, missing, named, falseAlarms,
                    qint64(unseen.size()), qint64(o.problems.size()));
        if (!unseen.isEmpty())
            std::printf("    changed unseen: %s\n", qPrintable(unseen.mid(0, 20).join(QStringLiteral(", "))));
        for (const QString &e : exceptions.mid(0, 10))
            std::printf("    EXCEPTION %s\n", qPrintable(e));
        std::fflush(stdout);
    }
    std::printf("\n%lld files, %lld records held = %lld unchanged + %lld lost + %lld damaged (%lld of them unchanged) + %lld unseen\n",
                t.files, t.held, t.unchanged, t.lost, t.damaged, t.falseAlarms, t.unseen);
    for (const auto &[exit, count] : t.exits)
        std::printf("exit %d: %d file(s)\n", exit, count);
    std::printf("files with exceptions: %lld\n", t.exceptions);
    return t.exceptions ? 1 : 0;
}
