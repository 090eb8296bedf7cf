#pragma once
// Shared pieces of the data tests: fresh catalogue files and the second process.
#include "core/datafiles.h"

#include "runtime/data/driver.h"
#include "runtime/data/errors.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <utility>

namespace datatest {

// Creates and opens the given files (and the configuration file, the main database).
inline void createAndOpen(std::initializer_list<tbk::data::DataFile *> files) {
    for (tbk::data::DataFile *f : files) {
        ASSERT_TRUE(f->create()) << f->label().toStdString() << " " << tbk::data::errorCode();
        ASSERT_TRUE(f->open()) << f->label().toStdString() << " " << tbk::data::errorCode();
    }
}

// Songs `from` to `to`, titled "song <id>".
inline void addSongs(int from, int to) {
    for (int id = from; id <= to; ++id) {
        tbk::MUS.clear();
        tbk::MUS.ID = id;
        tbk::MUS.Title = QStringLiteral("song %1").arg(id);
        ASSERT_TRUE(tbk::MUS.add()) << tbk::data::errorCode();
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

// What a disk file says of itself, read behind the driver's back: the count it keeps (-1 when
// it keeps none, or not with both triggers) and its rows counted.
inline std::pair<qint64, qint64> countsOf(const QString &file) {
    sqlite3 *db = nullptr;
    std::pair<qint64, qint64> r{-1, -1};
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        tbk::data::registerCollation(db);
        for (auto [sql, into] : {std::pair{"SELECT n FROM tbk_count WHERE (SELECT count(*) FROM sqlite_master"
                                           " WHERE type='trigger' AND tbl_name='records' AND name LIKE 'tbk_count_%')=2",
                                           &r.first},
                                 std::pair{"SELECT count(*) FROM records", &r.second}}) {
            sqlite3_stmt *st = nullptr;
            if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
                *into = sqlite3_column_int64(st, 0);
            sqlite3_finalize(st);
        }
    }
    sqlite3_close_v2(db);
    return r;
}

inline int runChild(const QStringList &args) {
    auto p = startChild(args, false);
    p->waitForFinished(10000);
    EXPECT_EQ(p->exitStatus(), QProcess::NormalExit) << p->errorString().toStdString();
    return p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
}

} // namespace datatest
