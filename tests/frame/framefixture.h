#pragma once
// Runs the main program body on a logical thread, as the program entry does, and drives the
// frame through posted commands.
#include "core/datafiles.h"
#include "core/frame.h"
#include "setup/mainprogram.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"
#include "support/windows/windowtesting.h"
#include "support/qstringprint.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        tbk::setExitHook([this](int code) { exitCodes.push_back(code); });
        tbk::detail::forgetStartupPrepared();
        // Settings of an earlier test must not leak through the process-wide values.
        tbk::ProgramIniFile = tbk::kProgramIniName;
        tbk::LoadProgramSettings();
    }

    void TearDown() override { endRun(); }

    // Ends what a run of the program left: its threads, its open files.
    void endRun() {
        tbk::windowtest::endAllThreads();
        EXPECT_TRUE(tbk::threadNumbers().empty());
        for (tbk::data::DataFile *f : tbk::data::DataFile::all())
            f->close();
        for (const QString &name : registered)
            tbk::registerProcedure(name, {});
    }

    // For a test that runs the program several times: a new catalogue and settings folder.
    void enterFreshFolder() {
        folders.push_back(std::make_unique<QTemporaryDir>());
        QDir::setCurrent(folders.back()->path());
        qputenv("TBK_CONFIG_DIR", QDir(folders.back()->path()).filePath(QStringLiteral("config")).toUtf8());
        mainReturned = false;
        FrameTest::SetUp();
    }

    // A procedure for the test's life.
    void provide(const QString &name, tbk::Procedure p) {
        tbk::registerProcedure(name, std::move(p));
        registered << name;
    }

    void setting(const char *section, const char *entry, const QString &value) {
        tbk::putIni(QString::fromLatin1(section), QString::fromLatin1(entry), value,
                    QString::fromLatin1(tbk::kProgramIniName));
    }

    // Starts the program's body; true once the frame has opened.
    bool startMainProgram() {
        mainThread = tbk::startThread(
            [this] {
                tbk::MainProgram();
                mainReturned = true;
            },
            tbk::kMinimumThreadStack);
        return tbk::windowtest::runUntil([] { return tbk::frameTable().thread != 0; }) &&
               tbk::windowtest::runUntilIdle();
    }

    // Chooses File / Exit; true once the main program body has returned.
    bool exitFrame() {
        return tbk::postFrameCommand(-6) && tbk::windowtest::runUntil([this] { return mainReturned; });
    }

    int mainThread = 0;
    bool mainReturned = false;
    std::vector<int> exitCodes;
    std::vector<std::unique_ptr<QTemporaryDir>> folders;
    QStringList registered;
};
