#pragma once
// The catalogue's one channel to the CD drive: a command string in, the device's answer as a
// text that callers test directly. "1" is yes, the empty text no, a failure a text beginning
// "Error:" (which reads as 0 where a number is expected).
#include "runtime/values/text.h"

#include <QString>
#include <QtGlobal>

namespace tbk {

// Commands longer than this are cut, as the command buffer holds no more.
constexpr int kMciCommandLength = 99;

// With modeRequest set, sends "status cdaudio mode" whatever the command. A failure other than
// "already open" writes the request, the answer and the code to the event log.
QString SendMciCommand(const QString &command, quint8 modeRequest = 0);

// A drive answer "mm:ss:ff" as a time value (hundredths since midnight plus one); the frames
// are dropped, except that "99" rounds up to the next second.
qint32 ParseMciTime(const QString &answer);

// A time value as track time "mm:ss", minutes blank-padded to two places (" 3:25", "62:03");
// 0 gives five blanks. Beyond 99 minutes the text grows rather than lose digits.
QString FormatTrackTime(qint32 time);
// The widest of those texts below 1000 minutes, for the width of a column of them.
QString WidestTrackTime();

// The time column of the track lists and the song reports, left-justified; shared by every
// thread, so a caller reads it straight after the call.
extern FixedString<8> SongTimeText;

// Sets SongTimeText to the track time of `time`, or of the songs record's time when
// fromSongRecord is non-zero.
void FormatReportSongTime(qint32 time, quint8 fromSongRecord);

} // namespace tbk
