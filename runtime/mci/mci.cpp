#include "runtime/mci/mci.h"

#include "runtime/mci/cddrive.h"

#include <QStringList>
#include <QtDebug>

#include <mutex>
#include <optional>

namespace tbk {

namespace {

enum class TimeFormat { Msf, Tmsf, Milliseconds };

struct OpenDevice {
    TimeFormat format = TimeFormat::Msf;
    std::unique_ptr<CdDrive> drive;
};

struct Session {
    std::mutex lock;
    std::optional<OpenDevice> cd;
};

Session &session() {
    static Session s;
    return s;
}

const QLatin1String kDevice("cdaudio");

QString twoDigits(quint32 n) {
    return QString::number(n).rightJustified(2, QLatin1Char('0'));
}

QString msfText(quint32 frames) {
    return twoDigits(frames / kFramesPerMinute) + QLatin1Char(':')
           + twoDigits(frames / kFramesPerSecond % 60) + QLatin1Char(':')
           + twoDigits(frames % kFramesPerSecond);
}

QString millisecondsText(quint32 frames) {
    return QString::number(quint64(frames) * 1000 / kFramesPerSecond);
}

// A length: "mm:ss:ff" in msf and tmsf alike.
QString lengthText(quint32 frames, TimeFormat f) {
    return f == TimeFormat::Milliseconds ? millisecondsText(frames) : msfText(frames);
}

QString positionText(quint32 frame, TimeFormat f, const DiscToc &toc) {
    switch (f) {
    case TimeFormat::Msf: return msfText(frame);
    case TimeFormat::Milliseconds: return millisecondsText(frame);
    case TimeFormat::Tmsf: break;
    }
    const int track = toc.trackAt(frame);
    const quint32 start = toc.trackStart(track);
    return twoDigits(quint32(track)) + QLatin1Char(':') + msfText(frame > start ? frame - start : 0);
}

// A whole number of at most nine digits (no sign).
std::optional<quint32> wholeNumber(const QString &s) {
    if (s.isEmpty() || s.size() > 9)
        return std::nullopt;
    for (QChar c : s)
        if (!c.isDigit() || c.unicode() > 127)
            return std::nullopt;
    return s.toUInt();
}

// "a[:b[:c[:d]]]", each field a byte.
std::optional<std::vector<quint32>> colonFields(const QString &s, int maxFields) {
    const QStringList parts = s.split(QLatin1Char(':'));
    if (parts.size() > maxFields)
        return std::nullopt;
    std::vector<quint32> fields;
    for (const QString &p : parts) {
        const std::optional<quint32> n = wholeNumber(p);
        if (!n || *n > 255)
            return std::nullopt;
        fields.push_back(*n);
    }
    return fields;
}

// A position given to "play ... from" in the current time format; returns an error code.
int parsePosition(const QString &s, TimeFormat f, const DiscToc &toc, quint32 *frame) {
    if (f == TimeFormat::Milliseconds) {
        const std::optional<quint32> ms = wholeNumber(s);
        if (!ms)
            return kMciBadInteger;
        *frame = quint32(quint64(*ms) * kFramesPerSecond / 1000);
        return kMciOk;
    }
    const std::optional<std::vector<quint32>> v = colonFields(s, f == TimeFormat::Tmsf ? 4 : 3);
    if (!v)
        return kMciBadInteger;
    std::vector<quint32> fields = *v;
    quint32 base = 0;
    if (f == TimeFormat::Tmsf) {
        const quint32 track = fields.front();
        if (track < 1 || track > quint32(toc.trackCount()))
            return kMciOutOfRange;
        base = toc.trackStart(int(track));
        fields.erase(fields.begin());
    }
    fields.resize(3, 0);
    *frame = base + fields[0] * kFramesPerMinute + fields[1] * kFramesPerSecond + fields[2];
    return kMciOk;
}

class Interpreter {
public:
    Interpreter(Session &s, QStringList words, QString &answer)
        : s_(s), w_(std::move(words)), answer_(answer) {}

    int run() {
        if (w_.isEmpty())
            return kMciMissingCommandString;
        const QString verb = w_[0];
        if (verb != QLatin1String("open") && verb != QLatin1String("close")
            && verb != QLatin1String("status") && verb != QLatin1String("set")
            && verb != QLatin1String("play") && verb != QLatin1String("pause")
            && verb != QLatin1String("stop"))
            return kMciUnrecognizedCommand;
        if (w_.size() < 2)
            return kMciMissingDeviceName;
        if (verb == QLatin1String("close") && w_[1] == QLatin1String("all") && w_.size() == 2) {
            s_.cd.reset();
            return kMciOk;
        }
        if (w_[1] != kDevice)
            return kMciInvalidDeviceName;
        if (verb == QLatin1String("open"))
            return open();
        if (!s_.cd)
            return kMciInvalidDeviceName;
        CdDrive &drive = *s_.cd->drive;
        drive.refresh();
        if (const int code = drive.scriptedFailure(w_.join(QLatin1Char(' '))))
            return code;
        if (const std::optional<QString> scripted = drive.scriptedAnswer(w_.join(QLatin1Char(' ')))) {
            answer_ = *scripted;
            return kMciOk;
        }
        if (verb == QLatin1String("close")) {
            if (w_.size() != 2)
                return kMciUnrecognizedKeyword;
            s_.cd.reset();
            return kMciOk;
        }
        if (verb == QLatin1String("status"))
            return status(drive);
        if (verb == QLatin1String("set"))
            return set();
        if (verb == QLatin1String("play"))
            return play(drive);
        if (w_.size() != 2)
            return kMciUnrecognizedKeyword;
        const DiscToc *toc = drive.disc();
        if (!toc)
            return kMciHardware;
        // A real drive may refuse to pause or stop when it is not playing: nothing to do then.
        const PlayMode mode = drive.mode();
        if (verb == QLatin1String("pause"))
            return mode == PlayMode::Playing ? drive.pause() : kMciOk;
        return mode == PlayMode::Stopped ? kMciOk : drive.stop();
    }

private:
    // The words after the device name, joined.
    QString rest(int from = 2) const { return w_.mid(from).join(QLatin1Char(' ')); }

    int open() {
        for (int i = 2; i < w_.size(); ++i)
            if (w_[i] != QLatin1String("shareable"))
                return kMciUnrecognizedKeyword;
        if (s_.cd)
            return kMciDeviceOpen;
        QString why;
        std::unique_ptr<CdDrive> drive = openCdDrive(&why);
        if (!drive) {
            qWarning("cdaudio: %s", qPrintable(why));
            return kMciCannotLoadDriver;
        }
        if (const int code = drive->scriptedFailure(w_.join(QLatin1Char(' '))))
            return code;
        s_.cd = OpenDevice{TimeFormat::Msf, std::move(drive)};
        answer_ = QStringLiteral("1");   // the device number
        return kMciOk;
    }

    int status(CdDrive &drive) {
        const QString item = rest();
        if (item.isEmpty())
            return kMciMissingParameter;
        const DiscToc *toc = drive.disc();
        const TimeFormat format = s_.cd->format;
        if (item == QLatin1String("mode")) {
            if (!toc)
                answer_ = QStringLiteral("open");
            else
                switch (drive.mode()) {
                case PlayMode::Playing: answer_ = QStringLiteral("playing"); break;
                case PlayMode::Paused: answer_ = QStringLiteral("paused"); break;
                case PlayMode::Stopped: answer_ = QStringLiteral("stopped"); break;
                }
            return kMciOk;
        }
        if (item == QLatin1String("ready") || item == QLatin1String("media present")) {
            answer_ = toc ? QStringLiteral("true") : QStringLiteral("false");
            return kMciOk;
        }
        if (item == QLatin1String("time format")) {
            answer_ = format == TimeFormat::Msf    ? QStringLiteral("msf")
                      : format == TimeFormat::Tmsf ? QStringLiteral("tmsf")
                                                   : QStringLiteral("milliseconds");
            return kMciOk;
        }
        const bool known = item == QLatin1String("number of tracks")
                           || item == QLatin1String("current track")
                           || item == QLatin1String("length") || item == QLatin1String("position")
                           || ((w_[2] == QLatin1String("length") || w_[2] == QLatin1String("position"))
                               && w_.size() >= 4 && w_[3] == QLatin1String("track"));
        if (!known)
            return kMciUnrecognizedKeyword;
        if (!toc)
            return kMciHardware;
        if (item == QLatin1String("number of tracks")) {
            answer_ = QString::number(toc->trackCount());
            return kMciOk;
        }
        if (item == QLatin1String("current track")) {
            answer_ = QString::number(toc->trackAt(drive.position()));
            return kMciOk;
        }
        if (item == QLatin1String("length")) {
            answer_ = lengthText(toc->discLength(), format);
            return kMciOk;
        }
        if (item == QLatin1String("position")) {
            answer_ = positionText(drive.position(), format, *toc);
            return kMciOk;
        }
        // "length track n" or "position track n"
        if (w_.size() != 5)
            return w_.size() < 5 ? kMciMissingParameter : kMciUnrecognizedKeyword;
        const std::optional<quint32> track = wholeNumber(w_[4]);
        if (!track)
            return kMciBadInteger;
        if (*track < 1 || *track > quint32(toc->trackCount()))
            return kMciOutOfRange;
        const int t = int(*track);
        answer_ = w_[2] == QLatin1String("length") ? lengthText(toc->trackLength(t), format)
                                                    : positionText(toc->trackStart(t), format, *toc);
        return kMciOk;
    }

    int set() {
        if (w_.size() < 4 || w_[2] != QLatin1String("time") || w_[3] != QLatin1String("format"))
            return w_.size() < 3 ? kMciMissingParameter : kMciUnrecognizedKeyword;
        if (w_.size() != 5)
            return w_.size() < 5 ? kMciMissingParameter : kMciUnrecognizedKeyword;
        const QString f = w_[4];
        if (f == QLatin1String("msf"))
            s_.cd->format = TimeFormat::Msf;
        else if (f == QLatin1String("tmsf"))
            s_.cd->format = TimeFormat::Tmsf;
        else if (f == QLatin1String("ms") || f == QLatin1String("milliseconds"))
            s_.cd->format = TimeFormat::Milliseconds;
        else
            return kMciBadTimeFormat;
        return kMciOk;
    }

    int play(CdDrive &drive) {
        if (w_.size() != 2 && !(w_.size() == 4 && w_[2] == QLatin1String("from")))
            return w_.size() == 3 && w_[2] == QLatin1String("from") ? kMciMissingParameter
                                                                   : kMciUnrecognizedKeyword;
        const DiscToc *toc = drive.disc();
        if (!toc)
            return kMciHardware;
        if (w_.size() == 2) {
            if (drive.mode() == PlayMode::Paused)
                return drive.resume();
            return drive.play(drive.position(), toc->leadout);
        }
        quint32 from = 0;
        if (const int code = parsePosition(w_[3], s_.cd->format, *toc, &from))
            return code;
        if (from < toc->trackStart(1) || from >= toc->leadout)
            return kMciOutOfRange;
        return drive.play(from, toc->leadout);
    }

    Session &s_;
    QStringList w_;
    QString &answer_;
};

} // namespace

int mciSendString(const QString &command, QString &answer, int answerSize) {
    answer.clear();
    Session &s = session();
    std::lock_guard guard(s.lock);
    QString result;
    const int code = Interpreter(s, command.toLower().simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts),
                                 result).run();
    if (code != kMciOk)
        return code;
    if (result.size() >= answerSize)
        return kMciParamOverflow;
    answer = result;
    return kMciOk;
}

} // namespace tbk
