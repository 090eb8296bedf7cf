// The second process of the data tests: opens the catalogue files in the current directory and
// does what its first argument says.
#include "core/datafiles.h"
#include "runtime/data/transaction.h"

#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

using namespace tbk;
using namespace tbk::data;

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return 2;
    const QString cmd = args[0];
    auto out = [](const char *s) { std::fputs(s, stdout); std::fputc('\n', stdout); std::fflush(stdout); };
    if (!CF.open() || !MUS.open() || !PLA.open()) {
        std::printf("open failed %d\n", errorCode());
        return 3;
    }
    if (cmd == QLatin1String("hold")) {
        // Keep the files open until killed.
        out("ready");
        for (;;)
            ::pause();
    }
    if (cmd == QLatin1String("lock")) {
        // Hold a transaction over the songs file for the given milliseconds.
        if (!beginTransaction(1, {&MUS}))
            return 4;
        out("ready");
        ::usleep(useconds_t(args.value(1).toInt()) * 1000);
        commitTransaction();
        return 0;
    }
    if (cmd == QLatin1String("begin")) {
        // Try a transaction over the songs file and say how it went.
        const bool begun = beginTransaction(1, {&MUS});
        std::printf("%d %s\n", errorCode(), qPrintable(errorText()));
        if (begun)
            rollbackTransaction();
        return 0;
    }
    if (cmd == QLatin1String("touch")) {
        // Change song with the given identifier.
        MUS.clear();
        MUS.ID = args.value(1).toInt();
        if (!MUS.get(MUS.KEYID))
            return 5;
        MUS.Title = MUS.Title.str() + QStringLiteral("!");
        return MUS.put() ? 0 : 6;
    }
    if (cmd == QLatin1String("station")) {
        // Reads song 1, then adds songs <id> by itself and <id>+1 in a transaction.
        const int id = args.value(1).toInt();
        MUS.clear();
        MUS.ID = 1;
        if (!MUS.get(MUS.KEYID))
            return 10;
        for (int n = 0; n < 2; ++n) {
            if (n == 1 && !beginTransaction(2, {&MUS}))
                return 11;
            MUS.clear();
            MUS.ID = id + n;
            if (!MUS.add() || (n == 1 && !commitTransaction()))
                return 12 + n;
        }
        return 0;
    }
    if (cmd == QLatin1String("pairs")) {
        // Endless transactions, each adding one song and one playlist entry that refers to it.
        out("ready");
        for (int i = args.value(1).toInt();; ++i) {
            if (!beginTransaction(5, {&MUS, &PLA}))
                return 7;
            MUS.clear();
            MUS.ID = i;
            MUS.Title = QStringLiteral("song %1").arg(i);
            PLA.clear();
            PLA.PlaylistID = 1;
            PLA.PlaylistSeq = i;
            PLA.ID = i;
            if (!MUS.add() || !PLA.add()) {
                rollbackTransaction();
                return 8;
            }
            if (!commitTransaction())
                return 9;
        }
    }
    return 2;
}
