#include "runtime/data/upgrader.h"

#include "runtime/data/datafile.h"
#include "runtime/data/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace tbk::data {

namespace {
QSet<const DataFile *> &registered() {
    static QSet<const DataFile *> r;
    return r;
}
} // namespace

void up_AddDriver(const QString &, const QString &) {}
void up_IgnoreDriver(const QString &, int) {}

bool up_UsingFile(const QString &prefix, const QString &label, DataFile &file, int registration) {
    if (file.structure().registration() != registration
        || prefix.compare(file.prefix(), Qt::CaseInsensitive) != 0
        || label.compare(file.label(), Qt::CaseInsensitive) != 0)
        return false;
    registered().insert(&file);
    return true;
}

bool up_IsRegistered(const DataFile &file) { return registered().contains(&file); }

bool up_UpGradeFile(DataFile &file) { return file.upgrade(); }

QString exampleFileName(const DataFile &file) {
    const QString n = file.name();
    const qsizetype dot = n.indexOf(QLatin1Char('.'));
    return (dot >= 0 ? n.left(dot) : n) + QStringLiteral(".dex");
}

QString up_MakeExample(DataFile &file) {
    clearError();
    if (!up_IsRegistered(file))
        return QStringLiteral("1");
    QFile out(QFileInfo(file.fullPath()).absoluteDir().filePath(exampleFileName(file)));
    const QByteArray text = schema::exampleText(file.structure()).toUtf8();
    // Written through to the disk before success is reported: a full disk shows only then.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(text) != text.size()
        || !out.flush()) {
        setError(AccessDenied, file.label());
        return QStringLiteral("3");
    }
    return {};
}

} // namespace tbk::data
