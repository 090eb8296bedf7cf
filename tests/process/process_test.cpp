// Starting a program found by its name and waiting for it from a window whose timer paces the
// wait.
#include "runtime/process/process.h"
#include "runtime/threads/scheduler.h"
#include "support/windows/scriptedanswers.h"
#include "support/windows/scriptedwindow.h"
#include "support/windows/windowtesting.h"

#include <QCursor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <gtest/gtest.h>

using namespace tbk;
using namespace tbk::windowtest;

namespace {

void writeScript(const QString &path, const QByteArray &body) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n" + body);
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
}

QByteArray fileText(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class RunProgram : public testing::Test {
protected:
    void SetUp() override {
        oldPath_ = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(QDir::current().filePath("bin")));
    }
    void TearDown() override {
        endAllThreads();
        qputenv("PATH", oldPath_);
    }

    // The run from a window with its timer, as a look-up makes it.
    std::vector<ShownMessage> run(const ProgramRun &r, int *result) {
        return runAnswering([&] {
            ScriptedWindow w(QStringLiteral("Caller"), {QStringLiteral("Close")});
            w.onOpen = [&](ScriptedWindow &win) {
                win.setTimer(5);
                *result = RunProgramBusy(r, win);
                win.closeWindow();
            };
            w.run();
        });
    }

private:
    QByteArray oldPath_;
};

TEST(FindProgram, ByNameWithoutCaseInFolderOrder) {
    writeScript("one/discseek", "");
    writeScript("two/DiscSeek", "");
    QFile plain("two/plain");
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString one = QDir::current().filePath("one"), two = QDir::current().filePath("two");
    EXPECT_EQ(findProgram("DiscSeek", {one, two}), QDir(one).filePath("discseek"));   // the first folder wins
    EXPECT_EQ(findProgram("DiscSeek", {two, one}), QDir(two).filePath("DiscSeek"));
    EXPECT_EQ(findProgram("plain", {one, two}), "");        // not executable
    EXPECT_EQ(findProgram("missing", {one, two}), "");
    EXPECT_EQ(findProgram("two/DiscSeek", {}), QDir(two).filePath("DiscSeek"));
    EXPECT_EQ(programSearchFolders().value(0), QCoreApplication::applicationDirPath());
}

// The arguments reach the program as they are, never through a shell, in the current folder;
// the wait lasts until the program ends, under the cross-hair cursor.
TEST_F(RunProgram, StartsInTheCurrentFolderAndWaitsForTheEnd) {
    writeScript("bin/echoargs", "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > args.txt\npwd > cwd.txt\n"
                                "while [ ! -e go ]; do /bin/sleep 0.05; done\n");
    int result = -2;
    bool done = false;
    const int t = startThread(
        [&] {
            ScriptedWindow w(QStringLiteral("Caller"), {QStringLiteral("Close")});
            w.onOpen = [&](ScriptedWindow &win) {
                win.setTimer(5);
                result = RunProgramBusy({"EchoArgs \"a b\" ;c $HOME >x", true, {}}, win);
                done = true;
                win.closeWindow();
            };
            w.run();
        },
        kMinimumThreadStack);
    ASSERT_TRUE(runUntil([] { return QFile::exists("cwd.txt"); }, 10000));
    runFor(200);
    EXPECT_FALSE(done);
    ASSERT_TRUE(QGuiApplication::overrideCursor());
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QFile go("go");
    ASSERT_TRUE(go.open(QIODevice::WriteOnly));
    go.close();
    ASSERT_TRUE(runUntil([&] { return !threadExists(t); }, 10000));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(fileText("args.txt"), "a b\n;c\n$HOME\n>x\n");
    EXPECT_EQ(fileText("cwd.txt").trimmed(), QDir::currentPath().toUtf8());
    EXPECT_FALSE(QFile::exists("x"));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(RunProgram, ProgramNotFoundIsReportedAndTheWaitEnds) {
    int result = -2;
    const std::vector<ShownMessage> shown = run({"NoSuchTool  ", true, "."}, &result);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Critical Error Message");
    EXPECT_EQ(shown[0].text, "EXE, Batch File or PIF File Not Found:NoSuchTool.");
    EXPECT_EQ(shown[0].icon, QMessageBox::Information);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// The look-up holds the one run while it runs the program: the same thread may run inside it.
TEST_F(RunProgram, TheClaimingThreadRunsInsideItsClaim) {
    writeScript("bin/quick", "exit 3\n");
    int inner = -2;
    const std::vector<ShownMessage> shown = runAnswering([&] {
        const ProgramRunClaim claim("Quick");
        ScriptedWindow w(QStringLiteral("Caller"), {QStringLiteral("Close")});
        w.onOpen = [&](ScriptedWindow &win) {
            win.setTimer(5);
            inner = claim.held() ? RunProgramAndWait({"quick", true, {}}, win) : -3;
            win.closeWindow();
        };
        w.run();
    });
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(inner, 1);
}

} // namespace
