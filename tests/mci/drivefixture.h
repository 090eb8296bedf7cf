#pragma once
// A simulated drive described in the test's folder and named by TBK_CDROM, and a short way
// to send commands to it. Every test ends with every device closed.
#include "runtime/mci/mci.h"
#include "support/drivefile.h"
#include "support/qstringprint.h"

#include <QDir>
#include <QString>
#include <gtest/gtest.h>

#include <ostream>

// Two tracks at 150 and 18000, lead-out 38001: the last track is 20000 frames long.
inline const char *const kTwoTrackDisc = "tracks 150 18000\nleadout 38001\n";

class DriveTest : public testing::Test {
protected:
    void SetUp() override { useDrive(QDir::current().filePath(QStringLiteral("drive.txt")), kTwoTrackDisc); }
    void TearDown() override {
        QString a;
        tbk::mciSendString(QStringLiteral("close all"), a);
        qunsetenv("TBK_CDROM");
    }

    void useDrive(const QString &path, const QString &description) {
        path_ = path;
        describe(description);
        qputenv("TBK_CDROM", QFile::encodeName(path_));
    }
    // Rewrites the description in one step, as the drive may read it at any command.
    void describe(const QString &description) {
        writeDriveFile(path_, description);
    }

    // The answer of a command that must succeed.
    QString ask(const QString &command) {
        QString answer;
        const int code = tbk::mciSendString(command, answer);
        EXPECT_EQ(code, 0) << command.toStdString();
        return answer;
    }
    // The result code of a command.
    int code(const QString &command) {
        QString answer;
        return tbk::mciSendString(command, answer);
    }

    QString path_;
};
