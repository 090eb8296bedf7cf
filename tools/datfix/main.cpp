#include "tools/datfix/repair.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const tbk::datfix::Outcome r = tbk::datfix::run(app.arguments().mid(1));
    std::FILE *to = r.exit == tbk::datfix::Done ? stdout : stderr;
    for (const QString &m : r.messages)
        std::fprintf(to, "datfix: %s\n", m.toLocal8Bit().constData());
    return r.exit;
}
