#include "framefixture.h"

#include "core/artwork.h"
#include "core/splash.h"
#include "support/windows/scriptedwindow.h"

#include <QAction>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QSet>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

using namespace tbk;
using tbk::windowtest::runUntil;
using tbk::windowtest::runUntilIdle;

namespace {

struct Entry {
    QString path;   // menus and text as shown, "&" included
    bool enabled;
};

// Every menu entry and toolbar button of the frame by id.
QMap<int, Entry> frameEntries() {
    QMap<int, Entry> entries;
    auto *frame = qobject_cast<QMainWindow *>(frameTable().window.data());
    if (!frame)
        return entries;
    std::function<void(QMenu *, const QString &)> walk = [&](QMenu *menu, const QString &path) {
        for (QAction *a : menu->actions()) {
            if (a->isSeparator())
                continue;
            const QString here = path + QLatin1Char('/') + a->text();
            const int id = a->property("tbkId").toInt();
            if (id)
                entries.insert(id, {here, a->isEnabled()});
            if (a->menu())
                walk(a->menu(), here);
        }
    };
    for (QAction *a : frame->menuBar()->actions()) {
        const int id = a->property("tbkId").toInt();
        if (id)
            entries.insert(id, {a->text(), a->isEnabled()});
        walk(a->menu(), a->text());
    }
    for (QToolBar *bar : frame->findChildren<QToolBar *>())
        for (QAction *a : bar->actions())
            if (const int id = a->property("tbkId").toInt())
                entries.insert(id, {QStringLiteral("Toolbar/") + a->text(), a->isEnabled()});
    return entries;
}

TEST_F(FrameTest, MenuAndToolbarHoldEveryEntryWithItsTextAndId) {
    const QMap<int, QString> expected{
        {-1, "&File/&CD Player"},
        {-2, "&File/&Setup"},
        {-3, "&File/&Import"},
        {-4, "&File/&Export"},
        {-5, "&File/&Print Setup ..."},
        {-6, "&File/E&xit"},
        {-7, "&Edit/Cu&t"},
        {-8, "&Edit/&Copy"},
        {-9, "&Edit/&Paste"},
        {-10, "&Browse/&Albums"},
        {-11, "&Browse/&Songs"},
        {-12, "&Browse/&Both"},
        {-13, "&Wizards"},
        {-14, "&Wizards/Add &Album"},
        {-15, "&Wizards/Add &CD using CDDB"},
        {-16, "&Wizards/&Quick Compilation"},
        {-17, "&Wizards/Quick &Single Artist Album"},
        {-18, "&Wizards/Add &Label"},
        {-19, "&Browse/&Labels"},
        {-20, "&Browse/&Play Lists"},
        {-21, "&Browse/&Categories"},
        {-22, "&Browse/&Media Formats"},
        {-23, "&Reports"},
        {-24, "&Reports/&Songs"},
        {-25, "&Reports/&Songs/By &Artist"},
        {-26, "&Reports/&Songs/By &Title"},
        {-27, "&Reports/&Songs/By A&lbum"},
        {-28, "&Reports/&Songs/By &Media"},
        {-29, "&Reports/&Songs/By &Category"},
        {-30, "&Reports/&Songs/By &BPM"},
        {-31, "&Reports/&Albums"},
        {-32, "&Reports/&Albums/By &Artist"},
        {-33, "&Reports/&Albums/By A&lbum"},
        {-34, "&Reports/&Albums/By &File Number"},
        {-35, "&Reports/&Albums/By &Category"},
        {-36, "&Reports/CD Binder Pages"},
        {-37, "&Reports/Paper S&avers"},
        {-38, "&Reports/Paper S&avers/By &Artist"},
        {-39, "&Reports/Paper S&avers/By &Title"},
        {-40, "&Reports/&Labels"},
        {-41, "&Reports/&Playlists"},
        {-42, "&Reports/DJ Log"},
        {-43, "&Window/T&ile"},
        {-44, "&Window/&Cascade"},
        {-45, "&Window/&Arrange Icons"},
        {-46, "&Help/&Contents"},
        {-47, "&Help/&Search for Help On..."},
        {-48, "&Help/&How to Use Help"},
        {-49, "&Help/&Tips"},
        {-50, "&Help/&About"},
        {-51, "Toolbar/Albums"},
        {-52, "Toolbar/Songs"},
        {-53, "Toolbar/Labels"},
        {-54, "Toolbar/Playlists"},
        {-55, "Toolbar/Play CD"},
    };
    ASSERT_TRUE(startMainProgram());
    const QMap<int, Entry> entries = frameEntries();
    QMap<int, QString> shown;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        shown.insert(it.key(), it->path);
    EXPECT_EQ(shown, expected);

    auto *frame = qobject_cast<QMainWindow *>(frameTable().window.data());
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->windowTitle(), "TuneBank Pro 98");
    EXPECT_FALSE(frame->windowIcon().isNull());
    EXPECT_TRUE(frame->findChild<QWidget *>(QStringLiteral("Control-56")));
    for (const FrameCommand &c : frameCommands()) {
        if (c.kind != CommandKind::Header) {
            EXPECT_FALSE(c.statusText.isEmpty()) << c.id;
        }
    }
    ASSERT_TRUE(exitFrame());
}

TEST_F(FrameTest, AnEntryIsEnabledOnlyWhenItsProcedureIsBuilt) {
    provide(QStringLiteral("BrowseCategories"), [] {});
    provide(QStringLiteral("BrowseLabels"), [] {});
    provide(QStringLiteral("BrowseSongs"), [] {});
    ASSERT_TRUE(startMainProgram());
    const QMap<int, Entry> entries = frameEntries();
    struct Case {
        int id;
        bool enabled;
    };
    const Case cases[] = {
        {-21, true},  {-22, false},  // registered / not
        {-19, true},  {-40, true},  {-53, true},   // one procedure behind three entries
        {-11, true},  {-52, true},                 // the song lists
        {-10, false}, {-51, false},                // no album list yet
        {-1, false},  {-55, false},  {-2, false}, {-49, false},
        {-5, true},   {-6, true},   {-7, true},  {-43, true}, {-46, true},   // standard actions
    };
    for (const Case &c : cases)
        EXPECT_EQ(entries.value(c.id).enabled, c.enabled) << c.id;
    ASSERT_TRUE(exitFrame());
}

TEST_F(FrameTest, MenuChoicesStartTheirProceduresOnNewThreads) {
    std::vector<std::pair<QString, int>> started;
    const auto record = [&started](const char *name) {
        return [&started, name] { started.emplace_back(QString::fromLatin1(name), currentThreadNumber()); };
    };
    provide(QStringLiteral("BrowseMedia"), record("BrowseMedia"));
    provide(QStringLiteral("BrowseSongs"), record("BrowseSongs"));
    provide(QStringLiteral("XploreSongs"), record("XploreSongs"));
    provide(QStringLiteral("BrowseAlbums"), record("BrowseAlbums"));
    provide(QStringLiteral("XploreAlbums"), record("XploreAlbums"));
    provide(QStringLiteral("UpdateTBKTips"), [&started] {
        started.emplace_back(QStringLiteral("UpdateTBKTips"), currentThreadNumber());
        EXPECT_EQ(GlobalRequest, ChangeRecord);
    });
    setting("Settings", "Interface", QStringLiteral("explorer"));   // not "Explorer"
    setting("Settings", "ShowTips", QStringLiteral("0"));          // the splash shows no tip
    ASSERT_TRUE(startMainProgram());
    for (int id : {-22, -11, -52, -49, -10, -51})
        ASSERT_TRUE(postFrameCommand(id));
    ASSERT_TRUE(runUntil([&started] { return started.size() == 6; })) << started.size();
    ASSERT_TRUE(runUntilIdle());
    const int frame = frameTable().thread;
    // Tips run at once, modally on the frame's own thread; the lists start when the frame waits,
    // each on a thread of its own.
    EXPECT_EQ(started[0], (std::pair<QString, int>{QStringLiteral("UpdateTBKTips"), frame}));
    QStringList names;
    QSet<int> threads;
    for (size_t i = 1; i < started.size(); ++i) {
        names << started[i].first;
        threads << started[i].second;
    }
    EXPECT_EQ(names, (QStringList{"BrowseMedia", "BrowseSongs", "BrowseSongs", "BrowseAlbums", "BrowseAlbums"}));
    EXPECT_FALSE(threads.contains(frame));
    ASSERT_TRUE(exitFrame());

    setting("Settings", "Interface", QStringLiteral("Explorer"));
    started.clear();
    mainReturned = false;
    ASSERT_TRUE(startMainProgram());
    ASSERT_TRUE(postFrameCommand(-11) && postFrameCommand(-10));
    ASSERT_TRUE(runUntil([&started] { return started.size() == 2; }));
    EXPECT_EQ(started[0].first, "XploreSongs");
    EXPECT_EQ(started[1].first, "XploreAlbums");
    ASSERT_TRUE(exitFrame());

    // Without the explorer the plain list opens whatever the setting says.
    provide(QStringLiteral("XploreSongs"), {});
    started.clear();
    mainReturned = false;
    ASSERT_TRUE(startMainProgram());
    ASSERT_TRUE(postFrameCommand(-11));
    ASSERT_TRUE(runUntil([&started] { return started.size() == 1; }));
    EXPECT_EQ(started[0].first, "BrowseSongs");
    ASSERT_TRUE(exitFrame());
}

TEST_F(FrameTest, SplashPostsTheStartUpListsOfTheSettingsToTheFrame) {
    struct Case {
        const char *songs, *albums, *playlists, *labels;
        QStringList opened;
    };
    const Case cases[] = {
        {"1", "1", "1", "1", {"BrowseSongs", "BrowseAlbums", "BrowsePlayLists", "BrowseLabels"}},
        {"0", "1", "0", "1", {"BrowseAlbums", "BrowseLabels"}},
        {"0", "0", "0", "0", {}},
    };
    for (const Case &c : cases) {
        enterFreshFolder();
        QStringList opened;
        QList<int> threads;
        for (const char *name : {"BrowseSongs", "BrowseAlbums", "BrowsePlayLists", "BrowseLabels"})
            provide(QString::fromLatin1(name), [&opened, &threads, name] {
                opened << QString::fromLatin1(name);
                threads << currentThreadNumber();
            });
        QStringList startup;
        provide(QStringLiteral("SetupWizard"), [&startup] { startup << QStringLiteral("SetupWizard"); });
        provide(QStringLiteral("UpdateTBKTips"), [&startup] { startup << QStringLiteral("UpdateTBKTips"); });
        setting("Settings", "SU_Songs", QString::fromLatin1(c.songs));
        setting("Settings", "SU_Albums", QString::fromLatin1(c.albums));
        setting("Settings", "SU_Playlists", QString::fromLatin1(c.playlists));
        setting("Settings", "SU_Labels", QString::fromLatin1(c.labels));
        ASSERT_TRUE(startMainProgram());
        EXPECT_TRUE(splashWindowOpen());
        // The splash closes by its own timer after a second, then finishes the start-up.
        ASSERT_TRUE(runUntil([] { return !splashWindowOpen(); }, 3000));
        ASSERT_TRUE(runUntil([&] { return opened.size() == c.opened.size() && startup.size() == 2; }, 3000));
        ASSERT_TRUE(runUntilIdle());
        EXPECT_EQ(opened, c.opened);
        EXPECT_EQ(startup, (QStringList{"SetupWizard", "UpdateTBKTips"}));
        for (int t : threads)
            EXPECT_NE(t, frameTable().thread);
        ASSERT_TRUE(exitFrame());
        endRun();
    }
}

TEST_F(FrameTest, TheFirstCommandClosesTheSplash) {
    setting("Settings", "SetupWizardComplete", QStringLiteral("1"));
    ASSERT_TRUE(startMainProgram());
    ASSERT_TRUE(splashWindowOpen());
    ASSERT_TRUE(postFrameCommand(-44));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_FALSE(splashWindowOpen());
    ASSERT_TRUE(exitFrame());
}

// Windows whose smallest sizes do not fit in their tiles are tiled within the screen: the
// frame may grow to it, never past it, across or down.
TEST_F(FrameTest, TileNeverGrowsTheFramePastTheScreen) {
    setting("Settings", "SetupWizardComplete", QStringLiteral("1"));
    ASSERT_TRUE(startMainProgram());
    ASSERT_TRUE(postFrameCommand(-44) && runUntilIdle());   // the splash goes
    for (int i = 0; i < 4; ++i)
        startThread([] {
            windowtest::ScriptedWindow w("BrowseWide");
            w.setMdiChild(true);
            w.onOpen = [](windowtest::ScriptedWindow &self) { self.widget()->setMinimumSize(500, 400); };
            w.run();
        });
    ASSERT_TRUE(runUntilIdle());
    QWidget *frame = frameTable().window;
    const QSize before = frame->size();
    const QSize screen = frame->screen()->availableGeometry().size();
    ASSERT_TRUE(postFrameCommand(-43) && runUntilIdle());
    EXPECT_LE(frame->width(), std::max(before.width(), screen.width()));
    EXPECT_LE(frame->height(), std::max(before.height(), screen.height()));
    ASSERT_TRUE(exitFrame());
}

// The explorer song list's Print asks for the reports menu this way.
TEST_F(FrameTest, AMenusIdOpensThatMenuAsItsAltKeyDoes) {
    setting("Settings", "SetupWizardComplete", QStringLiteral("1"));
    ASSERT_TRUE(startMainProgram());
    ASSERT_TRUE(postFrameCommand(-44) && runUntilIdle());   // the splash goes
    auto *frame = qobject_cast<QMainWindow *>(frameTable().window.data());
    ASSERT_TRUE(frame);
    auto *reports = frame->findChild<QMenu *>(QStringLiteral("Menu Reports"));
    ASSERT_TRUE(reports);
    EXPECT_FALSE(reports->isVisible());
    ASSERT_TRUE(postFrameCommand(kReportsMenu) && runUntilIdle());
    EXPECT_TRUE(reports->isVisible());
    EXPECT_EQ(frame->menuBar()->activeAction(), reports->menuAction());
    reports->close();
    ASSERT_TRUE(exitFrame());
}

TEST_F(FrameTest, SetupWizardIsSkippedOnceCompletedAndNothingIsPostedAfterTheFrameEnded) {
    setting("Settings", "SetupWizardComplete", QStringLiteral("1"));
    setting("Settings", "SU_Songs", QStringLiteral("1"));
    int wizards = 0, songs = 0;
    provide(QStringLiteral("SetupWizard"), [&wizards] { ++wizards; });
    provide(QStringLiteral("BrowseSongs"), [&songs] { ++songs; });
    ASSERT_TRUE(startMainProgram());
    // The frame ends while the splash is still up: the splash finds no frame to post to.
    ASSERT_TRUE(exitFrame());
    ASSERT_TRUE(runUntil([] { return threadNumbers().empty(); }, 3000));
    EXPECT_EQ(wizards, 0);
    EXPECT_EQ(songs, 0);
}

} // namespace

namespace {

TEST_F(FrameTest, TheLastLogoSettingThatIsSetWinsOverTheDrawnLogo) {
    struct Case {
        bool frameLogo, logo, mainLogo;
        int shownWidth;   // 0: the program's own logo
    };
    const Case cases[] = {
        {false, false, false, 0}, {true, false, false, 10}, {true, true, false, 20},
        {true, true, true, 30},   {true, false, true, 30},  {false, true, false, 20},
    };
    for (const Case &c : cases) {
        enterFreshFolder();
        for (int size : {10, 20, 30}) {
            QPixmap p(size, size);
            p.fill(Qt::red);
            ASSERT_TRUE(p.save(QStringLiteral("logo%1.png").arg(size)));
        }
        if (c.frameLogo)
            setting("Global Settings", "FrameLogo", QStringLiteral("logo10.png"));
        if (c.logo)
            setting("Settings", "Logo", QStringLiteral("logo20.png"));
        if (c.mainLogo)
            setting("Settings", "MainLogo", QStringLiteral("logo30.png"));
        ASSERT_TRUE(startMainProgram());
        auto *logo = frameTable().window->findChild<QLabel *>(QStringLiteral("Control-56"));
        ASSERT_TRUE(logo);
        const int expected = c.shownWidth ? c.shownWidth : artwork(QStringLiteral("tbk98nte.gif")).width();
        EXPECT_EQ(logo->pixmap().width(), expected) << c.frameLogo << c.logo << c.mainLogo;
        ASSERT_TRUE(exitFrame());
        endRun();
    }
}

} // namespace
