// The second station of the import benchmark. In the catalogue folder it is started in, it adds a
// song every 100 ms, by turns by itself and in a transaction as a form's OK does, and reads the
// songs' count after each, until a line or the end comes on its input. Then it prints one line:
// writes, writes refused, reads refused, and the longest milliseconds a write took by itself and
// in a transaction.
#include "bench/data/catalogue.h"
#include "core/datafiles.h"
#include "runtime/data/transaction.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

#include <poll.h>

using namespace tbk;
using namespace tbk::data;

namespace {

// Song -n: below every number the import gives.
bool writeSong(int n, bool inTransaction) {
    if (inTransaction && !beginTransaction(2, {&MUS}))
        return false;
    MUS.clear();
    MUS.ID = -n;
    MUS.Title = QStringLiteral("station");
    const bool added = MUS.add();
    if (!inTransaction)
        return added;
    if (added && commitTransaction())
        return true;
    rollbackTransaction();
    return false;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    tbk::bench::openAllDataFiles();
    std::puts("ready");
    std::fflush(stdout);
    int writes = 0, refused = 0, readsRefused = 0;
    qint64 longestNs[2] = {0, 0};
    for (pollfd input{0, POLLIN, 0}; ::poll(&input, 1, 100) == 0;) {
        const bool inTransaction = writes % 2 == 1;
        QElapsedTimer t;
        t.start();
        refused += !writeSong(++writes, inTransaction);
        longestNs[inTransaction] = std::max(longestNs[inTransaction], t.nsecsElapsed());
        readsRefused += MUS.records() < 0;
    }
    std::printf("%d %d %d %.1f %.1f\n", writes, refused, readsRefused, double(longestNs[0]) / 1e6,
                double(longestNs[1]) / 1e6);
    return 0;
}
