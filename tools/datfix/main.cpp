#include "tools/datfix/repair.h"

#include "runtime/values/diskwrite.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <cstdio>

// "/R:<file>": the run also leaves its exit value (first line) and its messages in that file.
// The catalogue asks for it when nobody watches the run, and shows the file at its next start.
static QString takeResultFile(QStringList &args) {
    QString file;
    for (auto it = args.begin(); it != args.end();) {
        if (it->startsWith(QLatin1String("/R:"), Qt::CaseInsensitive)) {
            file = it->mid(3);
            it = args.erase(it);
        } else {
            ++it;
        }
    }
    return file;
}

int main(int argc, char **argv) {
    tbk::failWritesPastSizeLimit();
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const QString resultFile = takeResultFile(args);
    const tbk::datfix::Outcome r = tbk::datfix::run(args);
    QStringList lines;
    for (const QString &m : r.messages)
        lines << QStringLiteral("datfix: ") + m;
    std::FILE *to = r.exit == tbk::datfix::Done ? stdout : stderr;
    for (const QString &l : lines)
        std::fprintf(to, "%s\n", l.toLocal8Bit().constData());
    if (!resultFile.isEmpty()) {
        // Written whole or not at all: a start that comes meanwhile finds nothing half-written.
        QSaveFile f(resultFile);
        const QByteArray text = (QString::number(r.exit) + QLatin1Char('\n') + lines.join(QLatin1Char('\n'))).toUtf8();
        if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size() || !f.commit())
            std::fprintf(stderr, "datfix: cannot write %s: %s\n", resultFile.toLocal8Bit().constData(),
                         f.errorString().toLocal8Bit().constData());
    }
    return r.exit;
}
