// The second process of the data tests: opens the catalogue files in the current directory and
// does what its first argument says.
#include "core/datafiles.h"
#include "runtime/data/transaction.h"

#include <QCoreApplication>
#include <cstdio>
#include <sqlite3.h>
#include <unistd.h>

using namespace tbk;
using namespace tbk::data;

namespace {

// The songs file's writes, counted once armed: the process ends at the chosen one, as a kill in
// the middle of a commit ends it.
int writesLeft = -1;
int (*realWrite)(sqlite3_file *, const void *, int, sqlite3_int64) = nullptr;
sqlite3_io_methods songsMethods;
sqlite3_vfs crashing;

int writeOrEnd(sqlite3_file *f, const void *bytes, int n, sqlite3_int64 at) {
    if (writesLeft >= 0 && writesLeft-- == 0)
        ::_exit(99);
    return realWrite(f, bytes, n, at);
}

int openFile(sqlite3_vfs *, const char *name, sqlite3_file *f, int flags, int *outFlags) {
    auto *real = static_cast<sqlite3_vfs *>(crashing.pAppData);
    const int rc = real->xOpen(real, name, f, flags, outFlags);
    if (rc == SQLITE_OK && (flags & SQLITE_OPEN_MAIN_DB) && name && QByteArray(name).endsWith("tbkdata.dat")) {
        songsMethods = *f->pMethods;
        realWrite = songsMethods.xWrite;
        songsMethods.xWrite = writeOrEnd;
        f->pMethods = &songsMethods;
    }
    return rc;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return 2;
    const QString cmd = args[0];
    if (cmd == QLatin1String("crash")) {
        crashing = *sqlite3_vfs_find(nullptr);
        crashing.zName = "crashing";
        crashing.pAppData = sqlite3_vfs_find(nullptr);
        crashing.xOpen = openFile;
        sqlite3_vfs_register(&crashing, 1);
    }
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
    if (cmd == QLatin1String("crash")) {
        // Every song's title changed and an entry added in one commit, which ends at the given
        // write to the songs file.
        if (!beginTransaction(5, {&MUS, &PLA}))
            return 7;
        for (int id = 1;; ++id) {
            MUS.clear();
            MUS.ID = id;
            if (!MUS.get(MUS.KEYID))
                break;
            MUS.Title = QStringLiteral("changed %1").arg(id);
            if (!MUS.put())
                return 8;
        }
        PLA.clear();
        PLA.PlaylistID = 1;
        if (!PLA.add())
            return 8;
        writesLeft = args.value(1).toInt();
        commitTransaction();
        return 9;
    }
    return 2;
}
