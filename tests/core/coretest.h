#pragma once
// Shared pieces of the core tests: the fixture, scripted message answers and the second process.
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "runtime/data/driver.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/scheduler.h"
#include "support/catalogue/cataloguetest.h"
#include "support/windows/scriptedanswers.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <deque>
#include <functional>
#include <memory>

#include <ostream>

namespace coretest {

using Shown = tbk::windowtest::ShownMessage;
using cataloguetest::addEntry;
using cataloguetest::albums;
using cataloguetest::categories;
using cataloguetest::loadAlbum;
using cataloguetest::loadSong;
using cataloguetest::rows;

// Every test ends with no thread, no file open and no count left; halts reach exitCodes.
class CoreTest : public testing::Test {
protected:
    void SetUp() override {
        tbk::setExitHook([this](int code) { exitCodes.push_back(code); });
    }
    void TearDown() override {
        tbk::windowtest::endAllThreads();
        tbk::closeAllDataFiles();
    }

    // Runs the routine on a logical thread with its message boxes recorded and answered.
    static std::vector<Shown> run(const std::function<void()> &routine, std::deque<int> answers = {}) {
        return tbk::windowtest::runAnswering(routine, std::move(answers));
    }

    static QString marker() {
        return tbk::getIni(QLatin1String(tbk::kCrashMarkerSection), QLatin1String(tbk::kCrashMarkerEntry),
                           QStringLiteral("<none>"), tbk::defaultSettingsFile());
    }

    std::vector<int> exitCodes;
};

// The helper program, started with the arguments in the current directory.
inline std::unique_ptr<QProcess> startChild(const QStringList &args) {
    auto p = std::make_unique<QProcess>();
    p->setProgram(QStringLiteral(TBK_CORE_CHILD));
    p->setArguments(args);
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start();
    EXPECT_TRUE(p->waitForStarted(5000));
    return p;
}

// Waits until the child writes the line (false when it ended first).
inline bool waitForLine(QProcess &p, const QByteArray &line) {
    for (;;) {
        while (p.canReadLine())
            if (p.readLine().trimmed() == line)
                return true;
        if (p.state() != QProcess::Running || !p.waitForReadyRead(10000))
            return false;
    }
}

// Runs SQL on a data file through a connection of its own, behind the driver's back.
inline void sqlOn(const QString &file, const QString &sql) {
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    tbk::data::registerCollation(db);
    char *msg = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &msg);
    EXPECT_EQ(rc, SQLITE_OK) << (msg ? msg : "") << " in " << sql.toStdString();
    sqlite3_free(msg);
    sqlite3_close(db);
}

} // namespace coretest
