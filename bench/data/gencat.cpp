// tbk_gencat <folder> [songs [albums [categories]]]: makes a catalogue to try things on.
#include "bench/data/catalogue.h"
#include "runtime/data/errors.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: tbk_gencat <folder> [songs [albums [categories]]]\n");
        return 1;
    }
    tbk::bench::CatalogueSize size;
    size.songs = args.value(1, QStringLiteral("100000")).toInt();
    size.albums = qMax(1, args.value(2, QStringLiteral("10000")).toInt());
    size.categories = qMax(1, args.value(3, QStringLiteral("50")).toInt());
    if (!QDir().mkpath(args[0]) || !QDir::setCurrent(args[0])) {
        std::fprintf(stderr, "cannot use the folder %s\n", qPrintable(args[0]));
        return 1;
    }
    if (!tbk::bench::generateCatalogue(size)) {
        std::fprintf(stderr, "failed: %s (%d)\n", qPrintable(tbk::data::errorText()), tbk::data::errorCode());
        return 2;
    }
    return 0;
}
