#include "cdaudio/discid.h"

#include "cdaudio/mcicommand.h"
#include "runtime/values/text.h"

#include <algorithm>

namespace tbk {

namespace {

constexpr qint32 kFramesPerSecond = 75;
constexpr qint32 kFramesPerMinute = 60 * kFramesPerSecond;

qint32 msfField(const QString &msf, int at) {
    return qint32(numericValue(msf.mid(at, 2)));
}

// The whole second of a frame address, as minutes * 60 + seconds of its split.
quint64 secondOf(quint64 frame) {
    return frame / kFramesPerSecond;
}

// The second of the lead-out, from the summed address: a last track at 18074 of 75 frames
// ends in second 242, though its start and length alone would say 241.
quint64 leadoutSecond(const DiscTrackList &tracks) {
    const DiscTrack &last = tracks.back();
    return secondOf(quint64(last.TRACKPOSITION) + last.TRACKLENGTH + 1);
}

} // namespace

bool isMciFailure(const QString &answer) { return answer.startsWith(QLatin1String("Error:")); }

qint32 ParseMsfToFrames(const QString &msf) {
    if (isMciFailure(msf))
        return 0;
    return msfField(msf, 0) * kFramesPerMinute + msfField(msf, 3) * kFramesPerSecond + msfField(msf, 6);
}

void SplitFramesToMsf(qint32 frameCount, quint8 &minutes, quint8 &seconds, quint8 &frames) {
    const qint32 m = frameCount / kFramesPerMinute;
    const qint32 s = frameCount / kFramesPerSecond - m * 60;
    minutes = quint8(m);
    seconds = quint8(s);
    frames = quint8(frameCount - m * kFramesPerMinute - s * kFramesPerSecond);
}

qint32 SumDecimalDigits(qint32 n) {
    qint32 sum = 0;
    for (; n > 0; n /= 10)
        sum += n % 10;
    return sum;
}

QString FormatHexNumber(quint32 value, int digitCount, bool eightDigits) {
    static const char kDigits[] = "0123456789ABCDEF";
    const int width = eightDigits ? 8 : std::clamp(digitCount, 1, 16);
    QString s;
    do {
        s.prepend(QLatin1Char(kDigits[value & 0xF]));
        value >>= 4;
    } while (value != 0);
    return s.rightJustified(width, QLatin1Char('0'));
}

QString ComputeDiscId(const DiscTrackList &tracks, qint32 &totalTime) {
    if (tracks.empty())
        return QString();
    quint32 checksum = 0;
    for (const DiscTrack &t : tracks)
        checksum += quint32(SumDecimalDigits(qint32(secondOf(t.TRACKPOSITION))));
    const quint32 length = quint32(leadoutSecond(tracks) - secondOf(tracks.front().TRACKPOSITION));
    totalTime = qint32(length * 100);
    // Modulus 255, and neither length nor count masked: every server computes it so.
    const quint32 id = ((checksum % 255) << 24) | (length << 8) | quint32(tracks.size());
    return FormatHexNumber(id, 8, true).toLower();
}

QString FormatDiscQueryLine(const QString &discId, const DiscTrackList &tracks) {
    if (tracks.empty())
        return QString();
    QStringList items{discId, QString::number(tracks.size())};
    for (const DiscTrack &t : tracks)
        items << QString::number(t.TRACKPOSITION);
    items << QString::number(leadoutSecond(tracks));
    return items.join(QLatin1Char(' '));
}

QString BuildDiscSerial(qint32 trackCount, qint32 discLength, const QList<qint32> &trackLengths) {
    QString serial = QString::number(trackCount).rightJustified(2, QLatin1Char(' '))
                     + QString::number(discLength);
    for (qint32 length : trackLengths)
        serial += QString::number(length);
    return serial.left(kDiscSerialLength);
}

QString ReadDiscSerial(qint32 trackCount, bool *failed) {
    const auto lengthOf = [failed](const QString &command) {
        const QString answer = SendMciCommand(command);
        if (failed && isMciFailure(answer))
            *failed = true;
        return ParseMciTime(answer);
    };
    const qint32 discLength = lengthOf(QStringLiteral("status cdaudio length"));
    QList<qint32> lengths{lengthOf(QStringLiteral("status cdaudio length track 1"))};
    if (trackCount > 1)
        lengths << lengthOf(QStringLiteral("status cdaudio length track 2"));
    if (trackCount > 2)
        lengths << lengthOf(QStringLiteral("status cdaudio length track 3"));
    return BuildDiscSerial(trackCount, discLength, lengths);
}

} // namespace tbk
