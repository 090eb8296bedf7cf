#include "framefixture.h"

#include "core/splash.h"
#include "runtime/threads/threadwindows.h"
#include "runtime/values/dates.h"
#include "runtime/values/picture.h"

#include <QLabel>
#include <QLineEdit>

#include <array>

using namespace tbk;
using tbk::windowtest::activeWindow;
using tbk::windowtest::findControl;
using tbk::windowtest::pressButton;
using tbk::windowtest::runUntilIdle;

namespace {

QString field(QWidget *window, const char *name) {
    auto *e = qobject_cast<QLineEdit *>(findControl(window, QString::fromLatin1(name)));
    return e ? e->text() : QStringLiteral("<missing>");
}

TEST_F(FrameTest, AboutOpensCompileInformationWithTheBuildDates) {
    ProgramVersion = "Version 2.0";
    const int thread = startThread(ShowAboutWindow, 25000);
    ASSERT_TRUE(runUntilIdle());
    QWidget *about = activeWindow(thread);
    ASSERT_TRUE(about);
    EXPECT_EQ(about->windowTitle(), "About");
    ASSERT_TRUE(pressButton(thread, QStringLiteral("PictureRegion")));
    ASSERT_TRUE(runUntilIdle());

    QWidget *info = activeWindow(thread);
    ASSERT_TRUE(info && info != about);
    EXPECT_EQ(info->windowTitle(), "Compile Information");
    EXPECT_FALSE(about->isEnabled()) << "Compile Information is modal to About's thread";
    EXPECT_EQ(field(info, "Version"), "Version 2.0");
    EXPECT_EQ(field(info, "Application"), "tbk98r");
    EXPECT_EQ(field(info, "CreationDate"), formatPicture(QStringLiteral("@d17-"), dayNumber(1996, 2, 10)));
    EXPECT_EQ(field(info, "ChangeDate"), formatPicture(QStringLiteral("@d17-"), dayNumber(1998, 8, 31)));
    EXPECT_TRUE(field(info, "CreationDate").contains(QLatin1String("96")));
    EXPECT_EQ(field(info, "CreationTime"), "9:32PM");
    EXPECT_EQ(field(info, "ChangeTime"), "10:43PM");
    EXPECT_EQ(field(info, "Flag32").trimmed(), "1");

    ASSERT_TRUE(pressButton(thread, QStringLiteral("Close")));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(activeWindow(thread), about);
    EXPECT_TRUE(about->isEnabled());
    EXPECT_NE(getIni(QStringLiteral("CompileDate"), QStringLiteral("Width"), {}, QStringLiteral(".\\POSITION.INI")),
              "");
    ASSERT_TRUE(pressButton(thread, QStringLiteral("Return to TuneBank Pro")));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_FALSE(threadExists(thread));
    EXPECT_EQ(GlobalResponse, RequestCancelled);
    EXPECT_TRUE(iniEntries(QStringLiteral("ShowAboutWindow"), QStringLiteral(".\\POSITION.INI")).isEmpty())
        << "About's place is not kept";
}

TEST_F(FrameTest, AboutStartedFromTheHelpMenuRunsOnItsOwnThread) {
    int aboutThread = 0;
    provide(QStringLiteral("ShowAboutWindow"), [&aboutThread] {
        aboutThread = currentThreadNumber();
        ShowAboutWindow();
    });
    ASSERT_TRUE(startMainProgram());
    ASSERT_TRUE(postFrameCommand(-50));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_NE(aboutThread, 0);
    EXPECT_NE(aboutThread, frameTable().thread);
    ASSERT_TRUE(activeWindow(aboutThread));
    EXPECT_EQ(activeWindow(aboutThread)->windowTitle(), "About");
    EXPECT_EQ(qobject_cast<QLabel *>(findControl(activeWindow(aboutThread), QStringLiteral("VersionText")))->text(),
              "Version 2.0");
    ASSERT_TRUE(exitFrame());
}

TEST(BuildInformation, DatesAndTimesAreThoseOfTheRelease) {
    const BuildInformation &b = buildInformation();
    EXPECT_EQ(b.creationDate, dayNumber(1996, 2, 10));
    EXPECT_EQ(b.changeDate, dayNumber(1998, 8, 31));
    const ClockParts created = clockParts(b.creationTime), changed = clockParts(b.changeTime);
    EXPECT_EQ((std::array{created.hours, created.minutes, created.seconds}), (std::array{21, 32, 37}));
    EXPECT_EQ((std::array{changed.hours, changed.minutes, changed.seconds}), (std::array{22, 43, 11}));
    EXPECT_EQ(b.program, "tbk98r");
    EXPECT_EQ(b.flag32, 1);
}

} // namespace
