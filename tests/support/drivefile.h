#pragma once
// The simulated drive's description file (tray, disc, play clock, failures), rewritten in one
// step so that the drive never reads half of it.
#include <QSaveFile>
#include <QString>
#include <gtest/gtest.h>

inline void writeDriveFile(const QString &path, const QString &description) {
    QSaveFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(description.toUtf8());
    ASSERT_TRUE(f.commit());
}
