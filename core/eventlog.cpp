#include "core/eventlog.h"

#include "core/programsettings.h"
#include "runtime/settings/profile.h"
#include "runtime/values/dates.h"
#include "runtime/values/picture.h"
#include "runtime/values/text.h"

#include <QFile>

#include <mutex>

namespace tbk {

namespace {

constexpr int kEntriesPerOpen = 100;

struct EventLogFile {
    std::mutex lock;
    QFile file;
    int count = 0;   // entries added since the file was last opened
};

EventLogFile &eventLog() {
    static EventLogFile log;
    return log;
}

// One fixed-width field. A line break inside a value would split the record in two, so
// control characters become blanks.
QString field(const QString &value, int width) {
    QString s = value;
    for (QChar &c : s)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return fit(s, width).leftJustified(width, QLatin1Char(' '));
}

} // namespace

void AddEventLogEntry(const QString &data, const QString &label) {
    if (!UseLog)
        return;
    EventLogFile &log = eventLog();
    std::lock_guard guard(log.lock);
    if (log.count == 0) {
        log.file.setFileName(findFileNoCase(QString::fromLatin1(kEventLogName)));
        if (!log.file.open(QIODevice::WriteOnly | QIODevice::Append))
            return;
    }
    ++log.count;
    const QString line = field(formatPicture(QStringLiteral("@d3"), today()), kEventLogDateWidth)
                         + field(formatPicture(QStringLiteral("@t7"), clockTime()), kEventLogTimeWidth)
                         + field(label, kEventLogLabelWidth) + field(data, kEventLogDataWidth)
                         + QStringLiteral("\r\n");
    log.file.write(line.toUtf8());
    // Flushed at once: the log is read after a crash, when it matters most.
    log.file.flush();
    if (log.count > kEntriesPerOpen) {
        log.file.close();
        log.count = 0;
    }
}

void CloseEventLog() {
    EventLogFile &log = eventLog();
    std::lock_guard guard(log.lock);
    if (log.file.isOpen())
        log.file.close();
    log.count = 0;
}

} // namespace tbk
