// The tips: the tip of the day with Back and Next over identifiers with and without gaps, what
// Close keeps, the empty file, and the editor and list of debug mode.
#include "setup/tips.h"

#include "core/procedures.h"
#include "core/programsettings.h"
#include "core/coretest.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/ui/listcontrol.h"
#include "support/windows/controltesting.h"
#include "support/windows/listtesting.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace tbk;
using namespace tbk::data;
using namespace tbk::windowtest;
using namespace coretest;

namespace {

class TipsTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        openForUse(TIP);
        DbgMode = 0;
        ShowTips = 1;
        registerProcedure(QStringLiteral("UpdateTBKTips"), UpdateTBKTips);
    }
    void TearDown() override {
        DbgMode = 0;
        ShowTips = 1;
        registerProcedure(QStringLiteral("UpdateTBKTips"), {});
        CoreTest::TearDown();
    }

    static void addTips(std::initializer_list<int> ids) {
        for (int id : ids) {
            TIP.clear();
            TIP.ID = id;
            TIP.TIP = QStringLiteral("Tip number %1").arg(id);
            ASSERT_TRUE(TIP.add()) << errorCode();
        }
    }
    static QStringList tips() {
        return rows(TIP, TIP.KEYID, [] { return QStringLiteral("%1:%2").arg(TIP.ID.value()).arg(TIP.TIP.str()); });
    }
    static QString setting(const char *entry) {
        return getIni(QStringLiteral("Settings"), QString::fromLatin1(entry), QStringLiteral("<none>"), ProgramIniFile);
    }
    static void setTipSetting(int id) {
        putIni(QStringLiteral("Settings"), QStringLiteral("Tip"), QString::number(id), ProgramIniFile);
    }

    // Starts a procedure with the request on a thread of its own.
    void start(qint32 request, void (*procedure)()) { run = callOnThread(procedure, request); }
    QWidget *window() const { return windowtest::window(run); }
    // The identifier of the tip on show, from its text.
    int shownTip() const {
        const QString text = controlText(run->thread, QStringLiteral("TIP:TIP"));
        return text.startsWith(QLatin1String("Tip number ")) ? text.mid(11).toInt() : -1;
    }
    bool press(const QString &button) { return windowtest::press(run, button); }
    bool visible(const QString &name) const {
        QWidget *w = window() ? findControl(window(), name) : nullptr;
        return w && w->isVisible();
    }

    Started run;
};

TEST_F(TipsTest, BackAndNextLandOnTheNearestTipAndWrapAround) {
    struct Walk {
        const char *name;
        std::initializer_list<int> ids;
        int tipSetting;
        int first;
        // Buttons pressed in turn and the tip each shows.
        std::vector<std::pair<const char *, int>> steps;
    };
    const Walk walks[] = {
        {"tips 1 to 5", {1, 2, 3, 4, 5}, 5, 1, {{"Back", 5}, {"Next", 1}, {"Next", 2}, {"Back", 1}}},
        {"1, 2 and 7", {1, 2, 7}, 2, 7, {{"Next", 1}, {"Back", 7}, {"Back", 2}}},
        // With the lowest identifiers deleted: Next must reach 4 and 5, Back from 3 the highest.
        {"3, 4 and 5", {3, 4, 5}, 3, 4, {{"Next", 5}, {"Next", 3}, {"Next", 4}, {"Back", 3}, {"Back", 5}}},
        {"a setting beyond every tip", {2, 9}, 40, 2, {{"Next", 9}}},
    };
    for (const Walk &walk : walks) {
        SCOPED_TRACE(walk.name);
        TIP.set(TIP.KEYID);
        while (TIP.next())
            ASSERT_TRUE(TIP.remove());
        addTips(walk.ids);
        setTipSetting(walk.tipSetting);
        start(ChangeRecord, UpdateTBKTips);
        ASSERT_TRUE(window());
        EXPECT_EQ(window()->windowTitle(), "");
        EXPECT_EQ(shownTip(), walk.first);
        EXPECT_FALSE(visible("Ok"));
        for (const auto &[button, expected] : walk.steps) {
            ASSERT_TRUE(press(button));
            EXPECT_EQ(shownTip(), expected) << button;
        }
        ASSERT_TRUE(press("Close"));
        EXPECT_TRUE(run->done);
        EXPECT_EQ(run->response, RequestCancelled);
        EXPECT_EQ(setting("Tip"), QString::number(walk.steps.back().second));
    }
    EXPECT_EQ(tips().size(), 2);   // nothing written by showing them
}

TEST_F(TipsTest, OnlyCloseKeepsTheTipAndTheStartUpChoice) {
    addTips({1, 2, 3});
    setTipSetting(1);
    start(ChangeRecord, UpdateTBKTips);
    EXPECT_EQ(shownTip(), 2);
    EXPECT_EQ(controlValue(run->thread, "ShowTips").toInt(), 1);
    auto *text = qobject_cast<QPlainTextEdit *>(findControl(window(), "TIP:TIP"));
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->isReadOnly());

    // Escape: the choice holds for the run, but nothing is written.
    ASSERT_TRUE(clickCheck(run->thread, "ShowTips") && runUntilIdle());
    EXPECT_EQ(ShowTips, 0);
    QTest::keyClick(window()->focusWidget(), Qt::Key_Escape);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(run->done);
    EXPECT_EQ(setting("Tip"), "1");
    EXPECT_EQ(setting("ShowTips"), "<none>");

    start(ChangeRecord, UpdateTBKTips);
    EXPECT_EQ(shownTip(), 2);
    EXPECT_EQ(controlValue(run->thread, "ShowTips").toInt(), 0);
    ASSERT_TRUE(press("Next"));
    ASSERT_TRUE(press("Close"));
    EXPECT_EQ(setting("Tip"), "3");
    EXPECT_EQ(setting("ShowTips"), "0");
}

TEST_F(TipsTest, AnEmptyFileShowsNoWindowAndWritesNothing) {
    setTipSetting(4);
    start(ChangeRecord, UpdateTBKTips);
    EXPECT_TRUE(run->done);
    EXPECT_EQ(run->response, RequestCancelled);
    EXPECT_EQ(setting("Tip"), "4");
    EXPECT_EQ(setting("ShowTips"), "<none>");
    EXPECT_EQ(FileUseCount(TIP), 1);   // the fixture's own
}

TEST_F(TipsTest, TheEditorAddsChangesAndDeletesTipsFromTheList) {
    DbgMode = 1;
    addTips({1, 4});
    start(NoRequest, BrowseTBKTips);
    ASSERT_TRUE(window());
    EXPECT_EQ(window()->windowTitle(), "Tips");
    auto *list = window()->findChild<ListControl *>(QStringLiteral("Browse"));
    ASSERT_TRUE(list);
    EXPECT_EQ(listRows(list), QStringList({"Tip number 1", "Tip number 4"}));
    const int browseThread = run->thread;

    // Add: the editor primes the next identifier after the highest; a duplicate text is refused.
    ASSERT_TRUE(press("Add"));
    EXPECT_EQ(window()->windowTitle(), "");
    EXPECT_TRUE(visible("Ok"));
    EXPECT_FALSE(visible("Next"));
    EXPECT_FALSE(visible("Back"));
    EXPECT_EQ(tips().last(), "5:");
    ASSERT_TRUE(typeInto(run->thread, "TIP:TIP", "Tip number 4") && runUntilIdle());
    ASSERT_TRUE(pressButton(run->thread, "Ok"));
    ASSERT_TRUE(runUntil([&] { return !messageText(run->thread).isEmpty(); }));
    EXPECT_TRUE(messageText(run->thread).contains("Tips")) << messageText(run->thread).toStdString();
    ASSERT_TRUE(answerMessage(run->thread, ButtonOK) && runUntilIdle());
    ASSERT_TRUE(typeInto(run->thread, "TIP:TIP", "Press F1 for help") && runUntilIdle());
    ASSERT_TRUE(press("Ok"));
    EXPECT_EQ(tips(), QStringList({"1:Tip number 1", "4:Tip number 4", "5:Press F1 for help"}));
    EXPECT_EQ(listRows(list), QStringList({"Tip number 1", "Tip number 4", "Press F1 for help"}));

    // Ditto puts the last written text back; closing an add without Ok leaves nothing.
    ASSERT_TRUE(press("Add"));
    ASSERT_TRUE(clickInto(run->thread, "TIP:TIP"));
    QTest::keyClick(window()->focusWidget(), Qt::Key_Apostrophe, Qt::ControlModifier);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(controlText(run->thread, "TIP:TIP"), "Press F1 for help");
    ASSERT_TRUE(press("Close"));
    EXPECT_EQ(tips().size(), 3);

    EXPECT_FALSE(run->done);
    EXPECT_EQ(listRows(list), QStringList({"Tip number 1", "Tip number 4", "Press F1 for help"}));
    // Change the first row, then delete it.
    ASSERT_TRUE(selectRowByKey(list, 0, "Tip number 1") && runUntilIdle());
    ASSERT_TRUE(press("Change"));
    ASSERT_TRUE(typeInto(run->thread, "TIP:TIP", "Tip one") && runUntilIdle());
    ASSERT_TRUE(press("Ok"));
    EXPECT_EQ(tips().first(), "1:Tip one");
    ASSERT_TRUE(selectRowByKey(list, 0, "Tip one") && runUntilIdle());
    ASSERT_TRUE(pressButton(run->thread, "Delete"));
    ASSERT_TRUE(runUntil([&] { return !messageText(run->thread).isEmpty(); }));
    ASSERT_TRUE(answerMessage(run->thread, ButtonOK) && runUntilIdle());
    EXPECT_EQ(listRows(list), QStringList({"Tip number 4", "Press F1 for help"}));
    EXPECT_EQ(run->thread, browseThread);
    ASSERT_TRUE(press("Close"));
    EXPECT_TRUE(run->done);
}

TEST_F(TipsTest, AnEmptyListOffersOnlyAdd) {
    DbgMode = 1;
    start(NoRequest, BrowseTBKTips);
    ASSERT_TRUE(window());
    auto enabled = [this](const char *name) {
        auto *b = qobject_cast<QPushButton *>(findControl(window(), QString::fromLatin1(name)));
        return b && b->isEnabled();
    };
    EXPECT_TRUE(enabled("Add"));
    EXPECT_FALSE(enabled("Change"));
    EXPECT_FALSE(enabled("Delete"));
    ASSERT_TRUE(press("Close"));
}

} // namespace
