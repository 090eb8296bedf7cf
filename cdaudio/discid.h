#pragma once
// The CD database disc identifier and query line, the disc serial by which the catalogue
// recognises a disc, and conversions between the forms of a disc position: a text
// "mm:ss:ff", a frame count (75 a second), and minutes, seconds and frames.
#include <QList>
#include <QString>
#include <QtGlobal>

#include <vector>

namespace tbk {

// One row of a disc's track queue, in frames: the start as an absolute frame address (the
// first track of a normal disc starts at 150) and the length as the drive reports it (the
// last track one frame short of the lead-out).
struct DiscTrack {
    quint32 TRACKPOSITION = 0;
    quint32 TRACKLENGTH = 0;
};
using DiscTrackList = std::vector<DiscTrack>;

// minutes * 4500 + seconds * 75 + frames of characters 1-2, 4-5 and 7-8; nothing else is
// checked, but a failed request's "Error:" text reads as 0, as every failure does where a number
// is expected (its code would otherwise stand where the frames go).
qint32 ParseMsfToFrames(const QString &msf);
void SplitFramesToMsf(qint32 frameCount, quint8 &minutes, quint8 &seconds, quint8 &frames);
// The sum of the decimal digits; 0 for n <= 0.
qint32 SumDecimalDigits(qint32 n);
// Upper-case hexadecimal, zero-padded to digitCount (8 with eightDigits; at most 16).
QString FormatHexNumber(quint32 value, int digitCount, bool eightDigits);

// The disc identifier (eight lower-case hexadecimal digits) of a track queue, and the disc
// length it uses in hundredths of a second in totalTime. An empty queue gives the empty text
// and leaves totalTime alone.
QString ComputeDiscId(const DiscTrackList &tracks, qint32 &totalTime);

// The query for the CD database: the identifier, the track count, each track's start frame
// and the disc length in seconds, separated by blanks. Empty for an empty queue.
QString FormatDiscQueryLine(const QString &discId, const DiscTrackList &tracks);

// The disc serial: the track count in two places, then the decimal digits of the disc
// length and of the lengths of tracks 1 to 3 (as many as the disc has), all time values;
// at most 24 characters.
QString BuildDiscSerial(qint32 trackCount, qint32 discLength, const QList<qint32> &trackLengths);
// Asks the open drive for the lengths the serial needs (time format "tmsf" set by the caller).
// A request the drive fails sets *failed.
QString ReadDiscSerial(qint32 trackCount, bool *failed = nullptr);

// Whether a drive answer is the text of a failed request ("Error:" and its code).
bool isMciFailure(const QString &answer);

constexpr int kDiscSerialLength = 24;

} // namespace tbk
