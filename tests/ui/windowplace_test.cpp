#include "runtime/settings/profile.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/windowplace.h"
#include "support/windows/scriptedwindow.h"
#include "support/windows/windowtesting.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace tbk;
using namespace tbk::windowtest;

namespace {

const QString kFile = QString::fromLatin1(kPositionFile);

QString entry(const char *section, const char *key) { return getIni(section, key, "<none>", kFile); }

void putPlace(const char *section, const char *x, const char *y, const char *w, const char *h, const char *max) {
    putIni(section, "XPosit", x, kFile);
    putIni(section, "YPosit", y, kFile);
    putIni(section, "Width", w, kFile);
    putIni(section, "Height", h, kFile);
    putIni(section, "Maximize", max, kFile);
}

} // namespace

TEST(WindowPlace, SavesItsPlaceInTheProceduresSection) {
    QWidget w;
    w.setGeometry(120, 80, 300, 200);
    w.show();
    SaveWindowPosition(&w, kFile, "BrowseSongs");
    EXPECT_EQ(entry("BrowseSongs", "Maximize"), "No");
    EXPECT_EQ(entry("BrowseSongs", "XPosit"), "120");
    EXPECT_EQ(entry("BrowseSongs", "YPosit"), "80");
    EXPECT_EQ(entry("BrowseSongs", "Width"), "300");
    EXPECT_EQ(entry("BrowseSongs", "Height"), "200");
    EXPECT_EQ(iniEntries("BrowseSongs", kFile), (QStringList{"Maximize", "XPosit", "YPosit", "Width", "Height"}));
}

TEST(WindowPlace, RestoresPositionAndSizeOfResizableWindowsOnly) {
    putPlace("UpdateSong", "50", "60", "500", "400", "No");
    QWidget resizable;
    resizable.setGeometry(10, 10, 200, 100);
    RestoreWindowPosition(&resizable, kFile, "UpdateSong");
    EXPECT_EQ(resizable.geometry(), QRect(50, 60, 500, 400));

    QWidget fixed;
    fixed.setGeometry(10, 10, 200, 100);
    fixed.setFixedSize(200, 100);
    RestoreWindowPosition(&fixed, kFile, "UpdateSong");
    EXPECT_EQ(fixed.geometry(), QRect(50, 60, 200, 100));
}

TEST(WindowPlace, NoSavedPositionLeavesTheDesignedPlaceAndState) {
    const struct {
        const char *x, *y;
    } cases[] = {{"0", "60"}, {"", ""}, {"40", "0"}, {"1e30", "60"}, {"40", "-1e30"}};
    for (const auto &c : cases) {
        putPlace("Main", c.x, c.y, "500", "400", "No");
        QWidget w;
        w.setGeometry(10, 20, 200, 100);
        RestoreWindowPosition(&w, kFile, "Main");
        EXPECT_EQ(w.geometry(), QRect(10, 20, 200, 100)) << c.x << "," << c.y;
    }
    putPlace("Main", "0", "60", "500", "400", "Yes");
    QWidget w;
    RestoreWindowPosition(&w, kFile, "Main");
    EXPECT_FALSE(w.windowState() & Qt::WindowMaximized);
}

TEST(WindowPlace, AMinimisedWindowKeepsThePlaceSavedBefore) {
    putPlace("Tips", "70", "80", "300", "200", "No");
    QWidget w;
    w.setGeometry(5, 5, 100, 100);
    w.showMinimized();
    SaveWindowPosition(&w, kFile, "Tips");
    EXPECT_EQ(entry("Tips", "XPosit"), "70");
    EXPECT_EQ(entry("Tips", "Width"), "300");
}

namespace {

// Opens the procedure's window on a thread, lets the test act on it, and closes it.
void openAndClose(const QString &procedure, const std::function<void(QWidget *)> &act,
                  const std::function<void(QWidget *)> &afterwards = {}) {
    QWidget *seen = nullptr;
    const int t = startThread([&] {
        ScriptedWindow w(procedure);
        w.onOpen = [&](ScriptedWindow &self) { seen = self.widget(); };
        w.run();
    });
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(seen);
    act(seen);
    ASSERT_TRUE(runUntilIdle());
    if (afterwards)
        afterwards(seen);
    ASSERT_TRUE(pressButton(t, "Close"));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_FALSE(threadExists(t));
}

} // namespace

TEST(WindowPlace, AWindowComesBackWhereTheUserLeftIt) {
    openAndClose("BrowseAlbums", [](QWidget *w) { w->setGeometry(140, 90, 420, 310); });
    EXPECT_EQ(entry("BrowseAlbums", "XPosit"), "140");
    QRect reopened;
    openAndClose("BrowseAlbums", [&](QWidget *w) { reopened = w->geometry(); });
    EXPECT_EQ(reopened, QRect(140, 90, 420, 310));
}

TEST(WindowPlace, AMaximisedWindowReopensMaximisedOverItsNormalPlace) {
    openAndClose("BrowseAlbums", [](QWidget *w) {
        w->setGeometry(140, 90, 420, 310);
        w->showMaximized();
    });
    EXPECT_EQ(entry("BrowseAlbums", "Maximize"), "Yes");
    EXPECT_EQ(entry("BrowseAlbums", "XPosit"), "140");
    EXPECT_EQ(entry("BrowseAlbums", "Width"), "420");

    bool maximised = false;
    QRect normal;
    openAndClose(
        "BrowseAlbums",
        [&](QWidget *w) {
            maximised = w->isMaximized();
            w->showNormal();
        },
        [&](QWidget *w) { normal = w->geometry(); });
    EXPECT_TRUE(maximised);
    EXPECT_EQ(normal, QRect(140, 90, 420, 310));
    EXPECT_EQ(entry("BrowseAlbums", "Maximize"), "No");
}
