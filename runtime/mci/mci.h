#pragma once
// The command-string interface to the "cdaudio" device. The device is process-wide: opened
// by one command, used by any caller, and closed by another.
//
// Commands: open cdaudio [shareable] | close cdaudio | close all
//   status cdaudio mode | ready | media present | number of tracks | current track
//                  | time format | length [track n] | position [track n]
//   set cdaudio time format tmsf | msf | ms | milliseconds
//   play cdaudio [from p] | pause cdaudio | stop cdaudio
// Positions and lengths follow the time format: "mm:ss:ff" (msf; lengths also in tmsf),
// "tt:mm:ss:ff" (tmsf positions, track-relative), or whole milliseconds (ms). Positions are
// absolute: the first track of a normal disc starts at 00:02:00.
#include "runtime/mci/mcierrors.h"

#include <QString>

namespace tbk {

// The answer buffer size the catalogue passes.
constexpr int kMciAnswerSize = 100;

// Carries out a command; returns 0 or an error code. The answer (cleared first) must fit
// answerSize - 1 characters, else kMciParamOverflow.
int mciSendString(const QString &command, QString &answer, int answerSize = kMciAnswerSize);

} // namespace tbk
