#include "cdaudio/mcicommand.h"

#include "core/datafiles.h"
#include "core/eventlog.h"
#include "runtime/mci/mci.h"
#include "runtime/values/dates.h"
#include "runtime/values/text.h"

#include <algorithm>

namespace tbk {

namespace {

const char *const kModeCommand = "status cdaudio mode";

// A two-character field of a "mm:ss:ff" answer; anything but a number reads as 0.
int answerField(const QString &answer, int at) {
    return std::max(0, int(numericValue(answer.mid(at, 2))));
}

} // namespace

QString SendMciCommand(const QString &command, quint8 modeRequest) {
    const QString sent = (modeRequest ? QString::fromLatin1(kModeCommand) : command).left(kMciCommandLength);
    QString answer;
    const int code = mciSendString(sent, answer, kMciAnswerSize);
    if (code == kMciOk) {
        if (answer == QLatin1String("true"))
            return QStringLiteral("1");
        if (answer == QLatin1String("false"))
            return QString();
        return answer;
    }
    // Opening a device this process holds already is routine (the player and a wizard share
    // the drive): not worth a log entry.
    if (code == kMciDeviceOpen)
        return QStringLiteral("Error:1");
    AddEventLogEntry(sent, QStringLiteral("MCI Request"));
    AddEventLogEntry(answer, QStringLiteral("MCI Return"));
    AddEventLogEntry(QString::number(code), QStringLiteral("MCI Error"));
    return QStringLiteral("Error:") + QString::number(code);
}

qint32 ParseMciTime(const QString &answer) {
    int minutes = answerField(answer, 0);
    int seconds = answerField(answer, 3);
    if (answer.mid(6, 2) == QLatin1String("99"))
        ++seconds;
    if (seconds >= 60) {
        seconds -= 60;
        ++minutes;
    }
    return timeOf(minutes / 60, minutes % 60, seconds);
}

QString FormatTrackTime(qint32 time) {
    if (time <= 0)
        return QString(5, QLatin1Char(' '));
    const qint32 seconds = (time - kTimeOfMidnight) / 100;
    return QString::number(seconds / 60).rightJustified(2, QLatin1Char(' ')) + QLatin1Char(':')
           + QString::number(seconds % 60).rightJustified(2, QLatin1Char('0'));
}

QString WidestTrackTime() { return FormatTrackTime(timeOf(16, 39, 59)); }

FixedString<8> SongTimeText;

void FormatReportSongTime(qint32 time, quint8 fromSongRecord) {
    SongTimeText = FormatTrackTime(fromSongRecord ? MUS.Time.value() : time);
}

} // namespace tbk
