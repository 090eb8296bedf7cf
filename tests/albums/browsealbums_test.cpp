// The album list on a generated catalogue, driven as a user drives it: every tab with its
// locator, the category tabs with their picker, the form's calls with the reload rules, the
// procedures of later windows reached by name, an empty file, and what it keeps for next time.
// The explorer album list on the same catalogue: its popup, the wizards, header ordering and
// the form's calls.
#include "albums/browsealbums.h"
#include "albums/quickcdcover.h"
#include "albums/xplorealbums.h"
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/browsetoolbar.h"
#include "support/catalogue/cataloguetest.h"
#include "support/windows/controltesting.h"
#include "support/windows/listtesting.h"

#include <QHeaderView>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>

using namespace cataloguetest;

namespace {

// Album i (1 to 30): the i-th title, artist (i * 3) % 10, file number (i * 7) % 30 + 1 and
// category i % 3 (none, Rock, Jazz).
const char *const kTitles[] = {"Zenith", "Bedrock", "Amber",  "Beacon",   "Harvest", "bedlam", "Bazaar",  "Crimson",
                               "Delta",  "Echoes",  "Fables", "Galaxy",   "Horizon", "Ivory",  "Jubilee", "Kismet",
                               "Lagoon", "Meadow",  "Nocturne", "Orbit",  "Prism",   "Quartz", "Riviera", "Solstice",
                               "Tundra", "Umbra",   "Velvet", "Willow",   "Xanadu",  "Yonder"};
const char *const kArtists[] = {"Abba", "Blondie", "Cream", "Doors", "Eagles", "Free", "Genesis", "Heart", "Inxs",
                                "Journey"};
QString artist(int i) { return QString::fromLatin1(kArtists[i * 3 % 10]); }
QString fileNumber(int i) { return QStringLiteral("F%1").arg(i * 7 % 30 + 1, 2, 10, QLatin1Char('0')); }
using Key = std::function<QString(int)>;
const Key byAlbum = [](int i) { return QString::fromLatin1(kTitles[i - 1]); };
const Key byArtist = [](int i) { return artist(i) + '|' + kTitles[i - 1]; };
const auto inCategory = [](int c) { return [c](int i) { return i % 3 == c; }; };

struct FormCall {
    qint32 request;
    QString album, notes;
    qint64 category;
};

class BrowseAlbumsTest : public testing::Test {
protected:
    void SetUp() override {
        openCatalogue({&ALB, &CAT});
        ProgramIniFile = kProgramIniName;
        SaveLastTab = 0;
        DateFormat = "n4b";
        addCategory(1, "Rock");
        addCategory(2, "Jazz");
        CAT.clear();   // no category read yet
        for (int i = 1; i <= 30; ++i) {
            ALB.clear();
            ALB.AlbumID = i;
            ALB.Artist = artist(i);
            ALB.Album = kTitles[i - 1];
            ALB.FileNumber = fileNumber(i);
            ALB.CategoryID = i % 3;
            ALB.Media = i % 4 ? "CD" : "LP";
            ALB.XCCD = QString::number(0x6b0a4e00 + i, 16);
            ALB.ReleaseDate = 1960 + i;
            ALB.Notes = QStringLiteral("Notes %1").arg(i);
            ASSERT_TRUE(ALB.add());
        }
    }
    void TearDown() override {
        closeCatalogue();
        for (const QString &p : registeredProcedures())
            registerProcedure(p, {});
    }

    // The fake album form records each call and does what `formDoes` says with the buffer.
    void useForm() {
        registerProcedure(kAlbumForm, [this] {
            const qint32 request = takeGlobalRequest();
            calls.push_back({request, ALB.Album.str(), ALB.Notes.str(), qint64(ALB.CategoryID.value())});
            storeGlobalResponse(formDoes ? formDoes() : RequestCancelled);
        });
    }
    static qint32 addAs(const QString &album) {
        ALB.set(ALB.KEYALBUMID);
        const qint32 last = ALB.previous() ? ALB.AlbumID.value() : 0;
        ALB.clear();
        ALB.AlbumID = last + 1;
        ALB.Album = album;
        return ALB.add() ? RequestCompleted : RequestCancelled;
    }

    void open(void (*procedure)() = BrowseAlbums) {
        thread = startThread(procedure, kMinimumThreadStack);
        ASSERT_TRUE(runUntilIdle());
        list = qobject_cast<ListControl *>(findControl(activeWindow(thread), "Browse:1"));
        ASSERT_TRUE(list);
    }
    QString title() const { return activeWindow(thread)->windowTitle(); }
    QString selectedTab() const {
        auto *tabs = activeWindow(thread)->findChild<QTabWidget *>();
        return tabs->tabText(tabs->currentIndex());
    }
    bool press(const QString &b) const { return pressButton(thread, b) && runUntilIdle(); }
    bool tab(const QString &t) const { return chooseTab(thread, t) && runUntilIdle(); }
    bool key(Qt::Key k) const {
        pressListKey(list, k);
        return runUntilIdle();
    }
    bool usable(const QString &b) const {
        QWidget *w = findControl(activeWindow(thread), b);
        return w && w->isVisible() && w->isEnabled();
    }
    void typeOn(const QString &text) {
        list->setFocus();
        QTest::keyClicks(list, text);
        ASSERT_TRUE(runUntilIdle());
    }
    void pick(const QString &button, const QString &category) {
        ASSERT_TRUE(press(button));
        auto *picker = qobject_cast<ListControl *>(findControl(activeWindow(thread), "Browse"));
        ASSERT_TRUE(picker && selectRowByKey(picker, 0, category) && runUntilIdle() && press("Select"));
    }
    // The popup of a right click on the row, or on the empty list.
    QStringList popup(int row = 0) {
        if (listRows(list).isEmpty())
            QTest::mouseClick(list->viewport(), Qt::RightButton);
        else
            EXPECT_TRUE(rightClickRow(list, row));
        EXPECT_TRUE(runUntilIdle());
        return menuItems(thread);
    }
    bool choose(const QString &item) const { return chooseMenuItem(thread, item) && runUntilIdle(); }
    QStringList shown(int column) const {
        QStringList out;
        for (const QString &row : listRows(list))
            out << row.section(QLatin1Char('|'), column, column).trimmed();
        return out;
    }
    // Whether the page is full (or holds them all) of the albums that pass, in the key's order.
    bool showsInOrder(const std::function<bool(int)> &in, const Key &key) const {
        std::vector<int> v;
        for (int i = 1; i <= 30; ++i)
            if (in(i))
                v.push_back(i);
        std::sort(v.begin(), v.end(), [&](int a, int b) { return key(a).compare(key(b), Qt::CaseInsensitive) < 0; });
        QStringList all;
        for (int i : v)
            all << kTitles[i - 1];
        const QStringList page = shown(1);
        return page.size() == std::min(int(all.size()), list->linesFit()) &&
               page == all.mid(std::max(0, int(all.indexOf(page.value(0)))), page.size());
    }

    std::vector<FormCall> calls;
    std::function<qint32()> formDoes;
    int thread = 0;
    ListControl *list = nullptr;
};

TEST_F(BrowseAlbumsTest, EachTabOrdersByItsKeyAndItsLocatorFindsTheTypedText) {
    useForm();
    open();
    EXPECT_EQ(title(), "Albums - 30 entries");
    EXPECT_EQ(focusedName(), "Browse:1") << "the list takes the typing from the start";
    ASSERT_TRUE(pressTab());
    EXPECT_EQ(focusedName(), "Add");
    struct Case {
        const char *tab, *typed, *found;
        Key key;
    };
    const Case cases[] = {
        {"Artist", "gen", "Bedrock", byArtist},
        {"File #", "f1", "Velvet", [](int i) { return fileNumber(i); }},   // at F10
        {"Album", "be", "Beacon", byAlbum},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.tab);
        ASSERT_TRUE(tab(c.tab));
        EXPECT_EQ(selectedTab(), QString::fromLatin1(c.tab) + "   ") << "the bold caption";
        EXPECT_TRUE(showsInOrder([](int) { return true; }, c.key));
        typeOn(c.typed);
        EXPECT_EQ(controlText(thread, "Locator"), c.typed);
        EXPECT_EQ(ALB.Album.str(), c.found);
    }
    typeOn("d");
    EXPECT_EQ(ALB.Album.str(), "bedlam") << "between Beacon and Bedrock whatever its case";
    ASSERT_TRUE(press("Close"));
}

TEST_F(BrowseAlbumsTest, TheCategoryTabsShowTheChosenCategoryAndAddPrimesIt) {
    useForm();
    open();
    ASSERT_TRUE(tab("Category"));
    EXPECT_TRUE(showsInOrder(inCategory(0), byAlbum)) << "no category read yet";
    EXPECT_FALSE(usable("Select Category:4"));
    pick("Select Category:3", "Rock");
    EXPECT_TRUE(showsInOrder(inCategory(1), byAlbum));
    typeOn("m");
    EXPECT_EQ(ALB.Album.str(), "Nocturne") << "the locator stays within the category";

    ASSERT_TRUE(tab("Cat/Art"));
    pick("Select Category:4", "Jazz");
    EXPECT_TRUE(showsInOrder(inCategory(2), byArtist));
    ASSERT_TRUE(press("Select Category:4") && press("Close"));
    EXPECT_TRUE(showsInOrder(inCategory(2), byArtist)) << "a picker closed without a choice keeps the category";

    // Each tab keeps its own category, whatever another window reads into the buffer; Add
    // primes the one the tab shows.
    ASSERT_TRUE(tab("Category"));
    EXPECT_TRUE(showsInOrder(inCategory(1), byAlbum));
    CAT.CategoryID = 0;
    ASSERT_TRUE(tab("Cat/Art") && clickRow(list, 1) && runUntilIdle());
    EXPECT_TRUE(showsInOrder(inCategory(2), byArtist));
    ASSERT_TRUE(press("Add"));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].request, InsertRecord);
    EXPECT_EQ(calls[0].category, 2);
    EXPECT_EQ(calls[0].album, "");
    ASSERT_TRUE(tab("Album") && press("Add"));
    EXPECT_EQ(calls.back().category, 0);
    ASSERT_TRUE(press("Close"));
}

TEST_F(BrowseAlbumsTest, FormCallsCarryTheHighlightedAlbumAndTheListFollowsTheWrittenOne) {
    useForm();
    open();
    typeOn("beacon");
    formDoes = [] {
        ALB.Album = "Zulu";
        return ALB.put() ? RequestCompleted : RequestCancelled;
    };
    ASSERT_TRUE(doubleClickRow(list, list->currentRow()) && runUntilIdle());
    EXPECT_EQ(calls.back().request, ChangeRecord);
    EXPECT_EQ(calls.back().notes, "Notes 4") << "the whole record, memos too";
    EXPECT_EQ(list->rowTexts(list->currentRow()).value(1).trimmed(), "Zulu");

    formDoes = {};   // cancelled: the list stays where it stood
    ASSERT_TRUE(key(Qt::Key_Home) && press("Change"));
    EXPECT_EQ(ALB.Album.str(), "Amber");

    // Copy is an insert with the album in the buffer; the form makes the copy.
    formDoes = [] { return addAs(ALB.Album.str() + " - Copy"); };
    ASSERT_TRUE(press("Copy"));
    EXPECT_EQ(calls.back().request, InsertRecord);
    EXPECT_EQ(calls.back().notes, "Notes 3");
    EXPECT_EQ(title(), "Albums - 31 entries");
    EXPECT_EQ(ALB.Album.str(), "Amber - Copy");

    formDoes = [] { return addAs("Aardvark"); };
    ASSERT_TRUE(key(Qt::Key_Insert));
    EXPECT_EQ(calls.back().request, InsertRecord);
    EXPECT_EQ(calls.back().album, "");
    EXPECT_EQ(ALB.Album.str(), "Aardvark") << "on the written album";

    formDoes = [] { return ALB.remove() ? RequestCompleted : RequestCancelled; };
    ASSERT_TRUE(key(Qt::Key_Delete));
    EXPECT_EQ(calls.back().request, DeleteRecord);
    EXPECT_EQ(title(), "Albums - 31 entries");
    EXPECT_EQ(ALB.Album.str(), "Amber") << "the next album takes the deleted one's line";
    ASSERT_TRUE(press("Close"));
}

TEST_F(BrowseAlbumsTest, ButtonsAndItemsOfProceduresNotYetBuiltStayDisabled) {
    const char *const procedureButtons[] = {"Add", "Copy", "Change", "Delete", "Print", "Album Wizard", "CDDB Wizard"};
    open();
    for (const char *b : procedureButtons)
        EXPECT_FALSE(usable(b)) << b;
    ASSERT_TRUE(key(Qt::Key_Insert) && doubleClickRow(list, 0) && runUntilIdle());
    EXPECT_EQ(GlobalRequest, 0);
    EXPECT_EQ(popup(), (QStringList{"~Add", "~Change", "~Delete", "-", "~Copy", "-", "~Album Wizard", "-", "~Print",
                                    "-", "~Create Label...", "~Quick CD Cover"}));
    ASSERT_TRUE(dismissMenu(thread) && runUntilIdle());

    // Each runs on the list's thread with the highlighted album in the buffer.
    QStringList ran;
    const auto record = [this, &ran](const char *name) {
        return [this, &ran, name] {
            ran << QStringLiteral("%1 %2 %3").arg(QString::fromLatin1(name)).arg(takeGlobalRequest()).arg(ALB.Album.str());
            EXPECT_EQ(currentThreadNumber(), thread);
        };
    };
    useForm();
    registerProcedure(kAlbumWizard, [record] {
        record("album")();
        addAs("Bb");
    });
    registerProcedure(kCddbWizard, record("cddb"));
    registerProcedure(kAlbumReport, record("report"));
    registerProcedure(kLabelWizard, record("label"));
    registerProcedure(kFlapPrinter, record("flap"));
    ASSERT_TRUE(tab("Artist") && tab("Album"));
    for (const char *b : procedureButtons)
        EXPECT_TRUE(usable(b)) << b;
    ASSERT_TRUE(press("Album Wizard"));
    EXPECT_EQ(title(), "Albums - 31 entries");
    EXPECT_EQ(shown(1).mid(0, 4), (QStringList{"Amber", "Bazaar", "Bb", "Beacon"})) << "read again at once";
    ASSERT_TRUE(clickRow(list, 1) && runUntilIdle() && press("CDDB Wizard") && press("Print"));
    EXPECT_EQ(popup(1).value(10), "Create Label...");
    ASSERT_TRUE(choose("Create Label..."));
    EXPECT_EQ(popup(3).value(11), "Quick CD Cover");
    ASSERT_TRUE(choose("Quick CD Cover"));
    EXPECT_EQ(ran,
              (QStringList{"album 1 Amber", "cddb 0 Bazaar", "report 0 Bazaar", "label 0 Bazaar", "flap 0 Beacon"}));
    EXPECT_EQ(PagePrintRange.Style.str(), "Flap");
    EXPECT_EQ(PagePrintRange.FirstFileNumber.str(), fileNumber(4));
    EXPECT_EQ(PagePrintRange.LastFileNumber.str(), fileNumber(4));
    ASSERT_TRUE(press("Close"));
}

TEST_F(BrowseAlbumsTest, AnEmptyFileOffersAddTheLabelAndACoverForABlankFileNumber) {
    ALB.set(ALB.KEYALBUMID);
    while (ALB.next())
        ASSERT_TRUE(ALB.remove());
    useForm();
    registerProcedure(kLabelWizard, [] {});
    registerProcedure(kFlapPrinter, [] {});
    PagePrintRange.FirstFileNumber = "F01";
    open();
    EXPECT_EQ(title(), "Albums - 0 entries");
    EXPECT_EQ(popup(), (QStringList{"Add", "~Change", "~Delete", "-", "~Copy", "-", "~Album Wizard", "-", "~Print", "-",
                                    "Create Label...", "Quick CD Cover"}));
    ASSERT_TRUE(choose("Quick CD Cover"));
    EXPECT_EQ(PagePrintRange.FirstFileNumber.str(), "");
    ASSERT_TRUE(key(Qt::Key_Insert));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].request, InsertRecord);
    ASSERT_TRUE(press("Close"));
}

// Albums another thread's wizard adds show as soon as the list is refreshed for any reason (here
// its window said to be resized, which changes no line), not only in its title's count.
TEST_F(BrowseAlbumsTest, ARefreshShowsTheRowsItsTitleCounts) {
    ALB.set(ALB.KEYALBUMID);
    while (ALB.next())
        ASSERT_TRUE(ALB.remove());
    open();
    ASSERT_TRUE(listRows(list).isEmpty());
    for (int id : {1, 2}) {
        addAlbum(id, "Artist", QStringLiteral("Added %1").arg(id));
        QWidget *window = activeWindow(thread);
        ASSERT_TRUE(postToWindow(window, Event::of(EventKind::Sized, window)) && runUntilIdle());
        EXPECT_EQ(title(), QStringLiteral("Albums - %1 entries").arg(id));
        EXPECT_EQ(listRows(list).size(), id);
    }
    ASSERT_TRUE(press("Close"));
}

TEST_F(BrowseAlbumsTest, TheLastTabIsAlwaysWrittenAndRestoredOnlyWhenTheSettingSaysSo) {
    open();
    ASSERT_TRUE(tab("Cat/Art"));
    list->header()->resizeSection(0, 200);
    ASSERT_TRUE(press("Close"));
    EXPECT_EQ(getIni("Settings", "AlbumTab", "", ProgramIniFile), "5");
    open();
    EXPECT_EQ(selectedTab(), "Album   ");
    EXPECT_EQ(list->header()->sectionSize(0), 200);
    ASSERT_TRUE(press("Close"));
    EXPECT_EQ(getIni("Settings", "AlbumTab", "", ProgramIniFile), "1");
    SaveLastTab = 1;
    putIni("Settings", "AlbumTab", "3", ProgramIniFile);
    open();
    EXPECT_EQ(shown(3).value(0), "F01") << "the list reads the restored tab's order";
    ASSERT_TRUE(press("Close"));
}

// Not a check, so disabled: run with --gtest_also_run_disabled_tests, TBK_SCREENSHOT set to a
// path without extension and a real display (xvfb-run with QT_QPA_PLATFORM=xcb).
TEST_F(BrowseAlbumsTest, DISABLED_Screenshot) {
    if (qEnvironmentVariable("TBK_SCREENSHOT").isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    const auto save = [](const char *name) {
        EXPECT_TRUE(saveScreen(QLatin1String(name) + ".png"));
    };
    useForm();
    registerProcedure(kAlbumWizard, [] {});
    open();
    activeWindow(thread)->setGeometry(20, 20, 760, 420);
    typeOn("be");
    save("-albums");
    ASSERT_TRUE(tab("Cat/Art"));
    pick("Select Category:4", "Rock");
    ASSERT_TRUE(rightClickRow(list, 2) && runUntilIdle());
    save("-albums-popup");
    ASSERT_TRUE(dismissMenu(thread) && runUntilIdle() && press("Close"));
}

} // namespace

namespace {

class XploreAlbumsTest : public BrowseAlbumsTest {
protected:
    void openExplorer() {
        open(XploreAlbums);
        activeWindow(thread)->resize(900, 400);   // every column in sight
        ASSERT_TRUE(runUntilIdle());
    }
    void clickHeader(int column) { ASSERT_TRUE(windowtest::clickHeader(list, column)); }
};

TEST_F(XploreAlbumsTest, AnEmptyFilesPopupOffersAddTheWizardsTheLabelAndTheInsert) {
    ALB.set(ALB.KEYALBUMID);
    while (ALB.next())
        ASSERT_TRUE(ALB.remove());
    useForm();
    openExplorer();
    EXPECT_EQ(title(), "Albums - 0 entries");
    const QStringList greyed{"Add", "~Change", "~Delete", "-", "~Copy", "-", "~Single Artist Wizard",
                             "~Compilation Wizard", "-", "~Create Label...", "~Quick CD Insert", "-",
                             "View Properties"};
    EXPECT_EQ(popup(), greyed);
    ASSERT_TRUE(dismissMenu(thread) && runUntilIdle());
    EXPECT_FALSE(toolbarState(activeWindow(thread)).enabled(ToolbarInsert)) << "no frame toolbar answers";

    registerProcedure(kLabelWizard, [] {});
    registerProcedure(kFlapPrinter, [] {});
    PagePrintRange.FirstFileNumber = "F01";
    QStringList offered = greyed;
    offered[9] = "Create Label...";
    offered[10] = "Quick CD Insert";
    EXPECT_EQ(popup(), offered);
    ASSERT_TRUE(choose("Quick CD Insert"));
    EXPECT_EQ(PagePrintRange.Style.str(), "Flap");
    EXPECT_EQ(PagePrintRange.FirstFileNumber.str(), "") << "the blank buffer's file number";
    ASSERT_TRUE(key(Qt::Key_Insert));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].request, InsertRecord);
    ASSERT_TRUE(press("Close"));
}

TEST_F(XploreAlbumsTest, AWizardsAlbumsCountAtOnceAndCopyStartsFromTheHighlightedAlbum) {
    useForm();
    QList<qint32> requests;
    registerProcedure("AddSingleArtist", [&requests] {
        requests << takeGlobalRequest();
        addAs("Bb");
    });
    registerProcedure("AddCompilation", [&requests] {
        requests << takeGlobalRequest();
        addAs("Aa");
    });
    GlobalRequest = ChangeRecord;   // left by another window
    openExplorer();
    EXPECT_EQ(title(), "Albums - 30 entries");
    EXPECT_EQ(list->toolTip(), "Click on header to change order, or right-click for options");
    ASSERT_TRUE(press("Single Artist Wizard"));
    EXPECT_EQ(title(), "Albums - 31 entries");
    popup(0);
    ASSERT_TRUE(choose("Compilation Wizard"));
    EXPECT_EQ(title(), "Albums - 32 entries");
    EXPECT_EQ(requests, (QList<qint32>{0, 0}));
    ASSERT_TRUE(key(Qt::Key_Home));
    EXPECT_EQ(shown(0).mid(0, 4), (QStringList{"Aa", "Amber", "Bazaar", "Bb"}));

    ASSERT_TRUE(clickRow(list, 3) && runUntilIdle() && press("Copy"));
    ASSERT_TRUE(doubleClickRow(list, 1) && runUntilIdle());
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].request, InsertRecord);
    EXPECT_EQ(calls[0].album, "Bb") << "a new album from the highlighted one";
    EXPECT_EQ(calls[1].request, ChangeRecord);
    EXPECT_EQ(calls[1].album, "Amber");
    ASSERT_TRUE(press("Close"));
}

TEST_F(XploreAlbumsTest, XccdOrdersWithoutCaseAndReleaseDateByValue) {
    ASSERT_TRUE(loadAlbum(12));
    ALB.XCCD = "6B0A4E0C";
    ALB.ReleaseDate = 2005;
    ASSERT_TRUE(ALB.put());
    ASSERT_TRUE(loadAlbum(2));
    ALB.ReleaseDate = 800;   // a year before all others, though "800" sorts after "1961" as text
    ASSERT_TRUE(ALB.put());
    openExplorer();
    clickHeader(5);
    EXPECT_EQ(list->listModel()->headerData(5, Qt::Horizontal, Qt::DisplayRole).toString(), ">XCCD");
    EXPECT_EQ(shown(5).mid(10, 3), (QStringList{"6b0a4e0b", "6B0A4E0C", "6b0a4e0d"}));
    clickHeader(4);
    EXPECT_EQ(shown(4).mid(0, 3), (QStringList{"800", "1961", "1963"}));
    clickHeader(4);
    EXPECT_EQ(shown(4).value(0), "2005");
    ASSERT_TRUE(press("Close"));
}

// Not a check, so disabled: as the album list's screenshot above.
TEST_F(XploreAlbumsTest, DISABLED_Screenshot) {
    if (qEnvironmentVariable("TBK_SCREENSHOT").isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    useForm();
    registerProcedure("AddSingleArtist", [] {});
    open(XploreAlbums);
    activeWindow(thread)->setGeometry(20, 20, 760, 420);
    ASSERT_TRUE(runUntilIdle());
    clickHeader(1);
    EXPECT_TRUE(saveScreen("-xplorealbums.png"));
    ASSERT_TRUE(rightClickRow(list, 2) && runUntilIdle());
    EXPECT_TRUE(saveScreen("-xplorealbums-popup.png"));
    ASSERT_TRUE(dismissMenu(thread) && runUntilIdle() && press("Close"));
}

} // namespace
