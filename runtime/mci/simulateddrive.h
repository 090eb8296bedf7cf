#pragma once
// A CD drive described by a small text file, read again whenever it changes, so that a test
// can open the tray, change the disc, advance the play clock or script failures while the
// device is open. One setting a line, '#' starts a comment:
//
//   tray closed                  open | closed
//   disc yes                     yes | no (without it: a disc when tracks are given)
//   tracks 150 18000             start frame of each track
//   leadout 38001                frame address of the lead-out
//   clock 2500                   play clock in milliseconds; the play head moves with it
//   fail 262 status cdaudio ready        a command that fails with the given error;
//   fail 276 status cdaudio length *     a trailing '*' matches every command so begun
//   answer 0 status cdaudio number of tracks   a command answered with the given word instead
#include "runtime/mci/cddrive.h"

#include <optional>

namespace tbk {

struct DriveDescription {
    bool trayOpen = false;
    std::optional<DiscToc> disc;
    qint64 clock = 0;
    struct Failure {
        QString command;   // lower case, single blanks
        bool prefix = false;
        int code = 0;     // 0: answered with `answer` instead
        QString answer;
    };
    std::vector<Failure> failures;
};

// Reads a description; nullopt with the reason in *why when a line is not understood.
std::optional<DriveDescription> parseDriveDescription(const QString &text, QString *why);

std::unique_ptr<CdDrive> openSimulatedDrive(const QString &path, QString *why);

} // namespace tbk
