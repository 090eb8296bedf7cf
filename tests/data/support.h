#pragma once
// Shared pieces of the data tests: fresh catalogue files and the second process.
#include "core/datafiles.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <memory>

namespace datatest {

// Creates and opens the given files (and the configuration file, the main database).
inline void createAndOpen(std::initializer_list<tbk::data::DataFile *> files) {
    for (tbk::data::DataFile *f : files) {
        ASSERT_TRUE(f->create()) << f->label().toStdString() << " " << tbk::data::errorCode();
        ASSERT_TRUE(f->open()) << f->label().toStdString() << " " << tbk::data::errorCode();
    }
}

inline void closeAll() {
    for (tbk::data::DataFile *f : tbk::data::DataFile::all())
        f->close();
}

// The helper program in the current directory, started with the arguments; waits until it
// says "ready" (or ends).
inline std::unique_ptr<QProcess> startChild(const QStringList &args, bool waitReady = true) {
    auto p = std::make_unique<QProcess>();
    p->setProgram(QStringLiteral(TBK_DATA_CHILD));
    p->setArguments(args);
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start();
    EXPECT_TRUE(p->waitForStarted(5000));
    if (waitReady) {
        while (!p->canReadLine() && p->state() == QProcess::Running)
            p->waitForReadyRead(5000);
        EXPECT_EQ(p->readLine().trimmed(), QByteArray("ready"));
    }
    return p;
}

inline int runChild(const QStringList &args) {
    auto p = startChild(args, false);
    p->waitForFinished(10000);
    EXPECT_EQ(p->exitStatus(), QProcess::NormalExit) << p->errorString().toStdString();
    return p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
}

} // namespace datatest
