// The second process of the core tests, in the same current directory and settings folder.
//   open      opens the songs file through OpenDataFile (the test kills it meanwhile)
//   hold MS   holds the songs file open exclusively for MS milliseconds
//   lock MS   holds a transaction over the songs file for MS milliseconds
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "runtime/data/transaction.h"

#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

using namespace tbk;
using namespace tbk::data;

namespace {
void say(const char *s) {
    std::fputs(s, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("open")) {
        say("opening");
        OpenDataFile(MUS);
        say(MUS.isOpen() ? "opened" : "failed");
        return MUS.isOpen() ? 0 : 3;
    }
    if (args.value(0) == QLatin1String("hold")) {
        if (!MUS.open(Exclusive))
            return 4;
        say("ready");
        ::usleep(useconds_t(args.value(1).toInt()) * 1000);
        MUS.close();
        return 0;
    }
    if (args.value(0) == QLatin1String("lock")) {
        if (!CF.open() || !MUS.open() || !beginTransaction(1, {&MUS}))
            return 4;
        say("ready");
        ::usleep(useconds_t(args.value(1).toInt()) * 1000);
        commitTransaction();
        return 0;
    }
    return 2;
}
