#include "core/eventlog.h"

#include "core/datafiles.h"
#include "core/programsettings.h"
#include "runtime/settings/profile.h"
#include "runtime/values/dates.h"
#include "runtime/values/picture.h"

#include <QFile>

#include <mutex>

namespace tbk {

namespace {

constexpr int kEntriesPerOpen = 100;

struct OpenLog {
    std::mutex lock;
    QFile file;
    int count = 0;   // entries added since the file was last opened
};

OpenLog &eventLog() {
    static OpenLog log;
    return log;
}

// One field of the declared record, at its declared width in bytes. A line break inside a
// value would split the record in two, so control characters become blanks.
QByteArray field(const QString &value, EventLogFile::Field which) {
    QString s = value;
    for (QChar &c : s)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return data::fixedWidthField(s, EVL.structure().fields()[which].size);
}

} // namespace

void AddEventLogEntry(const QString &data, const QString &label) {
    if (!UseLog)
        return;
    OpenLog &log = eventLog();
    std::lock_guard guard(log.lock);
    if (log.count == 0) {
        log.file.setFileName(findFileNoCase(QString::fromLatin1(kEventLogName)));
        if (!log.file.open(QIODevice::WriteOnly | QIODevice::Append))
            return;
    }
    ++log.count;
    const QByteArray line = field(formatPicture(QStringLiteral("@d3"), today()), EventLogFile::f_LOGDATE)
                            + field(formatPicture(QStringLiteral("@t7"), clockTime()), EventLogFile::f_LOGTIME)
                            + field(label, EventLogFile::f_LOGLABEL) + field(data, EventLogFile::f_LOGDATA)
                            + "\r\n";
    log.file.write(line);
    // Flushed at once: the log is read after a crash, when it matters most.
    log.file.flush();
    if (log.count > kEntriesPerOpen) {
        log.file.close();
        log.count = 0;
    }
}

void CloseEventLog() {
    OpenLog &log = eventLog();
    std::lock_guard guard(log.lock);
    if (log.file.isOpen())
        log.file.close();
    log.count = 0;
}

} // namespace tbk
